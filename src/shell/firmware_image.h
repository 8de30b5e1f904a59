#pragma once

#include <QString>
#include <QStringList>

class Dialogs;
struct Geraetedaten;
struct LanguageTable;

// A firmware image as read from its ".qv5" file: the version, the hardware
// identities it may be programmed into, and the block lines in hex, in file
// order. The link reset empties it.
struct FirmwareImage {
    QString version;
    QStringList hardware;
    QStringList blocks;  // each line trimmed, still hex, starting with "42"

    void clear();
};

// Reads an image file: "VERSION=…", "HARDWARE=id|id|…", then one block per
// line. False when the file cannot be read, is malformed or holds no block;
// the user has been told why and the image is left empty.
bool read_image(const QString& path, FirmwareImage& image, Dialogs& dialogs,
                const LanguageTable& texts);

// What the connected device says it is: "S" + software version + ",E" + the
// four characters of the parameter memory at address 80.
QString hardware_id(const Geraetedaten& geraet);
