// "Besuch abschließen" and "Archiv" in the running program: the visit's five
// files are what the tabs' own save and print paths write, and the archive
// shows and prints the visit again once the device is gone.
#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
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

    // The archive folder is gone: the technician is told and, choosing
    // another, the folder dialog opens where it was.
    ASSERT_TRUE(QDir(archive).removeRecursively());
    rig.dialogs.choices = {1};
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
    const QString archive = rig.app_dir + "archiv/";
    QSignalSpy progress(app.visit(), &FinishVisit::progress);
    const auto path = [&](const QString& sn, int n) {
        const QStringList visits = QDir(archive + sn).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        return archive + sn + "/" + visits.value(n, "none") + "/";
    };
    // What a visit's own file says, and whether its sums are those of its files.
    const auto summary = [&](const QString& sn, int n) {
        VisitRecord r;
        if (!load_visit_record(path(sn, n), r)) return QString("none");
        QString text = r.serial + " " +
                       QStringList{"complete", "empty", "cut", "not_read"}[int(r.status_read)];
        text += QString(" %1/%2 ").arg(r.status_blocks).arg(r.status_cut_at) +
                (r.device_reachable ? "reachable" : "unreachable");
        for (const SerialChange& change : r.serial_changes)
            text += " " + change.from + ">" + change.to;
        for (const QString& file : QDir(path(sn, n)).entryList(QDir::Files))
            if (file != "visit.json" && r.sha256.value(file) != file_sha256(path(sn, n) + file))
                text += " bad sum";
        return text + (r.incomplete ? " incomplete" : "");
    };
    const auto plug = [&](bool in) {
        rig.device.faults().unplugged = !in;
        return QTest::qWaitFor([&] { return app.link.geraet.verbunden == in; }, 15000);
    };
    const auto fill_in = [&](const char* pruefer, const QString& remark) {
        rig.find<QLineEdit>("t_pruefer")->setText(pruefer);
        rig.find<QCheckBox>("ck_stk")->setChecked(true);
        rig.find<QPlainTextEdit>("t_bemerkungen")->setPlainText(remark);
    };

    // Device A, saved and finished with the blocks counted on screen; the
    // same again is asked about, naming the first finish.
    app.window()->tab1()->setCurrentIndex(1);
    fill_in("Anna", "");
    rig.dialogs.files = {rig.app_dir + "a.txt", archive};
    rig.find<QPushButton>("cmd_save")->click();
    rig.dialogs.answers = {false, false};
    finish->trigger();
    finish->trigger();
    VisitRecord a;
    ASSERT_TRUE(load_visit_record(path("QV5A1001", 0), a));
    EXPECT_TRUE(rig.dialogs.questions.last().contains(a.finished.toString("HH:mm:ss")));
    EXPECT_TRUE(progress.first()[0].toString().contains("Block 1 von bis zu 32"));
    EXPECT_TRUE(progress.last()[0].toString().contains("Dateien werden geschrieben"));

    // A -> AX -> A: the rows measured before the corrections stay.
    QTest::qWait(600);
    const qint64 first_row = app.visit()->measurements().rows().at(0).epoch_ms;
    for (const QString sn : {"QV5AX01", "QV5A1001"}) {
        rig.find<QLineEdit>("t_sn")->setText(sn);
        rig.dialogs.answers = {true};  // yes, write the new number
        rig.find<QPushButton>("cmd_setsn")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return app.link.geraet.sn.trimmed() == sn; }, 4000));
    }
    EXPECT_EQ(app.visit()->measurements().rows().at(0).epoch_ms, first_row);
    fill_in("Anna", "korrigiert");
    rig.dialogs.answers = {false};
    finish->trigger();

    // Device B replaces A, whose protocol has an unsaved remark: asked first.
    // Cancel keeps A's protocol, which the finish refuses, naming both.
    fill_in("Anna", "ungespeichert");
    ASSERT_TRUE(plug(false));
    EXPECT_TRUE(finish->isEnabled());
    rig.device.state().set_serial_number("QV5B2002");
    rig.device.faults().refuse_slot = 3;
    rig.dialogs.save_answers = {SaveAnswer::cancel};
    ASSERT_TRUE(plug(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.dialogs.save_answers.empty(); }, 3000));
    EXPECT_TRUE(rig.dialogs.questions.last().contains("QV5A1001 hat ungespeicherte"));
    finish->trigger();
    EXPECT_TRUE(rig.dialogs.messages.value(0).startsWith(
        "Das Protokoll gehört zum Gerät QV5A1001, verbunden ist das Gerät QV5B2002"));

    // "Neu" (Discard): B's own empty protocol. Nothing to record and a read
    // cut at block 3 are asked about; going back writes nothing, then on.
    rig.dialogs.save_answers = {SaveAnswer::discard};
    rig.find<QPushButton>("cmd_new")->click();
    rig.dialogs.answers = {true, false, true, true, false};
    finish->trigger();
    EXPECT_TRUE(rig.dialogs.questions.last().contains("endete bei Block 3"));
    finish->trigger();
    EXPECT_FALSE(bytes_of(path("QV5B2002", 0) + "protocol.txt").contains("Anna"));

    // A's file opened while B is connected is a viewing copy, never archived:
    // the finish offers B's new protocol instead.
    rig.dialogs.files = {rig.app_dir + "a.txt"};
    rig.find<QPushButton>("cmd_open")->click();
    rig.dialogs.answers = {true};
    finish->trigger();
    EXPECT_TRUE(rig.dialogs.questions.last().contains("(Gerät QV5A1001) ist eine Ansicht"));
    EXPECT_EQ(app.pruefprotokoll.geraetedaten.sn.trimmed(), "QV5B2002");

    // B stops answering during the check: still finished, with the table
    // read before, marked in its folder and in the archive list.
    fill_in("Bernd", "");
    ASSERT_TRUE(plug(false));
    rig.dialogs.answers = {true, false};
    finish->trigger();
    const QStringList expected = {
        "QV5A1001 complete 10/0 reachable",
        "QV5A1001 complete 10/0 reachable QV5A1001>QV5AX01 QV5AX01>QV5A1001",
        "none",
        "QV5B2002 cut 2/3 reachable incomplete",
        "QV5B2002 cut 2/3 unreachable incomplete",
        "none"};
    EXPECT_EQ(QStringList({summary("QV5A1001", 0), summary("QV5A1001", 1), summary("QV5A1001", 2),
                           summary("QV5B2002", 0), summary("QV5B2002", 1), summary("QV5B2002", 2)}),
              expected);
    rig.find<QAction>("men_archiv")->trigger();
    auto* devices = app.archive_window()->findChild<QTableView*>("lst_geraete");
    const QModelIndexList b_row = devices->model()->match(devices->model()->index(0, 0),
                                                          Qt::DisplayRole, "QV5B2002");
    ASSERT_EQ(b_row.size(), 1);
    devices->setCurrentIndex(b_row.first());
    const QTreeWidget* rows = app.archive_window()->findChild<QTreeWidget*>("lst_besuche");
    EXPECT_TRUE(rows->topLevelItem(0)->text(0).endsWith("(Gerät beim Abschluss nicht erreichbar)"));
    EXPECT_TRUE(rows->topLevelItem(1)->text(0).endsWith("(Besuch unvollständig)"));
    EXPECT_EQ(rig.dialogs.messages.size(), 1) << rig.dialogs.messages.join("\n").toStdString();
}
