#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

#include "link/device_data.h"
#include "link/dispatcher.h"
#include "protocol/print_layout.h"
#include "visits/measurement_log.h"
#include "visits/visit_file.h"

class Clock;
class CommLog;
class Dialogs;
class ProtocolForm;
class SysstatTab;
class Waiter;
struct LanguageTable;
struct Pruefprotokoll;
struct Settings;

// "Besuch abschließen": the visit's whole evidence in one new folder of the
// archive, written by the same writers "Speichern", "Drucken", the status
// tab and the developer tab use, plus the live values recorded since the
// device was connected and the visit's own file, which says whom the visit
// belongs to and what it lacks.
//
// A visit belongs to one device: the one last connected in this run, under
// any serial number the technician wrote to it meanwhile. Its protocol must
// have been started for that device; a device with another serial number
// starts a new protocol.
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
        QString program_version;
    };
    explicit FinishVisit(Parts parts, QObject* parent = nullptr);

    // The whole visit; true once its folder is complete. Every way it ends
    // but a question answered "no" ends with a message.
    bool finish_visit();
    const MeasurementLog& measurements() const { return measurements_; }
    // The folder of the last finished visit.
    const QString& last_folder() const { return last_folder_; }
    // A device was connected in this run: its visit can be finished, also
    // once it no longer answers.
    bool has_device() const { return !device_.sn.trimmed().isEmpty(); }

    // A status reply arrived: one measurement row.
    void status_received();
    // A status memory pass stored block `blocks_read`, or ended.
    void status_progress(int blocks_read);
    void status_memory_read(ReplyDispatcher::SysstatEnd end);
    // The link was reset: a new connection has not read the status memory.
    void link_was_reset();
    // The technician writes a serial number to the connected device.
    void serial_written(const QString& from, const QString& to);

signals:
    // While finishing: what is being done, and `done` of `total` steps.
    void progress(const QString& text, int done, int total);
    void progress_ended();

private:
    // How the status memory read of this visit's device ended, if it ran.
    struct StatusState {
        bool known = false;
        StatusReadEnd end = StatusReadEnd::not_read;
        int blocks = 0;
        int cut_at = 0;
    };
    // The last finished visit's protocol, to tell a second finish of it.
    struct LastFinish {
        QString serial;
        QString protocol;
        QDateTime when;
    };

    void protocol_for_device();
    bool protocol_belongs(const QString& serial);
    bool worth_recording();
    bool not_twice(const QString& serial);
    void read_status_memory();
    bool accept_status_read();
    VisitRecord visit_record(const QString& serial) const;
    bool write_visit(const QString& archive, VisitRecord& visit, QString* failure);
    QString message_after(const VisitRecord& visit) const;

    Parts p_;
    MeasurementLog measurements_;
    Geraetedaten device_;        // the device last connected, as last seen
    bool identified_ = false;    // its serial number was seen since the link reset
    bool status_fresh_ = false;  // the status memory was read since it connected
    bool pass_running_ = false;  // a status memory pass is under way
    StatusState status_;
    QVector<SerialChange> serial_changes_;
    LastFinish last_finish_;
    bool running_ = false;
    QString last_folder_;
};
