#include "protocol/protocol_controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/control_name.h"
#include "platform/geometry.h"
#include "protocol/picture_box.h"

namespace {

// Positions inside the frame, in twips. Left: the address block, the check
// items and the remarks; right: the device data and the accessories; the
// buttons along the bottom.
constexpr int kLeft = 240;
constexpr int kLabelWidth = 1620;
constexpr int kBoxLeft = 1920;
constexpr int kLeftWidth = 6240;
constexpr int kBoxWidth = kLeft + kLeftWidth - kBoxLeft;
constexpr int kRight = 6840;
constexpr int kRightWidth = 7275;
constexpr int kRowHeight = 285;
constexpr int kFirstRow = 360;
constexpr int kRowStep = 360;
constexpr int kCheckStep = 300;
constexpr int kNotesTop = 6600;
constexpr int kNotesHeight = 2160;
constexpr int kButtonTop = 9240;
constexpr int kButtonWidth = 1500;
constexpr int kButtonHeight = 435;

// A ticked box becomes unticked on a click, any other state ticked: a greyed
// state comes only from a file, never from the user.
class ProtocolCheckBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

QLabel* caption(QGroupBox* frame, const char* name, const char* text, int text_id, int left,
                int top, int width, bool bold = false) {
    QLabel* label = name_control(new QLabel(QString::fromUtf8(text), frame), name, text_id);
    label->setGeometry(twips_rect(left, top, width, kRowHeight));
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

// A caption label and its single-line box on one row of the address block.
QLineEdit* text_row(QGroupBox* frame, const char* label_name, const char* box_name,
                    const char* text, int text_id, int row) {
    const int top = kFirstRow + row * kRowStep;
    QLabel* label = caption(frame, label_name, text, text_id, kLeft, top, kLabelWidth);
    auto* box = new QLineEdit(frame);
    box->setObjectName(QString::fromLatin1(box_name));
    box->setGeometry(twips_rect(kBoxLeft, top, kBoxWidth, kRowHeight));
    box->setMaxLength(kLineLimit);
    label->setBuddy(box);
    return box;
}

QCheckBox* check(QGroupBox* frame, const char* name, const char* text, int text_id, int top) {
    QCheckBox* box =
        name_control(new ProtocolCheckBox(QString::fromUtf8(text), frame), name, text_id);
    box->setGeometry(twips_rect(kLeft, top, kLeftWidth, kRowHeight));
    return box;
}

QPlainTextEdit* notes(QGroupBox* frame, const char* label_name, const char* box_name,
                      const char* text, int text_id, int left, int width) {
    QLabel* label = caption(frame, label_name, text, text_id, left, kNotesTop, width, true);
    auto* box = new QPlainTextEdit(frame);
    box->setObjectName(QString::fromLatin1(box_name));
    box->setGeometry(twips_rect(left, kNotesTop + 300, width, kNotesHeight));
    box->setTabChangesFocus(true);  // Tab moves on, as in every other box
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    label->setBuddy(box);
    return box;
}

QPushButton* button(QGroupBox* frame, const char* name, const char* text, int text_id, int n) {
    auto* b = name_control(new QPushButton(QString::fromUtf8(text), frame), name, text_id);
    b->setGeometry(
        twips_rect(kLeft + n * (kButtonWidth + 120), kButtonTop, kButtonWidth, kButtonHeight));
    return b;
}

}  // namespace

ProtocolControls build_protocol_controls(QGroupBox* frame) {
    ProtocolControls c;
    c.frm_protokoll = frame;
    // Created in the tab order: the address block from top to bottom, the
    // check items, the remarks and the accessories, then the buttons.
    c.t_krankenkasse =
        text_row(frame, "lbl_Krankenkasse", "t_krankenkasse", "Krankenkasse", 11014, 0);
    c.t_patient = text_row(frame, "lbl_Patient", "t_patient", "Patient", 11015, 1);
    c.t_strasse = text_row(frame, "lbl_Strasse", "t_strasse", "Straße", 11016, 2);
    c.t_Ort = text_row(frame, "lbl_Ort", "t_Ort", "Ort", 11017, 3);
    c.t_Telefon = text_row(frame, "lbl_Telefon", "t_Telefon", "Telefon", 11018, 4);
    c.t_pruefer = text_row(frame, "lbl_pruefer", "t_pruefer", "Prüfer", 11019, 5);
    c.t_Datum = text_row(frame, "lbl_Datum", "t_Datum", "Datum", 11020, 6);
    c.t_Uhrzeit = text_row(frame, "lbl_Uhrzeit", "t_Uhrzeit", "Uhrzeit", 11021, 7);
    // Only the program stamps the date and time of the check.
    for (QLineEdit* stamp : {c.t_Datum, c.t_Uhrzeit}) {
        stamp->setReadOnly(true);
        QPalette looks_fixed = stamp->palette();
        looks_fixed.setColor(QPalette::Base, looks_fixed.color(QPalette::Window));
        stamp->setPalette(looks_fixed);
    }

    int top = kFirstRow + 8 * kRowStep + 120;
    c.lbl_Funktionstest =
        caption(frame, "lbl_Funktionstest", "Funktionstest", 11023, kLeft, top, kLeftWidth, true);
    c.ck_Selbsttest = check(frame, "ck_Selbsttest", "Selbsttest, alle Funktionen vorhanden", 11006,
                            top += kCheckStep);
    c.ck_Ansaugtest =
        check(frame, "ck_Ansaugtest", "Ansaugtest Kompressor", 11007, top += kCheckStep);
    c.ck_maxflow = check(frame, "ck_maxflow", "maximaler Flow", 11008, top += kCheckStep);
    c.ck_minflow = check(frame, "ck_minflow", "minimaler Flow", 11009, top += kCheckStep);
    c.ck_visuell = check(frame, "ck_visuell", "visuelle Kontrolle", 11012, top += kCheckStep);
    top += kCheckStep + 60;
    c.ck_Leistung = check(frame, "ck_Leistung", "Leistungsaufnahme", 11010, top);
    c.ck_Leistung->hide();
    c.lbl_Hersteller =
        caption(frame, "lbl_Hersteller", "nur Hersteller", 11024, kLeft, top, kLeftWidth, true);
    c.ck_Typenschild =
        check(frame, "ck_Typenschild", "Typenschild anbringen", 11011, top += kCheckStep);
    top += kCheckStep + 60;
    c.lbl_stk = caption(frame, "lbl_stk", "STK", 11025, kLeft, top, kLeftWidth, true);
    c.ck_stk = check(frame, "ck_stk", "STK durchgeführt", 11013, top += kCheckStep);

    c.t_bemerkungen =
        notes(frame, "lbl_Bemerkungen", "t_bemerkungen", "Bemerkungen", 11026, kLeft, kLeftWidth);
    c.t_zubehoer = notes(frame, "lbl_Zubehoer", "t_zubehoer", "ausgeliefertes Zubehör", 11027,
                         kRight, kRightWidth);

    c.cmd_print = button(frame, "cmd_print", "Drucken", 11002, 0);
    c.cmd_open = button(frame, "cmd_open", "Öffnen", 11003, 1);
    c.cmd_save = button(frame, "cmd_save", "Speichern", 11004, 2);
    c.cmd_new = button(frame, "cmd_new", "Neu", 6102, 3);
    c.lbl_hinweis = new QLabel(frame);
    c.lbl_hinweis->setObjectName(QStringLiteral("lbl_hinweis"));
    c.lbl_hinweis->setGeometry(twips_rect(kRight, kButtonTop - 60, kRightWidth, kButtonHeight + 120));
    c.lbl_hinweis->setWordWrap(true);

    c.lbl_geraetedaten = caption(frame, "lbl_geraetedaten", "Gerätedaten", 11022, kRight, kFirstRow,
                                 kRightWidth, true);
    c.p_geraetedaten = new PictureBox(frame);
    c.p_geraetedaten->setObjectName(QStringLiteral("p_geraetedaten"));
    c.p_geraetedaten->setGeometry(
        twips_rect(kRight, kFirstRow + 300, kRightWidth, kNotesTop - 120 - kFirstRow - 300));
    c.lbl_geraetedaten->setBuddy(c.p_geraetedaten);

    // The entries' controls, found by the file's key as any hand-made form
    // would be: by name, whatever its case.
    for (int i = 1; i <= kFeldCount; ++i) {
        const QString key = QString::fromLatin1(feldnamen[size_t(i)]);
        for (QWidget* child :
             frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (child->objectName().compare(key, Qt::CaseInsensitive) == 0)
                c.feld[size_t(i)] = child;
        }
    }
    return c;
}
