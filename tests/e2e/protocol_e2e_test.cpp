// The protocol tab in the running program, on the emulated device: entries
// that survive a lost link, and the question before they are lost.
#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "protocol/protocol_form.h"
#include "support/app_rig.h"

namespace {

const QString kUnsaved = QString::fromUtf8(
    "Das Prüfprotokoll wurde geändert und noch nicht gespeichert. Soll es jetzt gespeichert "
    "werden? (OK = speichern, Abbrechen = Änderungen verwerfen)");

// Typing, umlauts included (QTest::keyClicks knows only ASCII).
void type(QWidget* box, const char* utf8) {
    for (const QChar c : QString::fromUtf8(utf8))
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The technician's part: the protocol tab, a few entries.
void fill_in(AppRig& rig) {
    rig.app->window()->tab1()->setCurrentIndex(1);
    ASSERT_TRUE(rig.find<QGroupBox>("frm_protokoll")->isEnabled());
    type(rig.find<QLineEdit>("t_patient"), "Jürgen Groß");
    auto* remarks = rig.find<QPlainTextEdit>("t_bemerkungen");
    type(remarks, "Lüfter 40°");
    QTest::keyClick(remarks, Qt::Key_Return);
    QTest::keyClicks(remarks, "ok");
    auto* stk = rig.find<QCheckBox>("ck_stk");
    QTest::mouseClick(stk, Qt::LeftButton, {}, QPoint(8, stk->height() / 2));
    ASSERT_TRUE(rig.app->pruefprotokoll.geaendert);
}

// Connected, entries typed, then the device falls silent until the program
// gives it up.
void fill_in_then_lose_device(AppRig& rig) {
    ASSERT_TRUE(rig.start_connected());
    ASSERT_NO_FATAL_FAILURE(fill_in(rig));
    rig.device.faults().silent = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->port.is_open(); }, 5000));
}

void expect_entries_kept(AppRig& rig) {
    EXPECT_EQ(rig.find<QLineEdit>("t_patient")->text(), QString::fromUtf8("Jürgen Groß"));
    EXPECT_EQ(rig.find<QPlainTextEdit>("t_bemerkungen")->toPlainText(),
              QString::fromUtf8("Lüfter 40°\nok"));
    EXPECT_TRUE(rig.app->pruefprotokoll.geaendert);
}

void expect_saved(const QString& path) {
    const QByteArray saved = read_bytes(path);
    EXPECT_TRUE(saved.contains("t_Patient|J\xFCrgen Gro\xDF\r\n")) << saved.constData();
    EXPECT_TRUE(
        saved.contains("t_Bemerkungen|L\xFC"
                       "fter 40\xB0\\nok\r\n"));
    EXPECT_TRUE(saved.contains("ck_stk|1\r\n"));
    EXPECT_TRUE(saved.contains("SN|QV5000012345\r\n"));
    EXPECT_EQ(saved.count("\r\n"), 35);
}

}  // namespace

TEST(ProtocolEndToEnd, LinkDropKeepsTheEntriesUntilTheyAreSaved) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany), 0.2);
    // The device stops answering: the program goes back to the device tab on
    // its own and empties the device's values, but asks nothing and keeps the
    // protocol.
    ASSERT_NO_FATAL_FAILURE(fill_in_then_lose_device(rig));
    EXPECT_EQ(rig.app->window()->tab1()->currentIndex(), 0);
    EXPECT_TRUE(rig.find<QLineEdit>("t_sn")->text().isEmpty());
    EXPECT_TRUE(rig.dialogs.questions.isEmpty());
    expect_entries_kept(rig);

    // Back again: the reopening keeps the protocol with its own device data.
    rig.device.faults().silent = false;
    ASSERT_TRUE(rig.wait_connected(15000));
    expect_entries_kept(rig);
    EXPECT_EQ(rig.app->pruefprotokoll.geraetedaten.sn, "QV5000012345");
    EXPECT_TRUE(rig.dialogs.questions.isEmpty());

    // The technician returns to the protocol tab: asked, OK, saved.
    const QString path = rig.app_dir + "kept.txt";
    rig.dialogs.answers = {true};
    rig.dialogs.files = {path};
    rig.app->window()->tab1()->setCurrentIndex(1);
    EXPECT_EQ(rig.dialogs.questions, QStringList({kUnsaved}));
    expect_saved(path);
    // Then the visit starts a new protocol as always.
    EXPECT_TRUE(rig.find<QLineEdit>("t_patient")->text().isEmpty());
    EXPECT_FALSE(rig.app->pruefprotokoll.geaendert);
    EXPECT_TRUE(rig.dialogs.messages.isEmpty()) << rig.dialogs.messages.join("|").toStdString();
}

TEST(ProtocolEndToEnd, ClosingWithTheDeviceGoneSavesFromTheProtocolsCopy) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany), 0.2);
    ASSERT_NO_FATAL_FAILURE(fill_in_then_lose_device(rig));
    ASSERT_FALSE(rig.app->geraet.verbunden);

    // The close question: OK must be able to keep the work.
    const QString path = rig.app_dir + "closing.txt";
    rig.dialogs.answers = {true};
    rig.dialogs.files = {path};
    rig.app->window()->close();
    EXPECT_EQ(rig.dialogs.questions, QStringList({kUnsaved}));
    expect_saved(path);
    EXPECT_EQ(rig.dialogs.suggested_names.size(), 1);
    EXPECT_TRUE(rig.dialogs.suggested_names.value(0).startsWith("QV5000012345_"));
}

TEST(ProtocolEndToEnd, ClosingAsksBeforeTheDeviceIsClosed) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start_connected());
    fill_in(rig);
    bool open_while_asked = false;
    rig.dialogs.on_question = [&](const QString&) { open_while_asked = rig.app->port.is_open(); };
    rig.dialogs.answers = {false};
    rig.app->window()->close();
    EXPECT_EQ(rig.dialogs.questions.size(), 1);
    EXPECT_TRUE(open_while_asked);
    EXPECT_FALSE(rig.app->port.is_open());
    EXPECT_FALSE(rig.app->pruefprotokoll.geaendert);
}

TEST(ProtocolEndToEnd, StartUpTabChangeAndReconnectGoThroughTheQuestion) {
    AppRig rig(QLocale(QLocale::English, QLocale::UnitedKingdom));
    ASSERT_TRUE(rig.start());
    // A fresh protocol without device data; the power check box never shows.
    EXPECT_FALSE(rig.app->pruefprotokoll.geraetedaten.verbunden);
    EXPECT_FALSE(rig.find<QGroupBox>("frm_protokoll")->isEnabled());
    EXPECT_TRUE(rig.find<QCheckBox>("ck_Leistung")->isHidden());
    ASSERT_TRUE(rig.wait_connected());

    rig.app->window()->tab1()->setCurrentIndex(1);
    EXPECT_EQ(rig.find<QLineEdit>("t_Datum")->text(), QDate::currentDate().toString("dd.MM.yyyy"));
    EXPECT_EQ(rig.app->pruefprotokoll.geraetedaten.sn, "QV5000012345");
    QTest::keyClicks(rig.find<QLineEdit>("t_pruefer"), "Tester");
    // Another tab, Cancel: the tab changes and the entry is gone.
    rig.dialogs.answers = {false};
    rig.app->window()->tab1()->setCurrentIndex(2);
    EXPECT_EQ(rig.app->window()->tab1()->currentIndex(), 2);
    EXPECT_EQ(rig.dialogs.questions.size(), 1);
    EXPECT_FALSE(rig.app->pruefprotokoll.geaendert);
    rig.app->window()->tab1()->setCurrentIndex(1);
    EXPECT_TRUE(rig.find<QLineEdit>("t_pruefer")->text().isEmpty());

    // Entries left over on the device tab (after a lost link): reconnecting
    // asks before the new protocol replaces them.
    QTest::keyClicks(rig.find<QLineEdit>("t_pruefer"), "Tester");
    rig.dialogs.answers = {false};
    rig.app->window()->tab1()->setCurrentIndex(0);
    rig.app->pruefprotokoll.geaendert = true;
    rig.dialogs.answers = {false};
    rig.app->window()->findChild<QAction*>("men_verbindung")->trigger();
    EXPECT_EQ(rig.dialogs.questions.size(), 3);
    EXPECT_FALSE(rig.app->pruefprotokoll.geaendert);
    ASSERT_TRUE(rig.wait_connected());
}
