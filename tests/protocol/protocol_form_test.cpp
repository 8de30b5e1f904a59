#include "protocol/protocol_form.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "platform/clock.h"
#include "platform/language_table.h"
#include "platform/settings.h"
#include "protocol/picture_box.h"
#include "shell/apply_language.h"
#include "shell/language.h"
#include "support/files.h"
#include "support/locale_guard.h"
#include "support/sample_device.h"
#include "support/scripted_dialogs.h"

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// A click on the box itself, as the user aims at it.
void click(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

class ProtocolFormTest : public ::testing::Test {
protected:
    ProtocolFormTest() {
        window.resize(1000, 700);
        frame->setObjectName("frm_protokoll");
        frame->setGeometry(4, 0, 957, 653);
        texts.texts[3] = "unsaved?";
        texts.texts[4201] = "Protocols";
        texts.texts[4202] = u8("Gerätedaten");
        settings.INITDIR = dir.path() + "/";
        auto* sn_caption = new QLabel(u8("Seriennummer Gerät"), &window);
        sn_caption->setObjectName("lbl_sn");
        auto* temp_caption = new QLabel(u8("Gastemperatur (°C)"), &window);
        temp_caption->setObjectName("lbl_gastemp");
        set_sample_device(geraet);
        window.show();
    }

    template <typename T>
    T* control(const char* name) {
        T* found = frame->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* name) { return control<QLineEdit>(name)->text(); }
    void visit_protocol_tab() { form.tab_clicked(1); }

    QTemporaryDir dir;
    QWidget window;
    QGroupBox* frame = new QGroupBox(&window);
    ScriptedDialogs dialogs;
    LanguageTable texts;
    Settings settings;
    ManualClock clock{QDateTime(QDate(2025, 1, 31), QTime(14, 5, 9))};
    Pruefprotokoll record;
    Geraetedaten geraet;
    ProtocolForm form{
        frame, {record, geraet, ProtocolFiles{dialogs, texts, settings, clock, [](const QString&) {
                                                  return true;
                                              }}}};
    LocaleGuard locale{LocaleGuard::german()};
};

}  // namespace

TEST_F(ProtocolFormTest, ControlsCarryTheirLimits) {
    EXPECT_TRUE(control<QCheckBox>("ck_Leistung")->isHidden());

    for (const char* name : {"t_krankenkasse", "t_patient", "t_strasse", "t_Ort", "t_Telefon",
                             "t_pruefer", "t_Datum", "t_Uhrzeit"}) {
        EXPECT_EQ(control<QLineEdit>(name)->maxLength(), 25) << name;
        EXPECT_TRUE(control<QLineEdit>(name)->text().isEmpty()) << name;
    }
    EXPECT_TRUE(control<QLineEdit>("t_Datum")->isReadOnly());
    EXPECT_TRUE(control<QLineEdit>("t_Uhrzeit")->isReadOnly());
    EXPECT_FALSE(control<QLineEdit>("t_patient")->isReadOnly());
}

TEST_F(ProtocolFormTest, TabOrderRunsTopToBottom) {
    window.show();
    const QStringList expected = {"t_krankenkasse", "t_patient",      "t_strasse",  "t_Ort",
                                  "t_Telefon",      "t_pruefer",      "t_Datum",    "t_Uhrzeit",
                                  "ck_Selbsttest",  "ck_Ansaugtest",  "ck_maxflow", "ck_minflow",
                                  "ck_visuell",     "ck_Typenschild", "ck_stk",     "t_bemerkungen",
                                  "t_zubehoer",     "cmd_print",      "cmd_open",   "cmd_save"};
    QStringList order;
    QWidget* w = control<QWidget>("t_krankenkasse");
    QWidget* previous = nullptr;
    for (int i = 0; i < expected.size(); ++i) {
        order << w->objectName();
        // Down the form, or along a row to the right.
        if (previous) {
            const QPoint a = previous->mapTo(frame, QPoint(0, 0));
            const QPoint b = w->mapTo(frame, QPoint(0, 0));
            EXPECT_TRUE(b.y() > a.y() || (b.y() == a.y() && b.x() > a.x()))
                << previous->objectName().toStdString() << " -> " << w->objectName().toStdString();
        }
        previous = w;
        do {
            w = w->nextInFocusChain();
        } while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(frame));
    }
    EXPECT_EQ(order, expected);
}

TEST_F(ProtocolFormTest, NothingIsClippedInEitherLanguage) {
    window.show();
    for (const char* language : {"langDE.txt", "langEN.txt"}) {
        SCOPED_TRACE(language);
        ASSERT_TRUE(load_language(texts, QStringLiteral(QV5_BUILD_BIN_DIR) + language, dialogs));
        apply_language(&window, texts);
        EXPECT_NE(control<QLabel>("lbl_Krankenkasse")->text(), "");
        // Every control lies inside the frame and shows its whole caption.
        for (QWidget* child :
             frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (child->isHidden()) continue;
            EXPECT_TRUE(frame->contentsRect().contains(child->geometry()))
                << child->objectName().toStdString();
            if (auto* label = qobject_cast<QLabel*>(child)) {
                EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
                EXPECT_LE(label->fontMetrics().height(), label->height());
            }
            if (auto* box = qobject_cast<QCheckBox*>(child)) {
                EXPECT_LE(box->sizeHint().width(), box->width()) << box->text().toStdString();
            }
            if (auto* button = qobject_cast<QPushButton*>(child)) {
                EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width());
            }
        }
    }
}

TEST_F(ProtocolFormTest, EachVisitStartsANewStampedProtocolWithTheDeviceData) {
    record.felder[kPatient] = "old";
    visit_protocol_tab();
    EXPECT_EQ(text("t_Datum"), "31.01.2025");
    EXPECT_EQ(text("t_Uhrzeit"), "14:05:09");
    EXPECT_EQ(text("t_patient"), "");
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_TRUE(form.controls().cmd_save->isEnabled());
    EXPECT_TRUE(record.geraetedaten.verbunden);
    EXPECT_EQ(record.geraetedaten.sn, "QV5-00012345");
    EXPECT_FALSE(record.geaendert);
    // The device data block shows the copy.
    const QString block = form.controls().p_geraetedaten->accessibleDescription();
    EXPECT_TRUE(block.contains(u8("Seriennummer Gerät QV5-00012345"))) << block.toStdString();
    EXPECT_TRUE(block.contains(u8("Gastemperatur 41,6 °C"))) << block.toStdString();

    // A look at another tab keeps unsaved entries, without a question.
    QTest::keyClicks(control<QLineEdit>("t_patient"), "Muster");
    form.tab_clicked(0);
    geraet.sn = "QV5000099999";
    clock.advance_ms(90 * 1000);
    visit_protocol_tab();
    EXPECT_EQ(text("t_patient"), "Muster");
    EXPECT_TRUE(dialogs.questions.isEmpty());
    // "Neu" asks; after Discard a new protocol of that time and device.
    dialogs.save_answers = {SaveAnswer::discard};
    QTest::mouseClick(form.controls().cmd_new, Qt::LeftButton);
    EXPECT_EQ(dialogs.questions, QStringList({"unsaved?"}));
    EXPECT_EQ(text("t_Uhrzeit"), "14:06:39");
    EXPECT_EQ(text("t_patient"), "");
    EXPECT_EQ(record.geraetedaten.sn, "QV5000099999");
}

TEST_F(ProtocolFormTest, WithoutADeviceTheFrameIsDisabledAndNothingIsAsked) {
    geraet = Geraetedaten();
    visit_protocol_tab();
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_FALSE(form.controls().cmd_save->isEnabled());
    EXPECT_FALSE(record.geraetedaten.verbunden);
    EXPECT_TRUE(form.controls().p_geraetedaten->accessibleDescription().isEmpty());
    EXPECT_EQ(text("t_Datum"), "31.01.2025");  // stamped all the same
    form.tab_clicked(0);
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(ProtocolFormTest, EveryChangeCountsAndShowingARecordForgetsThem) {
    visit_protocol_tab();
    const std::function<void()> edits[] = {
        [&] { QTest::keyClicks(control<QLineEdit>("t_pruefer"), "X"); },
        [&] { QTest::keyClicks(control<QPlainTextEdit>("t_zubehoer"), "Y"); },
        [&] { control<QLineEdit>("t_Datum")->setText("01.01.2000"); },  // by the program
        [&] { click(control<QCheckBox>("ck_stk")); },
        [&] { control<QCheckBox>("ck_Leistung")->setCheckState(Qt::Checked); },
    };
    int n = 0;
    for (const auto& edit : edits) {
        SCOPED_TRACE(n++);
        record.geaendert = false;
        edit();
        EXPECT_TRUE(record.geaendert);
        form.record_to_form();
        EXPECT_FALSE(record.geaendert);
    }
    // Ticking and unticking again leaves the box as it was, and still counts.
    auto* box = control<QCheckBox>("ck_visuell");
    record.geaendert = false;
    click(box);
    click(box);
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    EXPECT_TRUE(record.geaendert);
}

TEST_F(ProtocolFormTest, RecordAndFormMirrorEachOther) {
    visit_protocol_tab();
    record.felder[kPatient] = u8("Jürgen Groß");
    record.felder[kBemerkungen] = "eins\r\nzwei\rdrei\nvier";
    record.felder[kSelbsttest] = "1";
    record.felder[kAnsaugtest] = "2";
    record.felder[kMaxflow] = "ja";  // from a hand-edited file
    record.felder[kMinflow] = "7";
    form.record_to_form();
    EXPECT_EQ(text("t_patient"), u8("Jürgen Groß"));
    EXPECT_EQ(control<QPlainTextEdit>("t_bemerkungen")->toPlainText(), "eins\nzwei\ndrei\nvier");
    EXPECT_EQ(control<QCheckBox>("ck_Selbsttest")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>("ck_Ansaugtest")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(control<QCheckBox>("ck_maxflow")->checkState(), Qt::Unchecked);
    EXPECT_EQ(control<QCheckBox>("ck_minflow")->checkState(), Qt::Unchecked);

    // A click on a greyed box ticks it; the user never greys one.
    click(control<QCheckBox>("ck_Ansaugtest"));
    EXPECT_EQ(control<QCheckBox>("ck_Ansaugtest")->checkState(), Qt::Checked);
    click(control<QCheckBox>("ck_Ansaugtest"));
    EXPECT_EQ(control<QCheckBox>("ck_Ansaugtest")->checkState(), Qt::Unchecked);

    form.form_to_record();
    EXPECT_EQ(record.felder[kBemerkungen], "eins\r\nzwei\r\ndrei\r\nvier");
    EXPECT_EQ(record.felder[kSelbsttest], "1");
    EXPECT_EQ(record.felder[kAnsaugtest], "0");
    EXPECT_EQ(record.felder[kMaxflow], "0");
    EXPECT_EQ(record.felder[kLeistung], "0");
    EXPECT_EQ(record.felder[kDatum], "31.01.2025");
    for (int i = 19; i <= 30; ++i) EXPECT_TRUE(record.felder[size_t(i)].isEmpty());
}

TEST_F(ProtocolFormTest, MultiLineBoxesTakeAtMost240CharactersAsStored) {
    visit_protocol_tab();
    auto* notes = control<QPlainTextEdit>("t_bemerkungen");
    notes->setFocus();
    QTest::keyClicks(notes, QString(238, u'a'));
    QTest::keyClick(notes, Qt::Key_Return);  // CR LF: two of the 240
    QTest::keyClicks(notes, "bcd");
    EXPECT_EQ(notes->toPlainText(), QString(238, u'a') + "\n");
    // Pasting in the middle keeps the text before and after, drops the rest.
    notes->setPlainText(QString(230, u'x'));
    QTextCursor cursor = notes->textCursor();
    cursor.setPosition(10);
    notes->setTextCursor(cursor);
    notes->insertPlainText(QString(20, u'y'));
    EXPECT_EQ(notes->toPlainText(), QString(10, u'x') + QString(10, u'y') + QString(220, u'x'));
    form.form_to_record();
    EXPECT_EQ(record.felder[kBemerkungen].size(), 240);
}

TEST_F(ProtocolFormTest, ChecksavedSavesDiscardsOrGoesBackWithNothingLost) {
    const struct {
        const char* what;
        SaveAnswer answer;
        std::deque<QString> files;
        bool go_on;
        bool saved;
    } cases[] = {
        {"Save", SaveAnswer::save, {"ok.txt"}, true, true},
        {"Save, dialog cancelled", SaveAnswer::save, {""}, false, false},
        {"Discard", SaveAnswer::discard, {}, true, false},
        {"Cancel", SaveAnswer::cancel, {}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        form.start_new_protocol();
        QTest::keyClicks(control<QLineEdit>("t_patient"), "Muster");
        dialogs.questions.clear();
        dialogs.save_answers = {c.answer};
        dialogs.files.clear();
        for (const QString& f : c.files) dialogs.files.push_back(f.isEmpty() ? f : dir.filePath(f));
        const QString target = dir.filePath("ok.txt");
        QFile::remove(target);
        EXPECT_EQ(form.checksaved(), c.go_on);
        EXPECT_EQ(dialogs.questions.size(), 1);  // never asked in a loop
        EXPECT_EQ(record.geaendert, !c.go_on);
        EXPECT_EQ(text("t_patient"), "Muster");
        EXPECT_EQ(QFile::exists(target), c.saved);
        if (c.saved) {
            EXPECT_TRUE(read_bytes(target).contains("t_Patient|Muster\r\n"));
        }
        record.geaendert = false;
    }
}

TEST_F(ProtocolFormTest, ReopenKeepsAProtocolWithUnsavedChanges) {
    visit_protocol_tab();
    QTest::keyClicks(control<QLineEdit>("t_patient"), "Muster");
    geraet = Geraetedaten();  // the link was reset on the way
    form.device_reopened();
    EXPECT_TRUE(record.geaendert);
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_EQ(record.geraetedaten.sn, "QV5-00012345");
    EXPECT_EQ(text("t_patient"), "Muster");

    // Nothing to lose: a fresh protocol without device data.
    record.geaendert = false;
    form.device_reopened();
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_FALSE(record.geraetedaten.verbunden);
    EXPECT_TRUE(record.felder[kDatum].isEmpty());
}

TEST_F(ProtocolFormTest, AnOpenedProtocolIsShownForViewingOnly) {
    ASSERT_TRUE(write_bytes(dir.filePath("alt.txt"),
                            "t_Patient|Alt\r\nt_Datum|02.03.2024\r\nt_Uhrzeit|08:09:10\r\n"
                            "ck_stk|1\r\nSN|QV5000077777\r\n"));
    visit_protocol_tab();
    dialogs.files = {dir.filePath("alt.txt")};
    QTest::mouseClick(form.controls().cmd_open, Qt::LeftButton);
    EXPECT_EQ(text("t_patient"), "Alt");
    EXPECT_EQ(text("t_Datum"), "02.03.2024");
    EXPECT_EQ(text("t_Uhrzeit"), "08:09:10");
    EXPECT_EQ(control<QCheckBox>("ck_stk")->checkState(), Qt::Checked);
    EXPECT_TRUE(form.controls().p_geraetedaten->accessibleDescription().contains("QV5000077777"));
    // A viewing copy: nothing to edit or save, but "Neu", "Öffnen" and
    // "Drucken" work; "Neu" starts an editable protocol.
    const ProtocolControls& c = form.controls();
    EXPECT_TRUE(c.t_patient->isReadOnly() && c.t_bemerkungen->isReadOnly());
    EXPECT_FALSE(c.ck_stk->isEnabled() || c.cmd_save->isEnabled());
    EXPECT_TRUE(c.cmd_open->isEnabled() && c.cmd_print->isEnabled() && c.cmd_new->isEnabled());
    EXPECT_FALSE(record.geaendert);
    QTest::mouseClick(c.cmd_new, Qt::LeftButton);
    EXPECT_FALSE(c.t_patient->isReadOnly() || !c.t_Datum->isReadOnly() || !c.ck_stk->isEnabled());

    // "Öffnen" over unsaved entries asks first; Cancel, or Discard and then a
    // cancelled dialog, leave them as they were, still unsaved.
    visit_protocol_tab();
    QTest::keyClicks(control<QLineEdit>("t_patient"), "Neu");
    dialogs.save_answers = {SaveAnswer::cancel, SaveAnswer::discard};
    dialogs.files = {QString()};
    EXPECT_FALSE(form.open_protocol());
    EXPECT_FALSE(form.open_protocol());
    EXPECT_EQ(dialogs.questions, QStringList({"unsaved?", "unsaved?"}));
    EXPECT_EQ(text("t_patient"), "Neu");
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_TRUE(record.geraetedaten.verbunden);
    EXPECT_TRUE(record.geaendert);
}
