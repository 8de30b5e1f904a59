#include "sim/firmware_image_file.h"

#include "sim/device_state.h"

QByteArray image_block(int page, int data_bytes) {
    QByteArray block;
    block.append(char(0x42));
    block.append(char(page >> 8));
    block.append(char(page & 0xFF));
    for (int i = 0; i < data_bytes; ++i) block.append(char((page * 31 + i * 7) & 0xFF));
    char sum = 0;
    for (const char byte : block) sum = char(sum + byte);
    block.append(sum);
    return block;
}

QList<QByteArray> image_blocks(int count, int data_bytes) {
    QList<QByteArray> blocks;
    for (int page = 0; page < count; ++page) blocks.append(image_block(page, data_bytes));
    return blocks;
}

QByteArray image_file_text(const QString& version, const QStringList& hardware,
                           const QList<QByteArray>& blocks) {
    QByteArray text =
        "VERSION=" + version.toLatin1() + "\r\nHARDWARE=" + hardware.join(u'|').toLatin1() + "\r\n";
    for (const QByteArray& block : blocks) text += block.toHex().toUpper() + "\r\n";
    return text;
}

QString emulated_hardware_id(const DeviceState& state) {
    return u'S' + QString::fromLatin1(state.version_text) + QStringLiteral(",E") +
           QString::fromLatin1(state.read_eeprom(80, 4));
}
