#pragma once
#include <QFrame>

#include "Control.h"

// A horizontal line through the middle of its bounds.
class Separator : public QFrame, public Control {
    Q_OBJECT
public:
    explicit Separator(QWidget* parent = nullptr);
};
