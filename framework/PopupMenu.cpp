#include "PopupMenu.h"

#include <QFocusEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>

PopupMenu::PopupMenu(QWidget* parent) : QComboBox(parent), Control(this) {
    connect(this, &QComboBox::currentIndexChanged, EventScope(), [this] {
        if (Change) Change();
    });
}

void PopupMenu::SetListIndex(int row) {
    if (row < -1 || row >= count()) return;
    setCurrentIndex(row);
}

void PopupMenu::AddRow(const QString& text) {
    // QComboBox makes the first row of an empty box current, which would
    // select a row and raise Change.
    const int selected = currentIndex();
    const QSignalBlocker quiet(this);
    addItem(text);
    setCurrentIndex(selected);
}

void PopupMenu::DeleteAllRows() { clear(); }

void PopupMenu::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    // Opening the pop-up's own list is not leaving it.
    if (event->reason() != Qt::PopupFocusReason && LostFocus) LostFocus();
}

// The style draws the text into the edit field, a pixel in from either side.
int PopupMenu::TextRoom() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    return field.width() - 2;
}
