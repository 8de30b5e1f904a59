// "Drucken" in the running program: the form's current entries on paper, as
// typed, and the device data block on screen from the box's edge.
#include <gtest/gtest.h>
#include <QCheckBox>
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
    // (leaving the tab drops the unsaved entries).
    rig.dialogs.answers = {false};
    rig.app->window()->tab1()->setCurrentIndex(0);
    rig.app->window()->tab1()->setCurrentIndex(1);
    auto* box = rig.find<PictureBox>("p_geraetedaten");
    EXPECT_TRUE(box->accessibleDescription().contains("QV5000012345"));
    const QImage& image = box->image();
    bool ink_near_edge = false;
    for (int y = 0; y < image.height() / 2 && !ink_near_edge; ++y)
        for (int x = 0; x < 12 && !ink_near_edge; ++x)
            ink_near_edge = qGray(image.pixel(x * image.devicePixelRatio(), y)) < 128;
    EXPECT_TRUE(ink_near_edge);
}
