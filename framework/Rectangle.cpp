#include "Rectangle.h"

#include <QPainter>

Rectangle::Rectangle(QWidget* parent) : QWidget(parent), Control(this) {}

void Rectangle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), BorderWidth > 0 ? BorderColor.ToQColor() : FillColor.ToQColor());
    if (BorderWidth > 0)
        p.fillRect(rect().adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth),
                   FillColor.ToQColor());
}
