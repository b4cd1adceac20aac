#include "Canvas.h"

#include <QMouseEvent>
#include <QPainter>

Canvas::Canvas(QWidget* parent) : QWidget(parent), Control(this) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::SetBackdrop(const Picture& picture) {
    backdrop_ = picture;
    update();
}

void Canvas::SurfaceChanged() {
    drawn_ = true;
    update();
}

::Graphics Canvas::Graphics() {
    if (surface_.size() != size()) {
        QImage resized(size(), QImage::Format_RGB32);
        resized.fill(palette().color(QPalette::Window));
        surface_ = resized;
    }
    return ::Graphics(&surface_, [this] { SurfaceChanged(); });
}

void Canvas::Refresh() {
    QImage fresh(size(), QImage::Format_RGB32);
    fresh.fill(palette().color(QPalette::Window));
    surface_ = fresh;
    drawn_ = false;
    if (Paint) {
        ::Graphics g = Graphics();
        Paint(g);
    }
    update();
}

void Canvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!drawn_ && !backdrop_.IsNil()) {
        p.fillRect(rect(), palette().color(QPalette::Window));
        p.drawImage(0, 0, backdrop_.Image());
    } else if (!surface_.isNull()) {
        p.drawImage(0, 0, surface_);
    } else {
        p.fillRect(rect(), palette().color(QPalette::Window));
    }
}

void Canvas::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || tracking_) return;
    const QPoint at = event->position().toPoint();
    tracking_ = MouseDown && MouseDown(at.x(), at.y());
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (tracking_) {
        if (MouseDrag) MouseDrag(at.x(), at.y());
    } else if (event->buttons() == Qt::NoButton) {
        if (MouseMove) MouseMove(at.x(), at.y());
    }
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !tracking_) return;
    tracking_ = false;
    const QPoint at = event->position().toPoint();
    if (MouseUp) MouseUp(at.x(), at.y());
}
