// "Besuch abschließen" and "Archiv" in the running program: the visit's five
// files are what the tabs' own save and print paths write, and the archive
// shows and prints the visit again once the device is gone.
#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>

#include "device/sysstat_tab.h"
#include "support/app_rig.h"
#include "support/pdf_text.h"
#include "visits/archive_window.h"
#include "visits/finish_visit.h"

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
                           "status.txt"}));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finish->isEnabled(); }, 15000));
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
    // The protocol file has no line for the mean O2: the reprint shows the
    // last one measured before the visit was finished; everything else is the page.
    QString reprint_expected = printed;
    const QRegularExpressionMatch mean =
        QRegularExpression("MW O2-Konz\\.\\s+(\\d+,\\d)").match(printed);
    ASSERT_TRUE(mean.hasMatch());
    const double last_mean = rows[rows.size() - 2].split(',')[3].toDouble();
    EXPECT_GT(last_mean, 20.0);
    reprint_expected.replace(mean.capturedStart(1), mean.capturedLength(1),
                             QLocale().toString(last_mean, 'f', 1));
    EXPECT_EQ(pdf_text(rig.app_dir + "archiv.pdf").toStdString(), reprint_expected.toStdString());
    // Without its measurements the visit's mean O2 is unknown, not 0.
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
