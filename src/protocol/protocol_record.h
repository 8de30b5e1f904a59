#pragma once

#include <QDateTime>
#include <QString>
#include <array>

#include "link/device_data.h"

// The service protocol of one safety check ("STK"): the entries of the form
// and the copy of the device data it documents.
struct Pruefprotokoll {
    // The device data this protocol documents; `verbunden` says whether the
    // copy holds data (taken from a connected device or read from a file).
    Geraetedaten geraetedaten;
    // The form's entries by index; only 1 .. 18 are used (see feldnamen).
    std::array<QString, 31> felder;
    // The form has changes that were not saved.
    bool geaendert = false;
};

// Indexes of `felder`, in the order of `feldnamen`.
enum Feld : int {
    kKrankenkasse = 1,
    kPatient = 2,
    kStrasse = 3,
    kOrt = 4,
    kTelefon = 5,
    kPruefer = 6,
    kDatum = 7,
    kUhrzeit = 8,
    kSelbsttest = 9,
    kAnsaugtest = 10,
    kMaxflow = 11,
    kMinflow = 12,
    kVisuell = 13,
    kLeistung = 14,
    kTypenschild = 15,
    kStk = 16,
    kBemerkungen = 17,
    kZubehoer = 18,
};
constexpr int kFeldCount = 18;

// The keys of the protocol file's entry lines, index 1 .. 18; the same names,
// compared without regard to case, name the form's controls. "t_" entries are
// texts, "ck_" entries a check box state as one digit ("0", "1", "2" greyed).
inline constexpr std::array<const char*, kFeldCount + 1> feldnamen = {
    "",           "t_Krankenkasse", "t_Patient",     "t_Strasse",
    "t_Ort",      "t_Telefon",      "t_Pruefer",     "t_Datum",
    "t_Uhrzeit",  "ck_Selbsttest",  "ck_Ansaugtest", "ck_Maxflow",
    "ck_Minflow", "ck_Visuell",     "ck_Leistung",   "ck_Typenschild",
    "ck_stk",     "t_Bemerkungen",  "t_Zubehoer",
};

// The keys under which the file keeps the device data, index 1 .. 17.
constexpr int kGeraeteschluesselCount = 17;
inline constexpr std::array<const char*, kGeraeteschluesselCount + 1> geraeteschluessel = {
    "",        "SN",      "LP",      "VEEPROM",        "SW",          "SW_NUM",
    "BSTD",    "O2",      "GASTEMP", "KOMPRESSORTEMP", "ALARMSIGNAL", "ZEITEN0",
    "ZEITEN1", "ZEITEN2", "ZEITEN3", "ZEITEN4",        "ZEITEN5",     "ZEITEN6",
};

// The text of one device value as the file holds it: texts as stored, the
// three measurements in general decimal form with a decimal comma, valve
// timings as 0 .. 255. A key without a field yields "".
QString device_value_text(const Geraetedaten& record, const QString& key);

// Stores one device value read from a file. False when the text is not a
// number of the field's kind (a measurement, or a whole number 0 .. 255 for a
// timing); keys without a field store nothing and succeed.
bool set_device_value(Geraetedaten& record, const QString& key, const QString& text);

// Starts a protocol: with a connected `source` the device data is copied,
// otherwise the copy is emptied. `clear` empties the entries. The changes flag
// is cleared either way. Returns whether the copy holds device data, which is
// when the form may be edited.
bool init_protocol_record(Pruefprotokoll& record, const Geraetedaten& source, bool clear,
                          qint64 now_ms);

// The date and time of the check: "dd.mm.yyyy" and "hh:nn:ss".
void stamp_date_time(Pruefprotokoll& record, const QDateTime& now);
