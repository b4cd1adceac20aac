#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QMenu;
class QAction;

// A menu entry: a menu, an item, or a separator (Text "-"). An item owns the
// items appended to it. "&" in a text marks the mnemonic; KeyboardShortcut is
// "Cmd+" and a key, Cmd meaning the platform's command key (Ctrl on Linux).
class MenuItem {
public:
    MenuItem() = default;
    MenuItem(QString name, QString text) : Name(std::move(name)), Text(std::move(text)) {}
    virtual ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    QString Name;
    QString Text;
    QString KeyboardShortcut;

    bool IsSeparator() const { return Text == QStringLiteral("-"); }
    virtual bool IsQuitItem() const { return false; }

    // Takes ownership of the item.
    void Append(MenuItem* item);
    int Count() const { return static_cast<int>(children_.size()); }
    MenuItem* Item(int index) const;
    MenuItem* Parent() const { return parent_; }
    // The direct child of that name, or nullptr.
    MenuItem* Child(const QString& name) const;
    // This item or any item below it with that name, or nullptr.
    MenuItem* FindItem(const QString& name);

    // Fills a Qt menu with this item's children; each created action calls
    // `triggered` with its item.
    void FillMenu(QMenu* menu, const std::function<void(MenuItem*)>& triggered);

private:
    MenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<MenuItem>> children_;
};

// The item that quits the application.
class QuitMenuItem : public MenuItem {
public:
    using MenuItem::MenuItem;
    bool IsQuitItem() const override { return true; }
};

// The root of a window's menus; its children are the menus.
class MenuBar : public MenuItem {
public:
    using MenuItem::MenuItem;
};

// "Cmd+L" as a Qt key sequence text ("Ctrl+L").
QString ShortcutToKeySequence(const QString& shortcut);
