#include "Window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>

#include "Application.h"
#include "Control.h"
#include "MenuItem.h"
#include "StandardEditing.h"

Window::Window() : content_(new QWidget(this)) {
    setCentralWidget(content_);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

// The window's code is gone once this runs; Qt deletes the controls after it
// (Event.h).
Window::~Window() {
    DropAllHandlers();
    for (Window* child : findChildren<Window*>()) child->DropAllHandlers();
}

void Window::DropAllHandlers() {
    DropHandlers();
    menuHandlers_.clear();
    for (Control* control : controls_) control->DropHandlers();
}

void Window::Construct() {
    Layout();
    CreateControls();
    AddMenuHandlers(this);
    for (Control* control : controls_)
        if (control->Open) control->Open();
    if (OpenEvent) OpenEvent();
    if (visibleOnceBuilt_ && !closed_) Show();
}

void Window::SetSize(int width, int height) {
    content_->setFixedSize(width, height);
    if (!resizeable_) layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
}

int Window::Width() const { return content_->width(); }
int Window::Height() const { return content_->height(); }

void Window::SetResizeable(bool resizeable) {
    resizeable_ = resizeable;
    layout()->setSizeConstraint(resizeable ? QLayout::SetDefaultConstraint : QLayout::SetFixedSize);
}

void Window::SetButtons(bool closeButton, bool minimizeButton, bool maximizeButton) {
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (closeButton) flags |= Qt::WindowCloseButtonHint;
    if (minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
    if (maximizeButton) flags |= Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);
}

void Window::Show() {
    show();
    // The offscreen platform has no stacking order (and says so on every call).
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
    activateWindow();
}

void Window::Close() { close(); }

void Window::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    closed_ = true;
    if (CloseEvent) CloseEvent();
    event->accept();
    deleteLater();
}

void Window::SetMenuBar(MenuBar* bar) {
    menuBar_ = bar;
    QMenuBar* qbar = menuBar();
    qbar->clear();
    if (!bar) return;
    for (int i = 0; i < bar->Count(); ++i) {
        MenuItem* menu = bar->Item(i);
        QMenu* qmenu = qbar->addMenu(menu->Text);
        qmenu->setObjectName(menu->Name);
        menu->FillMenu(qmenu, [this](MenuItem* item) { ChooseMenuItem(item); });
    }
}

void Window::_AddMenuHandler(const QString& itemName, std::function<bool()> handler) {
    menuHandlers_[itemName] = std::move(handler);
}

bool Window::ChooseMenuItem(MenuItem* item) {
    if (!item) return false;
    auto found = menuHandlers_.find(item->Name);
    if (found != menuHandlers_.end() && found->second && found->second()) return true;
    if (item->IsQuitItem()) {
        Application::Quit(0);
        return true;
    }
    return PerformStandardEdit(item->Name);
}

void Window::RegisterControl(const QString& name, Control* control) {
    control->Widget()->setObjectName(name);
    controls_.push_back(control);
}
