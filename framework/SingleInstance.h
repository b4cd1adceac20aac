#pragma once

// The one object of a class that has at most one (class T : public Base,
// public SingleInstance<T>: listed after the other base, so that the instance
// is forgotten before the rest of the object goes; SingleInstance<T> is a
// friend when T's constructor is private). Instance builds it on the first
// reference and returns the same object until it goes; the object forgets
// itself when it is destroyed, so the next reference builds a new one.
//
// A window is built with its Construct, and is gone as soon as it is closed:
// its deletion follows later, but the next reference already builds a fresh
// window.
template <class T>
class SingleInstance {
public:
    static T& Instance() {
        if (!Exists()) {
            T* built = new T();
            current_ = built;  // reachable while it builds: its handlers may refer to it
            if constexpr (requires { built->Construct(); }) built->Construct();
        }
        return *static_cast<T*>(current_);
    }

    static bool Exists() {
        if (!current_) return false;
        if constexpr (requires(const T& object) { object.IsClosed(); })
            return !static_cast<const T*>(current_)->IsClosed();
        return true;
    }

    // Destroys the instance at once; a window goes without its Close event.
    static void Destroy() {
        T* doomed = current_ ? static_cast<T*>(current_) : nullptr;
        current_ = nullptr;
        delete doomed;
    }

    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

protected:
    SingleInstance() = default;
    // The instance is forgotten once T's own destructor has run, before the
    // other base (a window's Window part) goes: from then on Exists() is false
    // and Instance() would build a new object. Nothing of a going window calls
    // it: the Window part drops every handler of the window, its controls and
    // its child windows before Qt deletes a control (Event.h).
    ~SingleInstance() {
        if (current_ == this) current_ = nullptr;
    }

private:
    static inline SingleInstance* current_ = nullptr;
};
