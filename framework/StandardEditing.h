#pragma once
#include <QString>

class QWidget;

// The editing commands that the framework carries out itself for menu items
// with the standard names "EditUndo", "EditCut", "EditCopy", "EditPaste",
// "EditClear" and "EditSelectAll": they act on the one-line text editor that
// has the keyboard focus (a TextField, a list's cell editor). Returns true when the
// name is one of them and such an editor had the focus.
bool PerformStandardEdit(const QString& itemName, QWidget* focus);
// The same on the application's focus widget.
bool PerformStandardEdit(const QString& itemName);
