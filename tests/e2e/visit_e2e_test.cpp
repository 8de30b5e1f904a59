// "Besuch abschließen" and "Archiv" in the running program: the visit's five
// files are what the tabs' own save and print paths write, and the archive
// shows and prints the visit again once the device is gone.
#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeWidget>

#include "device/sysstat_tab.h"
#include "protocol/protocol_form.h"
#include "support/app_rig.h"
#include "support/pdf_text.h"
#include "visits/archive_window.h"
#include "visits/finish_visit.h"
#include "visits/visit_file.h"

namespace {

QByteArray bytes_of(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The thickest ruled line on a page, in pixel rows: rows holding a stretch of
// ink longer than a fifth of the page, which text never makes.
int thickest_rule(const QImage& page) {
    int thickest = 0, rows = 0;
    for (int y = 0; y < page.height(); ++y) {
        int stretch = 0, longest = 0;
        for (int x = 0; x < page.width(); ++x)
            longest = std::max(longest, stretch = qGray(page.pixel(x, y)) < 224 ? stretch + 1 : 0);
        thickest = std::max(thickest, rows = longest > page.width() / 5 ? rows + 1 : 0);
    }
    return thickest;
}

}  // namespace

TEST(VisitEndToEnd, KeepsWhatTheTabsWriteAndTheArchiveShowsItWithoutTheDevice) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start());
    auto* finish = rig.find<QAction>("men_besuch");
    EXPECT_FALSE(finish->isEnabled());
    ASSERT_TRUE(rig.wait_connected());
    EXPECT_TRUE(finish->isEnabled());
    rig.app->window()->tab1()->setCurrentIndex(1);
    rig.find<QLineEdit>("t_pruefer")->setText(QString::fromUtf8("Jörg Meier"));
    rig.find<QCheckBox>("ck_stk")->setChecked(true);
    // The mean O2 moves after the protocol was started: the page keeps the
    // protocol's value, the last measurement row another.
    rig.device.state().live.o2_percent = 90.0;
    QTest::qWait(1500);  // a few status replies

    // No archive folder yet: it is asked for first. The status memory was not
    // read since the device connected, so the visit reads it.
    const QString archive = rig.app_dir + "archiv";
    rig.dialogs.files = {archive};
    rig.dialogs.answers = {false};  // do not open the folder
    finish->trigger();
    EXPECT_TRUE(rig.dialogs.dialog_dirs.last().endsWith("/Quorvel5"));  // proposed in the documents
    ASSERT_TRUE(rig.dialogs.messages.isEmpty()) << rig.dialogs.messages.join("\n").toStdString();
    const QString folder = rig.app->visit()->last_folder();
    EXPECT_TRUE(rig.dialogs.questions.last().contains(folder));
    EXPECT_TRUE(
        QRegularExpression(archive + "/QV5000012345/\\d{8}_\\d{6}$").match(folder).hasMatch())
        << folder.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              QStringList({"communication.txt", "measurements.csv", "protocol.pdf", "protocol.txt",
                           "status.txt", "visit.json"}));
    EXPECT_FALSE(rig.app->sysstat_tab()->table().isEmpty());  // the memory was read
    EXPECT_FALSE(rig.app->pruefprotokoll.geaendert);
    EXPECT_TRUE(bytes_of(rig.app_dir + "quorvel5.ini").contains("ARCHIVDIR|" + archive.toUtf8()));

    // The same protocol through "Speichern" and "Drucken", the table through
    // the status tab, the log through the developer tab.
    rig.dialogs.files = {rig.app_dir + "gespeichert.txt", rig.app_dir + "status_tab.txt"};
    rig.find<QPushButton>("cmd_save")->click();
    EXPECT_EQ(bytes_of(folder + "/protocol.txt"), bytes_of(rig.app_dir + "gespeichert.txt"));
    EXPECT_EQ(bytes_of(folder + "/protocol.txt").count("\r\n"), 35);
    rig.printers.choices = {PrinterSetup{QString(), rig.app_dir + "gedruckt.pdf", 1}};
    rig.find<QPushButton>("cmd_print")->click();
    const QString printed = pdf_text(rig.app_dir + "gedruckt.pdf");
    EXPECT_TRUE(printed.contains(QString::fromUtf8("Jörg Meier")));
    EXPECT_EQ(pdf_text(folder + "/protocol.pdf"), printed);
    rig.find<QPushButton>("cmd_sysstatsave")->click();
    EXPECT_EQ(bytes_of(folder + "/status.txt"), bytes_of(rig.app_dir + "status_tab.txt"));
    rig.find<QPushButton>("cmd_saveprotokoll")->click();
    const QStringList logs = QDir(rig.app_dir).entryList({"protokoll*.txt"});
    ASSERT_EQ(logs.size(), 1);
    // The developer tab's save names its file; nothing else was said.
    ASSERT_EQ(rig.dialogs.messages.size(), 1);
    EXPECT_TRUE(rig.dialogs.messages.takeFirst().contains(logs[0]));
    const QByteArray kept = bytes_of(folder + "/communication.txt");
    EXPECT_TRUE(kept.endsWith("\r\n"));
    EXPECT_TRUE(bytes_of(rig.app_dir + logs[0]).startsWith(kept.chopped(2)));
    EXPECT_TRUE(kept.contains("OUT"));

    const QList<QByteArray> rows = bytes_of(folder + "/measurements.csv").split('\n');
    ASSERT_GE(rows.size(), 4);  // header, rows, the last line's end
    EXPECT_TRUE(rows[0].startsWith("time,"));
    const QList<QByteArray> cells = rows[1].split(',');
    ASSERT_EQ(cells.size(), 11);
    EXPECT_TRUE(QDateTime::fromString(cells[0], Qt::ISODate).isValid()) << cells[0].constData();
    EXPECT_GT(cells[2].toDouble(), 20.0);  // O2 % with a decimal point
    // The finished visit took its rows along: the next one starts afresh.
    EXPECT_LT(rig.app->visit()->measurements().rows().size(), size_t(rows.size() - 2));

    // The device goes; the archive needs none.
    rig.device.faults().unplugged = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->link.geraet.verbunden; }, 15000));
    rig.find<QAction>("men_archiv")->trigger();
    ArchiveWindow* window = rig.app->archive_window();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->devices().size(), 1);
    ASSERT_EQ(window->devices()[0].visits.size(), 1);
    EXPECT_EQ(window->devices()[0].visits[0].pruefer, QString::fromUtf8("Jörg Meier"));
    EXPECT_EQ(window->devices()[0].visits[0].stk, "1");
    // The page is as wide as its pane, and its ruled lines thin as on paper.
    const QScrollArea* pane = window->findChild<QScrollArea*>();
    EXPECT_EQ(window->page().deviceIndependentSize().width(), pane->viewport()->width());
    const int rule = thickest_rule(window->page());
    EXPECT_TRUE(rule >= 1 && rule <= 2) << rule;
    rig.printers.choices = {PrinterSetup{QString(), rig.app_dir + "archiv.pdf", 1}};
    window->findChild<QPushButton*>("cmd_print")->click();
    // The reprint is the page of protocol.pdf, value for value, not the last
    // row's mean O2.
    EXPECT_TRUE(printed.contains(QRegularExpression("MW O2-Konz\\.\\s+93,0")));
    EXPECT_EQ(rows[rows.size() - 2].split(',')[3], "90.0");
    EXPECT_EQ(pdf_text(rig.app_dir + "archiv.pdf").toStdString(), printed.toStdString());
    // A visit from before the visit's own file, without its measurements:
    // its mean O2 is unknown, not 0.
    ASSERT_TRUE(QFile::remove(folder + "/visit.json"));
    ASSERT_TRUE(QFile::remove(folder + "/measurements.csv"));
    window->show_archive(archive);
    EXPECT_TRUE(window->findChild<QLabel*>("p_seite")->accessibleDescription().contains(
        QRegularExpression("MW O2-Konz\\.\\s+unbekannt")));
    EXPECT_TRUE(rig.dialogs.messages.isEmpty()) << rig.dialogs.messages.join("\n").toStdString();

    // The archive folder is gone: the folder dialog opens where it was.
    ASSERT_TRUE(QDir(archive).removeRecursively());
    rig.dialogs.files = {QString()};
    rig.find<QAction>("men_archiv")->trigger();
    EXPECT_EQ(rig.dialogs.dialog_dirs.last(), QDir::cleanPath(rig.app_dir));
}

// Two devices, an opened file, a cut status read and a device that stops
// answering: every finish ends in a true record of the device it names, or
// in a question.
TEST(VisitEndToEnd, AnAfternoonWithTwoDevicesEndsInTrueRecordsOrQuestions) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    rig.device.state().set_serial_number("QV5A1001");
    rig.device.state().fill_status_blocks(10);
    ASSERT_TRUE(rig.start_connected());
    App& app = *rig.app;
    QAction* finish = rig.find<QAction>("men_besuch");
    const QString archive = rig.app_dir + "archiv";
    QSignalSpy progress(app.visit(), &FinishVisit::progress);
    const auto visits = [&](const QString& sn) {
        return QDir(archive + "/" + sn).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    };
    const auto path_of = [&](const QString& sn, int n) {
        return archive + "/" + sn + "/" + visits(sn).value(n);
    };
    const auto record_of = [&](const QString& sn, int n) {
        VisitRecord record;
        EXPECT_TRUE(load_visit_record(path_of(sn, n), record)) << sn.toStdString() << n;
        return record;
    };
    const auto unplug = [&](bool out) {
        rig.device.faults().unplugged = out;
        return QTest::qWaitFor([&] { return app.link.geraet.verbunden != out; }, 15000);
    };
    auto* remarks = rig.find<QPlainTextEdit>("t_bemerkungen");

    // Device A: filled in, saved, finished. The status memory is read with
    // the block counted on screen, the files' sums and the page's mean O2 kept.
    app.window()->tab1()->setCurrentIndex(1);
    rig.find<QLineEdit>("t_patient")->setText("Patient A");
    rig.find<QLineEdit>("t_pruefer")->setText("Anna");
    rig.find<QCheckBox>("ck_stk")->setChecked(true);
    rig.dialogs.files = {rig.app_dir + "a.txt", archive};
    rig.find<QPushButton>("cmd_save")->click();
    rig.dialogs.answers = {false};
    finish->trigger();
    ASSERT_EQ(visits("QV5A1001").size(), 1);
    const VisitRecord a = record_of("QV5A1001", 0);
    EXPECT_EQ(a.serial, "QV5A1001");
    EXPECT_EQ(a.status_read, StatusReadEnd::complete);
    EXPECT_EQ(a.status_blocks, 10);
    EXPECT_TRUE(a.device_reachable && !a.incomplete && a.serial_changes.isEmpty());
    for (const char* file :
         {"protocol.txt", "protocol.pdf", "status.txt", "communication.txt", "measurements.csv"})
        EXPECT_EQ(a.sha256.value(file), file_sha256(path_of("QV5A1001", 0) + "/" + file)) << file;
    ASSERT_TRUE(a.protocol_mean_o2.has_value());
    EXPECT_TRUE(pdf_text(path_of("QV5A1001", 0) + "/protocol.pdf")
                    .contains(QRegularExpression("MW O2-Konz\\.\\s+" +
                                                 QLocale().toString(*a.protocol_mean_o2, 'f', 1))));
    QStringList shown;
    for (const QList<QVariant>& step : progress) shown << step[0].toString();
    EXPECT_TRUE(shown.contains(QString::fromUtf8(
        "Besuch abschließen: Statusspeicher, Block 1 von bis zu 32 wird gelesen …")));
    EXPECT_TRUE(
        shown.contains(QString::fromUtf8("Besuch abschließen: die Dateien werden geschrieben …")));

    // The same protocol again: asked, naming the first finish; No keeps one visit.
    rig.dialogs.answers = {false};
    finish->trigger();
    EXPECT_TRUE(rig.dialogs.questions.last().contains(a.finished.toString("HH:mm:ss")));
    EXPECT_EQ(visits("QV5A1001").size(), 1);

    // A -> AX -> A: the rows measured before the corrections stay, the visit
    // names both writes.
    QTest::qWait(600);
    ASSERT_FALSE(app.visit()->measurements().rows().empty());
    const qint64 first_row = app.visit()->measurements().rows().front().epoch_ms;
    for (const QString sn : {"QV5AX01", "QV5A1001"}) {
        rig.find<QLineEdit>("t_sn")->setText(sn);
        rig.find<QPushButton>("cmd_setsn")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return app.link.geraet.sn.trimmed() == sn; }, 4000));
    }
    QTest::qWait(300);
    EXPECT_EQ(app.visit()->measurements().rows().front().epoch_ms, first_row);
    remarks->setPlainText("Seriennummer korrigiert");
    rig.dialogs.answers = {false};
    finish->trigger();
    ASSERT_EQ(visits("QV5A1001").size(), 2);
    const VisitRecord corrected = record_of("QV5A1001", 1);
    ASSERT_EQ(corrected.serial_changes.size(), 2);
    EXPECT_EQ(corrected.serial_changes[0].from + ">" + corrected.serial_changes[0].to,
              "QV5A1001>QV5AX01");
    EXPECT_EQ(corrected.serial_changes[1].from + ">" + corrected.serial_changes[1].to,
              "QV5AX01>QV5A1001");
    EXPECT_TRUE(bytes_of(path_of("QV5A1001", 1) + "/measurements.csv")
                    .contains(QDateTime::fromMSecsSinceEpoch(first_row)
                                  .toString("yyyy-MM-ddTHH:mm:ss")
                                  .toLatin1()));

    // Device B replaces A, whose protocol has an unsaved remark: asked first.
    // Cancel keeps A's protocol, which the finish refuses, naming both.
    remarks->setPlainText("ungespeichert");
    ASSERT_TRUE(unplug(true));
    EXPECT_TRUE(finish->isEnabled());
    rig.device.state().set_serial_number("QV5B2002");
    ASSERT_TRUE(rig.device.state().set_hours_text("004561"));
    rig.device.faults().refuse_slot = 3;
    rig.dialogs.save_answers = {SaveAnswer::cancel};
    const int asked = rig.dialogs.questions.size();
    ASSERT_TRUE(unplug(false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.dialogs.questions.size() > asked; }, 3000));
    EXPECT_TRUE(rig.dialogs.questions.last().contains("QV5A1001"));
    EXPECT_TRUE(rig.dialogs.questions.last().contains("QV5B2002"));
    rig.dialogs.messages.clear();
    finish->trigger();
    ASSERT_EQ(rig.dialogs.messages.size(), 1);
    EXPECT_TRUE(rig.dialogs.messages[0].contains("QV5A1001") &&
                rig.dialogs.messages[0].contains("QV5B2002"));

    // "Neu" (Discard): B's own empty protocol. Nothing to record and a read
    // cut at block 3 are both asked about; going back writes nothing.
    rig.dialogs.save_answers = {SaveAnswer::discard};
    rig.find<QPushButton>("cmd_new")->click();
    rig.dialogs.answers = {true, false};
    finish->trigger();
    EXPECT_TRUE(rig.dialogs.questions.last().contains("Block 3"));
    EXPECT_TRUE(visits("QV5B2002").isEmpty());
    rig.dialogs.answers = {true, true, false};
    finish->trigger();
    ASSERT_EQ(visits("QV5B2002").size(), 1);
    const QByteArray b_protocol = bytes_of(path_of("QV5B2002", 0) + "/protocol.txt");
    EXPECT_TRUE(b_protocol.contains("SN|QV5B2002"));
    EXPECT_FALSE(b_protocol.contains("Patient A") || b_protocol.contains("Anna"));
    const VisitRecord cut = record_of("QV5B2002", 0);
    EXPECT_EQ(cut.status_read, StatusReadEnd::cut_short);
    EXPECT_EQ(cut.status_cut_at, 3);
    EXPECT_EQ(cut.status_blocks, 2);
    EXPECT_TRUE(cut.incomplete && cut.device_reachable);

    // A's file opened while B is connected is a viewing copy: never archived,
    // and the finish offers B's new protocol.
    rig.dialogs.files = {rig.app_dir + "a.txt"};
    rig.find<QPushButton>("cmd_open")->click();
    ASSERT_TRUE(app.protocol_form()->viewing());
    rig.dialogs.answers = {true};
    finish->trigger();
    EXPECT_TRUE(rig.dialogs.questions.last().contains("QV5A1001"));
    EXPECT_FALSE(app.protocol_form()->viewing());
    EXPECT_EQ(app.pruefprotokoll.geraetedaten.sn.trimmed(), "QV5B2002");
    EXPECT_EQ(visits("QV5A1001").size() + visits("QV5B2002").size(), 3);

    // B stops answering during the check: its visit is still finished, with
    // the table read before, marked in the folder and in the archive list.
    rig.find<QLineEdit>("t_pruefer")->setText("Bernd");
    rig.find<QCheckBox>("ck_stk")->setChecked(true);
    ASSERT_TRUE(unplug(true));
    rig.dialogs.answers = {true, false};
    finish->trigger();
    ASSERT_EQ(visits("QV5B2002").size(), 2);
    EXPECT_TRUE(bytes_of(path_of("QV5B2002", 1) + "/protocol.txt").contains("t_Pruefer|Bernd"));
    const VisitRecord dead = record_of("QV5B2002", 1);
    EXPECT_TRUE(!dead.device_reachable && dead.incomplete);
    EXPECT_EQ(dead.status_read, StatusReadEnd::cut_short);
    rig.find<QAction>("men_archiv")->trigger();
    app.archive_window()->findChild<QListWidget*>("lst_geraete")->setCurrentRow(1);
    const QTreeWidget* rows = app.archive_window()->findChild<QTreeWidget*>("lst_besuche");
    ASSERT_EQ(rows->topLevelItemCount(), 2);
    EXPECT_TRUE(rows->topLevelItem(0)->text(0).endsWith("(Gerät beim Abschluss nicht erreichbar)"));
    EXPECT_TRUE(rows->topLevelItem(1)->text(0).endsWith(QString::fromUtf8("(unvollständig)")));
    EXPECT_TRUE(rig.dialogs.messages.size() == 1) << rig.dialogs.messages.join("\n").toStdString();
}
