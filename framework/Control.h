#pragma once
#include <QString>
#include <functional>

class QWidget;

// What every control of a window shares: its name, its place and its Open
// event, which the window raises once after all its controls exist.
class Control {
public:
    explicit Control(QWidget* widget) : widget_(widget) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    std::function<void()> Open;

    QWidget* Widget() const { return widget_; }
    QString Name() const;
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Position and size in the window's pixels.
    void SetBounds(int left, int top, int width, int height);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;

private:
    QWidget* widget_;
};
