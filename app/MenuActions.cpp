#include "About.h"
#include "Main.h"
#include "MenuItem.h"

// The main window's part in the menus: its menu item accessors, the
// handlers it binds to item names, and the menu actions that are not file
// actions (those are in config/).

namespace {
MenuItem* FindMenuItem(const Window* window, const char* name) {
    MenuBar* bar = window->GetMenuBar();
    return bar ? bar->FindItem(QString::fromLatin1(name)) : nullptr;
}
}  // namespace

MenuItem* Main::HelpMenu() const { return FindMenuItem(this, "HelpMenu"); }
MenuItem* Main::HelpAbout() const { return FindMenuItem(this, "HelpAbout"); }
MenuItem* Main::EditMenu() const { return FindMenuItem(this, "EditMenu"); }
MenuItem* Main::EditSelectAll() const { return FindMenuItem(this, "EditSelectAll"); }
MenuItem* Main::UntitledMenu0() const { return FindMenuItem(this, "UntitledMenu0"); }
MenuItem* Main::EditClear() const { return FindMenuItem(this, "EditClear"); }
MenuItem* Main::EditPaste() const { return FindMenuItem(this, "EditPaste"); }
MenuItem* Main::EditCopy() const { return FindMenuItem(this, "EditCopy"); }
MenuItem* Main::EditCut() const { return FindMenuItem(this, "EditCut"); }
MenuItem* Main::UntitledMenu1() const { return FindMenuItem(this, "UntitledMenu1"); }
MenuItem* Main::EditUndo() const { return FindMenuItem(this, "EditUndo"); }
MenuItem* Main::FileMenu() const { return FindMenuItem(this, "FileMenu"); }
::QuitMenuItem* Main::FileQuit() const {
    return dynamic_cast<::QuitMenuItem*>(FindMenuItem(this, "FileQuit"));
}
MenuItem* Main::UntitledSeparator() const { return FindMenuItem(this, "UntitledSeparator"); }
MenuItem* Main::FileSaveBusConfiguration() const {
    return FindMenuItem(this, "FileSaveBusConfiguration");
}
MenuItem* Main::FileLoadBusConfiguration() const {
    return FindMenuItem(this, "FileLoadBusConfiguration");
}

void Main::AddMenuHandlers(Window* window) {
    auto* main = static_cast<Main*>(window);
    window->_AddMenuHandler(QStringLiteral("HelpAbout"),
                            [main] { return main->_HelpAbout_Action(); });
    window->_AddMenuHandler(QStringLiteral("FileLoadBusConfiguration"),
                            [main] { return main->_FileLoadBusConfiguration_Action(); });
    window->_AddMenuHandler(QStringLiteral("FileSaveBusConfiguration"),
                            [main] { return main->_FileSaveBusConfiguration_Action(); });
    window->_AddMenuHandler(QStringLiteral("HelpHelpVeltrane"),
                            [main] { return main->_HelpHelpVeltrane_Action(); });
}

bool Main::_HelpAbout_Action() {
    About::Instance().Show();
    return true;
}

// No menu item carries this name and no manual is shipped; the binding keeps
// the name reserved for one.
bool Main::_HelpHelpVeltrane_Action() { return true; }
