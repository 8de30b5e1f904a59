#pragma once

#include <QProcess>
#include <QString>

// The text poppler's pdftotext reads out of a PDF, laid out as on the page.
inline QString pdf_text(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {"-layout", "-enc", "UTF-8", file, "-"});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(p.readAllStandardOutput());
}
