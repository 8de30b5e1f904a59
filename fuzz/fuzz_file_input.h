#pragma once

#include <unistd.h>
#include <QFile>
#include <QString>
#include <cstdint>

// The readers under test take a path: hand them the input as a real file.
inline QString fuzz_input_file(const uint8_t* data, size_t size) {
    static const QString path =
        QStringLiteral("/tmp/qv5-fuzz-%1.txt").arg(QString::number(getpid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) __builtin_trap();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}
