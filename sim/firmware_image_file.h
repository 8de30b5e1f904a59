#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct DeviceState;

// Firmware images the emulated device accepts, for tests, benchmarks and the
// demonstration: each block is 0x42, a 16-bit page number, the page's data
// bytes and a one-byte sum, so that every block differs from the others.
constexpr int kImagePageBytes = 128;
QByteArray image_block(int page, int data_bytes = kImagePageBytes);
QList<QByteArray> image_blocks(int count, int data_bytes = kImagePageBytes);

// The text of a ".qv5" file: version line, hardware line, one hex line per
// block, lines ended by CR LF.
QByteArray image_file_text(const QString& version, const QStringList& hardware,
                           const QList<QByteArray>& blocks);

// The identity the program builds for the emulated device: "S" + software
// version text + ",E" + the four characters at parameter address 80.
QString emulated_hardware_id(const DeviceState& state);
