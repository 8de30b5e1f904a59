#pragma once

#include <QFrame>
#include <QImage>

// A picture box: what is drawn into it stays in an image at the screen's pixel
// ratio until it is cleared; a paint only copies the image to the screen.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // An empty white image the size of the box's inside.
    void clear();
    // The image to draw into, in device-independent pixels; call update()
    // when done.
    QImage& image() { return image_; }
    // Width of the inside, in device-independent pixels.
    int inner_width() const { return contentsRect().width(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage image_;
};
