#include "Graphics.h"

#include <QPainter>
#include <algorithm>

#include "Picture.h"
#include "PixelWriter.h"

Graphics::Graphics(QImage* target, std::function<void()> changed)
    : image_(target), changed_(std::move(changed)) {
    if (image_) area_ = image_->rect();
}

Graphics::Graphics(QPainter* painter, QRect area) : painter_(painter), area_(area) {}

int Graphics::Width() const { return area_.width(); }
int Graphics::Height() const { return area_.height(); }

void Graphics::Changed() const {
    if (changed_) changed_();
}

void Graphics::FillClipped(int x, int y, int width, int height) {
    if (painter_) {
        painter_->fillRect(QRect(area_.left() + x, area_.top() + y, width, height),
                           ForeColor.ToQColor());
        return;
    }
    if (image_) PixelWriter(*image_).FillRect(x, y, width, height, ForeColor);
}

void Graphics::FillRect(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    FillClipped(x, y, width, height);
    Changed();
}

void Graphics::DrawRect(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    FillClipped(x, y, width, 1);
    FillClipped(x, y + height - 1, width, 1);
    FillClipped(x, y, 1, height);
    FillClipped(x + width - 1, y, 1, height);
    Changed();
}

void Graphics::DrawLine(int x1, int y1, int x2, int y2) {
    if (y1 == y2) {
        FillClipped(std::min(x1, x2), y1, std::abs(x2 - x1) + 1, 1);
    } else if (x1 == x2) {
        FillClipped(x1, std::min(y1, y2), 1, std::abs(y2 - y1) + 1);
    } else if (painter_) {
        painter_->setPen(ForeColor.ToQColor());
        painter_->drawLine(area_.left() + x1, area_.top() + y1, area_.left() + x2,
                           area_.top() + y2);
    } else if (image_ && !image_->isNull()) {
        QPainter p(image_);
        p.setPen(ForeColor.ToQColor());
        p.drawLine(x1, y1, x2, y2);
    }
    Changed();
}

void Graphics::DrawPicture(const Picture& picture, int x, int y) {
    if (picture.IsNil()) return;
    const QImage& source = picture.Image();
    if (painter_) {
        painter_->drawImage(area_.left() + x, area_.top() + y, source);
    } else if (image_) {
        if (x == 0 && y == 0 && source.size() == image_->size() &&
            source.format() == image_->format()) {
            *image_ = source;  // shares the pixels until the next drawing
        } else {
            PixelWriter(*image_).CopyImage(source, x, y);
        }
    }
    Changed();
}
