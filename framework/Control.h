#pragma once
#include <QObject>
#include <QString>

#include "Event.h"

class QWidget;

// What every control of a window shares: its name, its place and its Open
// event, which the window raises once after all its controls exist.
//
// A control's events follow the rule of Event.h: its window drops their
// handlers when it goes, and the control raises them only from connections
// made through EventScope().
class Control : public EventOwner {
public:
    explicit Control(QWidget* widget) : widget_(widget) {}
    virtual ~Control() = default;

    Event<void()> Open{this};

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

protected:
    // The context of every connection through which the control raises its
    // events. It goes with this part of the control, which a control class
    // lists after its Qt base: the connections end before Qt deletes the
    // widget's children, while the control's own members are already gone.
    QObject* EventScope() { return &eventScope_; }

private:
    QWidget* widget_;
    QObject eventScope_;
};
