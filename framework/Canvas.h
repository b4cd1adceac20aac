#pragma once
#include <QImage>
#include <QWidget>
#include "Control.h"
#include "Graphics.h"
#include "Picture.h"

// A drawing surface. Drawing on its Graphics shows at once and stays until it
// is drawn over. When the window system shows the canvas (the window appears
// or is restored), the canvas starts again from its Backdrop (blank without
// one) and raises Paint, whose drawing shows as well; until something is drawn
// the backdrop is what the canvas shows.
//
// Mouse: MouseDown may return true to receive that press's MouseDrag and
// MouseUp; MouseMove reports moves with no button pressed.
class Canvas : public QWidget, public Control {
    Q_OBJECT
public:
    explicit Canvas(QWidget* parent = nullptr);

    Event<bool(int x, int y)> MouseDown{this};
    Event<void(int x, int y)> MouseDrag{this};
    Event<void(int x, int y)> MouseUp{this};
    Event<void(int x, int y)> MouseMove{this};
    Event<void(::Graphics& g)> Paint{this};

    void SetBackdrop(const Picture& picture);
    const Picture& Backdrop() const { return backdrop_; }

    ::Graphics Graphics();
    // Redraws as the window system would: backdrop first, then Paint.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SurfaceChanged();

    Picture backdrop_;
    QImage surface_;
    bool drawn_ = false;
    bool tracking_ = false;  // a press returned true and its release is due
};
