#pragma once
#include <QRect>
#include <functional>

#include "Color.h"

class QImage;
class QPainter;
class Picture;

// Drawing on a picture, a canvas or a list cell. Rectangles are given as
// left, top, width, height and cover exactly width x height pixels; an outline
// drawn with DrawRect is one pixel wide and lies inside that rectangle.
class Graphics {
public:
    // Draws straight into the image's pixels; `changed` runs after every operation.
    explicit Graphics(QImage* target, std::function<void()> changed = {});
    // Draws through a painter into `area` (the painter's device coordinates);
    // coordinates are relative to the area's top-left corner.
    Graphics(QPainter* painter, QRect area);

    Color ForeColor;

    int Width() const;
    int Height() const;

    void FillRect(int x, int y, int width, int height);
    void DrawRect(int x, int y, int width, int height);
    void DrawLine(int x1, int y1, int x2, int y2);
    void DrawPicture(const Picture& picture, int x, int y);

private:
    void FillClipped(int x, int y, int width, int height);
    void Changed() const;

    QImage* image_ = nullptr;
    QPainter* painter_ = nullptr;
    QRect area_;
    std::function<void()> changed_;
};
