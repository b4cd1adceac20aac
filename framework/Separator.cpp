#include "Separator.h"

Separator::Separator(QWidget* parent) : QFrame(parent), Control(this) {
    setFrameShape(QFrame::HLine);
    setFrameShadow(QFrame::Sunken);
}
