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

signals:
    // After every reply that changed or confirmed the device data.
    void display_changed();
    // A status record of index 1 arrived: the chart takes its points.
    void chart_points();
    // The first (and every) status record of index 1 ends the start-up wait:
    // default pointer, tabs enabled.
    void status_record_received();
    // Status memory reading goes on (hourglass) or has ended (table built).
    void sysstat_progress();
    void sysstat_complete();

private:
    bool apply_version(const QByteArray& payload);
    void apply_timing(const QByteArray& payload);
    void apply_hours(const QByteArray& payload);
    void apply_memory(const QByteArray& payload);
    void apply_sysstat_block(int address, const QByteArray& data);
    void apply_status(const QByteArray& payload);

    Geraetedaten& geraet_;
    qint32& timeout_count_;
    FrameLink& frames_;
    Dialogs& dialogs_;
    const LanguageTable& texts_;
    const Clock& clock_;
};

// The reply lengths the device sends, letter included.
constexpr int kStatus0Length = 15;
constexpr int kStatus1Length = 23;
constexpr int kHoursLength = 7;
constexpr int kTimingLength = 3;
constexpr int kMemoryHeader = 4;
