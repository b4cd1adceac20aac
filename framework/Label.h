#pragma once
#include <QLabel>

#include "Control.h"

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
