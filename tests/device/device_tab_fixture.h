#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QWidget>

#include "device/device_tab.h"
#include "link/comm_log.h"
#include "link/device_data.h"
#include "link/dispatcher.h"
#include "link/frame.h"
#include "link/link_view.h"
#include "link/poll_cycle.h"
#include "link/port.h"
#include "platform/clock.h"
#include "platform/language_table.h"
#include "platform/settings.h"
#include "support/manual_waiter.h"
#include "support/recording_ftd2xx.h"
#include "support/scripted_dialogs.h"

// The main window as far as the link sees it: waits disable it, as the real
// one does, so focus is lost during a wait just like in the program.
class TestLinkView final : public LinkView {
public:
    int current_tab() const override { return 0; }
    void select_tab(int) override {}
    void set_tabs_enabled(bool) override {}
    void set_busy_cursor(bool) override {}
    void set_wait_cursor(bool) override {}
    bool window_enabled() const override { return !window || window->isEnabled(); }
    void set_window_enabled(bool enabled) override {
        if (window) window->setEnabled(enabled);
        if (!enabled) ++disables;
    }

    QWidget* window = nullptr;
    int disables = 0;
};

// A "Gerät" tab on a page inside a window, with a real link whose queue is
// inspected; replies are fed through the real receiver and dispatcher.
class DeviceTabTest : public ::testing::Test {
protected:
    DeviceTabTest() : saved_locale_(QLocale()) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        page = new QWidget(&window);
        page->setObjectName(QStringLiteral("tab0"));
        page->setGeometry(0, 24, 1010, 700);
        window.resize(1010, 725);
        view.window = &window;
        texts.texts[110] = QStringLiteral("Betriebsstunden eingeben:");
        texts.texts[111] = QStringLiteral("Ungültige Eingabe");
        tab = std::make_unique<DeviceTab>(page, geraet, frames, poll, dialogs, texts);
        tab->fill_timing_lists();
        QObject::connect(&frames, &FrameLink::reply_received, &dispatcher,
                         &ReplyDispatcher::dispatch_reply);
        QObject::connect(&dispatcher, &ReplyDispatcher::display_changed, tab.get(),
                         &DeviceTab::update_display);
        tab->update_display();
    }
    ~DeviceTabTest() override { QLocale::setDefault(saved_locale_); }

    template <typename W = QWidget>
    W* control(const char* name) {
        W* w = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    // A connected device with plausible values.
    void connect_device() {
        geraet.verbunden = true;
        geraet.sn = QStringLiteral("QV5-00012345");
        geraet.lp = QStringLiteral("LP-778899001");
        geraet.bstd = QStringLiteral("01234:50");
        geraet.sw = QStringLiteral("123");
        geraet.o2 = 93.4;
        geraet.mwo2 = 92.96;
        geraet.druck = -123;
        geraet.sensor1 = 96;
        geraet.spannung = 854 / 35.6;
        geraet.gastemp = 41.6;
        geraet.kompressortemp = 41.6;
        geraet.c = 347.0;
        geraet.amplitude = 1512;
        geraet.phase = 3;
        geraet.zeiten = {100, 144, 144, 27, 134, 27, 134};
        tab->update_display();
    }

    // Shows the window and makes it active, so focus changes are real.
    void activate() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void reply(const QByteArray& payload) { frames.receive(build_frame(payload)); }

    QList<QByteArray> queued() const {
        QList<QByteArray> out;
        for (int i = 0; i < link_state.outbuffer_count; ++i)
            out.append(link_state.outbuffer[size_t(i)]);
        return out;
    }

    ManualClock clock;
    ManualWaiter waiter{clock};
    ScriptedDialogs dialogs;
    LanguageTable texts;
    CommLog log{clock};
    Settings settings;
    RecordingFtd2xx ft;
    PortState port_state{&ft, RecordingFtd2xx::kHandle};
    LinkState link_state;
    PollState poll_state;
    Geraetedaten geraet;
    FrameLink frames{link_state, port_state, log, dialogs, clock};
    Port port{port_state, log, dialogs, texts};
    TestLinkView view;
    PollCycle poll{
        {poll_state, link_state, frames, port, geraet, settings, log, clock, waiter, view}};
    ReplyDispatcher dispatcher{geraet, poll_state.timeout_count, frames, dialogs, texts, clock};
    QWidget window;
    QWidget* page = nullptr;
    std::unique_ptr<DeviceTab> tab;

private:
    QLocale saved_locale_;
};
