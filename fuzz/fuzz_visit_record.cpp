// Any bytes as a visit's own file: the reader never crashes, and whatever it
// accepts is a record the program writes back and reads again the same.
#include <cstdint>

#include "visits/visit_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VisitRecord first;
    QString error;
    if (!parse_visit_record(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), first,
                            &error)) {
        if (error.isEmpty()) __builtin_trap();
        return 0;
    }
    if (first.serial.trimmed().isEmpty() || !first.finished.isValid()) __builtin_trap();
    const QByteArray written = visit_record_json(first);
    VisitRecord second;
    if (!parse_visit_record(written, second) || visit_record_json(second) != written)
        __builtin_trap();
    return 0;
}
