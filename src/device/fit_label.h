#pragma once

#include <QLabel>

// A caption that stays whole in its designed width: when the font at hand is
// wider than the one the window was laid out for, the text is drawn narrower
// instead of being cut off.
class FitLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};
