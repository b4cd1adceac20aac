#pragma once
#include <functional>
#include <utility>
#include <vector>

// The events of controls and windows, and the one rule that keeps their
// handlers from outliving the window they call into.
//
// A window binds a handler to each event it answers, a lambda that calls one
// of its members. Qt takes a window down in the order of C++ destruction: the
// derived window's own part first, then the framework's Window part, and only
// then QWidget deletes the controls, which may still raise events while they
// go (a focus change, an edit that ends). So:
//
// - Every event belongs to an EventOwner, the control or window that raises
//   it. When a window's Window part goes, the window, each of its controls and
//   each window it holds (a child window) drop every handler at once, before
//   Qt deletes any control: nothing reaches the window's code from then on.
//   A derived window therefore does nothing in its destructor that raises an
//   event; nothing needs to, since the window's handlers are gone with it.
// - A control raises its events from Qt signals connected through its
//   EventScope (Control.h), a context object that goes with the control's
//   framework part, before QWidget takes the widget and its children down.
class EventOwner {
public:
    EventOwner() = default;
    EventOwner(const EventOwner&) = delete;
    EventOwner& operator=(const EventOwner&) = delete;

    // Unbinds the handler of every event of this owner.
    void DropHandlers() {
        for (Dropper* event : events_) event->Drop();
    }

protected:
    ~EventOwner() = default;

private:
    template <class Signature>
    friend class Event;
    class Dropper {
    public:
        virtual void Drop() = 0;

    protected:
        ~Dropper() = default;
    };
    std::vector<Dropper*> events_;
};

template <class Signature>
class Event;

// One event: at most one handler, bound by assigning a callable (nullptr
// unbinds), tested with `if (event)` and raised by calling the event.
template <class R, class... Args>
class Event<R(Args...)> final : private EventOwner::Dropper {
public:
    using Handler = std::function<R(Args...)>;

    explicit Event(EventOwner* owner) { owner->events_.push_back(this); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    ~Event() = default;

    template <class F>
    Event& operator=(F&& handler) {
        handler_ = std::forward<F>(handler);
        return *this;
    }
    explicit operator bool() const { return static_cast<bool>(handler_); }
    R operator()(Args... args) const { return handler_(std::forward<Args>(args)...); }
    // The handler bound now, for a caller that wraps it.
    const Handler& Bound() const { return handler_; }

private:
    void Drop() override { handler_ = nullptr; }

    Handler handler_;
};
