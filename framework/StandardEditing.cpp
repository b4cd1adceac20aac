#include "StandardEditing.h"

#include <QApplication>
#include <QLineEdit>

bool PerformStandardEdit(const QString& itemName, QWidget* focus) {
    auto* editor = qobject_cast<QLineEdit*>(focus);
    if (!editor) return false;
    const bool writable = !editor->isReadOnly();
    if (itemName == QLatin1String("EditUndo")) {
        if (writable) editor->undo();
    } else if (itemName == QLatin1String("EditCut")) {
        if (writable) editor->cut();
    } else if (itemName == QLatin1String("EditCopy")) {
        editor->copy();
    } else if (itemName == QLatin1String("EditPaste")) {
        if (writable) editor->paste();
    } else if (itemName == QLatin1String("EditClear")) {
        // Like the Delete item of any desktop Edit menu: the selection only.
        if (writable && editor->hasSelectedText()) editor->del();
    } else if (itemName == QLatin1String("EditSelectAll")) {
        editor->selectAll();
    } else {
        return false;
    }
    return true;
}

bool PerformStandardEdit(const QString& itemName) {
    return PerformStandardEdit(itemName, QApplication::focusWidget());
}
