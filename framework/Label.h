#pragma once
#include <QLabel>

#include "Control.h"

class Window;

class Label : public QLabel, public Control {
    Q_OBJECT
public:
    enum Align { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };
    explicit Label(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }
    void SetTextAlign(int align);
    int TextAlign() const { return align_; }
    void SetBold(bool bold);

private:
    int align_ = AlignLeft;
};

// A label placed on a window, with its text and alignment.
Label* AddLabel(Window* window, const QString& name, int left, int top, int width, int height,
                const QString& text, int align = Label::AlignLeft);
