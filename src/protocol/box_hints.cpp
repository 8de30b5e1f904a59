#include "protocol/box_hints.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

#include "platform/cp1252.h"
#include "platform/language_table.h"
#include "protocol/protocol_controls.h"

namespace {

// The length of a box's text as the record will hold it.
int stored_length(const QString& plain) {
    return int(plain.size() + plain.count(u'\n'));
}

}  // namespace

BoxHints::BoxHints(const ProtocolControls& c, QLabel* hint, const LanguageTable& texts,
                   QObject* parent)
    : QObject(parent), hint_(hint), texts_(texts) {
    for (QLineEdit* line :
         {c.t_krankenkasse, c.t_patient, c.t_strasse, c.t_Ort, c.t_Telefon, c.t_pruefer}) {
        connect(line, &QLineEdit::textEdited, this, [this, line] { line_edited(line); });
        line->installEventFilter(this);
    }
    for (QPlainTextEdit* plain : {c.t_bemerkungen, c.t_zubehoer}) {
        connect(plain, &QPlainTextEdit::textChanged, this, [this, plain] { notes_changed(plain); });
        plain->installEventFilter(this);
    }
}

void BoxHints::forget() {
    hint_->clear();
    hint_box_ = nullptr;
    told_.clear();
}

// The room left shows as soon as a box is entered.
bool BoxHints::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) show_hint(static_cast<QWidget*>(watched), {});
    return QObject::eventFilter(watched, event);
}

void BoxHints::line_edited(QLineEdit* line) {
    QVector<CharFit> fits;
    const QString text = line->text();
    const QString fitted = fit_cp1252(text, &fits);
    if (fitted != text) {
        const int cursor = int(fit_cp1252(text.left(line->cursorPosition())).size());
        line->setText(fitted);
        line->setCursorPosition(cursor);
    }
    show_hint(line, fits);
}

void BoxHints::notes_changed(QPlainTextEdit* plain) {
    if (editing_) return;
    editing_ = true;
    const QVector<CharFit> fits = fit_notes(plain);
    trim_notes(plain);
    editing_ = false;
    // Text the program shows (an opened file) needs no hint.
    if (plain->hasFocus() || !fits.isEmpty()) show_hint(plain, fits);
}

// Each character the file cannot hold is replaced where it stands, from the
// end, so the positions before it and the caret stay where they were.
QVector<CharFit> BoxHints::fit_notes(QPlainTextEdit* plain) {
    QVector<CharFit> fits;
    const QString text = plain->toPlainText();
    QTextCursor cursor(plain->document());
    for (int end = int(text.size()) - 1; end >= 0; --end) {
        if (cp1252_holds(text[end])) continue;
        const int start = text[end].isLowSurrogate() && end > 0 && text[end - 1].isHighSurrogate()
                              ? end - 1
                              : end;
        QVector<CharFit> one;
        const QString to = fit_cp1252(text.mid(start, end - start + 1), &one);
        cursor.setPosition(start);
        cursor.setPosition(end + 1, QTextCursor::KeepAnchor);
        cursor.insertText(to);
        fits = one + fits;
        end = start;
    }
    return fits;
}

// Typing or pasting beyond the limit drops what came in last.
void BoxHints::trim_notes(QPlainTextEdit* plain) {
    const QString text = plain->toPlainText();
    int excess = stored_length(text) - kMultiLineLimit;
    if (excess <= 0) return;
    QTextCursor cursor = plain->textCursor();
    const int end = cursor.position();
    int from = end;
    while (excess > 0 && from > 0) {
        --from;
        excess -= text.at(from) == u'\n' ? 2 : 1;
    }
    cursor.setPosition(from);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (excess > 0) {
        // Text set in one go with the caret in front of it: keep its start.
        const QString rest = plain->toPlainText();
        int keep = int(rest.size());
        while (excess > 0 && keep > 0) {
            --keep;
            excess -= rest.at(keep) == u'\n' ? 2 : 1;
        }
        cursor.setPosition(keep);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    plain->setTextCursor(cursor);
}

// The characters changed stay named while the technician stays in the box.
void BoxHints::show_hint(QWidget* box, const QVector<CharFit>& fits) {
    if (box != hint_box_) {
        hint_box_ = box;
        told_.clear();
    }
    for (const CharFit& fit : fits) {
        const bool known = std::any_of(told_.begin(), told_.end(),
                                       [&](const CharFit& t) { return t.from == fit.from; });
        if (!known) told_.append(fit);
    }
    QStringList parts;
    for (const CharFit& fit : told_) {
        parts << (fit.to.isEmpty() ? texts_.lang_text(6105).arg(fit.from)
                                   : texts_.lang_text(6103).arg(fit.from, fit.to));
    }
    int limit = kLineLimit;
    int used = 0;
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        limit = line->maxLength();
        used = int(line->text().size());
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
        limit = kMultiLineLimit;
        used = stored_length(plain->toPlainText());
    }
    QString room =
        used < limit ? texts_.lang_text(6100).arg(limit - used) : texts_.lang_text(6101).arg(limit);
    if (qobject_cast<QPlainTextEdit*>(box)) room += texts_.lang_text(6104);
    parts << room;
    hint_->setText(parts.join(QLatin1Char(' ')));
}
