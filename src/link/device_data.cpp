#include "link/device_data.h"

void reset_geraet(Geraetedaten& geraet, qint64 now_ms) {
    geraet = Geraetedaten();
    geraet.letzte_antwort = now_ms;
}
