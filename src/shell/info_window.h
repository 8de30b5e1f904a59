#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
struct LanguageTable;

// The program's three-part version, shown by "Info".
struct ProgramVersion {
    int major;
    int minor;
    int revision;
};
ProgramVersion program_version();

// Language texts 1000 and 1001, the version, and 1100, on three lines.
QString info_text(const LanguageTable& texts, const ProgramVersion& version);

// frm_wait: a small window with one text and an OK button. While it shows the
// main window is disabled, which makes it modal without a modal event loop:
// the poll timer keeps running behind it. The firmware update drives the same
// window as its progress display.
class InfoWindow : public QWidget {
    Q_OBJECT
public:
    // Design outer width in twips; the height follows the text and OK.
    static constexpr int kWidthTwips = 6000;

    // `main_window` is disabled while this window shows. It is deliberately not
    // our parent: a disabled parent would disable us too.
    InfoWindow(QWidget* main_window, const LanguageTable& texts);

    // "info" fills the text with the program information; any command shows
    // the window with whatever text it holds and disables the main window.
    void docommand(const QString& command, const QString& unused = QString());

    // Progress display: OK and the window disabled, the text emptied, shown
    // over the disabled main window. Only close_window() ends it: the close
    // box does nothing meanwhile.
    void show_progress();
    void set_text(const QString& text);
    // The bar under the text in the progress display: `done` of `total`.
    void set_progress(int done, int total);
    // The text as shown, its line ends as plain line feeds.
    QString text() const;
    // Closes it if it shows and enables the main window again.
    void close_window();

    // False while shown, true once OK or the close box ended it.
    bool was_closed() const { return closed_; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static constexpr int kMarginTwips = 120;
    static constexpr int kTextHeightTwips = 1080;
    static constexpr int kGapTwips = 60;
    static constexpr int kButtonWidthTwips = 1200;
    static constexpr int kButtonHeightTwips = 375;
    static constexpr int kBarHeightTwips = 330;

    void load();
    // Lays out text and OK; the client size they need.
    QSize fit_to_text(int frame_width);
    void centre();
    void show_over_main();
    void unload();

    QWidget* main_window_;
    const LanguageTable& texts_;
    QLabel* lbl_text_ = nullptr;
    QPushButton* cm_cancel_ = nullptr;
    QProgressBar* bar_ = nullptr;
    bool loaded_ = false;
    bool centre_pending_ = false;
    bool closed_ = true;
    bool progress_ = false;  // showing an update's progress
};
