#include "protocol/print_markup.h"

#include "platform/dialogs.h"
#include "platform/language_table.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QChar kQuote = QLatin1Char('\'');

// The error numbers the message shows; their descriptions are language texts.
constexpr int kOutOfRange = 9;
constexpr int kTypeMismatch = 13;
constexpr int kInvalidValue = 380;

// A size tag's number: "11", " 11 ", "10.5" or "10,5".
std::optional<double> parse_size(QString text) {
    text = text.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace

PrintFailure printer_failure(const LanguageTable& texts) {
    return {kPrinterError, texts.lang_text(6113)};
}

PrintFailure PrintMarkup::failure_of(int number) const {
    switch (number) {
        case kOutOfRange:
            return {number, texts_.lang_text(6110)};
        case kTypeMismatch:
            return {number, texts_.lang_text(6111)};
        case kInvalidValue:
            return {number, texts_.lang_text(6112)};
        default:
            return printer_failure(texts_);
    }
}

void new_line(PrintTarget& target) {
    target.current_x = 0;
    target.current_y += target.text_height(QStringLiteral("X"));
}

PrintMarkup::PrintMarkup(Dialogs& dialogs, const LanguageTable& texts)
    : dialogs_(dialogs), texts_(texts) {}

std::optional<PrintFailure> PrintMarkup::write(const QString& text, Alignment alignment,
                                               PrintTarget& target) {
    const QStringList lines = text.split(kCrLf);
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) new_line(target);
        const QString& line = lines[i];
        if (line.isEmpty()) continue;
        // Only the first line is aligned; after a line break x is at the edge.
        if (i == 0 && alignment == Alignment::right)
            target.current_x -= target.text_width(line);
        else if (i == 0 && alignment == Alignment::center)
            target.current_x -= target.text_width(line) / 2;
        if (!target.draw_text(line)) return printer_failure(texts_);
    }
    return std::nullopt;
}

bool PrintMarkup::print_aligned(const QString& text, Alignment alignment, PrintTarget& target) {
    return !write(text, alignment, target).has_value();
}

std::optional<PrintFailure> PrintMarkup::apply_tag(const QString& tag, Alignment& alignment,
                                                   PrintTarget& target) {
    if (tag == QLatin1String("b")) {
        target.font.bold = true;
    } else if (tag == QLatin1String("/b")) {
        target.font.bold = false;
    } else if (tag == QLatin1String("u")) {
        target.font.underline = true;
    } else if (tag == QLatin1String("/u")) {
        target.font.underline = false;
    } else if (tag == QLatin1String("right")) {
        alignment = Alignment::right;
    } else if (tag == QLatin1String("center")) {
        alignment = Alignment::center;
    } else if (tag == QLatin1String("left")) {
        alignment = Alignment::left;
    } else if (tag.startsWith(QLatin1String("font"))) {
        target.font.name = tag.mid(4).trimmed();
    } else if (tag.startsWith(QLatin1String("size"))) {
        const std::optional<double> size = parse_size(tag.mid(4));
        if (!size) return failure_of(kTypeMismatch);
        if (!target.accepts_size(*size)) return failure_of(kInvalidValue);
        // Text of another size in the same line stands on the same baseline:
        // down to the old baseline, then up by the new font's ascent.
        target.current_y += 0.8 * target.text_height(QStringLiteral("m"));
        target.font.size = *size;
        target.current_y -= 0.8 * target.text_height(QStringLiteral("m"));
    }
    return std::nullopt;
}

QString PrintMarkup::print_markup(const QString& text, PrintTarget& target,
                                  std::optional<PrintFailure>* failure) {
    return print_markup(MarkupColumn{markup(text)}, target, failure);
}

QString PrintMarkup::print_markup(const MarkupColumn& pieces, PrintTarget& target,
                                  std::optional<PrintFailure>* failure) {
    Alignment alignment = Alignment::left;
    QString pending;
    auto fail = [&](const PrintFailure& f) {
        if (failure) *failure = f;
        return QString();
    };
    for (const MarkupPiece& piece : pieces) {
        if (piece.literal) {
            pending += piece.text;
            continue;
        }
        const QString& text = piece.text;
        for (int i = 0; i < text.size(); ++i) {
            if (text[i] != kQuote) {
                pending += text[i];
                continue;
            }
            if (auto f = write(pending, alignment, target)) return fail(*f);
            pending.clear();
            const int close = text.indexOf(kQuote, i + 1);
            if (close < 0) return QString::fromLatin1(kMarkupError);
            if (auto f = apply_tag(text.mid(i + 1, close - i - 1), alignment, target))
                return fail(*f);
            i = close;
        }
    }
    if (auto f = write(pending, alignment, target)) return fail(*f);
    return QString();
}

bool PrintMarkup::print_columns(const QString& text, const QVector<double>& tabs,
                                PrintTarget& target) {
    QVector<MarkupColumn> columns;
    for (const QString& column : text.split(QLatin1Char('\t'))) columns.append({markup(column)});
    return print_row(columns, tabs, target);
}

bool PrintMarkup::print_row(const QVector<MarkupColumn>& columns, const QVector<double>& tabs,
                            PrintTarget& target) {
    std::optional<PrintFailure> failure;
    bool empty = columns.size() <= 1;
    for (int i = 0; i < columns.size() && !failure; ++i) {
        for (const MarkupPiece& piece : columns[i])
            if (!piece.text.isEmpty()) empty = false;
        if (i >= tabs.size()) {
            failure = failure_of(kOutOfRange);
            break;
        }
        target.current_x = print_margin + tabs[i];
        // An unclosed tag just cuts the column short.
        print_markup(columns[i], target, &failure);
    }
    if (failure) {
        dialogs_.show_message(texts_.lang_text(5200) + kCrLf + texts_.lang_text(5300) +
                              QLatin1Char(' ') + QString::number(failure->number) +
                              QStringLiteral(": ") + failure->description);
        return false;
    }
    if (empty) {
        // An empty line is half a line high.
        target.current_y += target.text_height(QStringLiteral("X")) / 2;
    } else {
        new_line(target);
    }
    return true;
}
