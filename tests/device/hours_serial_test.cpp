#include <QLineEdit>
#include <QPushButton>

#include "device_tab_fixture.h"
#include "link/requests.h"

namespace {

QByteArray hours_payload(std::initializer_list<int> bytes) {
    QByteArray p("X");
    for (int b : bytes) p.append(char(b));
    return p;
}

class HoursTest : public DeviceTabTest {
protected:
    void click(const char* name) { control<QPushButton>(name)->click(); }
};

TEST_F(HoursTest, AcceptedAnswerIsSentDigitByDigitThenReadBack) {
    connect_device();
    dialogs.inputs = {QStringLiteral("01234:5")};
    QList<QByteArray> during;
    waiter.during = [&](int) { during = queued(); };
    click("cmd_setbstd");
    EXPECT_EQ(dialogs.questions, QStringList{texts.lang_text(110)});
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(during, QList<QByteArray>{hours_payload({4, 3, 2, 1, 0, 5})});
    EXPECT_EQ(queued(), (QList<QByteArray>{hours_payload({4, 3, 2, 1, 0, 5}), req_bstd()}));
    EXPECT_EQ(waiter.waits, std::vector<int>{400});
}

TEST_F(HoursTest, MalformedAnswersAreRefusedUntilOneIsGood) {
    connect_device();
    // Wrong tens of minutes, too short an hour part, wrong separator, a colon
    // among the hours, a letter, a digit from another script, space around.
    const QStringList bad = {"01234:6",
                             "01234:55",
                             "1234:50",
                             "01234-5",
                             "12:34:5",
                             "0a234:5",
                             QString::fromUtf8("\u0660"
                                               "1234:5"),
                             " 1234:5",
                             "01234:5 "};
    for (const QString& answer : bad) dialogs.inputs.push_back(answer);
    dialogs.inputs.push_back(QStringLiteral("99999:0"));
    click("cmd_setbstd");
    EXPECT_EQ(dialogs.messages.size(), bad.size());
    for (const QString& message : dialogs.messages) EXPECT_EQ(message, texts.lang_text(111));
    EXPECT_EQ(dialogs.questions.size(), bad.size() + 1);
    EXPECT_EQ(queued(), (QList<QByteArray>{hours_payload({9, 9, 9, 9, 9, 0}), req_bstd()}));
}

TEST_F(HoursTest, EmptyOrCancelledAnswerSendsNothing) {
    connect_device();
    dialogs.inputs = {QStringLiteral("01234:6"), QString()};
    click("cmd_setbstd");
    EXPECT_EQ(dialogs.messages.size(), 1);
    dialogs.inputs = {std::nullopt};
    click("cmd_setbstd");
    EXPECT_EQ(dialogs.questions.size(), 3);
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_TRUE(waiter.waits.empty());
}

TEST_F(HoursTest, ConnectionLostWhilePromptingSendsNothing) {
    connect_device();
    dialogs.inputs = {QStringLiteral("1:00"), QStringLiteral("00100:0")};
    // The link resets while the refusal is on screen; the good answer comes too late.
    dialogs.on_message = [this](const QString&) { geraet.verbunden = false; };
    click("cmd_setbstd");
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_TRUE(queued().isEmpty());
}

TEST_F(HoursTest, ResetShowsZeroAtOnceAndReadsTheDeviceValueBack) {
    connect_device();
    QString shown_during;
    dialogs.answers = {true};
    waiter.during = [&](int) {
        tab->update_display();  // a reply arriving during the pause
        shown_during = control<QLineEdit>("t_bstd")->text();
    };
    click("cmd_resetbstd");
    EXPECT_EQ(shown_during, "000000:00");
    EXPECT_EQ(queued(), (QList<QByteArray>{hours_payload({0, 0, 0, 0, 0, 0}), req_bstd()}));
    EXPECT_EQ(waiter.waits, std::vector<int>{400});
    reply(hours_payload({0, 0, 0, 0, 0, 0}).replace(0, 1, "x"));
    EXPECT_EQ(control<QLineEdit>("t_bstd")->text(), "00000:00");
}

TEST_F(HoursTest, HoursButtonsDoNothingWithoutAConnection) {
    geraet.bstd = QStringLiteral("01234:50");
    click("cmd_setbstd");
    click("cmd_resetbstd");
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(geraet.bstd, "01234:50");
    EXPECT_TRUE(queued().isEmpty());
}

class SerialTest : public DeviceTabTest {
protected:
    QLineEdit* sn() { return control<QLineEdit>("t_sn"); }
    QPushButton* save() { return control<QPushButton>("cmd_setsn"); }
    void retype(const QString& text) {
        sn()->selectAll();
        QTest::keyClick(sn(), Qt::Key_Delete);
        QTest::keyClicks(sn(), text);
    }
};

TEST_F(SerialTest, TypingShowsSaveAndLeavingWithTheDeviceValueHidesIt) {
    connect_device();
    activate();
    sn()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(sn(), Qt::Key_Backspace);
    EXPECT_FALSE(save()->isHidden());
    EXPECT_EQ(save()->text(), "Speichern");
    // Back to the device's number: the button stays while typing goes on...
    QTest::keyClicks(sn(), "5");
    EXPECT_EQ(sn()->text(), geraet.sn);
    EXPECT_FALSE(save()->isHidden());
    // ...and goes once the box is left.
    control<QLineEdit>("t_lp")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(save()->isHidden());
}

TEST_F(SerialTest, LeavingWithADifferentNumberKeepsItAndRefreshesLeaveItAlone) {
    connect_device();
    activate();
    sn()->setFocus(Qt::TabFocusReason);
    retype("NEU-1");
    control<QLineEdit>("t_lp")->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(save()->isHidden());
    reply(QByteArray("e") + '\0' + char(16) + char(12) + "QV5-99999999");
    EXPECT_EQ(sn()->text(), "NEU-1");
}

TEST_F(SerialTest, TypedNumberSurvivesWhileAnotherTabIsShown) {
    connect_device();
    activate();
    retype("NEU-2");
    page->hide();  // the tab control hides the pages not shown
    reply(QByteArray("e") + '\0' + char(16) + char(12) + "QV5-99999999");
    page->show();
    EXPECT_EQ(sn()->text(), "NEU-2");
    EXPECT_FALSE(save()->isHidden());
}

TEST_F(SerialTest, SaveWritesThePaddedNumberThenReadsItBack) {
    connect_device();
    retype("AB123");
    ASSERT_FALSE(save()->isHidden());
    dialogs.answers = {true};
    QList<QByteArray> during;
    waiter.during = [&](int) { during = queued(); };
    save()->click();

    const QByteArray write = QByteArray("E") + '\0' + char(0x10) + char(0x0C) + "AB123       ";
    EXPECT_EQ(during, QList<QByteArray>{write});
    EXPECT_EQ(queued(), (QList<QByteArray>{write, req_sn()}));
    EXPECT_EQ(waiter.waits, std::vector<int>{800});
    EXPECT_TRUE(save()->isHidden());
    // Until the read-back arrives the refreshes show the number as written.
    tab->update_display();
    EXPECT_EQ(sn()->text(), "AB123");

    // The device's answer, not the typed text, is what stays.
    reply(QByteArray("e") + '\0' + char(16) + char(12) + "AB123 (QV5) ");
    EXPECT_EQ(sn()->text(), "AB123 (QV5) ");
}

TEST_F(SerialTest, LinkLostDuringThePauseQueuesNoReadBack) {
    connect_device();
    retype("AB124");
    dialogs.answers = {true};
    // The link resets while the write is being sent: queue emptied, data reset.
    waiter.during = [this](int) { poll.link_reset(); };
    save()->click();
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_TRUE(save()->isHidden());
}

TEST_F(SerialTest, NumberIsLimitedToTwelveCharacters) {
    connect_device();
    retype("ABCDEFGHIJKLMN");
    EXPECT_EQ(sn()->text(), "ABCDEFGHIJKL");
}

TEST_F(SerialTest, NoSaveButtonAndNoWriteWithoutAConnection) {
    QTest::keyClicks(sn(), "X1");
    EXPECT_TRUE(save()->isHidden());
    save()->show();
    save()->click();
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_TRUE(waiter.waits.empty());
}

}  // namespace
