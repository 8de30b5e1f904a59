#pragma once

// What the link needs of the main window, implemented by the window and wired
// in the composition root.
class LinkView {
public:
    virtual ~LinkView() = default;
    virtual int current_tab() const = 0;
    virtual void select_tab(int index) = 0;
    virtual void set_tabs_enabled(bool enabled) = 0;
    // The hourglass pointer of the start requests, over the main window.
    virtual void set_busy_cursor(bool busy) = 0;
    // The hourglass of a wait, over the whole screen; kept apart from the one
    // above, so a status record that ends the start does not end a wait. Waits
    // nest: every true is followed by one false.
    virtual void set_wait_cursor(bool busy) = 0;
    virtual bool window_enabled() const = 0;
    virtual void set_window_enabled(bool enabled) = 0;
};

// No window at all: for headless tools (benchmarks, fuzzing).
class NullLinkView final : public LinkView {
public:
    int current_tab() const override { return 0; }
    void select_tab(int) override {}
    void set_tabs_enabled(bool) override {}
    void set_busy_cursor(bool) override {}
    void set_wait_cursor(bool) override {}
    bool window_enabled() const override { return true; }
    void set_window_enabled(bool) override {}
};
