#include "device/hours_serial.h"

#include <QApplication>
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
constexpr int kConfirmZero = 6600;    // %1 the hours now, %2 after zeroing
constexpr int kConfirmSerial = 6601;  // %1 the number now, %2 the new one
// How the tab shows the hours after zeroing, once the device has read them back.
const QString kZeroHours = QStringLiteral("00000:00");
constexpr int kHoursSettleMs = 400;
constexpr int kSerialSettleMs = 800;

bool is_digit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "01234:5": five hour digits, a colon, tens of minutes 0..5, or the same with
// the trailing 0 the tab shows ("01234:50"). Gives the six digits without the
// colon, or nothing when the answer has another form.
std::optional<QString> hours_digits(QString answer) {
    if (answer.size() == 8 && answer[7] == u'0') answer.chop(1);
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
    // Enter in the box does what its "Speichern" does, question included.
    connect(c_.t_sn, &QLineEdit::returnPressed, this, [this] {
        if (c_.cmd_setsn->isVisible()) cmd_setsn_click();
    });
    c_.t_sn->installEventFilter(this);
}

bool HoursSerial::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.t_sn && event->type() == QEvent::FocusOut) t_sn_focus_lost();
    return false;
}

void HoursSerial::cmd_setbstd_click() {
    if (!geraet_.verbunden) return;
    // The prompt comes up holding the hours as the tab shows them; a refused
    // answer comes back for mending.
    QString shown = geraet_.bstd;
    std::optional<QString> digits;
    while (!digits) {
        const std::optional<QString> answer =
            dialogs_.input_box(texts_.lang_text(kHoursPrompt), shown);
        if (!answer || answer->isEmpty()) return leave_writing_button(c_.t_bstd);
        digits = hours_digits(*answer);
        if (!digits) dialogs_.show_message(texts_.lang_text(kHoursRefused));
        shown = *answer;
    }
    // The link may have gone while the prompt was open.
    if (geraet_.verbunden) {
        frames_.enqueue(req_set_bstd(*digits));
        poll_.wait_busy(kHoursSettleMs);
        if (geraet_.verbunden) frames_.enqueue(req_bstd());
    }
    leave_writing_button(c_.t_bstd);
}

void HoursSerial::cmd_resetbstd_click() {
    if (!geraet_.verbunden) return;
    // One key must not zero a device: the technician confirms old and new.
    const bool yes =
        dialogs_.ask_yes_no(texts_.lang_text(kConfirmZero).arg(geraet_.bstd, kZeroHours));
    if (yes && geraet_.verbunden) {
        // Shown at once; the read-back replaces it with the device's own zero.
        geraet_.bstd = QStringLiteral("000000:00");
        frames_.enqueue(req_set_bstd(QStringLiteral("0000000")));
        poll_.wait_busy(kHoursSettleMs);
        if (geraet_.verbunden) frames_.enqueue(req_bstd());
    }
    leave_writing_button(c_.t_bstd);
}

// After a write (or its refusal) the focus rests on a box that writes
// nothing, so the next Enter cannot write to the device by accident.
void HoursSerial::leave_writing_button(QWidget* rest) {
    QWidget* focus = QApplication::focusWidget();
    const bool on_button =
        focus == c_.cmd_setbstd || focus == c_.cmd_resetbstd || focus == c_.cmd_setsn;
    if ((on_button || !focus) && rest->isVisible()) rest->setFocus(Qt::OtherFocusReason);
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
    // The serial number names the device in every record: asked first.
    const bool yes =
        dialogs_.ask_yes_no(texts_.lang_text(kConfirmSerial).arg(geraet_.sn.trimmed(), text));
    if (!yes || !geraet_.verbunden) return leave_writing_button(c_.t_sn);
    emit serial_written(geraet_.sn, text);
    geraet_.sn = text;
    frames_.enqueue(req_set_sn(text));
    // Hidden before the wait: the focus cannot pass from it to "=>0".
    c_.cmd_setsn->hide();
    poll_.wait_busy(kSerialSettleMs);
    leave_writing_button(c_.t_sn);
    if (geraet_.verbunden) frames_.enqueue(req_sn());
}
