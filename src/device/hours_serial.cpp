#include "device/hours_serial.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "link/device_data.h"
#include "link/frame.h"
#include "link/poll_cycle.h"
#include "link/requests.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"

namespace {

constexpr int kHoursPrompt = 110;
constexpr int kHoursRefused = 111;
constexpr int kHoursSettleMs = 400;
constexpr int kSerialSettleMs = 800;

bool is_digit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "01234:5": five hour digits, a colon, tens of minutes 0..5. Gives the six
// digits without the colon, or nothing when the answer has another form.
std::optional<QString> hours_digits(const QString& answer) {
    if (answer.size() != 7 || answer[5] != u':') return std::nullopt;
    for (int i = 0; i < 7; ++i) {
        if (i != 5 && !is_digit(answer[i])) return std::nullopt;
    }
    if (answer[6] > u'5') return std::nullopt;
    return answer.left(5) + answer[6];
}

}  // namespace

HoursSerial::HoursSerial(Controls controls, Geraetedaten& geraet, FrameLink& frames,
                         PollCycle& poll, Dialogs& dialogs, const LanguageTable& texts,
                         QObject* parent)
    : QObject(parent),
      c_(controls),
      geraet_(geraet),
      frames_(frames),
      poll_(poll),
      dialogs_(dialogs),
      texts_(texts) {
    connect(c_.cmd_setbstd, &QPushButton::clicked, this, &HoursSerial::cmd_setbstd_click);
    connect(c_.cmd_resetbstd, &QPushButton::clicked, this, &HoursSerial::cmd_resetbstd_click);
    connect(c_.cmd_setsn, &QPushButton::clicked, this, &HoursSerial::cmd_setsn_click);
    connect(c_.t_sn, &QLineEdit::textEdited, this, &HoursSerial::t_sn_edited);
    c_.t_sn->installEventFilter(this);
}

bool HoursSerial::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.t_sn && event->type() == QEvent::FocusOut) t_sn_focus_lost();
    return false;
}

void HoursSerial::cmd_setbstd_click() {
    if (!geraet_.verbunden) return;
    std::optional<QString> digits;
    while (!digits) {
        const std::optional<QString> answer =
            dialogs_.input_box(texts_.lang_text(kHoursPrompt), QString());
        if (!answer || answer->isEmpty()) return;
        digits = hours_digits(*answer);
        if (!digits) dialogs_.show_message(texts_.lang_text(kHoursRefused));
    }
    // The link may have gone while the prompt was open.
    if (!geraet_.verbunden) return;
    frames_.enqueue(req_set_bstd(*digits));
    poll_.wait_busy(kHoursSettleMs);
    if (geraet_.verbunden) frames_.enqueue(req_bstd());
}

void HoursSerial::cmd_resetbstd_click() {
    if (!geraet_.verbunden) return;
    // Shown at once; the read-back replaces it with the device's own zero.
    geraet_.bstd = QStringLiteral("000000:00");
    frames_.enqueue(req_set_bstd(QStringLiteral("0000000")));
    poll_.wait_busy(kHoursSettleMs);
    if (geraet_.verbunden) frames_.enqueue(req_bstd());
}

void HoursSerial::t_sn_edited() {
    if (geraet_.verbunden && c_.t_sn->text() != geraet_.sn) c_.cmd_setsn->show();
}

void HoursSerial::t_sn_focus_lost() {
    if (c_.t_sn->text() == geraet_.sn) c_.cmd_setsn->hide();
}

void HoursSerial::cmd_setsn_click() {
    if (!geraet_.verbunden) return;
    const QString text = c_.t_sn->text();
    emit serial_written(geraet_.sn, text);
    geraet_.sn = text;
    frames_.enqueue(req_set_sn(text));
    poll_.wait_busy(kSerialSettleMs);
    c_.cmd_setsn->hide();
    if (geraet_.verbunden) frames_.enqueue(req_sn());
}
