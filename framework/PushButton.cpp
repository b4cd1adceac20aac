#include "PushButton.h"

PushButton::PushButton(QWidget* parent) : QPushButton(parent), Control(this) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, EventScope(), [this] {
        if (Action) Action();
    });
}
