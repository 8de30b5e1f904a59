#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

#include "link/device_data.h"
#include "protocol/print_markup.h"
#include "protocol/protocol_record.h"

class Dialogs;
class PrinterChoice;
class QPrinter;
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

// The lines a remark or accessory entry takes on paper: each typed line,
// wrapped at its last blank (or, for a longer word, where it reaches the
// end) so that no printed line is wider than `width`.
QStringList wrap_entry(const QString& entry, double width, PrintTarget& target);

// The captions of the boxes whose text needs more than the page's four ruled
// lines, measured on `target` for a page of usable `width`.
QStringList boxes_cut_short(PrintTarget& target, double width, const Pruefprotokoll& protocol,
                            const CaptionOf& caption);

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
// (`pdf_proposal` the file offered for a PDF) and prints that state on one A4
// page (as many times as copies were chosen). Text that does not fit its
// four ruled lines is named first: OK prints what fits, Cancel prints
// nothing. A cancelled choice prints nothing. A failure shows one message.
bool print_protocol(const ProtocolPrint& print, Pruefprotokoll& protocol,
                    const std::function<void()>& form_to_record,
                    const QString& pdf_proposal = QString());

// Prints `protocol` as it stands on a printer already set up (no dialog, no
// question). A failure shows one message and leaves no half PDF.
bool print_protocol_on(const ProtocolPrint& print, const Pruefprotokoll& protocol,
                       QPrinter& printer);
