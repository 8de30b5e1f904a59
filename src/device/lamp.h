#pragma once

#include <QColor>
#include <QWidget>

// A small indicator lamp: filled in its own colour when lit, an empty outline
// when not.
class Lamp : public QWidget {
    Q_OBJECT
public:
    Lamp(const QColor& colour, QWidget* parent = nullptr);

    bool lit() const { return lit_; }
    void set_lit(bool lit);
    QColor colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
    bool lit_ = false;
};
