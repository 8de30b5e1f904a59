#include "shell/center_form.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

QSize frame_extra(const QWidget* window) {
    return window->frameGeometry().size() - window->geometry().size();
}

QRect screen_area(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

QPoint centred_position(const QSize& screen, const QSize& outer, bool clamp_at_zero) {
    QPoint at((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2);
    if (clamp_at_zero) at = QPoint(qMax(at.x(), 0), qMax(at.y(), 0));
    return at;
}

QSize outer_size(const QWidget* window) {
    return window->frameGeometry().size();
}

void set_outer_size(QWidget* window, const QSize& outer) {
    window->resize(outer - frame_extra(window));
}

void center_form(QWidget* window, int width_px, int height_px) {
    const QSize outer(width_px, height_px);
    set_outer_size(window, outer);
    const QRect area = screen_area(window);
    // move() places the frame's top-left corner.
    window->move(area.topLeft() + centred_position(area.size(), outer, false));
}
