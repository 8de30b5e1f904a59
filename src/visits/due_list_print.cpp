#include "visits/due_list_print.h"

#include <QFile>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "protocol/printer_choice.h"
#include "visits/device_book_model.h"

namespace {

constexpr double kMarginMm = 15;
// The columns' widths in millimetres, the page's 180 mm between the margins.
constexpr double kColumnMm[DeviceBookModel::column_count] = {30, 21, 21, 25, 25, 14, 16, 28};

void prepare(QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
}

}  // namespace

int print_due_list_on(const DueListPrint& print, const QVector<DeviceRow>& rows,
                      int interval_months, const QDate& today, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    const double mm = printer.resolution() / 25.4;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    // The paper's margin, whatever the printer cannot reach already.
    const QRectF area = QRectF(0, 0, page.width(), page.height())
                            .adjusted(std::max(0.0, kMarginMm * mm - page.left()),
                                      std::max(0.0, kMarginMm * mm - page.top()),
                                      -std::max(0.0, kMarginMm * mm - page.left()),
                                      -std::max(0.0, kMarginMm * mm - page.top()));
    QFont body(QStringLiteral("Arial"));
    body.setPointSizeF(9);
    QFont bold = body;
    bold.setBold(true);
    QFont title = bold;
    title.setPointSizeF(11);
    const double row_height = QFontMetricsF(body, &printer).height() * 1.35;
    const double head_height = QFontMetricsF(title, &printer).height() * 2 + row_height * 1.5;
    const int per_page = std::max(1, int((area.height() - head_height) / row_height));
    int pages = std::max(1, int((rows.size() + per_page - 1) / per_page));
    const QString heading = print.texts.lang_text(6099).arg(
        QLocale().toString(today, QLocale::ShortFormat), QString::number(interval_months));

    const auto draw_row = [&](double y, const QStringList& cells) {
        double x = area.left();
        for (int c = 0; c < cells.size(); ++c) {
            const QRectF cell(x, y, kColumnMm[c] * mm - 1.5 * mm, row_height);
            painter.drawText(
                cell, Qt::AlignLeft | Qt::AlignVCenter,
                painter.fontMetrics().elidedText(cells[c], Qt::ElideRight, int(cell.width())));
            x += kColumnMm[c] * mm;
        }
    };
    QStringList header;
    for (int c = 0; c < DeviceBookModel::column_count; ++c)
        header << device_book_header(DeviceBookModel::Column(c), print.texts);

    for (int p = 0; p < pages; ++p) {
        if (p > 0 && !printer.newPage()) {
            painter.end();
            pages = 0;
            break;
        }
        double y = area.top();
        painter.setFont(title);
        const double title_height = QFontMetricsF(title, &printer).height();
        painter.drawText(QRectF(area.left(), y, area.width(), title_height * 2),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, heading);
        painter.setFont(body);
        painter.drawText(QRectF(area.left(), y, area.width(), title_height),
                         Qt::AlignRight | Qt::AlignTop,
                         print.texts.lang_text(6508).arg(p + 1).arg(pages));
        y += title_height * 2 + row_height * 0.5;
        painter.setFont(bold);
        draw_row(y, header);
        y += row_height;
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setFont(body);
        const int end = std::min<int>(rows.size(), (p + 1) * per_page);
        for (int r = p * per_page; r < end; ++r, y += row_height) {
            QStringList cells;
            for (int c = 0; c < DeviceBookModel::column_count; ++c)
                cells << device_book_text(rows[r], DeviceBookModel::Column(c), print.texts);
            draw_row(y, cells);
        }
    }
    if (pages > 0 && painter.end()) return pages;
    // Half a PDF is no list.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
    return 0;
}

bool print_due_list(const DueListPrint& print, const QVector<DeviceRow>& rows, int interval_months,
                    const QDate& today, const QString& pdf_proposal) {
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer);
    if (!print.choice.choose_printer(printer, pdf_proposal)) return false;
    prepare(printer);
    if (print_due_list_on(print, rows, interval_months, today, printer) > 0) return true;
    QString text = print.texts.lang_text(6515);
    if (!printer.outputFileName().isEmpty())
        text += QLatin1String("\r\n") + printer.outputFileName();
    print.dialogs.show_message(text);
    return false;
}
