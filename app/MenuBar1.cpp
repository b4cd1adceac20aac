#include "MenuBar1.h"

namespace {
struct ItemRow {
    const char* name;
    const char* text;
    const char* shortcut;  // nullptr for separators
    bool quit;
};

void BuildMenu(MenuBar* bar, const char* menuName, const char* menuText,
               std::initializer_list<ItemRow> rows) {
    auto* menu = new MenuItem();
    menu->Name = QString::fromLatin1(menuName);
    menu->Text = QString::fromLatin1(menuText);
    menu->KeyboardShortcut = QString();
    bar->Append(menu);
    for (const ItemRow& row : rows) {
        MenuItem* item = row.quit ? new QuitMenuItem() : new MenuItem();
        item->Name = QString::fromLatin1(row.name);
        item->Text = QString::fromLatin1(row.text);
        if (row.shortcut) item->KeyboardShortcut = QString::fromLatin1(row.shortcut);
        bar->Child(QString::fromLatin1(menuName))->Append(item);
    }
}
}  // namespace

MenuBar1::MenuBar1() {
    Untitled0();
    Untitled1();
    Untitled2();
}

void MenuBar1::Untitled0() {
    BuildMenu(this, "FileMenu", "&File",
              {{"FileLoadBusConfiguration", "Load Bus Configuration", "Cmd+L", false},
               {"FileSaveBusConfiguration", "Save Bus Configuration", "Cmd+S", false},
               {"UntitledSeparator", "-", nullptr, false},
               {"FileQuit", "&Quit", "Cmd+Q", true}});
}

void MenuBar1::Untitled1() {
    BuildMenu(this, "EditMenu", "&Edit",
              {{"EditUndo", "&Undo", "Cmd+Z", false},
               {"UntitledMenu1", "-", nullptr, false},
               {"EditCut", "Cu&t", "Cmd+X", false},
               {"EditCopy", "&Copy", "Cmd+C", false},
               {"EditPaste", "&Paste", "Cmd+V", false},
               {"EditClear", "&Delete", "", false},
               {"UntitledMenu0", "-", nullptr, false},
               {"EditSelectAll", "Select &All", "Cmd+A", false}});
}

void MenuBar1::Untitled2() {
    BuildMenu(this, "HelpMenu", "Help", {{"HelpAbout", "About", "", false}});
}
