#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "protocol/print_layout.h"
#include "visits/measurement_log.h"

class Clock;
class CommLog;
class Dialogs;
class ProtocolForm;
class SysstatTab;
class Waiter;
struct Geraetedaten;
struct LanguageTable;
struct Pruefprotokoll;
struct Settings;

// "Besuch abschließen": the visit's whole evidence in one new folder of the
// archive, written by the same writers "Speichern", "Drucken", the status
// tab and the developer tab use, plus the live values recorded since the
// device was connected.
class FinishVisit : public QObject {
    Q_OBJECT
public:
    struct Parts {
        Geraetedaten& geraet;
        Pruefprotokoll& record;
        ProtocolForm& form;
        SysstatTab& sysstat;
        const CommLog& log;
        Settings& settings;
        Dialogs& dialogs;
        const LanguageTable& texts;
        const Clock& clock;
        Waiter& waiter;
        PrintMarkup& engine;
        CaptionOf caption;
        std::function<bool()> save_settings;
        std::function<void(const QString& folder)> open_folder;
    };
    explicit FinishVisit(Parts parts, QObject* parent = nullptr);

    // The whole visit; true once its folder is complete.
    bool finish_visit();
    const MeasurementLog& measurements() const { return measurements_; }
    // The folder of the last finished visit.
    const QString& last_folder() const { return last_folder_; }

    // A status reply arrived: one measurement row.
    void status_received();
    // The status memory table was built from a whole read pass.
    void status_memory_read() { status_read_ = true; }
    // The link was reset: a new connection has not read the status memory.
    void link_was_reset() { status_read_ = false; }

private:
    bool read_status_memory();
    bool write_visit(const QString& archive, QString* failure);

    Parts p_;
    MeasurementLog measurements_;
    bool status_read_ = false;
    bool running_ = false;
    QString last_folder_;
};
