#pragma once
#include <QLineEdit>
#include "Control.h"

// A one-line text field. Setting Text runs TextChange before it returns;
// KeyDown sees each key first as the text it types (Return as "\r", the
// keypad's Enter as "\x03"; a key with Ctrl never as a control character), and
// a true result keeps the key from the field. LostFocus comes when the focus
// moves to another control, not when the window itself loses the activation.
class TextField : public QLineEdit, public Control {
    Q_OBJECT
public:
    explicit TextField(QWidget* parent = nullptr);

    Event<void()> TextChange{this};
    Event<bool(const QString& key)> KeyDown{this};
    Event<void()> LostFocus{this};

    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
