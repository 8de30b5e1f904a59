#pragma once

#include <QByteArray>

#include "link/port_state.h"

class CommLog;
class Dialogs;
struct LanguageTable;

// Finds, opens, configures, reads, writes and closes the one attached converter.
class Port {
public:
    Port(PortState& state, CommLog& log, Dialogs& dialogs, const LanguageTable& texts);

    // Opens the only attached converter at 19200 baud 8N2, no flow control,
    // DTR raised. Quiet: no message boxes (the log lines are written anyway).
    bool opendevice(bool quiet);
    // Status of the close; 0 and no log line when nothing was open.
    FT_STATUS closedevice();
    // One write of all bytes, status ignored (firmware image data).
    void write_raw(const QByteArray& bytes);
    // Whatever waits at the port, read at once; empty when nothing waits.
    QByteArray read_raw();
    FT_STATUS set_baud_rate(quint32 baud);

    bool is_open() const { return state_.ft_handle != 0; }
    // Why the last open found the converter held by another program, in the
    // user's words; empty when it was not so.
    const QString& in_use_detail() const { return in_use_detail_; }

private:
    void report_failure(bool quiet, const QString& text);

    PortState& state_;
    CommLog& log_;
    Dialogs& dialogs_;
    const LanguageTable& texts_;
    QString in_use_detail_;
};
