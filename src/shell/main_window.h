#pragma once

#include <QMainWindow>

#include "platform/geometry.h"

class QTabWidget;

// frm_main: the program's one main window with its four tabs.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    QTabWidget* tab1() const { return tab1_; }

signals:
    void close_requested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTabWidget* tab1_ = nullptr;
};

