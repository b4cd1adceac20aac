#pragma once
#include <QFont>
#include <QPointer>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <vector>

#include "Control.h"

class Graphics;
class MenuItem;
#include <QLineEdit>

// The open in-place editor of a list cell, if any.
class CellEditor {
public:
    explicit CellEditor(QLineEdit* editor = nullptr) : editor_(editor) {}
    bool IsOpen() const;
    QString Text() const;
    void SetText(const QString& text);
    QLineEdit* Widget() const;

private:
    QPointer<QLineEdit> editor_;
};

// A multi-column list with folder rows. Rows are addressed by a flat index
// over the rows shown (a folder's children follow it while it is expanded).
//
// AddFolder appends a collapsed folder row. Expanding a folder (by the user's
// click on its disclosure triangle or SetExpanded) raises ExpandRow, in which
// AddRow inserts rows directly below it; collapsing removes them and then
// raises CollapseRow. CellAction comes once for every edit that ends with its
// text kept (Return, a click elsewhere, the editor losing focus, EndEdit);
// Escape abandons the edit. A contextual click on the row being edited, on
// the editor too, keeps the edit open with its text; anywhere else it ends
// the edit and selects the row under it, as a click does. Then it raises
// ConstructContextualMenu for the point.
class Listbox : public QTreeWidget, public Control {
    Q_OBJECT
public:
    explicit Listbox(QWidget* parent = nullptr);

    // Events
    Event<void(int row)> ExpandRow{this};
    Event<void(int row)> CollapseRow{this};
    Event<void()> Change{this};
    Event<bool(int row, int column, int x, int y)> CellClick{this};
    Event<void(int row, int column)> CellAction{this};
    Event<bool(MenuItem* base, int x, int y)> ConstructContextualMenu{this};
    Event<bool(MenuItem* chosen)> ContextualMenuAction{this};
    Event<bool(::Graphics& g, int row, int column)> CellBackgroundPaint{this};

    // Layout
    void SetColumnWidths(const QString& widths);
    void SetHasHeading(bool hasHeading);

    // Rows
    int ListCount() const { return static_cast<int>(rows_.size()); }
    int ListIndex() const;
    void SetListIndex(int row);
    void AddFolder(const QString& text);
    void AddRow(const QString& text);
    void RemoveRow(int row);
    void DeleteAllRows();
    bool RowIsFolder(int row) const;
    bool Expanded(int row) const;
    void SetExpanded(int row, bool expanded);

    // Cells
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    int CellType(int row, int column) const;
    void SetCellType(int row, int column, int type);
    void EditCell(int row, int column);
    CellEditor ActiveCell() const;
    // The cell being edited; -1 for both while no editor is open.
    int EditedRow() const;
    int EditedColumn() const;
    // Ends the edit in progress, if any, keeping its text (CellAction follows).
    void EndEdit();

    // Row under a point of the list (its own pixels); -1 when none.
    int RowFromXY(int x, int y) const;

    // The rectangle of a cell in the list's own pixels (for tests and menus).
    QRect CellRect(int row, int column) const;

    // A font of its own for the cells (and the editor) of a column.
    void SetColumnFont(int column, const QFont& font);
    QFont ColumnFont(int column) const;
    // The room a column's cells leave for their text, in pixels, and the room
    // a column of the given width would leave.
    int CellTextWidth(int column) const;
    int CellTextWidthFor(int columnWidth) const;
    // The width the columns share while no vertical scroll bar shows.
    int WidthInsideFrame() const;
    // A column whose font fits the room its cells really have: `fit` gives
    // the font for a text room in pixels, and is asked again whenever the
    // column's width changes (the vertical scroll bar comes or goes).
    using ColumnFontFitter = std::function<QFont(int textRoom)>;
    void SetColumnFontFitter(int column, ColumnFontFitter fit);
    // The font a cell's text is drawn in: its column's, smaller only where a
    // text beyond what the column was fitted for would not fit otherwise.
    QFont CellFont(int row, int column) const;

    // Chooses an item of a contextual menu; the default shows it as a menu at
    // the given global point. Tests replace it to pick an item without a modal
    // menu; an empty chooser brings back the menu. Gives back the chooser before.
    using MenuChooser = std::function<MenuItem*(MenuItem& menu, QPoint globalPos)>;
    static MenuChooser SetContextualMenuChooser(MenuChooser chooser);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class ListboxDelegate;
    int RowOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* Item(int row) const;
    void OnExpanded(QTreeWidgetItem* item);
    void OnCollapsed(QTreeWidgetItem* item);
    void KeepFocusInEditor(QLineEdit* editor);
    void RestoreFocusPolicy();
    void ContextualMenuAt(QPoint local, QPoint globalPos);
    void FitLastColumn();
    void RefitColumnFonts();
    void DeselectRows(int first, int count);
    void PaintCellBackground(QPainter* painter, const QRect& rect, const QModelIndex& index);
    template <typename Op>
    void RemoveRowsReportingDeselection(Op removeRows);

    std::vector<QTreeWidgetItem*> rows_;  // flat order of the rows shown
    QTreeWidgetItem* expanding_ = nullptr;
    QPointer<QLineEdit> editor_;
    QPersistentModelIndex editorIndex_;
    bool committed_ = false;
    int selectionChanges_ = 0;
    int lastColumnWidth_ = 0;
    bool editing_ = false;
    Qt::FocusPolicy focusPolicyBeforeEdit_ = Qt::StrongFocus;
    std::map<int, QFont> columnFonts_;
    std::map<int, ColumnFontFitter> columnFontFitters_;
};
