#pragma once

#include <QString>
#include <QVector>
#include <optional>

#include "platform/print_target.h"

class Dialogs;
struct LanguageTable;

// Lines of tab-separated columns, each column a text with inline tags between
// single quotes: 'b' '/b' 'u' '/u' 'left' 'right' 'center' 'font<name>'
// 'size<points>'; any other tag is ignored. There is no escape for a quote.

enum class Alignment { left, right, center };

// A failure while printing, as the message shows it: a number and a text.
struct PrintFailure {
    int number = 0;
    QString description;
};

// One piece of a column: markup to be parsed, or a value typed by the
// technician that is printed as it stands (an apostrophe in "Patient's" must
// not start a tag).
struct MarkupPiece {
    QString text;
    bool literal = false;
};
using MarkupColumn = QVector<MarkupPiece>;

inline MarkupPiece markup(const QString& text) {
    return {text, false};
}
inline MarkupPiece literal(const QString& text) {
    return {text, true};
}

inline const char* const kMarkupError = "ERROR";

class PrintMarkup {
public:
    PrintMarkup(Dialogs& dialogs, const LanguageTable& texts);

    // Added to every tab stop. The protocol print sets it for the page.
    int print_margin = 0;

    // One piece of text at the current position, without ending the line.
    // False when the target refused it.
    bool print_aligned(const QString& text, Alignment alignment, PrintTarget& target);
    // A markup text from the current position, without ending the line: empty,
    // or "ERROR" when a tag is not closed (nothing after its quote is printed).
    // A failure of the target or a bad size stops at once and lands in
    // `failure` (when given).
    QString print_markup(const QString& text, PrintTarget& target,
                         std::optional<PrintFailure>* failure = nullptr);
    QString print_markup(const MarkupColumn& pieces, PrintTarget& target,
                         std::optional<PrintFailure>* failure = nullptr);
    // One line of TAB-separated columns at `tabs` (offset by print_margin),
    // then the line ends; an empty text advances half a line. False after the
    // error message.
    bool print_columns(const QString& text, const QVector<double>& tabs, PrintTarget& target);
    // The same for columns built of pieces.
    bool print_row(const QVector<MarkupColumn>& columns, const QVector<double>& tabs,
                   PrintTarget& target);

private:
    // Text at the current position; a CR LF inside ends the printed line.
    std::optional<PrintFailure> write(const QString& text, Alignment alignment,
                                      PrintTarget& target);
    // The failure of that number, described in the program's language.
    PrintFailure failure_of(int number) const;
    std::optional<PrintFailure> apply_tag(const QString& tag, Alignment& alignment,
                                          PrintTarget& target);

    Dialogs& dialogs_;
    const LanguageTable& texts_;
};

// The printer refused the output (error 482), in the program's language.
constexpr int kPrinterError = 482;
PrintFailure printer_failure(const LanguageTable& texts);

// Ends the current line: x back to the left edge, y down one line.
void new_line(PrintTarget& target);
