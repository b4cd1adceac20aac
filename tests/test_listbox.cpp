// The list's own rules, on a bare list in a window of its own: flat row
// indices over the rows shown, folders that fill on expanding and empty on
// collapsing, and CellAction once for every edit that ends with its text kept.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <vector>

#include "CoreTestSupport.h"
#include "Listbox.h"

namespace {

// Three folders "A", "B", "C"; expanding one adds its children "<folder>1"..,
// as many as `children` gives, and every event is logged.
class ListboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window_);
        list_ = new Listbox(&window_);
        other_ = new QLineEdit(&window_);
        layout->addWidget(list_);
        layout->addWidget(other_);
        list_->SetColumnWidths(QStringLiteral("80,80"));
        list_->ExpandRow = [this](int row) {
            log_ << QStringLiteral("expand %1").arg(row);
            const QString name = list_->Cell(row, 0);
            for (int i = 1; i <= children_.value(name, 0); ++i)
                list_->AddRow(name + QString::number(i));
        };
        list_->CollapseRow = [this](int row) { log_ << QStringLiteral("collapse %1").arg(row); };
        list_->CellAction = [this](int row, int column) {
            log_ << QStringLiteral("action %1,%2 %3")
                        .arg(row)
                        .arg(column)
                        .arg(list_->Cell(row, column));
        };
        for (const char* name : {"A", "B", "C"}) list_->AddFolder(QString::fromLatin1(name));
        window_.resize(300, 300);
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    QStringList Rows() const {
        QStringList rows;
        for (int row = 0; row < list_->ListCount(); ++row) rows << list_->Cell(row, 0);
        return rows;
    }
    QPoint InViewport(int row, int column) const {
        return list_->viewport()->mapFrom(list_, list_->CellRect(row, column).center());
    }
    void ClickRow(int row, int column) {
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, InViewport(row, column));
    }
    // The disclosure triangle sits in the indentation left of column 0's text.
    void ClickTriangle(int row) {
        const QPoint at(list_->indentation() / 2, InViewport(row, 0).y());
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, at);
    }
    QLineEdit* Editor() const { return list_->ActiveCell().Widget(); }

    QWidget window_;
    Listbox* list_ = nullptr;
    QLineEdit* other_ = nullptr;
    QHash<QString, int> children_{{"A", 1}, {"B", 2}, {"C", 0}};
    QStringList log_;
};

TEST_F(ListboxTest, RowsAreCountedOverTheRowsShown) {
    EXPECT_EQ(Rows(), QStringList({"A", "B", "C"}));
    list_->SetExpanded(1, true);
    EXPECT_EQ(log_, QStringList({"expand 1"}));
    EXPECT_EQ(Rows(), QStringList({"A", "B", "B1", "B2", "C"}));
    EXPECT_TRUE(list_->RowIsFolder(1));
    EXPECT_FALSE(list_->RowIsFolder(2));
    EXPECT_TRUE(list_->Expanded(1));

    // A folder above moves every row below it on.
    list_->SetExpanded(0, true);
    EXPECT_EQ(log_.last(), "expand 0");
    EXPECT_EQ(Rows(), QStringList({"A", "A1", "B", "B1", "B2", "C"}));
    EXPECT_EQ(
        list_->RowFromXY(list_->CellRect(4, 0).center().x(), list_->CellRect(4, 0).center().y()),
        4);
    list_->SetListIndex(5);
    EXPECT_EQ(list_->ListIndex(), 5);
    EXPECT_EQ(list_->Cell(list_->ListIndex(), 0), "C");

    // Collapsing removes the children first, then tells the folder's row.
    list_->SetExpanded(2, false);
    EXPECT_EQ(log_.last(), "collapse 2");
    EXPECT_EQ(Rows(), QStringList({"A", "A1", "B", "C"}));
    EXPECT_EQ(list_->ListIndex(), 3) << "the selected row moves with its text";
    EXPECT_FALSE(list_->Expanded(2));

    // Expanding again asks for the rows again; a childless folder stays a folder.
    list_->SetExpanded(2, true);
    list_->SetExpanded(5, true);
    EXPECT_EQ(log_.mid(2), QStringList({"collapse 2", "expand 2", "expand 5"}));
    EXPECT_EQ(Rows(), QStringList({"A", "A1", "B", "B1", "B2", "C"}));
    EXPECT_TRUE(list_->RowIsFolder(5));

    // Rows that are not there read as nothing.
    EXPECT_EQ(list_->Cell(6, 0), QString());
    EXPECT_FALSE(list_->RowIsFolder(-1));
    list_->SetExpanded(17, true);
    EXPECT_EQ(log_.size(), 5);
}

TEST_F(ListboxTest, TheDisclosureTriangleExpandsAndCollapses) {
    ClickTriangle(1);
    EXPECT_EQ(log_, QStringList({"expand 1"}));
    EXPECT_EQ(Rows(), QStringList({"A", "B", "B1", "B2", "C"}));
    ClickTriangle(1);
    EXPECT_EQ(log_, QStringList({"expand 1", "collapse 1"}));
    EXPECT_EQ(Rows(), QStringList({"A", "B", "C"}));
}

TEST_F(ListboxTest, CellActionComesOncePerEndedEdit) {
    list_->SetExpanded(1, true);  // rows A, B, B1, B2, C
    const struct {
        const char* how;
        std::function<void()> end;
        bool kept;
    } cases[] = {
        {"Return", [this] { QTest::keyClick(Editor(), Qt::Key_Return); }, true},
        {"Enter", [this] { QTest::keyClick(Editor(), Qt::Key_Enter); }, true},
        {"a click on another row", [this] { ClickRow(4, 0); }, true},
        {"the focus moving on", [this] { other_->setFocus(); }, true},
        {"Escape", [this] { QTest::keyClick(Editor(), Qt::Key_Escape); }, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        log_.clear();
        const QString before = list_->Cell(2, 1);
        list_->EditCell(2, 1);
        ASSERT_NE(Editor(), nullptr);
        const QString text = QStringLiteral("v%1").arg(++n);
        QTest::keyClicks(Editor(), text);
        c.end();
        // Any deferred end of the edit has had its turn before counting.
        QCoreApplication::processEvents();
        EXPECT_FALSE(list_->ActiveCell().IsOpen());
        if (c.kept) {
            EXPECT_EQ(log_, QStringList({"action 2,1 " + text}));
            EXPECT_EQ(list_->Cell(2, 1), text);
        } else {
            EXPECT_EQ(log_, QStringList());
            EXPECT_EQ(list_->Cell(2, 1), before);
        }
    }
}

TEST_F(ListboxTest, AnEditEndsWithItsRowGoing) {
    list_->SetExpanded(1, true);
    list_->EditCell(3, 0);
    QTest::keyClicks(Editor(), "x");
    list_->SetExpanded(1, false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(list_->ActiveCell().IsOpen());
    EXPECT_EQ(log_, QStringList({"expand 1", "action 3,0 x", "collapse 1"}))
        << "the edit ends, kept, before the rows go";
    EXPECT_EQ(Rows(), QStringList({"A", "B", "C"}));
}

}  // namespace
