#include "protocol/print_layout.h"

#include <QFile>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/painter_target.h"
#include "protocol/printer_choice.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr int kPageMargin = 15;  // mm, left and right of the usable width
constexpr int kRuleWidth = 10;   // device pixels

QString size_tag(double size) {
    return QStringLiteral("'size%1'").arg(size);
}

// A heading: bold, `size` + `bigger` points, then back to `size`.
MarkupColumn heading(const QString& text, double size, double bigger) {
    return {markup(size_tag(size + bigger) + QStringLiteral("'b'")), literal(text),
            markup(QStringLiteral("'/b'") + size_tag(size))};
}

QString decimal(double value, int decimals) {
    return QLocale().toString(value, 'f', decimals);
}

// Lines down the left edge, as the layout's own CR LF lines do.
void line_feeds(PrintMarkup& engine, int count, PrintTarget& target) {
    engine.print_columns(kCrLf.repeated(count), {0}, target);
}

}  // namespace

bool print_device_line(PrintMarkup& engine, const QString& caption, const QString& value,
                       const QVector<double>& tabs, PrintTarget& target) {
    const int bracket = caption.indexOf(QLatin1Char('('));
    const QString label = (bracket < 0 ? caption : caption.left(bracket)).trimmed();
    const QString unit =
        bracket < 0 ? QString() : caption.mid(bracket + 1).remove(QLatin1Char(')')).trimmed();
    return engine.print_row(
        {{literal(label)},
         {markup(QStringLiteral("'b'")), literal(value + QLatin1Char(' ') + unit),
          markup(QStringLiteral("'/b'"))}},
        tabs, target);
}

void draw_device_data(PrintMarkup& engine, PrintTarget& target, double width, double size,
                      const Geraetedaten& device, const CaptionOf& caption,
                      const LanguageTable& texts) {
    const QVector<double> tabs{0, width / 2, width};
    target.font.size = size;
    if (!device.verbunden) return;

    auto line = [&](const char* name, const QString& value) {
        print_device_line(engine, caption(QString::fromLatin1(name)), value, tabs, target);
    };
    engine.print_row({heading(texts.lang_text(4202), size, 2)}, tabs, target);
    line("lbl_sn", device.sn.trimmed());
    line("lbl_lp", device.lp.trimmed());
    line("lbl_sw", device.sw.trimmed());
    print_device_line(engine, QString(), QString(), tabs, target);
    line("lbl_o2", decimal(device.o2, 1));
    if (std::isfinite(device.mwo2)) {
        line("lbl_MWO2", decimal(device.mwo2, 1));
    } else {
        // A protocol read back whose mean O2 was not kept: said so, without the unit.
        const QString label = caption(QStringLiteral("lbl_MWO2"));
        print_device_line(engine, label.left(label.indexOf(QLatin1Char('('))),
                          texts.lang_text(6036), tabs, target);
    }
    line("lbl_gastemp", decimal(device.gastemp, 1));
    line("lbl_kompressortemp", decimal(device.kompressortemp, 1));
    line("lbl_bstd", device.bstd);
    print_device_line(engine, QString(), QString(), tabs, target);

    engine.print_row({heading(caption(QStringLiteral("frmZeiten")), size, 2)}, tabs, target);
    for (int i = 0; i < int(device.zeiten.size()); ++i) {
        QString label = caption(QStringLiteral("lbl_t_%1").arg(i));
        label.remove(QLatin1Char(' '));
        print_device_line(engine, label, decimal(device.zeiten[size_t(i)] * 0.04, 2), tabs, target);
    }
    print_device_line(engine, QString(), QString(), tabs, target);
}

void print_rule(const PrintMarkup& engine, double x1, double x2, PrintTarget& target) {
    target.draw_line(engine.print_margin + x1, target.current_y, engine.print_margin + x2,
                     target.current_y, kRuleWidth);
    target.current_y += 0.4 * target.text_height(QStringLiteral("m"));
}

std::optional<PrintFailure> print_check_row(PrintMarkup& engine, const QString& label,
                                            const QString& value, double x1, double x2,
                                            PrintTarget& target) {
    std::optional<PrintFailure> failure;
    target.current_x = engine.print_margin + x1;
    engine.print_markup({literal(label)}, target, &failure);
    if (failure) return failure;
    target.current_x = engine.print_margin + x2;
    // A greyed or unreadable entry shows the same empty box as an unticked one.
    engine.print_markup(value == QLatin1String("1") ? QStringLiteral("[X") : QStringLiteral("["),
                        target, &failure);
    if (failure) return failure;
    target.current_x = engine.print_margin + x2 + target.text_width(QStringLiteral("[X"));
    engine.print_markup(QStringLiteral("]"), target, &failure);
    if (failure) return failure;
    new_line(target);
    return std::nullopt;
}

QStringList wrap_entry(const QString& entry, double width, PrintTarget& target) {
    QString text = entry;
    // The form may hand over bare LF or CR line breaks as well as CR LF.
    text.replace(kCrLf, QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    for (const QString& typed : text.split(QLatin1Char('\n'))) {
        QString current;
        for (const QChar c : typed) {
            if (current.isEmpty() || target.text_width(current + c) <= width) {
                current += c;
                continue;
            }
            // Break after the last blank; a word longer than the line breaks
            // where it reaches the end.
            const int blank = int(current.lastIndexOf(QLatin1Char(' ')));
            if (blank > 0) {
                lines << current.left(blank);
                current = current.mid(blank + 1) + c;
            } else {
                lines << current;
                current = c;
            }
        }
        lines << current;
    }
    return lines;
}

namespace {

constexpr int kRuledLines = 4;

// The printed lines of the remarks and the accessories, in the page's font.
struct RuledEntry {
    const char* caption;
    int field;
};
const RuledEntry kRuledEntries[] = {{"lbl_Bemerkungen", kBemerkungen}, {"lbl_Zubehoer", kZubehoer}};

// Remarks or accessories: a heading and always four ruled lines, the entry
// wrapped onto them.
void ruled_block(PrintMarkup& engine, PrintTarget& target, const QVector<double>& tabs,
                 const QString& title, const QString& entry) {
    engine.print_row({heading(title, 11, 2)}, tabs, target);
    QStringList lines = wrap_entry(entry, tabs[6] - tabs[0], target);
    while (lines.size() < kRuledLines) lines << QString();
    for (int i = 0; i < kRuledLines; ++i) {
        engine.print_row({{literal(lines[i])}}, tabs, target);
        print_rule(engine, tabs[0], tabs[6], target);
    }
}

}  // namespace

QStringList boxes_cut_short(PrintTarget& target, double width, const Pruefprotokoll& protocol,
                            const CaptionOf& caption) {
    target.font = PrintFont{};
    QStringList boxes;
    for (const RuledEntry& box : kRuledEntries) {
        if (wrap_entry(protocol.felder[size_t(box.field)], width - 2 * kPageMargin, target).size() >
            kRuledLines)
            boxes << caption(QString::fromLatin1(box.caption));
    }
    return boxes;
}

std::optional<PrintFailure> lay_out_protocol(PrintMarkup& engine, PrintTarget& target, double width,
                                             const Pruefprotokoll& protocol,
                                             const CaptionOf& caption, const LanguageTable& texts) {
    const auto& felder = protocol.felder;
    auto cap = [&](const char* name) { return caption(QString::fromLatin1(name)); };
    target.font = PrintFont{};  // Arial 11, not bold
    target.current_x = 0;
    target.current_y = 15;

    const double w = target.text_width(QStringLiteral("X"));
    QVector<double> tabs(7);
    tabs[0] = 0;
    tabs[1] = target.text_width(QStringLiteral("XXXXXXXXXXX"));
    tabs[2] = width / 2 - kPageMargin - w;
    tabs[3] = tabs[2] + 2 * w;
    tabs[4] = tabs[3] + tabs[1];
    tabs[5] = width - 2 * kPageMargin;
    tabs[6] = width - 2 * kPageMargin;

    // Title, centred on the page.
    std::optional<PrintFailure> failure;
    target.current_x = width / 2;
    engine.print_markup(
        {markup(QStringLiteral("'center''b'") + size_tag(15)), literal(texts.lang_text(4800)),
         markup(size_tag(11) + QStringLiteral("'/b''/center'"))},
        target, &failure);
    if (failure) return failure;
    line_feeds(engine, 3, target);

    // Address block: left pairs with their rules, three rows with a right pair.
    struct AddressRow {
        const char* left;
        int left_field;
        const char* right;
        int right_field;
    };
    const AddressRow rows[] = {
        {"lbl_Krankenkasse", kKrankenkasse, "lbl_pruefer", kPruefer},
        {"lbl_Patient", kPatient, "lbl_Datum", kDatum},
        {"lbl_Strasse", kStrasse, "lbl_Uhrzeit", kUhrzeit},
        {"lbl_Ort", kOrt, nullptr, 0},
        {"lbl_Telefon", kTelefon, nullptr, 0},
    };
    for (const AddressRow& row : rows) {
        QVector<MarkupColumn> columns{
            {literal(cap(row.left))}, {literal(felder[size_t(row.left_field)])}, {}};
        if (row.right) {
            columns.append({literal(cap(row.right))});
            columns.append({literal(felder[size_t(row.right_field)])});
            columns.append(MarkupColumn{});
        }
        engine.print_row(columns, tabs, target);
        print_rule(engine, tabs[1], tabs[2], target);
        if (row.right) print_rule(engine, tabs[4], tabs[5], target);
    }

    line_feeds(engine, 1, target);
    const double y1 = target.current_y;
    draw_device_data(engine, target, tabs[2], 11, protocol.geraetedaten, caption, texts);
    const double y2 = target.current_y;

    // The check items in the right column, boxes ending at the right margin.
    target.current_y = y1;
    tabs[5] -= target.text_width(QStringLiteral("[X]"));
    struct CheckBlock {
        const char* title;
        double bigger;
        QVector<std::pair<const char*, int>> items;
    };
    const CheckBlock blocks[] = {
        {"lbl_Funktionstest",
         2,
         {{"ck_Selbsttest", kSelbsttest},
          {"ck_Ansaugtest", kAnsaugtest},
          {"ck_maxflow", kMaxflow},
          {"ck_minflow", kMinflow},
          {"ck_visuell", kVisuell}}},
        {"lbl_stk", 0, {{"ck_stk", kStk}}},
        {"lbl_Hersteller", 0, {{"ck_Typenschild", kTypenschild}}},
    };
    for (const CheckBlock& block : blocks) {
        engine.print_row({{}, {}, {}, heading(cap(block.title), 11, block.bigger)}, tabs, target);
        for (const auto& [name, field] : block.items) {
            failure =
                print_check_row(engine, cap(name), felder[size_t(field)], tabs[3], tabs[5], target);
            if (failure) return failure;
        }
        line_feeds(engine, 1, target);
    }

    target.current_y = y2;
    line_feeds(engine, 1, target);
    for (const RuledEntry& box : kRuledEntries) {
        if (box.field != kRuledEntries[0].field) line_feeds(engine, 1, target);
        ruled_block(engine, target, tabs, cap(box.caption), felder[size_t(box.field)]);
    }

    line_feeds(engine, 2, target);
    engine.print_row({{literal(texts.lang_text(4801))}, {}, {}, {literal(texts.lang_text(4802))}},
                     tabs, target);
    print_rule(engine, tabs[0], tabs[6], target);
    return std::nullopt;
}

namespace {

// The usable width of the printer's page in millimetres.
double page_width(const QPrinter& printer) {
    return printer.pageLayout().paintRect(QPageLayout::Millimeter).width();
}

// Text that does not fit its four ruled lines is cut only after the
// technician was told which box it is and chose OK.
bool fits_or_accepted(const ProtocolPrint& print, const Pruefprotokoll& protocol,
                      const QPrinter& printer) {
    MeasuringTarget measure(printer, printer.resolution() / 25.4);
    const QStringList boxes = boxes_cut_short(measure, page_width(printer), protocol, print.caption);
    if (boxes.isEmpty()) return true;
    QStringList told;
    for (const QString& box : boxes) told << print.texts.lang_text(6106).arg(box);
    return print.dialogs.ask_ok_cancel(told.join(kCrLf) + kCrLf + print.texts.lang_text(6107));
}

}  // namespace

bool print_protocol(const ProtocolPrint& print, Pruefprotokoll& protocol,
                    const std::function<void()>& form_to_record, const QString& pdf_proposal) {
    if (form_to_record) form_to_record();
    // The page shows the form as it was at the click, whatever the link does
    // to the record while the dialogs are open.
    const Pruefprotokoll clicked = protocol;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!print.choice.choose_printer(printer, pdf_proposal)) return false;
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!fits_or_accepted(print, clicked, printer)) return false;
    return print_protocol_on(print, clicked, printer);
}

bool print_protocol_on(const ProtocolPrint& print, const Pruefprotokoll& protocol,
                       QPrinter& printer) {
    std::optional<PrintFailure> failure;
    QPainter painter;
    const bool began = painter.begin(&printer);
    if (!began) {
        failure = printer_failure(print.texts);
        const QString file = printer.outputFileName();
        if (!file.isEmpty()) failure->description += QStringLiteral(" (%1)").arg(file);
    } else {
        // The margin belongs to this page only: the device data block on the
        // form is drawn from its box's left edge.
        const int saved_margin = print.engine.print_margin;
        print.engine.print_margin = kPageMargin;
        const double dots_per_mm = printer.resolution() / 25.4;
        const double width = page_width(printer);
        // Printers that cannot make copies themselves (PDF output) get one
        // page per copy.
        const int pages = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
        for (int page = 0; page < pages && !failure; ++page) {
            if (page > 0 && !printer.newPage()) failure = printer_failure(print.texts);
            PainterTarget target(painter, dots_per_mm);
            if (!failure)
                failure = lay_out_protocol(print.engine, target, width, protocol, print.caption,
                                           print.texts);
        }
        print.engine.print_margin = saved_margin;
        if (!painter.end() && !failure) failure = printer_failure(print.texts);
    }
    if (!failure) return true;
    // Half a PDF is no protocol.
    if (began && printer.outputFormat() == QPrinter::PdfFormat &&
        !printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
    print.dialogs.show_message(print.texts.lang_text(4810) + kCrLf + print.texts.lang_text(4900) +
                               QLatin1Char(' ') + QString::number(failure->number) +
                               QStringLiteral(": ") + failure->description);
    return false;
}
