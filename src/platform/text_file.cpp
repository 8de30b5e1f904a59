#include "platform/text_file.h"

#include <QFile>
#include <QSaveFile>

#include "platform/cp1252.h"

bool read_text_lines(const QString& path, QStringList& lines, QString* error) {
    lines.clear();
    QFile file(path);
    const auto failed = [&] {
        if (error) *error = file.errorString();
        return false;
    };
    if (!file.open(QIODevice::ReadOnly)) return failed();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return failed();

    const QString text = decode_cp1252(bytes);
    int start = 0;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(text.mid(start));
    return true;
}

bool write_text_file(const QString& path, const QString& text, QString* error) {
    QSaveFile file(path);
    const auto fail = [&] {
        if (error) *error = file.errorString();
        return false;
    };
    // Never fall back to writing the target in place: that is what loses data.
    file.setDirectWriteFallback(false);
    // Unbuffered, so a short write shows here. Buffered, the error would only
    // come up in commit()'s final flush, and Qt 6.4 then still renames the
    // truncated file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail();
    const QByteArray bytes = encode_cp1252(text);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        if (error) *error = reason;
        return false;
    }
    return file.commit() || fail();
}
