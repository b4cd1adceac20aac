#include "Control.h"

#include <QWidget>

QString Control::Name() const { return widget_->objectName(); }
bool Control::Enabled() const { return widget_->isEnabled(); }
void Control::SetEnabled(bool enabled) { widget_->setEnabled(enabled); }
void Control::SetBounds(int left, int top, int width, int height) {
    widget_->setGeometry(left, top, width, height);
}
int Control::Left() const { return widget_->x(); }
int Control::Top() const { return widget_->y(); }
int Control::Width() const { return widget_->width(); }
int Control::Height() const { return widget_->height(); }
