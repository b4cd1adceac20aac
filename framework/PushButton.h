#pragma once
#include <QPushButton>
#include "Control.h"

class PushButton : public QPushButton, public Control {
    Q_OBJECT
public:
    explicit PushButton(QWidget* parent = nullptr);

    Event<void()> Action{this};

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    void SetDefault(bool isDefault) {
        setDefault(isDefault);
        setAutoDefault(isDefault);
    }
};
