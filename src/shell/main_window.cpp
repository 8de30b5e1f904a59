#include "shell/main_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QTabWidget>

namespace {

void tag(QObject* object, const char* name, int text_id) {
    object->setObjectName(QLatin1String(name));
    if (text_id > 0) object->setProperty("textId", text_id);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    tag(this, "frm_main", 11000);
    setWindowTitle(QStringLiteral("quorvel 5"));

    tab1_ = new QTabWidget(this);
    tag(tab1_, "tab1", 11500);
    for (const char* caption : {"Gerät", "Protokoll", "System Status", "Entwickler"})
        tab1_->addTab(new QWidget(tab1_), QString::fromUtf8(caption));
    setCentralWidget(tab1_);

    QMenu* datei = menuBar()->addMenu(QStringLiteral("Datei"));
    tag(datei, "men_Datei", 11075);
    QAction* beenden = datei->addAction(QStringLiteral("Beenden"));
    tag(beenden, "men_beenden", 11077);
    connect(beenden, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    emit close_requested();
    event->accept();
}
