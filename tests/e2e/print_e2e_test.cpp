// "Drucken" in the running program: the form's current entries on paper, as
// typed, and the device data block on screen from the box's edge.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "protocol/picture_box.h"
#include "support/app_rig.h"
#include "support/pdf_text.h"

TEST(PrintEndToEnd, PrintsTheFormAsTypedAndKeepsTheScreenBlockAtItsEdge) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(rig.start_connected());
    rig.app->window()->tab1()->setCurrentIndex(1);
    ASSERT_TRUE(rig.find<QGroupBox>("frm_protokoll")->isEnabled());
    // Entered but not saved: the print takes the form as it stands.
    rig.find<QLineEdit>("t_patient")->setText(QString::fromUtf8("Jörg O'Neill"));
    rig.find<QPlainTextEdit>("t_bemerkungen")->setPlainText("Patient's cannula replaced\nok");
    rig.find<QCheckBox>("ck_stk")->setChecked(true);

    const QString pdf = rig.app_dir + "protokoll.pdf";
    rig.printers.choices = {std::nullopt, PrinterSetup{QString(), pdf, 1}};
    rig.find<QPushButton>("cmd_print")->click();  // cancelled
    EXPECT_FALSE(QFile::exists(pdf));
    rig.find<QPushButton>("cmd_print")->click();
    EXPECT_TRUE(rig.dialogs.messages.isEmpty());
    EXPECT_EQ(rig.app->print_engine.print_margin, 0);

    const QString text = pdf_text(pdf);
    for (const char* expected :
         {"STK-Prüfprotokoll Quorvel 5", "Jörg O'Neill", "Patient's cannula replaced", "ok",
          "QV5000012345", "STK durchgeführt", "[X]", "Unterschrift Patient"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();

    // The block on screen, drawn again after the print, starts at the edge
    // ("Neu", the unsaved entries discarded).
    rig.dialogs.save_answers = {SaveAnswer::discard};
    rig.find<QPushButton>("cmd_new")->click();
    auto* box = rig.find<PictureBox>("p_geraetedaten");
    EXPECT_TRUE(box->accessibleDescription().contains("QV5000012345"));
    const QImage& image = box->image();
    bool ink_near_edge = false;
    for (int y = 0; y < image.height() / 2 && !ink_near_edge; ++y)
        for (int x = 0; x < 12 && !ink_near_edge; ++x)
            ink_near_edge = qGray(image.pixel(x * image.devicePixelRatio(), y)) < 128;
    EXPECT_TRUE(ink_near_edge);
}

// A print takes what was on the form at the click, whatever the link does
// while the print dialog is open; what does not fit its four ruled lines is
// named before anything is printed; the PDF is offered beside the protocol.
TEST(PrintEndToEnd, PrintsTheClickedFormAndNeverCutsSilently) {
    AppRig rig(QLocale(QLocale::German, QLocale::Germany), 0.2);
    ASSERT_TRUE(rig.start_connected());
    rig.app->window()->tab1()->setCurrentIndex(1);
    rig.find<QLineEdit>("t_patient")->setText("Anna Beispiel");
    rig.find<QPlainTextEdit>("t_zubehoer")->setPlainText("Schlauch\nMaske\nFilter\nTasche\nNetzteil");
    ASSERT_TRUE(QDir(rig.app_dir).mkdir("sub"));
    rig.dialogs.files = {rig.app_dir + "sub/besuch.txt"};
    rig.find<QPushButton>("cmd_save")->click();
    ASSERT_FALSE(rig.app->pruefprotokoll.geaendert);

    const QString pdf = rig.app_dir + "sub/besuch.pdf";
    rig.printers.choices = {PrinterSetup{QString(), pdf, 1}, PrinterSetup{QString(), pdf, 1}};
    rig.dialogs.answers = {false};
    rig.find<QPushButton>("cmd_print")->click();
    EXPECT_EQ(rig.printers.offered, QStringList({"pdf:" + pdf}));
    EXPECT_EQ(rig.dialogs.questions,
              QStringList({QString::fromUtf8("Nicht alles passt auf die Seite: der Text in "
                                             "„ausgeliefertes Zubehör“ reicht über seine vier "
                                             "Zeilen hinaus und wird abgeschnitten.\r\nOK "
                                             "druckt, was passt; Abbrechen kehrt zum Formular "
                                             "zurück.")}));
    EXPECT_FALSE(QFile::exists(pdf));

    // OK; meanwhile the link drops and comes back, which starts a new record.
    rig.printers.on_dialog = [&] {
        rig.device.faults().silent = true;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.app->link.port.is_open(); }, 5000));
        rig.device.faults().silent = false;
        ASSERT_TRUE(rig.wait_connected(15000));
        EXPECT_TRUE(rig.app->pruefprotokoll.felder[kPatient].isEmpty());
    };
    rig.dialogs.answers = {true};
    rig.find<QPushButton>("cmd_print")->click();
    EXPECT_TRUE(rig.dialogs.messages.isEmpty());
    const QString text = pdf_text(pdf);
    for (const char* expected : {"Anna Beispiel", "Tasche", "QV5000012345"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    EXPECT_FALSE(text.contains("Netzteil"));  // cut, as the technician accepted
}
