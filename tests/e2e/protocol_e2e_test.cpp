// The protocol tab in the running program, on the emulated device: entries
// that survive a lost link, and the question before they are lost.
#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "protocol/protocol_form.h"
#include "support/app_rig.h"

namespace {

const QString kUnsaved = QString::fromUtf8(
    "Das Prüfprotokoll wurde geändert und noch nicht gespeichert. Soll es jetzt gespeichert "
    "werden?");

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
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->link.port.is_open(); }, 5000));
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

    // The technician returns to the protocol tab: the entries wait there.
    rig.app->window()->tab1()->setCurrentIndex(1);
    expect_entries_kept(rig);
    const QString path = rig.app_dir + "kept.txt";
    rig.dialogs.files = {path};
    rig.find<QPushButton>("cmd_save")->click();
    expect_saved(path);
    // Saved: the next visit starts a new protocol.
    rig.app->window()->tab1()->setCurrentIndex(0);
    rig.app->window()->tab1()->setCurrentIndex(1);
    EXPECT_TRUE(rig.find<QLineEdit>("t_patient")->text().isEmpty());
    EXPECT_FALSE(rig.app->pruefprotokoll.geaendert);
    EXPECT_TRUE(rig.dialogs.questions.isEmpty());
    EXPECT_TRUE(rig.dialogs.messages.isEmpty()) << rig.dialogs.messages.join("|").toStdString();
}

TEST(ProtocolEndToEnd, ClosingWithTheDeviceGoneSavesFromTheProtocolsCopy) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany), 0.2);
    ASSERT_NO_FATAL_FAILURE(fill_in_then_lose_device(rig));
    ASSERT_FALSE(rig.app->link.geraet.verbunden);

    // The close question: OK must be able to keep the work.
    const QString path = rig.app_dir + "closing.txt";
    rig.dialogs.save_answers = {SaveAnswer::save};
    rig.dialogs.files = {path};
    rig.app->window()->close();
    EXPECT_EQ(rig.dialogs.questions, QStringList({kUnsaved}));
    expect_saved(path);
    EXPECT_EQ(rig.dialogs.suggested_names.size(), 1);
    EXPECT_TRUE(rig.dialogs.suggested_names.value(0).startsWith("QV5000012345_"));
}

// The question before entries are lost has a way back: Cancel (Escape) keeps
// the window, the connection and the entries; a glance at another tab costs
// nothing.
TEST(ProtocolEndToEnd, TheQuestionCanGoBackAndOtherTabsCostNothing) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start_connected());
    EXPECT_TRUE(rig.find<QCheckBox>("ck_Leistung")->isHidden());
    ASSERT_NO_FATAL_FAILURE(fill_in(rig));
    for (int tab : {0, 2, 3, 1}) rig.app->window()->tab1()->setCurrentIndex(tab);
    EXPECT_TRUE(rig.dialogs.questions.isEmpty());
    expect_entries_kept(rig);

    // Closing, Cancel: nothing closes.
    bool open_while_asked = false;
    rig.dialogs.on_question = [&](const QString&) {
        open_while_asked = rig.app->link.port.is_open();
    };
    rig.dialogs.save_answers = {SaveAnswer::cancel};
    EXPECT_FALSE(rig.app->window()->close());
    EXPECT_TRUE(rig.app->link.port.is_open());
    // "Verbindung initialisieren", Cancel: no new connection, no new protocol.
    rig.dialogs.save_answers = {SaveAnswer::cancel};
    rig.app->window()->findChild<QAction*>("men_verbindung")->trigger();
    EXPECT_EQ(rig.app->window()->tab1()->currentIndex(), 1);
    EXPECT_TRUE(rig.app->link.geraet.verbunden);  // a reconnection would have reset it
    expect_entries_kept(rig);
    EXPECT_EQ(rig.dialogs.questions, QStringList({kUnsaved, kUnsaved}));

    // Discard, then the window closes with the device closed after the question.
    rig.dialogs.save_answers = {SaveAnswer::discard};
    EXPECT_TRUE(rig.app->window()->close());
    EXPECT_TRUE(open_while_asked);
    EXPECT_FALSE(rig.app->link.port.is_open());
    EXPECT_FALSE(rig.app->pruefprotokoll.geaendert);
}

// The file is Windows-1252: names from other Latin scripts get their nearest
// letters as they are typed, and the hint says so; it also says how much room
// a box has left and why it takes no more. Only a save that worked moves the
// remembered folder.
TEST(ProtocolEndToEnd, TypedNamesFitTheFileAndTheBoxesSayWhatRoomIsLeft) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start_connected());
    rig.app->window()->tab1()->setCurrentIndex(1);
    auto* patient = rig.find<QLineEdit>("t_patient");
    auto* hint = rig.find<QLabel>("lbl_hinweis");
    const struct {
        const char* typed;
        const char* shown;
        const char* hint;
    } cases[] = {
        {"Yıldız", "Yildiz",
         "„ı“ kann in der Protokolldatei nicht gespeichert werden und wurde durch „i“ ersetzt. "
         "Noch 19 Zeichen frei."},
        {"Şahin", "Sahin",
         "„Ş“ kann in der Protokolldatei nicht gespeichert werden und wurde durch „S“ ersetzt. "
         "Noch 20 Zeichen frei."},
        {"Łukasz", "Lukasz",
         "„Ł“ kann in der Protokolldatei nicht gespeichert werden und wurde durch „L“ ersetzt. "
         "Noch 19 Zeichen frei."},
        {"Jürgen Groß", "Jürgen Groß", "Noch 14 Zeichen frei."},
        {"王 Li", " Li",
         "„王“ kann in der Protokolldatei nicht gespeichert werden und wurde weggelassen. "
         "Noch 22 Zeichen frei."},
        {"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrstuvwxy",
         "Das Feld ist voll: es nimmt höchstens 25 Zeichen auf."},
        {"Dvořák", "Dvorák",
         "„ř“ kann in der Protokolldatei nicht gespeichert werden und wurde durch „r“ ersetzt. "
         "Noch 19 Zeichen frei."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        patient->clear();
        type(rig.find<QLineEdit>("t_Ort"), "x");  // the hint speaks of another box meanwhile
        type(patient, c.typed);
        EXPECT_EQ(patient->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(hint->text(), QString::fromUtf8(c.hint));
    }
    auto* remarks = rig.find<QPlainTextEdit>("t_bemerkungen");
    type(remarks, "ab");
    QTest::keyClick(remarks, Qt::Key_Return);
    type(remarks, "č");
    EXPECT_EQ(remarks->toPlainText(), "ab\nc");
    EXPECT_EQ(hint->text(), QString::fromUtf8(
                                "„č“ kann in der Protokolldatei nicht gespeichert werden und wurde "
                                "durch „c“ ersetzt. Noch 235 Zeichen frei. Ein Zeilenumbruch "
                                "zählt zwei."));

    // A save into a folder that does not exist fails and changes nothing
    // remembered; the next one, into a new folder, moves INITDIR there.
    const QString before = rig.app->settings.INITDIR;
    rig.dialogs.files = {rig.app_dir + "missing/p.txt"};
    rig.find<QPushButton>("cmd_save")->click();
    EXPECT_EQ(rig.dialogs.messages.size(), 1);
    EXPECT_EQ(rig.app->settings.INITDIR, before);
    EXPECT_FALSE(read_bytes(rig.app_dir + "quorvel5.ini").contains("missing"));
    ASSERT_TRUE(QDir(rig.app_dir).mkdir("sub"));
    rig.dialogs.files = {rig.app_dir + "sub/p.txt"};
    rig.find<QPushButton>("cmd_save")->click();
    EXPECT_EQ(rig.app->settings.INITDIR, rig.app_dir + "sub/");
    const QByteArray saved = read_bytes(rig.app_dir + "sub/p.txt");
    EXPECT_TRUE(saved.contains("t_Patient|Dvor\xE1k\r\n")) << saved.constData();
    EXPECT_TRUE(saved.contains("t_Bemerkungen|ab\\nc\r\n"));
}
