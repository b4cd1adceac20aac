#pragma once
#include <QRect>
#include <QString>
#include <functional>

#include "Label.h"
#include "Window.h"

// A window's controls as one ordered table: a row per control with its name,
// its class (the type of the member that keeps it), its place and its first
// text. Creating the controls is running the rows top to bottom, so the table
// is also the creation order. What a row does not say (a pop-up's rows, a
// colour, the events) the window sets after the table, so that no handler is
// bound while the properties are applied.
template <class W>
using ControlRow = std::function<void(W& window)>;

// The row of a control of class C kept in `member`. `bounds` are left, top,
// width and height in the window's pixels (none for a control without a
// visible part); `text` is a label's or text field's text, a button's caption.
template <class W, class C>
ControlRow<W> Row(C* W::*member, const char* name, QRect bounds, QString text = QString(),
                  int align = Label::AlignLeft) {
    return [=](W& window) {
        C* control = window.template AddControl<C>(QString::fromLatin1(name));
        if (!bounds.isNull())
            control->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
        if constexpr (requires { control->SetTextAlign(align); }) control->SetTextAlign(align);
        if (!text.isNull()) {
            if constexpr (requires { control->SetCaption(text); })
                control->SetCaption(text);
            else if constexpr (requires { control->SetText(text); })
                control->SetText(text);
        }
        window.*member = control;
    };
}
