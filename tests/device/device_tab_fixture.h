#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QWidget>

#include "device/device_tab.h"
#include "link/device_link.h"
#include "link/link_view.h"
#include "platform/clock.h"
#include "platform/language_table.h"
#include "platform/settings.h"
#include "support/locale_guard.h"
#include "support/manual_waiter.h"
#include "support/recording_ftd2xx.h"
#include "support/sample_device.h"
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
    DeviceTabTest() {
        page = new QWidget(&window);
        page->setObjectName(QStringLiteral("tab0"));
        page->setGeometry(0, 24, 1010, 700);
        window.resize(1010, 725);
        view.window = &window;
        texts.texts[110] = QStringLiteral("Betriebsstunden eingeben:");
        texts.texts[111] = QStringLiteral("Ungültige Eingabe");
        link.port_state.ft_handle = RecordingFtd2xx::kHandle;
        tab = std::make_unique<DeviceTab>(page, geraet, frames, poll, dialogs, texts);
        tab->fill_timing_lists();
        QObject::connect(&dispatcher, &ReplyDispatcher::display_changed, tab.get(),
                         &DeviceTab::update_display);
        tab->update_display();
    }
    template <typename W = QWidget>
    W* control(const char* name) {
        W* w = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    // A connected device with plausible values.
    void connect_device() {
        set_sample_device(geraet);
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
    Settings settings;
    RecordingFtd2xx ft;
    TestLinkView view;
    DeviceLink link{{ft, clock, waiter, dialogs, view, texts, settings}};
    LinkState& link_state = link.link_state;
    Geraetedaten& geraet = link.geraet;
    FrameLink& frames = link.frames;
    PollCycle& poll = link.poll;
    ReplyDispatcher& dispatcher = link.dispatcher;
    QWidget window;
    QWidget* page = nullptr;
    std::unique_ptr<DeviceTab> tab;
    LocaleGuard locale{LocaleGuard::german()};
};
