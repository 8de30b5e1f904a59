#pragma once

#include <QString>
#include <functional>

#include "protocol/protocol_record.h"

class Clock;
class Dialogs;
struct LanguageTable;
struct Settings;

// The protocol file: Windows-1252 text, one "key|value" line per entry, CR LF
// line ends; 18 entry lines in the order of feldnamen, then 17 device lines
// in the order of geraeteschluessel.

// A value on one line: "|" becomes "/", every line break (CR LF, lone CR,
// lone LF) becomes the two characters "\n".
QString escape_protocol_value(const QString& value);

// Appends one line, key unchanged, value escaped, ended by CR LF.
void write_protocol_entry(QString& file, const QString& key, const QString& value);

// The whole file for a protocol: always 35 lines.
QString protocol_file_text(const Pruefprotokoll& record);

// One line read from a file into the record. Empty lines and unknown keys are
// accepted and change nothing. False rejects the line: not exactly one "|",
// or a device value that is not a number of its kind.
bool parse_protocol_line(Pruefprotokoll& record, const QString& line);

// A serial number may hold characters that no file name can: each becomes "_".
QString file_name_safe(QString text);

// The name offered for a new protocol file: serial number, "_" and the local
// date and time as yyyymmdd_hhnnss, with ".txt".
QString proposed_protocol_name(const QString& sn, const QDateTime& now);

// What saving and opening need of the world.
struct ProtocolFiles {
    Dialogs& dialogs;
    const LanguageTable& texts;
    const Settings& settings;  // INITDIR: where both file dialogs open
    const Clock& clock;
    // After a dialog picked a file: a folder other than INITDIR becomes
    // INITDIR and is written to the configuration at once. False when that
    // write failed (the user has been told).
    std::function<bool(const QString& chosen_file)> adopt_folder;
};

// Saves the protocol into a file the user picks. Nothing happens while
// neither the protocol's own device data copy nor the live device holds data;
// the copy, where it holds data, gives the serial number for the gate and the
// proposed name, so a protocol can be kept after its device went away.
// `form_to_record` takes the form's state first. A failed write leaves any
// earlier file as it was and keeps `geaendert`. True once the file is written.
bool save_protocol(Pruefprotokoll& record, const Geraetedaten& geraet, const ProtocolFiles& files,
                   const std::function<void()>& form_to_record);

// Empties the protocol (`reset_protocol`, also when the dialog is cancelled),
// then reads a file the user picks line by line. At the first rejected line it
// says which and stops; entries read so far stay in the record but are not
// shown. After a full read the device data copy counts as holding data and
// `record_to_form` shows the protocol. True after a full read.
bool open_protocol(Pruefprotokoll& record, const ProtocolFiles& files,
                   const std::function<void()>& reset_protocol,
                   const std::function<void()>& record_to_form);
