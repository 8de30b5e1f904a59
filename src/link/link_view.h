#pragma once

// What the link needs of the main window, implemented by the window and wired
// in the composition root.
class LinkView {
public:
    virtual ~LinkView() = default;
    virtual int current_tab() const = 0;
    virtual void select_tab(int index) = 0;
    virtual void set_tabs_enabled(bool enabled) = 0;
    // The hourglass pointer.
    virtual void set_busy_cursor(bool busy) = 0;
    virtual void set_window_enabled(bool enabled) = 0;
};

// No window at all: for headless tools (benchmarks, fuzzing).
class NullLinkView final : public LinkView {
public:
    int current_tab() const override { return 0; }
    void select_tab(int) override {}
    void set_tabs_enabled(bool) override {}
    void set_busy_cursor(bool) override {}
    void set_window_enabled(bool) override {}
};
