#include "TextField.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "Text.h"

TextField::TextField(QWidget* parent) : QLineEdit(parent), Control(this) {
    connect(this, &QLineEdit::textChanged, EventScope(), [this] {
        if (TextChange) TextChange();
    });
}

namespace {
// Only the Return key is "\r" and only the keypad's Enter key "\x03". X11
// gives a key pressed with Ctrl a control character as its text (Ctrl+C is
// "\x03", Ctrl+M "\r"); such a key is a command, not typing, and reaches
// KeyDown without a control character.
QString KeyDownText(const QKeyEvent& event) {
    const bool command = event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (!command && event.key() == Qt::Key_Return) return Chr(13);
    if (!command && event.key() == Qt::Key_Enter) return Chr(3);
    QString text = event.text();
    text.removeIf([command](QChar c) {
        return command ? c.category() == QChar::Other_Control : c == QChar(13) || c == QChar(3);
    });
    return text;
}
}  // namespace

void TextField::keyPressEvent(QKeyEvent* event) {
    if (KeyDown) {
        const QString key = KeyDownText(*event);
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
