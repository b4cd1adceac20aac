#pragma once
#include <QComboBox>
#include "Control.h"

// A pop-up menu of text rows. Setting ListIndex to another row runs Change
// before the setter returns, also while the pop-up is disabled; setting the
// selected row again runs nothing. A row the pop-up does not have is refused
// and leaves the selection as it is; -1 clears it.
class PopupMenu : public QComboBox, public Control {
    Q_OBJECT
public:
    explicit PopupMenu(QWidget* parent = nullptr);

    Event<void()> Change{this};
    Event<void()> LostFocus{this};

    int ListIndex() const { return currentIndex(); }
    void SetListIndex(int row);
    int ListCount() const { return count(); }
    // Appends a row; the selection stays as it is (an empty pop-up keeps none).
    void AddRow(const QString& text);
    void DeleteAllRows();
    QString List(int row) const { return itemText(row); }
    // The text of the selected row; empty with no selection.
    QString Text() const { return currentIndex() < 0 ? QString() : currentText(); }
    // The width in pixels that the closed pop-up gives the selected row's text.
    int TextRoom() const;

protected:
    void focusOutEvent(QFocusEvent* event) override;
};
