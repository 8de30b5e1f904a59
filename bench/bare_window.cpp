// The yardstick for the program's start-up: a bare Qt Widgets window with one label.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QLabel label(QStringLiteral("Quorvel 5"));
    label.show();
    return QApplication::exec();
}
