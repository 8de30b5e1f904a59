#pragma once

#include <QString>
#include <QVector>
#include <functional>
#include <optional>

#include "link/device_data.h"
#include "protocol/print_markup.h"
#include "protocol/protocol_record.h"

class Dialogs;
class PrinterChoice;
struct LanguageTable;

// The current caption of a control of the main window, by its name ("lbl_sn",
// "ck_stk", "frmZeiten", "lbl_t_3" …): headings and labels on paper are what
// the form shows.
using CaptionOf = std::function<QString(const QString& control_name)>;

// One line of the device data block: the caption's label before its first
// "(", then the value and the unit from inside the brackets in bold.
bool print_device_line(PrintMarkup& engine, const QString& caption, const QString& value,
                       const QVector<double>& tabs, PrintTarget& target);

// The device data block of `device` from the current position, `width` wide,
// in font size `size`. Nothing when the copy holds no data.
void draw_device_data(PrintMarkup& engine, PrintTarget& target, double width, double size,
                      const Geraetedaten& device, const CaptionOf& caption,
                      const LanguageTable& texts);

// A rule under the current line, then down 0.4 of a line.
void print_rule(const PrintMarkup& engine, double x1, double x2, PrintTarget& target);

// A check item: its label at x1 and the box at x2, "[X]" when `value` is "1".
std::optional<PrintFailure> print_check_row(PrintMarkup& engine, const QString& label,
                                            const QString& value, double x1, double x2,
                                            PrintTarget& target);

// The whole page on `target` in millimetres, `width` the usable width. The
// technician's entries and the language's captions print as typed; only the
// layout's own tags are markup.
std::optional<PrintFailure> lay_out_protocol(PrintMarkup& engine, PrintTarget& target, double width,
                                             const Pruefprotokoll& protocol,
                                             const CaptionOf& caption, const LanguageTable& texts);

// What printing the protocol needs of the program.
struct ProtocolPrint {
    PrintMarkup& engine;
    PrinterChoice& choice;
    Dialogs& dialogs;
    const LanguageTable& texts;
    CaptionOf caption;
};

// Takes the form's state, lets the technician choose a printer or PDF file
// and prints the protocol on one A4 page (as many times as copies were
// chosen). A cancelled choice prints nothing. A failure shows one message.
bool print_protocol(const ProtocolPrint& print, Pruefprotokoll& protocol,
                    const std::function<void()>& form_to_record);
