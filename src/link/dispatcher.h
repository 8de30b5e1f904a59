#pragma once

#include <QByteArray>
#include <QObject>

#include "link/device_data.h"

class Clock;
class Dialogs;
class FrameLink;
struct LanguageTable;

// Applies every valid reply to the device data. The display, the chart and the
// status memory table hear about it through the signals.
class ReplyDispatcher : public QObject {
    Q_OBJECT
public:
    ReplyDispatcher(Geraetedaten& geraet, qint32& timeout_count, FrameLink& frames,
                    Dialogs& dialogs, const LanguageTable& texts, const Clock& clock,
                    QObject* parent = nullptr);

    void dispatch_reply(const QByteArray& payload);

    // How a status memory pass ended.
    enum class SysstatEnd {
        Complete,  // after slot 32 or at the first empty slot
        CutShort,  // the device answered a block request with no readable block
    };
    Q_ENUM(SysstatEnd)
    // Starts a pass over the status memory: geraet.sysstat is emptied and slot 1
    // asked for; each block read asks for the next one.
    void start_sysstat();
    // The link was reset: the pass is over, and a block reply still on its way
    // asks for nothing more.
    void stop_sysstat() { sysstat_slot_ = 0; }
    bool sysstat_running() const { return sysstat_slot_ > 0; }

signals:
    // After every reply that changed or confirmed the device data.
    void display_changed();
    // A status record of index 1 arrived: the chart takes its points.
    void chart_points();
    // The first (and every) status record of index 1 ends the start-up wait:
    // default pointer, tabs enabled.
    void status_record_received();
    // A status memory pass stored block `blocks_read` and asks for the next one,
    // or has ended (the table can be built from geraet.sysstat).
    void sysstat_progress(int blocks_read);
    void sysstat_complete(ReplyDispatcher::SysstatEnd end);

private:
    bool apply_version(const QByteArray& payload);
    void apply_timing(const QByteArray& payload);
    void apply_hours(const QByteArray& payload);
    void apply_memory(const QByteArray& payload);
    // Every reply while a pass runs: the awaited block, or the end of the pass.
    void sysstat_step(const QByteArray& payload, const QByteArray& asked);
    void end_sysstat(SysstatEnd end);
    void apply_status(const QByteArray& payload);

    Geraetedaten& geraet_;
    qint32& timeout_count_;
    FrameLink& frames_;
    Dialogs& dialogs_;
    const LanguageTable& texts_;
    const Clock& clock_;
    int sysstat_slot_ = 0;  // the slot a running pass asked for; 0 while none runs
};

// The reply lengths the device sends, letter included.
constexpr int kStatus0Length = 15;
constexpr int kStatus1Length = 23;
constexpr int kHoursLength = 7;
constexpr int kTimingLength = 3;
constexpr int kMemoryHeader = 4;
