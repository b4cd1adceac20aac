#include "TextField.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "Text.h"

TextField::TextField(QWidget* parent) : QLineEdit(parent), Control(this) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (TextChange) TextChange();
    });
}

void TextField::keyPressEvent(QKeyEvent* event) {
    if (KeyDown) {
        QString key = event->text();
        if (event->key() == Qt::Key_Return) key = Chr(13);
        if (event->key() == Qt::Key_Enter) key = Chr(3);
        if (!key.isEmpty() && KeyDown(key)) return;
    }
    QLineEdit::keyPressEvent(event);
}

void TextField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Opening a pop-up or another window (a message box) is not leaving the
    // field: the focus comes back to it.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && LostFocus)
        LostFocus();
}
