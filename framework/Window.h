#pragma once
#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "Event.h"

class Control;
class MenuBar;
class MenuItem;

// A top-level window whose controls sit at fixed positions on its content
// area. The first reference to a window class builds its one window
// (SingleInstance.h) with Construct: Layout, CreateControls, AddMenuHandlers,
// then every control's Open event in creation order, then the window's
// OpenEvent, and last it shows a window that is visible once built. Close
// raises CloseEvent and destroys the window; the next reference builds a new
// one. When the window goes, no handler of it, of its controls or of its child
// windows runs any more (Event.h).
class Window : public QMainWindow, public EventOwner {
    Q_OBJECT
public:
    Window();
    ~Window() override;

    Event<void()> OpenEvent{this};
    Event<void()> CloseEvent{this};

    void Construct();

    QString Title() const { return windowTitle(); }
    void SetTitle(const QString& title) { setWindowTitle(title); }
    // The size of the content area, without the menu bar and the frame.
    void SetSize(int width, int height);
    int Width() const;
    int Height() const;
    void SetResizeable(bool resizeable);
    void SetButtons(bool closeButton, bool minimizeButton, bool maximizeButton);
    // Whether Construct ends by showing the window; otherwise it stays hidden
    // until shown.
    void SetVisibleOnceBuilt(bool visible) { visibleOnceBuilt_ = visible; }

    // Non-modal; brings an open window to the front.
    void Show();
    void Close();
    bool IsClosed() const { return closed_; }

    void SetMenuBar(MenuBar* menuBar);
    MenuBar* GetMenuBar() const { return menuBar_; }
    // Binds a menu item name to the handler that runs when the item is chosen.
    void _AddMenuHandler(const QString& itemName, std::function<bool()> handler);
    // Runs the command of an item as choosing it would: the handler bound to
    // its name, else the quit of a QuitMenuItem, else the standard editing
    // command of its name (StandardEditing.h). Returns false when nothing handled it.
    bool ChooseMenuItem(MenuItem* item);

    QWidget* Content() const { return content_; }
    // Creates a control of class C on the content area under that name (a
    // window's table of controls does so for it: ControlTable.h).
    template <class C>
    C* AddControl(const QString& name) {
        auto* control = new C(content_);
        RegisterControl(name, control);
        return control;
    }
    const std::vector<Control*>& Controls() const { return controls_; }

protected:
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers(Window* window) { (void)window; }
    void closeEvent(QCloseEvent* event) override;

private:
    void RegisterControl(const QString& name, Control* control);
    // Its own events, its menu handlers and its controls' events.
    void DropAllHandlers();

    QWidget* content_;
    std::vector<Control*> controls_;
    MenuBar* menuBar_ = nullptr;
    std::map<QString, std::function<bool()>> menuHandlers_;
    bool resizeable_ = true;
    bool visibleOnceBuilt_ = false;
    bool closed_ = false;
};
