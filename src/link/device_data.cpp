#include "link/device_data.h"

void reset_geraet(Geraetedaten& geraet, qint64 now_ms) {
    // The status memory read last stays: its table outlives the connection.
    QVector<Sysstatblock> sysstat = std::move(geraet.sysstat);
    geraet = Geraetedaten();
    geraet.sysstat = std::move(sysstat);
    geraet.letzte_antwort = now_ms;
}
