#include "Listbox.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>

#include "FontFit.h"
#include "Graphics.h"
#include "MenuItem.h"

namespace {
constexpr int kFolderRole = Qt::UserRole;
constexpr int kCellTypeRole = Qt::UserRole + 1;
const QColor kGridLineColor(220, 220, 220);
constexpr int kNarrowestLastColumnPx = 8;

MenuItem* ShowAsMenu(MenuItem& menu, QPoint globalPos) {
    QMenu qmenu;
    MenuItem* chosen = nullptr;
    menu.FillMenu(&qmenu, [&chosen](MenuItem* item) { chosen = item; });
    qmenu.exec(globalPos);
    return chosen;
}

Listbox::MenuChooser& Chooser() {
    static Listbox::MenuChooser chooser = ShowAsMenu;
    return chooser;
}
}  // namespace

bool CellEditor::IsOpen() const { return !editor_.isNull(); }
QString CellEditor::Text() const { return editor_ ? editor_->text() : QString(); }
void CellEditor::SetText(const QString& text) {
    if (editor_) editor_->setText(text);
}
QLineEdit* CellEditor::Widget() const { return editor_.data(); }

class ListboxDelegate : public QStyledItemDelegate {
public:
    explicit ListboxDelegate(Listbox* list) : QStyledItemDelegate(list), list_(list) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        list_->editor_ = editor;
        list_->editorIndex_ = index;
        list_->committed_ = false;
        list_->KeepFocusInEditor(editor);
        const auto font = list_->columnFonts_.find(index.column());
        if (font != list_->columnFonts_.end()) editor->setFont(font->second);
        (void)option;
        return editor;
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const int row = list_->RowOf(list_->itemFromIndex(index));
        if (row >= 0) option->font = list_->CellFont(row, index.column());
    }

    bool eventFilter(QObject* object, QEvent* event) override {
        // The type first: an editor being destroyed still sends events.
        const QEvent::Type type = event->type();
        if ((type == QEvent::KeyPress || type == QEvent::ContextMenu) && object == list_->editor_) {
            // Return and Enter end the edit at once (Qt would finish it later
            // from the event queue), so CellAction has run when the key press
            // returns.
            if (type == QEvent::KeyPress) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    list_->EndEdit();
                    return true;
                }
            }
            // The editor is part of its row: a contextual click on it offers
            // the row's menu, not the line edit's own.
            if (type == QEvent::ContextMenu) {
                auto* menuEvent = static_cast<QContextMenuEvent*>(event);
                const QPoint at = list_->editor_->mapTo(list_, menuEvent->pos());
                list_->ContextualMenuAt(at, menuEvent->globalPos());
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        list_->PaintCellBackground(painter, option.rect, index);
        painter->save();
        painter->setPen(kGridLineColor);
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }

private:
    Listbox* list_;
};

Listbox::Listbox(QWidget* parent) : QTreeWidget(parent), Control(this) {
    setItemDelegate(new ListboxDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setExpandsOnDoubleClick(false);
    setIndentation(14);
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(8);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    setContextMenuPolicy(Qt::DefaultContextMenu);

    connect(this, &QTreeWidget::itemExpanded, EventScope(),
            [this](QTreeWidgetItem* item) { OnExpanded(item); });
    connect(this, &QTreeWidget::itemCollapsed, EventScope(),
            [this](QTreeWidgetItem* item) { OnCollapsed(item); });
    connect(this, &QTreeWidget::itemSelectionChanged, EventScope(), [this] {
        ++selectionChanges_;
        if (Change) Change();
    });
}

Listbox::MenuChooser Listbox::SetContextualMenuChooser(MenuChooser chooser) {
    return std::exchange(Chooser(), chooser ? std::move(chooser) : MenuChooser(ShowAsMenu));
}

void Listbox::SetColumnWidths(const QString& widths) {
    const QStringList parts = widths.split(',');
    if (columnCount() < parts.size()) setColumnCount(static_cast<int>(parts.size()));
    lastColumnWidth_ = parts.isEmpty() ? 0 : parts.last().trimmed().toInt();
    for (int i = 0; i < parts.size(); ++i) setColumnWidth(i, parts[i].trimmed().toInt());
    FitLastColumn();
}

// Widths that add up to the list's own width would overflow its frame by a
// pixel or two, and by the vertical scroll bar's width while that shows; the
// last column gives those pixels back, so that the list only ever scrolls
// vertically.
void Listbox::FitLastColumn() {
    const int last = columnCount() - 1;
    if (last < 1 || lastColumnWidth_ <= 0) return;
    int others = 0;
    for (int c = 0; c < last; ++c) others += columnWidth(c);
    const int room = viewport()->width() - others;
    setColumnWidth(last, std::clamp(room, kNarrowestLastColumnPx, lastColumnWidth_));
    RefitColumnFonts();
}

void Listbox::SetColumnFontFitter(int column, ColumnFontFitter fit) {
    columnFontFitters_[column] = std::move(fit);
    RefitColumnFonts();
}

// One size for the whole column, at the width it has now.
void Listbox::RefitColumnFonts() {
    for (const auto& [column, fit] : columnFontFitters_) {
        if (!fit) continue;
        const QFont font = fit(CellTextWidth(column));
        const auto current = columnFonts_.find(column);
        if (current != columnFonts_.end() && current->second == font) continue;
        SetColumnFont(column, font);
    }
}

bool Listbox::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize) FitLastColumn();
    return QTreeWidget::viewportEvent(event);
}

void Listbox::SetHasHeading(bool hasHeading) { setHeaderHidden(!hasHeading); }

int Listbox::RowOf(const QTreeWidgetItem* item) const {
    if (!item) return -1;
    auto it = std::find(rows_.begin(), rows_.end(), item);
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

QTreeWidgetItem* Listbox::Item(int row) const {
    if (row < 0 || row >= ListCount()) return nullptr;
    return rows_[static_cast<size_t>(row)];
}

int Listbox::ListIndex() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : RowOf(selected.first());
}

void Listbox::SetListIndex(int row) {
    QTreeWidgetItem* item = Item(row);
    if (!item) {
        clearSelection();
        return;
    }
    setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

namespace {
QTreeWidgetItem* NewRow(const QString& text, bool folder, int columns) {
    auto* item = new QTreeWidgetItem();
    for (int c = 0; c < columns; ++c) item->setText(c, QString());
    item->setText(0, text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
    item->setData(0, kFolderRole, folder);
    if (folder) item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}
}  // namespace

void Listbox::AddFolder(const QString& text) {
    QTreeWidgetItem* item = NewRow(text, true, columnCount());
    rows_.push_back(item);
    addTopLevelItem(item);
}

void Listbox::AddRow(const QString& text) {
    QTreeWidgetItem* item = NewRow(text, false, columnCount());
    if (expanding_) {
        const int parentRow = RowOf(expanding_);
        expanding_->addChild(item);
        rows_.insert(rows_.begin() + parentRow + expanding_->childCount(), item);
    } else {
        rows_.push_back(item);
        addTopLevelItem(item);
    }
}

// Runs `removeRows`. Qt may or may not report the selection that goes with
// the rows, depending on how they go; this raises Change once when it did not.
template <typename Op>
void Listbox::RemoveRowsReportingDeselection(Op removeRows) {
    const bool hadSelection = ListIndex() >= 0;
    const int changesBefore = selectionChanges_;
    removeRows();
    if (hadSelection && ListIndex() < 0 && changesBefore == selectionChanges_ && Change) Change();
}

// Before rows first .. first + count - 1 go: in single selection Qt would
// select a neighbour of a removed current row; here a selected row that goes
// takes the selection with it.
void Listbox::DeselectRows(int first, int count) {
    auto removed = [&](const QTreeWidgetItem* item) {
        const int row = RowOf(item);
        return row >= first && row < first + count;
    };
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (std::any_of(selected.begin(), selected.end(), removed)) clearSelection();
    if (removed(currentItem()))
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void Listbox::RemoveRow(int row) {
    QTreeWidgetItem* item = Item(row);
    if (!item) return;
    if (editor_) EndEdit();
    DeselectRows(row, 1 + item->childCount());
    RemoveRowsReportingDeselection([&] {
        const int children = item->childCount();
        rows_.erase(rows_.begin() + row, rows_.begin() + row + 1 + children);
        delete item;
    });
}

void Listbox::DeleteAllRows() {
    if (editor_) EndEdit();
    RemoveRowsReportingDeselection([&] {
        rows_.clear();
        clear();
    });
}

bool Listbox::RowIsFolder(int row) const {
    QTreeWidgetItem* item = Item(row);
    return item && item->data(0, kFolderRole).toBool();
}

bool Listbox::Expanded(int row) const {
    QTreeWidgetItem* item = Item(row);
    return item && RowIsFolder(row) && item->isExpanded();
}

void Listbox::SetExpanded(int row, bool expanded) {
    QTreeWidgetItem* item = Item(row);
    if (!item || !RowIsFolder(row) || item->isExpanded() == expanded) return;
    if (expanded)
        expandItem(item);
    else
        collapseItem(item);
}

void Listbox::OnExpanded(QTreeWidgetItem* item) {
    const int row = RowOf(item);
    if (row < 0 || !item->data(0, kFolderRole).toBool() || item->childCount() > 0) return;
    expanding_ = item;
    if (ExpandRow) ExpandRow(row);
    expanding_ = nullptr;
}

void Listbox::OnCollapsed(QTreeWidgetItem* item) {
    const int row = RowOf(item);
    if (row < 0) return;
    if (editor_ && itemFromIndex(editorIndex_) && itemFromIndex(editorIndex_)->parent() == item)
        EndEdit();
    const int children = item->childCount();
    DeselectRows(row + 1, children);
    RemoveRowsReportingDeselection([&] {
        rows_.erase(rows_.begin() + row + 1, rows_.begin() + row + 1 + children);
        qDeleteAll(item->takeChildren());
    });
    if (CollapseRow) CollapseRow(row);
}

QString Listbox::Cell(int row, int column) const {
    QTreeWidgetItem* item = Item(row);
    return item ? item->text(column) : QString();
}

void Listbox::SetCell(int row, int column, const QString& text) {
    if (QTreeWidgetItem* item = Item(row)) item->setText(column, text);
}

int Listbox::CellType(int row, int column) const {
    QTreeWidgetItem* item = Item(row);
    return item ? item->data(column, kCellTypeRole).toInt() : 0;
}

void Listbox::SetCellType(int row, int column, int type) {
    if (QTreeWidgetItem* item = Item(row)) item->setData(column, kCellTypeRole, type);
}

void Listbox::EditCell(int row, int column) {
    QTreeWidgetItem* item = Item(row);
    if (!item || column < 0 || column >= columnCount()) return;
    if (editor_) {
        if (editorIndex_ == indexFromItem(item, column)) {
            editor_->setFocus();
            return;
        }
        EndEdit();
    }
    scrollToItem(item);
    editItem(item, column);
    if (editor_) {
        editor_->setFocus();
        editor_->selectAll();
    }
}

CellEditor Listbox::ActiveCell() const { return CellEditor(editor_.data()); }

int Listbox::EditedRow() const { return editor_ ? RowOf(itemFromIndex(editorIndex_)) : -1; }

int Listbox::EditedColumn() const { return editor_ ? editorIndex_.column() : -1; }

void Listbox::EndEdit() {
    if (!editor_) return;
    QLineEdit* editor = editor_;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void Listbox::commitData(QWidget* editor) {
    QTreeWidget::commitData(editor);
    if (editor == editor_) committed_ = true;
}

// A press in the list takes the focus before the list sees the press, and an
// editor that loses the focus ends its edit. While an editor is open the list
// takes no focus from clicks; its own press handling decides: a click ends the
// edit, a contextual click keeps it.
void Listbox::KeepFocusInEditor(QLineEdit* editor) {
    if (!editing_) focusPolicyBeforeEdit_ = focusPolicy();
    editing_ = true;
    setFocusPolicy(Qt::FocusPolicy(focusPolicyBeforeEdit_ & ~Qt::ClickFocus));
    // An editor that goes without being closed (its row removed) gives the
    // clicks back as well.
    connect(editor, &QObject::destroyed, EventScope(), [this] {
        if (!editor_) RestoreFocusPolicy();
    });
}

void Listbox::RestoreFocusPolicy() {
    if (!editing_) return;
    editing_ = false;
    setFocusPolicy(focusPolicyBeforeEdit_);
}

void Listbox::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Tab and Backtab must not wander into the neighbouring cells.
    if (hint == QAbstractItemDelegate::EditNextItem ||
        hint == QAbstractItemDelegate::EditPreviousItem)
        hint = QAbstractItemDelegate::NoHint;
    const bool ours = editor == editor_;
    if (ours) RestoreFocusPolicy();
    const int row = RowOf(itemFromIndex(editorIndex_));
    const int column = editorIndex_.column();
    QTreeWidget::closeEditor(editor, hint);
    if (!ours) return;
    editor_ = nullptr;
    const bool committed = committed_;
    committed_ = false;
    if (committed && row >= 0 && CellAction) CellAction(row, column);
}

int Listbox::RowFromXY(int x, int y) const {
    const QPoint at = viewport()->mapFrom(this, QPoint(x, y));
    if (!viewport()->rect().contains(at)) return -1;
    return RowOf(itemAt(at));
}

QRect Listbox::CellRect(int row, int column) const {
    QTreeWidgetItem* item = Item(row);
    if (!item) return QRect();
    const QRect r = visualRect(indexFromItem(item, column));
    return QRect(viewport()->mapTo(this, r.topLeft()), r.size());
}

void Listbox::PaintCellBackground(QPainter* painter, const QRect& rect, const QModelIndex& index) {
    if (!CellBackgroundPaint) return;
    const int row = RowOf(itemFromIndex(index));
    if (row < 0) return;
    ::Graphics g(painter, rect);
    CellBackgroundPaint(g, row, index.column());
}

void Listbox::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();  // viewport pixels
    QTreeWidgetItem* item = itemAt(at);
    const int column = columnAt(at.x());
    const bool onEditor = editor_ && item && indexFromItem(item, column) == editorIndex_;
    if (event->button() == Qt::LeftButton) {
        if (editor_ && !onEditor) EndEdit();
        const int row = RowOf(itemAt(at));
        if (row >= 0 && CellClick) {
            const QPoint local = viewport()->mapTo(this, at);
            if (CellClick(row, column, local.x(), local.y())) return;
        }
        item = itemAt(at);
        if (item && editor_ && itemFromIndex(editorIndex_) == item) {
            // The click opened an editor on its own cell: select the row and
            // leave the editor open.
            setCurrentItem(item, column,
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return;
        }
    } else if (event->button() == Qt::RightButton && editor_ && item &&
               itemFromIndex(editorIndex_) == item) {
        // A contextual click on the row being edited keeps the edit, its text
        // and its focus: a code chosen from the row's menu goes into it.
        return;
    } else if (editor_) {
        // Anywhere else the edit ends as with any click, and the press goes
        // on to select the row under it.
        EndEdit();
    }
    QTreeWidget::mousePressEvent(event);
}

void Listbox::contextMenuEvent(QContextMenuEvent* event) {
    ContextualMenuAt(viewport()->mapTo(this, event->pos()), event->globalPos());
}

void Listbox::ContextualMenuAt(QPoint local, QPoint globalPos) {
    // A menu for another row than the one being edited (one that came
    // without a press first) ends the edit, and is that row's.
    if (editor_) {
        const int row = RowFromXY(local.x(), local.y());
        if (row < 0 || row != EditedRow()) {
            EndEdit();
            if (row >= 0) SetListIndex(row);
        }
    }
    if (!ConstructContextualMenu) return;
    MenuItem base;
    ConstructContextualMenu(&base, local.x(), local.y());
    if (base.Count() == 0) return;
    MenuItem* chosen = Chooser()(base, globalPos);
    if (chosen && ContextualMenuAction) ContextualMenuAction(chosen);
}

void Listbox::SetColumnFont(int column, const QFont& font) {
    columnFonts_[column] = font;
    viewport()->update();
}

QFont Listbox::ColumnFont(int column) const {
    const auto found = columnFonts_.find(column);
    return found == columnFonts_.end() ? font() : found->second;
}

int Listbox::CellTextWidth(int column) const { return CellTextWidthFor(columnWidth(column)); }

int Listbox::CellTextWidthFor(int columnWidth) const {
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return columnWidth - 2 * margin;
}

int Listbox::WidthInsideFrame() const { return width() - 2 * frameWidth(); }

// A column's font fits the texts it is meant for; a text wider than its
// cell all the same (a value typed beyond any legal range) shows whole in a
// smaller size rather than cut off.
QFont Listbox::CellFont(int row, int column) const {
    const QFont font = ColumnFont(column);
    const QString text = Cell(row, column);
    const int room = CellTextWidth(column);
    if (text.isEmpty() || room <= 0 || QFontMetrics(font).horizontalAdvance(text) <= room)
        return font;
    return FontFittingWidth(font, {text}, room);
}
