// The archive as the device book a service manager works from: visits of two
// programs in one shared folder, one altered after the fact, one missing a
// file, one older than the sums, a foreign folder and other writers' half
// written entries; what is due, the marks, the export, the print and the
// watch, and that reading changes nothing.
#include <gtest/gtest.h>
#include <QAction>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>

#include "platform/text_file.h"
#include "protocol/protocol_file.h"
#include "support/app_rig.h"
#include "support/pdf_text.h"
#include "visits/archive_window.h"
#include "visits/history_chart.h"
#include "visits/visit_file.h"
#include "visits/visit_folder.h"

namespace {

const char* const kOtherFiles[] = {"protocol.pdf", "status.txt", "communication.txt",
                                   "measurements.csv"};

// A visit's files and its visit.json as "Besuch abschließen" writes them,
// still under the folder's temporary name.
void fill(VisitFolder& folder, const QString& serial, const QDateTime& when, bool stk, double o2) {
    Pruefprotokoll record;
    record.felder[kPruefer] = QStringLiteral("=Meier");  // a spreadsheet would run it
    record.felder[kStk] = stk ? "1" : "0";
    record.geraetedaten.bstd = "01234:30";
    record.geraetedaten.sw = "V2.15a";
    record.geraetedaten.o2 = o2;
    QString error;
    ASSERT_TRUE(write_text_file(folder.file_path("protocol.txt"), protocol_file_text(record)));
    for (const char* name : kOtherFiles) ASSERT_TRUE(folder.write_bytes(name, name, &error));
    VisitRecord own;
    own.serial = serial;
    own.finished = when;
    own.protocol_mean_o2 = o2 - 0.5;
    own.sha256["protocol.txt"] = file_sha256(folder.file_path("protocol.txt"));
    for (const char* name : kOtherFiles) own.sha256[name] = file_sha256(folder.file_path(name));
    ASSERT_TRUE(folder.write_bytes(kVisitRecordFile, visit_record_json(own), &error));
}

QString write_visit(const QString& archive, const QString& serial, const QDateTime& when, bool stk,
                    double o2 = 93.4) {
    VisitFolder folder;
    QString error;
    EXPECT_TRUE(folder.begin(archive, serial, when, &error));
    fill(folder, serial, when, stk, o2);
    EXPECT_TRUE(folder.commit(&error)) << error.toStdString();
    return folder.final_path();
}

void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
    file.write(bytes);
}

// Every file below `root` with its size and change time.
QStringList snapshot(const QString& root) {
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << info.filePath() + QString::number(info.size()) +
                       info.lastModified().toString(Qt::ISODateWithMs);
    }
    entries.sort();
    return entries;
}

QStringList column(const QTableView* table, int column) {
    QStringList cells;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        cells << table->model()->index(row, column).data().toString();
    return cells;
}

}  // namespace

TEST(ArchiveEndToEnd, TwoProgramsOneArchiveWhatIsDueWhatWasAlteredAndTheExport) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    const QString archive = rig.app_dir + "archiv";
    const QDate today = QDate::currentDate();
    const QTime ten(10, 0, 0);
    // Device 1: its last STK a day more than two years ago; since then two
    // programs finished a visit each in the same second.
    write_visit(archive, "QV5000000001", QDateTime(today.addMonths(-24).addDays(-1), ten), true);
    const QDateTime same_second(today.addDays(-3), ten);
    VisitFolder first, second;
    QString error;
    ASSERT_TRUE(first.begin(archive, "QV5000000001", same_second, &error));
    ASSERT_TRUE(second.begin(archive, "QV5000000001", same_second, &error));
    fill(first, "QV5000000001", same_second, false, 93.0);
    fill(second, "QV5000000001", same_second, false, 94.0);
    ASSERT_TRUE(second.commit(&error));
    ASSERT_TRUE(first.commit(&error));
    EXPECT_NE(first.final_path(), second.final_path());
    // Device 2: due in 20 days; its visit's status table was edited and a
    // note added after the fact.
    const QString altered = write_visit(archive, "QV5000000002",
                                        QDateTime(today.addMonths(-24).addDays(20), ten), true);
    put(altered + "/status.txt", " edited");
    put(altered + "/notiz.txt", "later");
    // Device 3: in time; an older visit from before the sums, one that lost a file.
    write_visit(archive, "QV5000000003", QDateTime(today.addMonths(-6), ten), true, 95.0);
    const QString old =
        write_visit(archive, "QV5000000003", QDateTime(today.addYears(-3), ten), true);
    ASSERT_TRUE(QFile::remove(old + "/visit.json"));
    const QString lost =
        write_visit(archive, "QV5000000003", QDateTime(today.addYears(-2), ten), false);
    ASSERT_TRUE(QFile::remove(lost + "/measurements.csv"));
    // Foreign entries, another writer's unfinished folder, a sync tool's files.
    put(archive + "/Urlaubsfotos/strand.jpg", "jpg");
    put(archive + "/liste.xlsx", "xlsx");
    put(archive + "/QV5000000003/.20261208_101500.writing/protocol.txt", "half");
    put(archive + "/QV5000000003/20261208_101500.part/protocol.txt", "half");
    put(archive + "/.syncthing.liste.xlsx.tmp", "half");
    put(archive + "/~$liste.xlsx", "lock");
    const QStringList before = snapshot(archive);

    ASSERT_TRUE(rig.start());
    rig.dialogs.files = {archive};  // no archive folder yet: it is chosen first
    rig.find<QAction>("men_archiv")->trigger();
    ArchiveWindow* window = rig.app->archive_window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->findChild<QLabel*>("lbl_archivordner")->text().contains(archive));
    EXPECT_EQ(window->foreign_entries(), QStringList({"Urlaubsfotos", "liste.xlsx"}));

    // One row per device, the most urgent first, the state in words.
    auto* table = window->findChild<QTableView*>("lst_geraete");
    EXPECT_EQ(column(table, 0), QStringList({"QV5000000001", "QV5000000002", "QV5000000003"}));
    EXPECT_EQ(column(table, 7), QStringList({QString::fromUtf8("⚠ überfällig"),
                                             QString::fromUtf8("◐ fällig in 30 Tagen"),
                                             QString::fromUtf8("✓ fristgerecht")}));
    EXPECT_EQ(column(table, 6), QStringList({"3", "1 (1 ⚠)", "3 (1 ⚠)"}));
    EXPECT_EQ(column(table, 3)[1], QLocale().toString(today.addDays(20), QLocale::ShortFormat));
    EXPECT_EQ(column(table, 2)[0],
              QLocale().toString(today.addMonths(-24).addDays(-1), QLocale::ShortFormat));
    const QColor red = table->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>();
    EXPECT_GT(red.red(), red.blue() + 40);
    EXPECT_FALSE(table->model()->index(2, 0).data(Qt::BackgroundRole).isValid());

    // The altered visit names its files.
    table->setCurrentIndex(table->model()->index(1, 0));
    auto* visits = window->findChild<QTreeWidget*>("lst_besuche");
    ASSERT_EQ(visits->topLevelItemCount(), 1);
    EXPECT_EQ(visits->topLevelItem(0)->text(5), QString::fromUtf8("⚠ verändert"));
    EXPECT_EQ(window->findChild<QLabel*>("lbl_pruefung")->text(),
              QString::fromUtf8("⚠ verändert: Geänderte Dateien: status.txt; "
                                "Hinzugefügte Dateien: notiz.txt"));
    table->setCurrentIndex(table->model()->index(2, 0));
    QStringList marks;
    for (int i = 0; i < visits->topLevelItemCount(); ++i) marks << visits->topLevelItem(i)->text(5);
    EXPECT_EQ(marks,
              QStringList({QString::fromUtf8("✓ unverändert"), QString::fromUtf8("⚠ unvollständig"),
                           QString::fromUtf8("nicht prüfbar")}));

    // Device 1's two visits of one second are drawn side by side; a click on
    // one chooses it.
    table->setCurrentIndex(table->model()->index(0, 0));
    window->resize(1360, 820);
    HistoryChart* chart = window->chart();
    const std::optional<QPointF> a = chart->point_of(0), b = chart->point_of(1);
    ASSERT_TRUE(a && b);
    EXPECT_GE(std::abs(a->x() - b->x()), 8);
    QTest::mouseClick(chart, Qt::LeftButton, {}, b->toPoint());
    EXPECT_EQ(visits->currentIndex().row(), 1);

    // The search box, and the interval kept in the settings.
    window->findChild<QLineEdit*>("t_suche")->setText("0002");
    EXPECT_EQ(column(table, 0), QStringList({"QV5000000002"}));
    window->findChild<QLineEdit*>("t_suche")->clear();
    window->findChild<QSpinBox*>("t_stkintervall")->setValue(12);
    EXPECT_EQ(column(table, 7)[2], QString::fromUtf8("✓ fristgerecht"));
    EXPECT_EQ(column(table, 7)[1], QString::fromUtf8("⚠ überfällig"));
    QStringList ini;
    ASSERT_TRUE(read_text_lines(rig.app_dir + "quorvel5.ini", ini));
    EXPECT_TRUE(ini.contains("STKINTERVAL|12"));

    // The export opens in columns in a German spreadsheet.
    rig.dialogs.files = {rig.app_dir + "buch"};
    window->findChild<QPushButton*>("cmd_export")->click();
    QFile devices(rig.app_dir + "buch.csv"), all(rig.app_dir + "buch_Besuche.csv");
    ASSERT_TRUE(devices.open(QIODevice::ReadOnly) && all.open(QIODevice::ReadOnly));
    const QStringList device_lines = QString::fromUtf8(devices.readAll()).split("\r\n");
    EXPECT_EQ(device_lines[0], QString::fromUtf8("\uFEFFSeriennummer;Letzter Besuch;Letzte STK;"
                                                 "Nächste STK fällig;Betriebsstunden;O2 (%);"
                                                 "Besuche;Zustand"));
    EXPECT_EQ(device_lines[2], QString::fromUtf8("QV5000000002;%1;%2;%3;1234,50;93,4;1;überfällig")
                                   .arg(today.addMonths(-24).addDays(20).toString(Qt::ISODate),
                                        today.addMonths(-24).addDays(20).toString(Qt::ISODate),
                                        today.addMonths(-12).addDays(20).toString(Qt::ISODate)));
    const QString visit_lines = QString::fromUtf8(all.readAll());
    EXPECT_EQ(visit_lines.count("\r\n"), 1 + 7);
    EXPECT_TRUE(visit_lines.contains(QString::fromUtf8(
        ";'=Meier;ja;1234,50;V2.15a;93,4;92,9;verändert;\"Geänderte Dateien: status.txt; "
        "Hinzugefügte Dateien: notiz.txt\";")));
    EXPECT_TRUE(rig.dialogs.messages.last().contains(rig.app_dir + "buch_Besuche.csv"));

    // The due list on paper: date and interval on the page.
    rig.printers.choices = {PrinterSetup{QString(), rig.app_dir + "faellig.pdf", 1}};
    window->findChild<QPushButton*>("cmd_faelligkeitsliste")->click();
    const QString due = pdf_text(rig.app_dir + "faellig.pdf");
    EXPECT_TRUE(due.contains(QLocale().toString(today, QLocale::ShortFormat))) << due.toStdString();
    EXPECT_TRUE(due.contains("Intervall 12 Monate")) << due.toStdString();
    EXPECT_TRUE(due.contains("Seite 1 von 1"));
    // A visit's page is offered under its own name (the search left device 2 chosen).
    rig.printers.choices = {std::nullopt};
    window->findChild<QPushButton*>("cmd_print")->click();
    EXPECT_EQ(rig.printers.offered.last(),
              "pdf:" + rig.app_dir + "QV5000000002_" + QFileInfo(altered).fileName() + ".pdf");

    // Reading changed nothing; a visit another program finishes now shows up
    // by itself, and the device chosen stays chosen.
    EXPECT_EQ(snapshot(archive), before);
    table->setCurrentIndex(table->model()->index(1, 0));
    write_visit(archive, "QV5000000003", QDateTime(today, ten), true);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->devices().size() == 3 && window->devices()[2].visits.size() == 4; },
        10000));
    EXPECT_EQ(table->model()->index(table->currentIndex().row(), 0).data(), "QV5000000002");
    // "Archivordner …" switches the open window to the folder chosen, and keeps it.
    rig.dialogs.files = {rig.app_dir + "team"};
    rig.find<QAction>("men_archivordner")->trigger();
    EXPECT_EQ(rig.dialogs.dialog_dirs.last(), archive);
    EXPECT_TRUE(window->findChild<QLabel*>("lbl_archivordner")->text().endsWith("/team"));
    EXPECT_TRUE(window->devices().isEmpty());
    EXPECT_EQ(rig.app->settings.ARCHIVDIR, rig.app_dir + "team");
    // QV5_KEEP_ARCHIVE=/tmp/a keeps the archive (for a look with the program).
    const QString keep = qEnvironmentVariable("QV5_KEEP_ARCHIVE");
    if (!keep.isEmpty()) QProcess::execute("cp", {"-a", archive, keep});
}
