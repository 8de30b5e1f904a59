#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

#include "visits/archive_reader.h"

// Where a device stands with its safety check (STK).
enum class DueState {
    overdue,   // past its due date, or never checked in the archive
    due_soon,  // due within the next 30 days
    in_time,
};

// One row of the device book: a device as its visits in the archive show it.
struct DeviceRow {
    QString serial;
    QDateTime last_visit;  // the newest visit folder's time
    QDate last_stk;        // the newest readable visit with "STK durchgeführt"; invalid: none
    QDate next_due;        // invalid when there was no STK
    QString hours;         // operating hours at the newest readable visit ("" without one)
    std::optional<double> o2;
    int visits = 0;
    int marked = 0;  // visits found altered or incomplete
    DueState state = DueState::overdue;
};

// An STK is due `interval_months` after the last one: the same day of the
// month, or the month's last day where it has fewer.
QDate next_stk_due(const QDate& last_stk, int interval_months);
// Overdue once the due day has passed; due soon from 30 days before it.
DueState due_state(const QDate& next_due, const QDate& today);

QVector<DeviceRow> device_book(const QVector<ArchivedDevice>& devices, int interval_months,
                               const QDate& today);

// Operating hours "12345:30" (hours, ":", minutes) as hours; 0 when unreadable.
double operating_hours(const QString& bstd);
