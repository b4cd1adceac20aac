#include "MenuItem.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <functional>

MenuItem::~MenuItem() = default;

void MenuItem::Append(MenuItem* item) {
    if (!item) return;
    item->parent_ = this;
    children_.emplace_back(item);
}

MenuItem* MenuItem::Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return children_[static_cast<size_t>(index)].get();
}

MenuItem* MenuItem::Child(const QString& name) const {
    for (const auto& child : children_)
        if (child->Name == name) return child.get();
    return nullptr;
}

MenuItem* MenuItem::FindItem(const QString& name) {
    if (Name == name) return this;
    for (const auto& child : children_)
        if (MenuItem* found = child->FindItem(name)) return found;
    return nullptr;
}

void MenuItem::FillMenu(QMenu* menu, const std::function<void(MenuItem*)>& triggered) {
    for (const auto& child : children_) {
        MenuItem* item = child.get();
        if (item->IsSeparator()) {
            menu->addSeparator();
            continue;
        }
        if (item->Count() > 0) {
            QMenu* submenu = menu->addMenu(item->Text);
            submenu->setObjectName(item->Name);
            item->FillMenu(submenu, triggered);
            continue;
        }
        QAction* action = menu->addAction(item->Text);
        action->setObjectName(item->Name);
        if (item->IsQuitItem()) action->setMenuRole(QAction::QuitRole);
        // The application's one menu bar serves every window: the secondary
        // windows have none of their own, and its shortcuts work in them too.
        if (!item->KeyboardShortcut.isEmpty()) {
            action->setShortcut(QKeySequence(ShortcutToKeySequence(item->KeyboardShortcut)));
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        QObject::connect(action, &QAction::triggered, menu, [item, triggered] { triggered(item); });
    }
}

QString ShortcutToKeySequence(const QString& shortcut) {
    QString sequence = shortcut;
    sequence.replace(QStringLiteral("Cmd+"), QStringLiteral("Ctrl+"), Qt::CaseInsensitive);
    return sequence;
}
