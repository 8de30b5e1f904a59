#include "visits/device_book.h"

constexpr int kDueSoonDays = 30;

QDate next_stk_due(const QDate& last_stk, int interval_months) {
    if (!last_stk.isValid()) return {};
    return last_stk.addMonths(interval_months);
}

DueState due_state(const QDate& next_due, const QDate& today) {
    if (!next_due.isValid() || today > next_due) return DueState::overdue;
    if (today.daysTo(next_due) <= kDueSoonDays) return DueState::due_soon;
    return DueState::in_time;
}

QVector<DeviceRow> device_book(const QVector<ArchivedDevice>& devices, int interval_months,
                               const QDate& today) {
    QVector<DeviceRow> rows;
    rows.reserve(devices.size());
    for (const ArchivedDevice& device : devices) {
        DeviceRow row;
        row.serial = device.name;
        row.visits = device.visits.size();
        bool newest_read = false;
        // Visits are newest first.
        for (const ArchivedVisit& visit : device.visits) {
            if (!row.last_visit.isValid()) row.last_visit = visit.when;
            if (is_marked(visit.check)) ++row.marked;
            if (!visit.readable) continue;
            if (!newest_read) {
                row.hours = visit.bstd;
                row.o2 = visit.o2;
                newest_read = true;
            }
            if (!row.last_stk.isValid() && visit.stk == QLatin1String("1"))
                row.last_stk = visit.when.date();
        }
        row.next_due = next_stk_due(row.last_stk, interval_months);
        row.state = due_state(row.next_due, today);
        rows.append(row);
    }
    return rows;
}

double operating_hours(const QString& bstd) {
    bool hours_ok = false;
    bool minutes_ok = false;
    const double hours = bstd.section(u':', 0, 0).toDouble(&hours_ok);
    const double minutes = bstd.section(u':', 1, 1).toDouble(&minutes_ok);
    if (!hours_ok) return 0;
    return hours + (minutes_ok ? minutes / 60.0 : 0);
}
