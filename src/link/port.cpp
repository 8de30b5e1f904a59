#include "link/port.h"

#include <functional>

#include "link/comm_log.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

Port::Port(PortState& state, CommLog& log, Dialogs& dialogs, const LanguageTable& texts)
    : state_(state), log_(log), dialogs_(dialogs), texts_(texts) {}

void Port::report_failure(bool quiet, const QString& text) {
    if (quiet) return;
    const QString detail = state_.ft->last_error_detail();
    // It does not wait for its OK: the tick goes on looking for the device,
    // which takes the message away when it opens.
    dialogs_.show_notice(detail.isEmpty() ? text : text + kCrLf + detail);
}

bool Port::opendevice(bool quiet) {
    closedevice();
    Ftd2xx& ft = *state_.ft;
    in_use_detail_.clear();

    quint32 count = 0;
    const FT_STATUS listed = ft.FT_ListDevices(count, FT_LIST_NUMBER_ONLY);
    if (listed != FT_OK) {
        report_failure(quiet, QStringLiteral("DLL-Error:") + QString::number(listed));
        return false;
    }
    if (count >= 2) {
        report_failure(quiet, texts_.lang_text(2000) + QString::number(count));
        return false;
    }
    if (count == 0) {
        report_failure(quiet, texts_.lang_text(2100) + kCrLf + texts_.lang_text(2200));
        return false;
    }

    FT_HANDLE& h = state_.ft_handle;
    // Each configuration step with the text that names it when it fails.
    const auto steps = {
        std::pair<int, std::function<FT_STATUS()>>{2300, [&] { return ft.FT_Open(0, h); }},
        {2400, [&] { return ft.FT_SetBaudRate(h, 19200); }},
        {2500,
         [&] {
             return ft.FT_SetDataCharacteristics(h, FT_BITS_8, FT_STOP_BITS_2, FT_PARITY_NONE);
         }},
        {2600, [&] { return ft.FT_SetFlowControl(h, FT_FLOW_NONE, 0, 0); }},
        {2700, [&] { return ft.FT_SetDtr(h); }},
        {2800, [&] { return ft.FT_SetTimeouts(h, 100, 250); }},
    };
    for (const auto& [text_id, step] : steps) {
        const FT_STATUS status = step();
        if (status != FT_OK) {
            if (text_id == 2300 && ft.last_open_in_use()) in_use_detail_ = ft.last_error_detail();
            report_failure(quiet, texts_.lang_text(text_id) + QStringLiteral(" DLL-Error:") +
                                      QString::number(status));
            closedevice();
            return false;
        }
    }
    log_.log_error(QStringLiteral("Handle:") + QString::number(h) + kCrLf);
    dialogs_.close_notice();
    return true;
}

FT_STATUS Port::closedevice() {
    if (state_.ft_handle == 0) return FT_OK;
    const FT_STATUS status = state_.ft->FT_Close(state_.ft_handle);
    log_.log_error(status == FT_OK
                       ? QStringLiteral("Device Closed") + kCrLf
                       : QStringLiteral("Error Device Closed: ") + QString::number(status) + kCrLf);
    state_.ft_handle = 0;
    return status;
}

void Port::write_raw(const QByteArray& bytes) {
    quint32 written = 0;
    state_.ft->FT_Write(state_.ft_handle, bytes.constData(), quint32(bytes.size()), written);
}

QByteArray Port::read_raw() {
    // Bounds one read whatever a backend announces; the rest comes next time.
    constexpr quint32 kMaxRead = 1 << 16;
    quint32 waiting = 0;
    if (state_.ft->FT_GetQueueStatus(state_.ft_handle, waiting) != FT_OK || waiting == 0)
        return QByteArray();
    waiting = qMin(waiting, kMaxRead);
    QByteArray bytes(qsizetype(waiting), Qt::Uninitialized);
    quint32 returned = 0;
    const FT_STATUS status = state_.ft->FT_Read(state_.ft_handle, bytes.data(), waiting, returned);
    returned = qMin(returned, waiting);
    if (returned < waiting)
        log_.log_error(QString::number(status) + QStringLiteral("|RxBytes<>BytesReturned:") +
                       QString::number(waiting) + u'/' + QString::number(returned) + kCrLf);
    bytes.truncate(qsizetype(returned));
    return bytes;
}

FT_STATUS Port::set_baud_rate(quint32 baud) {
    return state_.ft->FT_SetBaudRate(state_.ft_handle, baud);
}
