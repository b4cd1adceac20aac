#pragma once
#include <QWidget>

#include "Color.h"
#include "Control.h"

// A filled box with an optional border drawn inside its bounds.
class Rectangle : public QWidget, public Control {
    Q_OBJECT
public:
    explicit Rectangle(QWidget* parent = nullptr);

    Color FillColor = RGB(255, 255, 255);
    Color BorderColor = RGB(0, 0, 0);
    int BorderWidth = 1;

protected:
    void paintEvent(QPaintEvent* event) override;
};
