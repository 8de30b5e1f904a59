#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

#include "protocol/protocol_record.h"
#include "visits/visit_file.h"

class ArchiveCache;

// What the sums in a visit's visit.json say about its files.
enum class VisitCheck {
    unchecked,   // finished before visits kept the file: "nicht prüfbar"
    intact,      // every file as it was written
    altered,     // a file changed or added, or visit.json unreadable: "verändert"
    incomplete,  // files missing, none changed: "unvollständig"
};

// What the archive shows of one visit, from its folder name and protocol.txt.
struct ArchivedVisit {
    QString path;           // the visit's folder
    QDateTime when;         // the finish time from the folder's name
    bool readable = false;  // protocol.txt was found and read whole
    QString pruefer;
    QString stk;  // the check box state as the file holds it: "0", "1", "2"
    QString bstd;
    QString sw;
    double o2 = 0;
    // The visit's own file where the folder holds a readable one; visits
    // finished before it existed have none.
    std::optional<VisitRecord> record;
    VisitCheck check = VisitCheck::unchecked;
    QStringList changed;  // file names, for the visit's details
    QStringList added;
    QStringList missing;
};

// The sums say the visit's folder is not as it was written.
inline bool is_marked(VisitCheck check) {
    return check == VisitCheck::altered || check == VisitCheck::incomplete;
}

struct ArchivedDevice {
    QString name;                   // the serial number's folder
    QVector<ArchivedVisit> visits;  // newest first
};

// The fixed names of a visit's files.
inline const char* const kVisitProtocol = "protocol.txt";
inline const char* const kVisitPdf = "protocol.pdf";
inline const char* const kVisitStatus = "status.txt";
inline const char* const kVisitCommunication = "communication.txt";
inline const char* const kVisitMeasurements = "measurements.csv";

// A visit's protocol file read into `record`: every line must be a protocol
// line and every key the program writes must be there, so a foreign or cut
// file is told apart from a protocol.
bool parse_visit_protocol(const QStringList& lines, Pruefprotokoll& record);
// The same from the visit's folder; false for a missing, oversized or
// unreadable file.
bool load_visit_protocol(const QString& visit_path, Pruefprotokoll& record);

struct ArchiveListing {
    QVector<ArchivedDevice> devices;  // by name
    // Entries that are neither a device nor a visit, relative to the archive,
    // each listed once (a folder without visit folders by its own name).
    QStringList foreign;
};

// Every device under `archive` with its visits. A device is a folder holding
// at least one visit folder (named by its finish time); a visit folder whose
// protocol does not read shows as an unreadable visit. Other writers'
// unfinished entries (hidden, temporary) are left out. With `verify` every
// visit's files are checked against its sums (through `cache` when given).
// Nothing in the archive stops the listing, and nothing in it is changed.
ArchiveListing list_archive(const QString& archive, ArchiveCache* cache = nullptr,
                            bool verify = true);

// The mean O2 of a visit's last measurement row, from the end of its
// measurements file (`tail`: the file's last bytes).
std::optional<double> last_mean_o2(const QByteArray& tail);
std::optional<double> read_last_mean_o2(const QString& visit_path);
// The mean O2 a visit's page shows: the one its protocol.pdf shows, from its
// own file; for a visit from before that file the last measurement row's.
std::optional<double> page_mean_o2(const ArchivedVisit& visit);
