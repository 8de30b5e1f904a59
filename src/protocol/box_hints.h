#pragma once

#include <QObject>
#include <QVector>

#include "protocol/cp1252_fit.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
struct LanguageTable;
struct ProtocolControls;

// The protocol's text boxes hold only what the file can: at most 25
// characters in a one-line box, 240 in a multi-line one (a line break
// counting two, as the file stores it), and Windows-1252 characters only. A
// hint line under the form says how much room the box being edited has left,
// why it takes no more, and which typed characters were changed.
class BoxHints : public QObject {
    Q_OBJECT
public:
    BoxHints(const ProtocolControls& controls, QLabel* hint, const LanguageTable& texts,
             QObject* parent = nullptr);

    // The protocol the hint spoke of has gone (a new one, one opened, another
    // device): the line is emptied.
    void forget();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void line_edited(QLineEdit* line);
    void notes_changed(QPlainTextEdit* plain);
    QVector<CharFit> fit_notes(QPlainTextEdit* plain);
    void trim_notes(QPlainTextEdit* plain);
    void show_hint(QWidget* box, const QVector<CharFit>& fits);

    QLabel* hint_;
    const LanguageTable& texts_;
    bool editing_ = false;         // the program is changing a box's text itself
    QWidget* hint_box_ = nullptr;  // the box the hint speaks of
    QVector<CharFit> told_;        // its changed characters, each named once
};
