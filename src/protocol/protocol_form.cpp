#include "protocol/protocol_form.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/language_table.h"
#include "platform/painter_target.h"
#include "platform/settings.h"
#include "protocol/box_hints.h"
#include "protocol/picture_box.h"
#include "protocol/print_layout.h"
#include "protocol/widget_captions.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The record keeps line breaks as CR LF; the box shows plain line breaks.
QString for_box(QString text) {
    text.replace(kCrLf, QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString from_box(QString text) {
    return text.replace(u'\n', kCrLf);
}

// A check box entry is its state as a digit: "0" unticked, "1" ticked, "2"
// greyed; anything else shows unticked.
Qt::CheckState check_state(const QString& entry) {
    bool ok = false;
    const int value = entry.trimmed().toInt(&ok);
    if (ok && value == 1) return Qt::Checked;
    if (ok && value == 2) return Qt::PartiallyChecked;
    return Qt::Unchecked;
}

QString check_entry(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return QStringLiteral("1");
        case Qt::PartiallyChecked:
            return QStringLiteral("2");
        default:
            return QStringLiteral("0");
    }
}

bool is_check(int feld) {
    return QLatin1String(feldnamen[size_t(feld)]).startsWith(QLatin1String("ck_"));
}

}  // namespace

ProtocolForm::ProtocolForm(QGroupBox* frame, Parts parts, QObject* parent)
    : QObject(parent), p_(std::move(parts)), c_(build_protocol_controls(frame)) {
    hints_ = new BoxHints(c_, c_.lbl_hinweis, p_.files.texts, this);
    wire();
}

void ProtocolForm::wire() {
    for (int i = 1; i <= kFeldCount; ++i) {
        QWidget* control = c_.feld[size_t(i)];
        if (auto* line = qobject_cast<QLineEdit*>(control)) {
            connect(line, &QLineEdit::textChanged, this, &ProtocolForm::changed);
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
            connect(plain, &QPlainTextEdit::textChanged, this, &ProtocolForm::changed);
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            // Ticking and unticking again is a change too.
            connect(box, &QCheckBox::stateChanged, this, &ProtocolForm::changed);
        }
    }
    connect(c_.cmd_save, &QPushButton::clicked, this, &ProtocolForm::save_protocol);
    connect(c_.cmd_open, &QPushButton::clicked, this, &ProtocolForm::open_protocol);
    connect(c_.cmd_print, &QPushButton::clicked, this, &ProtocolForm::print_requested);
    connect(c_.cmd_new, &QPushButton::clicked, this, [this] { start_new_protocol(); });
}

// Every change counts, the program's own ones too; showing a record clears
// the flag afterwards.
void ProtocolForm::changed() {
    p_.record.geaendert = true;
}

void ProtocolForm::enable_protocol(bool on) {
    c_.cmd_save->setEnabled(on);
    c_.frm_protokoll->setEnabled(on);
}

void ProtocolForm::init_protocol(const Geraetedaten& source, bool clear) {
    set_viewing(false);
    // Without a device the form keeps showing the entries of the one it was
    // started for.
    if (source.verbunden) started_for_ = source.sn.trimmed();
    enable_protocol(init_protocol_record(p_.record, source, clear, p_.files.clock.monotonic_ms()));
    if (clear) hints_->forget();
}

void ProtocolForm::set_viewing(bool on) {
    viewing_ = on;
    // Read-only boxes look like the stamp boxes: filled with the window's colour.
    const QPalette editable = c_.frm_protokoll->palette();
    QPalette fixed = editable;
    fixed.setColor(QPalette::Base, fixed.color(QPalette::Window));
    for (int i = 1; i <= kFeldCount; ++i) {
        QWidget* control = c_.feld[size_t(i)];
        const bool read_only = on || i == kDatum || i == kUhrzeit;
        if (auto* line = qobject_cast<QLineEdit*>(control))
            line->setReadOnly(read_only);
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
            plain->setReadOnly(read_only);
        else
            control->setEnabled(!on);
        if (qobject_cast<QCheckBox*>(control) == nullptr)
            control->setPalette(read_only ? fixed : editable);
    }
    c_.cmd_save->setEnabled(!on);
}

void ProtocolForm::take_device_again() {
    form_to_record();
    init_protocol(p_.geraet, false);
    record_to_form();
}

void ProtocolForm::reset_protocol() {
    started_for_.clear();
    p_.record.geraetedaten.verbunden = false;
    init_protocol(p_.record.geraetedaten, true);
    record_to_form();
}

void ProtocolForm::stamp_date_time() {
    ::stamp_date_time(p_.record, p_.files.clock.now());
}

void ProtocolForm::record_to_form() {
    hints_->forget();  // they spoke of the protocol shown until now
    for (int i = 1; i <= kFeldCount; ++i) {
        const QString& entry = p_.record.felder[size_t(i)];
        QWidget* control = c_.feld[size_t(i)];
        if (auto* line = qobject_cast<QLineEdit*>(control)) {
            line->setText(entry);
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
            plain->setPlainText(for_box(entry));
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            box->setCheckState(check_state(entry));
        }
    }
    draw_geraetedaten();
    p_.record.geaendert = false;
}

void ProtocolForm::form_to_record() {
    for (int i = 1; i <= kFeldCount; ++i) {
        QString& entry = p_.record.felder[size_t(i)];
        QWidget* control = c_.feld[size_t(i)];
        if (auto* line = qobject_cast<QLineEdit*>(control)) {
            entry = line->text();
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
            entry = from_box(plain->toPlainText());
        } else if (is_check(i)) {
            entry = check_entry(static_cast<QCheckBox*>(control)->checkState());
        }
    }
}

bool ProtocolForm::checksaved(const QString& question) {
    discarded_ = false;
    if (!p_.record.geaendert) return true;
    switch (p_.files.dialogs.ask_save_discard(question.isEmpty() ? p_.files.texts.lang_text(3)
                                                                 : question)) {
        case SaveAnswer::save:
            // A cancelled or failed save goes back to the form.
            return save_protocol();
        case SaveAnswer::discard:
            p_.record.geaendert = false;
            discarded_ = true;
            return true;
        case SaveAnswer::cancel:
            break;
    }
    return false;
}

// A protocol with unsaved entries waits on its tab while the technician looks
// elsewhere; only a protocol with nothing unsaved is replaced by a new one.
void ProtocolForm::tab_clicked(int index) {
    if (index == 1 && !p_.record.geaendert) new_protocol();
}

bool ProtocolForm::start_new_protocol(const QString& question) {
    if (!checksaved(question)) return false;
    new_protocol();
    return true;
}

void ProtocolForm::new_protocol() {
    if (!p_.geraet.verbunden) started_for_.clear();
    init_protocol(p_.geraet, true);
    stamp_date_time();
    record_to_form();
    file_path_.clear();
}

void ProtocolForm::device_reopened() {
    if (p_.record.geaendert || viewing_) return;
    init_protocol(p_.geraet, true);
}

bool ProtocolForm::save_protocol() {
    const QString path =
        ::save_protocol(p_.record, p_.geraet, p_.files, [this] { form_to_record(); });
    if (!path.isEmpty()) file_path_ = path;
    return !path.isEmpty();
}

QString ProtocolForm::pdf_proposal() const {
    if (!file_path_.isEmpty()) {
        const QFileInfo file(file_path_);
        return file.path() + u'/' + file.completeBaseName() + QLatin1String(".pdf");
    }
    const Geraetedaten& device =
        p_.record.geraetedaten.verbunden ? p_.record.geraetedaten : p_.geraet;
    const QFileInfo name(proposed_protocol_name(device.sn, p_.files.clock.now()));
    return p_.files.settings.INITDIR + name.completeBaseName() + QLatin1String(".pdf");
}

bool ProtocolForm::open_protocol() {
    if (!checksaved()) return false;
    bool reset = false;
    const QString path = ::open_protocol(
        p_.record, p_.files,
        [this, &reset] {
            reset = true;
            reset_protocol();
        },
        [this] { record_to_form(); });
    // Changes thrown away for a file that never came are still on the form.
    if (!reset && discarded_) p_.record.geaendert = true;
    if (!path.isEmpty()) {
        file_path_ = path;
        // A file is evidence of its own visit: shown to be looked at and
        // printed, never edited into the protocol of this one.
        started_for_ = p_.record.geraetedaten.sn.trimmed();
        c_.frm_protokoll->setEnabled(true);
        set_viewing(true);
    }
    return !path.isEmpty();
}

// The device data block as the printed page shows it, drawn by the same
// engine. A fresh engine keeps its margin at 0: the block starts at the box's
// edge whatever a print before did.
void ProtocolForm::draw_geraetedaten() {
    PictureBox* box = c_.p_geraetedaten;
    box->clear();
    QStringList spoken;
    {
        QPainter painter(&box->image());
        // A little air between the box's border and its text.
        constexpr int kPadding = 4;
        painter.translate(kPadding, kPadding / 2);
        PainterTarget target(painter, 1);
        target.transcript = &spoken;
        target.font = PrintFont{box->font().family(), 10, false, false};
        PrintMarkup engine(p_.files.dialogs, p_.files.texts);
        QWidget* window = box->window();
        draw_device_data(
            engine, target, box->inner_width() - 2 * kPadding, 10, p_.record.geraetedaten,
            [window](const QString& name) { return widget_caption(window, name); }, p_.files.texts);
    }
    box->setAccessibleDescription(spoken.join(QLatin1Char(' ')));
    box->update();
}
