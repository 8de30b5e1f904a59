#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <functional>

#include "device_tab_fixture.h"
#include "link/requests.h"

namespace {

class TimingTest : public DeviceTabTest {
protected:
    QComboBox* list(int n) { return control<QComboBox>(("cb_t_" + std::to_string(n)).c_str()); }

    // Focus on the list as a click or Tab would put it there.
    void edit(int n) {
        activate();
        list(n)->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(list(n)->hasFocus());
    }

    // What was queued while each wait ran.
    std::vector<QList<QByteArray>> queued_during;
    void record_waits() {
        waiter.during = [this](int) { queued_during.push_back(queued()); };
    }
};

TEST_F(TimingTest, ChoosingAnEntrySendsOneWriteThenOneRead) {
    connect_device();
    edit(3);
    record_waits();
    list(3)->setCurrentIndex(26);
    ASSERT_EQ(queued(), (QList<QByteArray>{req_set_zeit(3, 26), req_zeit(3)}));
    link_state.clear();
    queued_during.clear();

    QTest::keyClick(list(3), Qt::Key_Down);
    EXPECT_EQ(queued(), (QList<QByteArray>{QByteArray("T3\x1b"), QByteArray("t3")}));
    ASSERT_EQ(queued_during.size(), 1u);
    EXPECT_EQ(queued_during[0], QList<QByteArray>{QByteArray("T3\x1b")});
    EXPECT_EQ(waiter.waits.back(), 200);
}

TEST_F(TimingTest, ArrowKeysStepOnAfterEachWrite) {
    connect_device();
    edit(0);
    // Each wait disables the window, as the program's waits do.
    QTest::keyClick(list(0), Qt::Key_Down);
    QTest::keyClick(list(0), Qt::Key_Down);
    QTest::keyClick(list(0), Qt::Key_Up);
    EXPECT_GE(view.disables, 3);
    EXPECT_EQ(queued(), (QList<QByteArray>{req_set_zeit(0, 101), req_zeit(0), req_set_zeit(0, 102),
                                           req_zeit(0), req_set_zeit(0, 101), req_zeit(0)}));
    EXPECT_TRUE(list(0)->hasFocus());
    EXPECT_FALSE(tab->timing_locked(0));
}

TEST_F(TimingTest, ChoosingFromTheDropDownSends) {
    connect_device();
    edit(4);
    list(4)->showPopup();
    // A reply while the drop-down is open leaves the list as the technician has it.
    reply(QByteArray("t4") + char(10));
    EXPECT_EQ(list(4)->currentIndex(), 134);
    QTest::keyClick(list(4)->view(), Qt::Key_Down);
    QTest::keyClick(list(4)->view(), Qt::Key_Return);
    EXPECT_EQ(queued(), (QList<QByteArray>{req_set_zeit(4, 135), req_zeit(4)}));
}

TEST_F(TimingTest, RefreshesLeaveTheEditedListAloneUntilFocusLeaves) {
    connect_device();
    edit(2);
    QTest::keyClick(list(2), Qt::Key_Down);
    ASSERT_EQ(list(2)->currentIndex(), 145);
    // The device still reports the old value.
    reply(QByteArray("t2") + char(144));
    EXPECT_EQ(list(2)->currentIndex(), 145);

    list(4)->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(tab->timing_locked(2));
    tab->update_display();
    EXPECT_EQ(list(2)->currentIndex(), 144);
}

TEST_F(TimingTest, TheWheelNeverChangesATiming) {
    connect_device();
    geraet.zeiten[5] = 60;
    tab->update_display();
    EXPECT_EQ(list(5)->currentIndex(), 60);
    // Over a list left alone, one being edited, and one opened and closed
    // again with Escape (it keeps the focus).
    const std::vector<std::function<void()>> before = {
        [] {},
        [this] { edit(5); },
        [this] {
            edit(5);
            list(5)->showPopup();
            QTest::keyClick(list(5)->view(), Qt::Key_Escape);
        },
    };
    for (size_t i = 0; i < before.size(); ++i) {
        before[i]();
        for (int delta : {-120, 120}) {
            QWheelEvent wheel(QPointF(10, 10), list(5)->mapToGlobal(QPointF(10, 10)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(list(5), &wheel);
        }
        EXPECT_EQ(list(5)->currentIndex(), 60) << "case " << i;
        EXPECT_TRUE(queued().isEmpty()) << "case " << i;
    }
}

TEST_F(TimingTest, AClickOnAnEmptyPartOfTheTabEndsTheEdit) {
    connect_device();
    edit(2);
    list(2)->showPopup();
    QTest::keyClick(list(2)->view(), Qt::Key_Escape);
    ASSERT_TRUE(list(2)->hasFocus());
    ASSERT_FALSE(tab->timing_locked(2));

    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, QPoint(page->width() - 5, 5));
    EXPECT_FALSE(list(2)->hasFocus());
    EXPECT_TRUE(tab->timing_locked(2));
    // The refresh shows the device's value there again.
    geraet.zeiten[2] = 77;
    tab->update_display();
    EXPECT_EQ(list(2)->currentIndex(), 77);
}

TEST_F(TimingTest, TheOpenListShowsAboutTwentyEntriesWithAScrollBar) {
    connect_device();
    edit(1);
    list(1)->showPopup();
    QAbstractItemView* view = list(1)->view();
    ASSERT_TRUE(view->isVisible());
    const int row = view->sizeHintForRow(0);
    ASSERT_GT(row, 0);
    const int rows_shown = view->viewport()->height() / row;
    EXPECT_GE(rows_shown, 15);
    EXPECT_LE(rows_shown, 25);
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    list(1)->hidePopup();
}

TEST_F(TimingTest, NothingIsSentWithoutAConnection) {
    edit(1);
    QTest::keyClick(list(1), Qt::Key_Down);
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_TRUE(waiter.waits.empty());
}

TEST_F(TimingTest, ListLockedByALostConnectionUnlocksWhenWorkedIn) {
    connect_device();
    edit(6);
    geraet.verbunden = false;
    tab->update_display();
    EXPECT_TRUE(tab->timing_locked(6));
    connect_device();
    EXPECT_EQ(list(6)->currentIndex(), 134);
    QTest::keyClick(list(6), Qt::Key_Down);
    EXPECT_EQ(queued(), (QList<QByteArray>{req_set_zeit(6, 135), req_zeit(6)}));
}

TEST_F(TimingTest, ResetQueuesTheSevenStandardValuesThenTheirReads) {
    connect_device();
    geraet.zeiten = {1, 2, 3, 4, 5, 6, 7};
    tab->update_display();
    record_waits();
    control<QPushButton>("cmd_t_reset")->click();

    const int standard[7] = {100, 144, 144, 27, 134, 27, 134};
    QList<QByteArray> writes;
    QList<QByteArray> reads;
    for (int n = 0; n < 7; ++n) {
        writes.append(req_set_zeit(n, standard[n]));
        reads.append(req_zeit(n));
    }
    ASSERT_EQ(queued_during.size(), 1u);
    EXPECT_EQ(queued_during[0], writes);
    EXPECT_EQ(queued(), writes + reads);
    EXPECT_EQ(waiter.waits, std::vector<int>{200});
    EXPECT_EQ(writes[1], QByteArray("T1\x90"));

    // Once the device confirms, the lists show the standard seconds.
    for (int n = 0; n < 7; ++n)
        reply(QByteArray("t") + char('0' + n) + char(standard[n]));
    QStringList shown;
    for (int n = 0; n < 7; ++n) shown << list(n)->currentText();
    EXPECT_EQ(shown.join(u';'), "4,00;5,76;5,76;1,08;5,36;1,08;5,36");
}

TEST_F(TimingTest, ResetWhileAListHasTheFocusSendsOnlyItsOwnRequests) {
    connect_device();
    geraet.zeiten = {1, 2, 3, 4, 5, 6, 7};
    tab->update_display();
    edit(2);
    control<QPushButton>("cmd_t_reset")->click();
    EXPECT_EQ(queued().size(), 14);
    EXPECT_EQ(waiter.waits, std::vector<int>{200});
}

TEST_F(TimingTest, ResetIsQueuedEvenWithoutAConnection) {
    control<QPushButton>("cmd_t_reset")->click();
    ASSERT_EQ(queued().size(), 14);
    EXPECT_EQ(queued()[3], req_set_zeit(3, 27));
    EXPECT_EQ(queued()[13], req_zeit(6));
    // Nothing was written, so the lists go on showing the empty display.
    for (int n = 0; n < 7; ++n) EXPECT_EQ(list(n)->currentText(), "") << n;
}

}  // namespace
