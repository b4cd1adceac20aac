// Editing channel parameters in place, and the value menus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

#include "BusConfiguration.h"
#include "ChannelListFixture.h"
#include "Label.h"
#include "MenuItem.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "RemoteController.h"
#include "SDCalc.h"
#include "TestSeams.h"
#include "Text.h"
#include "TextField.h"

namespace {
const QString kZeroOffsetMessage = QStringLiteral(
    "Error: the segment offset is equal to 0.  The segment distribution value is not valid.");

class EditingTest : public ChannelListFixture {
protected:
    void SetUp() override {
        ChannelListFixture::SetUp();
        AddChannels(1);               // channel 0, row 0
        list().SetExpanded(0, true);  // its parameter rows 1..9
        // Focus moves as with real input only in the active window.
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    QLineEdit* Editor() { return list().ActiveCell().Widget(); }

    // Types a value into a parameter row's value cell and presses Return.
    void Commit(int row, const QString& text) {
        ClickRow(row, 2);
        ASSERT_TRUE(Editor()) << "no editor on row " << row;
        Editor()->selectAll();
        QTest::keyClicks(Editor(), text);
        QTest::keyClick(Editor(), Qt::Key_Return);
        ASSERT_FALSE(list().ActiveCell().IsOpen());
    }

    // How a contextual click reaches the program: through the window, where
    // Qt moves the focus, picks the widget under the pointer and raises the
    // context menu event itself; or press, release, then the context menu
    // event, each to the widget under the pointer.
    enum class Delivery { ThroughTheWindow, PressReleaseThenMenu };

    // A contextual click on a point of the list's viewport; returns the item
    // texts offered and picks the item with text `choose` (none when empty).
    // `whileOpen` runs while the menu is open.
    QStringList ContextMenu(QPoint inViewport, const QString& choose = QString(),
                            Delivery delivery = Delivery::PressReleaseThenMenu,
                            const std::function<void()>& whileOpen = nullptr) {
        QStringList offered;
        TestSeams::Current().ChooseInMenus([&](MenuItem& menu, QPoint) -> MenuItem* {
            MenuItem* chosen = nullptr;
            for (int i = 0; i < menu.Count(); ++i) {
                offered << menu.Item(i)->Text;
                if (menu.Item(i)->Text == choose) chosen = menu.Item(i);
            }
            if (whileOpen) whileOpen();
            return chosen;
        });
        QWidget* window = list().window();
        const QPoint inWindow = list().viewport()->mapTo(window, inViewport);
        if (delivery == Delivery::ThroughTheWindow) {
            QTest::mousePress(window->windowHandle(), Qt::RightButton, {}, inWindow);
            QTest::mouseRelease(window->windowHandle(), Qt::RightButton, {}, inWindow);
        } else {
            QWidget* under = window->childAt(inWindow);
            EXPECT_TRUE(under);
            if (!under) return offered;
            const QPoint at = under->mapFrom(window, inWindow);
            QTest::mousePress(under, Qt::RightButton, {}, at);
            QTest::mouseRelease(under, Qt::RightButton, {}, at);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, under->mapToGlobal(at));
            QCoreApplication::sendEvent(under, &event);
        }
        return offered;
    }
    QStringList ContextMenuOnRow(int row, const QString& choose = QString()) {
        return ContextMenu(InViewport(row, 1), choose);
    }
};
}  // namespace

TEST_F(EditingTest, ClickInTheValueColumnOfAParameterRowOpensItsEditor) {
    ClickRow(3, 1);
    EXPECT_FALSE(list().ActiveCell().IsOpen()) << "label column";
    ClickRow(0, 2);
    EXPECT_FALSE(list().ActiveCell().IsOpen()) << "channel row";
    ClickRow(3, 2);
    ASSERT_TRUE(list().ActiveCell().IsOpen());
    EXPECT_EQ(list().CellType(3, 2), 3);
    EXPECT_EQ(list().ListIndex(), 3) << "the click also selects the row";
    ClickRow(4, 1);
    EXPECT_FALSE(list().ActiveCell().IsOpen()) << "a click elsewhere ends the edit";
    EXPECT_EQ(list().CellType(4, 2), 0);
}

TEST_F(EditingTest, SegmentLengthCommitRecomputesRatesAndRedraws) {
    record(0).SegmentDistribution = 3208;
    window().flgStartScreen = 1;
    Commit(1, "4");
    EXPECT_EQ(record(0).SegmentLength, 4);
    EXPECT_EQ(list().Cell(0, 2), "48kHz");
    EXPECT_EQ(list().Cell(0, 3), "768kbps");
    EXPECT_EQ(GrabMap(), window().ChannelSlotBuffer.Image());
    // Slots 8 to 11 now belong to channel 0 in the map.
    for (int slot = 8; slot < 12; ++slot) EXPECT_EQ(Module1::SuperFrameSlot[slot], 0) << slot;
    EXPECT_EQ(PixelColor(GrabMap(), 7 * 8 + 2, 2), window().ColorMap[0]);
}

TEST_F(EditingTest, SegmentDistributionCommitsAndTheZeroOffsetMessage) {
    record(0).SegmentLength = 4;
    struct Case {
        const char* typed;
        int32_t stored;
        bool message;
    };
    for (const Case c : {Case{"3104", 3104, true}, Case{"3105", 3105, false}, Case{"0", 0, false},
                         Case{"5000", 5000, true}, Case{"abc", 0, false}}) {
        RecordedMessages().clear();
        Commit(2, QString::fromLatin1(c.typed));
        EXPECT_EQ(record(0).SegmentDistribution, c.stored) << c.typed;
        EXPECT_EQ(RecordedMessages(), c.message ? QStringList{kZeroOffsetMessage} : QStringList())
            << c.typed;
        EXPECT_EQ(window().iSegmentLength, 4);
    }
    // The stored code is what the rates show, message or not.
    Commit(2, "3104");
    EXPECT_EQ(list().Cell(0, 2), "192kHz");
}

TEST_F(EditingTest, EachParameterRowWritesItsOwnField) {
    Commit(3, "2");
    Commit(4, "1");
    Commit(5, "11");
    Commit(6, "1");
    Commit(7, "1");   // CL
    Commit(8, "3");   // DT
    Commit(9, "16");  // DL
    const Channel& c = record(0);
    EXPECT_EQ(c.TransportProtocol, 2);
    EXPECT_EQ(c.FrequencyLocked, 1);
    EXPECT_EQ(c.PresenceRate, 11);
    EXPECT_EQ(c.AuxFormat, 1);
    EXPECT_EQ(c.ChannelLink, 1);
    EXPECT_EQ(c.DataType, 3);
    EXPECT_EQ(c.DataLength, 16);
    // Collapsing and expanding again shows the stored numbers.
    list().SetExpanded(0, false);
    list().SetExpanded(0, true);
    EXPECT_EQ(list().Cell(8, 2), "3");
    EXPECT_EQ(list().Cell(7, 2), "1");
}

TEST_F(EditingTest, EscapeAbandonsTheEdit) {
    ClickRow(3, 2);
    QTest::keyClicks(Editor(), "7");
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_EQ(record(0).TransportProtocol, 0);
    EXPECT_FALSE(list().ActiveCell().IsOpen());
}

TEST_F(EditingTest, ValueMenusOfferTheirItems) {
    const QStringList expected[10] = {
        {},
        {"1 to 31 slots"},
        {"Segment Distribution Calculator"},
        {"0 - Isochronous Protocol", "1 - Pushed Protocol", "2 - Pulled Protocol",
         "3 - Locked Protocol", "4 - Asynchronous Protocol / Simplex",
         "5 - Asynchronous Protocol / half-duplex", "6 - Extended Asynchronous Protocol / Simplex",
         "7 - Extended Asynchronous Protocol / half-duplex", "14 - User Defined Protocol 1",
         "15 - User Defined Protocol 2"},
        {"0 - Frequency unlocked", "1 - Frequency locked"},
        {"0 - Not Indicated", "1 - 12kHz",    "2 - 24kHz",     "3 - 48kHz",     "4 - 96kHz",
         "5 - 192kHz",        "6 - 384kHz",   "7 - 768kHz",    "9 - 11.025kHz", "10 - 22.05kHz",
         "11 - 44.1kHz",      "12 - 88.2kHz", "13 - 176.4kHz", "14 - 352.8kHz", "15 - 705.6kHz",
         "16 - 4kHz",         "17 - 8kHz",    "18 - 16kHz",    "19 - 32kHz",    "20 - 64kHz",
         "21 - 128kHz",       "22 - 256kHz",  "23 - 512kHz"},
        {"0 - Not applicable", "1 - IEC60958 Tunneling"},
        {"0 - Channel not linked", "1 - Channel linked"},
        {"0 - Not Indicated", "1 - LPCM audio", "2 - IEC61937 Compressed audio",
         "3 - Packed PDM audio"},
        {"0 - Not Indicated", "1 to 31 slots respectively"},
    };
    for (int row = 1; row <= 9; ++row) EXPECT_EQ(ContextMenuOnRow(row), expected[row]) << row;
    EXPECT_TRUE(ContextMenuOnRow(0).isEmpty()) << "channel row";
    EXPECT_TRUE(ContextMenu(QPoint(20, 270)).isEmpty()) << "below the last row";
}

// A contextual click anywhere on the row being edited, its editor included,
// keeps the edit with its half-typed text until the chosen code replaces it.
TEST_F(EditingTest, ChoosingACodeWritesItIntoTheOpenEditor) {
    struct Case {
        int row;
        int column;  // where the contextual click lands on the row
        const char* item;
        const char* written;
    };
    const Case cases[] = {
        {5, 2, "9 - 11.025kHz", "9"},     {3, 1, "14 - User Defined Protocol 1", "14"},
        {5, 0, "0 - Not Indicated", "0"}, {8, 2, "0 - Not Indicated", "0"},
        {9, 3, "0 - Not Indicated", "0"}, {7, 2, "1 - Channel linked", "1"},
    };
    for (const Delivery delivery : {Delivery::PressReleaseThenMenu, Delivery::ThroughTheWindow}) {
        for (const Case c : cases) {
            SCOPED_TRACE(testing::Message() << c.item << ", column " << c.column << ", delivery "
                                            << static_cast<int>(delivery));
            ClickRow(c.row, 2);
            ASSERT_TRUE(Editor());
            QLineEdit* editor = Editor();
            QTest::keyClicks(editor, "12");
            ASSERT_EQ(QApplication::focusWidget(), editor);
            const Channel before = record(0);
            bool editedWhileOpen = false;
            const QStringList offered = ContextMenu(
                InViewport(c.row, c.column), QString::fromLatin1(c.item), delivery, [&] {
                    editedWhileOpen = list().ActiveCell().Widget() == editor &&
                                      editor->text() == "12" &&
                                      record(0).PresenceRate == before.PresenceRate &&
                                      record(0).TransportProtocol == before.TransportProtocol;
                });
            EXPECT_TRUE(offered.contains(QString::fromLatin1(c.item)));
            EXPECT_TRUE(editedWhileOpen) << "the menu came up over the untouched edit";
            ASSERT_EQ(list().ActiveCell().Widget(), editor);
            EXPECT_EQ(editor->text(), c.written);
            EXPECT_EQ(QApplication::focusWidget(), editor);
            QTest::keyClick(editor, Qt::Key_Return);
            EXPECT_FALSE(list().ActiveCell().IsOpen());
        }
    }
    EXPECT_EQ(record(0).PresenceRate, 0);
    EXPECT_EQ(record(0).TransportProtocol, 14);
    EXPECT_EQ(record(0).ChannelLink, 1);
    EXPECT_EQ(record(0).DataType, 0);
}

// A contextual click on another row ends the edit in progress, which stores
// its text, and selects that row; a code chosen from its menu goes into its
// own value cell, opened for it. The same on a channel row or another
// channel's row, which offer no menu.
TEST_F(EditingTest, AContextualClickOnAnotherRowEndsTheEdit) {
    AddChannels(1);  // channel 1, row 10
    for (const Delivery delivery : {Delivery::PressReleaseThenMenu, Delivery::ThroughTheWindow}) {
        SCOPED_TRACE(static_cast<int>(delivery));
        record(0).TransportProtocol = 0;
        ClickRow(5, 2);  // PR
        QTest::keyClicks(Editor(), "5");
        bool endedBeforeTheMenu = false;
        const QStringList offered =
            ContextMenu(InViewport(3, 1), "1 - Pushed Protocol", delivery, [&] {  // TP
                endedBeforeTheMenu = !list().ActiveCell().IsOpen() && record(0).PresenceRate == 5 &&
                                     list().ListIndex() == 3;
            });
        EXPECT_EQ(offered.value(1), "1 - Pushed Protocol");
        EXPECT_TRUE(endedBeforeTheMenu) << "the edit ended, the row under the click is selected";
        EXPECT_EQ(list().Cell(5, 2), "5");
        ASSERT_EQ(list().EditedRow(), 3) << "TP's value cell is open for the code";
        EXPECT_EQ(Editor()->text(), "1");
        EXPECT_EQ(record(0).TransportProtocol, 0) << "stored when that edit ends";
        QTest::keyClick(Editor(), Qt::Key_Return);
        EXPECT_EQ(record(0).TransportProtocol, 1);
        EXPECT_EQ(record(0).PresenceRate, 5);

        for (int row : {0, 10}) {  // channel rows: no menu, the edit ends all the same
            ClickRow(4, 2);
            QTest::keyClicks(Editor(), "1");
            EXPECT_TRUE(ContextMenu(InViewport(row, 1), QString(), delivery).isEmpty());
            EXPECT_FALSE(list().ActiveCell().IsOpen()) << row;
            EXPECT_EQ(list().ListIndex(), row);
            EXPECT_TRUE(KillEnabled()) << "a channel row is selected";
            EXPECT_EQ(record(0).FrequencyLocked, 1);
            record(0).FrequencyLocked = 0;
        }
    }
}

namespace {
// A contextual click whose menu is the program's real one, chosen from by
// the mouse or the keyboard as a user does.
class RealMenuTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        outer_ = Listbox::SetContextualMenuChooser({});
    }
    void TearDown() override {
        Listbox::SetContextualMenuChooser(outer_);
        EditingTest::TearDown();
    }

    enum class Choice { Mouse, Keyboard };
    // Right-clicks the row's label and chooses the item in the menu that shows.
    void ChooseFromMenu(int row, const QString& item, Choice by) {
        bool chose = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || chose) return;
            chose = true;
            const QList<QAction*> actions = menu->actions();
            int index = 0;
            while (index < actions.size() && actions[index]->text() != item) ++index;
            ASSERT_LT(index, actions.size()) << item.toStdString();
            if (by == Choice::Mouse) {
                const QPoint at = menu->actionGeometry(actions[index]).center();
                QTest::mouseMove(menu, at);
                QTest::mouseClick(menu, Qt::LeftButton, {}, at);
            } else {
                for (int k = 0; k <= index; ++k) QTest::keyClick(menu, Qt::Key_Down);
                QTest::keyClick(menu, Qt::Key_Return);
            }
        });
        poll.start(10);
        QWidget* window = list().window();
        const QPoint inWindow = list().viewport()->mapTo(window, InViewport(row, 1));
        QTest::mousePress(window->windowHandle(), Qt::RightButton, {}, inWindow);
        QTest::mouseRelease(window->windowHandle(), Qt::RightButton, {}, inWindow);
        ASSERT_TRUE(QTest::qWaitFor([&] { return chose && !QApplication::activePopupWidget(); }));
    }

    Listbox::MenuChooser outer_;
};
}  // namespace

TEST_F(RealMenuTest, MouseAndKeyboardChooseAlike) {
    for (const Choice by : {Choice::Mouse, Choice::Keyboard}) {
        SCOPED_TRACE(by == Choice::Mouse ? "mouse" : "keyboard");
        record(0).TransportProtocol = 0;
        ClickRow(5, 2);  // PR
        QTest::keyClicks(Editor(), "5");
        ChooseFromMenu(3, "1 - Pushed Protocol", by);  // TP
        EXPECT_EQ(record(0).PresenceRate, 5);
        ASSERT_EQ(list().EditedRow(), 3);
        EXPECT_EQ(Editor()->text(), "1");
        QTest::keyClick(Editor(), Qt::Key_Return);
        EXPECT_EQ(record(0).TransportProtocol, 1);
        EXPECT_EQ(list().Cell(3, 2), "1");

        // On the row being edited the code goes into its edit.
        ClickRow(3, 2);
        QTest::keyClicks(Editor(), "7");
        ChooseFromMenu(3, "2 - Pulled Protocol", by);
        ASSERT_EQ(list().EditedRow(), 3);
        EXPECT_EQ(Editor()->text(), "2");
        QTest::keyClick(Editor(), Qt::Key_Return);
        EXPECT_EQ(record(0).TransportProtocol, 2);
    }
}

// Rows changed while the menu was open (a controller's commands): the row the
// menu was built for no longer takes a code.
TEST_F(EditingTest, AMenuChoiceAfterTheRowsChangedWritesNowhereElse) {
    struct Case {
        const char* what;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"row 3 became a channel row",
         [this] {
             list().SetExpanded(0, false);
             AddChannels(3);
         }},
        {"row 3 is another channel's other parameter",
         [this] {
             list().SetExpanded(0, false);
             AddChannels(1);
             list().SetExpanded(1, true);  // row 3 is channel 1's "SD"
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClickRow(0);
        Click(window().ClearAllChannels());
        AddChannels(1);
        list().SetExpanded(0, true);
        ASSERT_FALSE(list().ActiveCell().IsOpen());
        const QStringList before = Column(2);
        ContextMenu(InViewport(3, 1), "2 - Pulled Protocol", Delivery::PressReleaseThenMenu,
                    c.change);
        EXPECT_FALSE(list().ActiveCell().IsOpen());
        for (int row = 0; row < list().ListCount(); ++row)
            EXPECT_NE(list().Cell(row, 2), "2") << row;
        EXPECT_EQ(record(0).TransportProtocol, 0);
        EXPECT_EQ(record(1).SegmentDistribution, 0);
    }
    // Rows rebuilt alike: the choice opens the remembered row's value cell.
    Click(window().ClearAllChannels());
    AddChannels(1);
    list().SetExpanded(0, true);
    ContextMenu(InViewport(3, 1), "2 - Pulled Protocol", Delivery::ThroughTheWindow, [this] {
        list().SetExpanded(0, false);
        list().SetExpanded(0, true);
    });
    ASSERT_TRUE(list().ActiveCell().IsOpen());
    EXPECT_EQ(Editor()->text(), "2");
}

// Ctrl+C and Ctrl+M in a cell editor, as X11 delivers them (with "\x03" and
// "\r" as their text), neither end nor change the edit; Ctrl+C copies.
TEST_F(EditingTest, CtrlKeysInTheCellEditorAreNotReturn) {
    ClickRow(5, 2);
    QLineEdit* editor = Editor();
    QTest::keyClicks(editor, "11");
    editor->selectAll();
    QApplication::clipboard()->clear();
    for (const auto& [key, text] : {std::pair{Qt::Key_C, "\x03"}, std::pair{Qt::Key_M, "\r"}}) {
        QTest::sendKeyEvent(QTest::Click, editor, key, QString::fromLatin1(text),
                            Qt::ControlModifier);
        ASSERT_EQ(Editor(), editor);
        EXPECT_EQ(editor->text(), "11");
    }
    EXPECT_EQ(QApplication::clipboard()->text(), "11");
    EXPECT_EQ(record(0).PresenceRate, 0);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(record(0).PresenceRate, 11);
}

TEST_F(EditingTest, InformativeItemsWriteNothingButLeaveTheStartScreen) {
    ClickRow(1, 2);
    Editor()->setText("5");
    EXPECT_EQ(window().flgStartScreen, 0);
    ContextMenuOnRow(1, "1 to 31 slots");
    EXPECT_EQ(Editor()->text(), "5");
    EXPECT_EQ(window().flgStartScreen, 1);
    QTest::keyClick(Editor(), Qt::Key_Escape);
    ContextMenuOnRow(9, "1 to 31 slots respectively");
    EXPECT_FALSE(list().ActiveCell().IsOpen());
}

TEST_F(EditingTest, ACodeChosenWithoutAnEditorOpensTheRowsValueCell) {
    ASSERT_FALSE(list().ActiveCell().IsOpen());
    ContextMenuOnRow(3, "2 - Pulled Protocol");
    ASSERT_TRUE(list().ActiveCell().IsOpen());
    EXPECT_EQ(Editor()->text(), "2");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(record(0).TransportProtocol, 2);
}

TEST_F(EditingTest, TheCalculatorItemShowsTheCalculator) {
    ClickRow(2, 1);
    ContextMenuOnRow(2, "Segment Distribution Calculator");
    ASSERT_TRUE(SDCalc::Exists());
    EXPECT_TRUE(SDCalc::Instance().isVisible());
    SDCalc::Instance().close();
}

namespace {
// Channel 0 (SD 3208, SL 4) expanded at row 0, channel 1 (SD 3216) expanded
// below it at row 10: their "SD" rows are 2 and 12.
class CalculatorFromTheListTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        record(0).SegmentDistribution = 3208;  // interval 128, offset 8
        record(0).SegmentLength = 4;
        AddChannels(1);
        record(1).SegmentDistribution = 3216;  // interval 128, offset 16
        record(1).SegmentLength = 4;
        list().SetExpanded(0, false);
        list().SetExpanded(0, true);
        list().SetExpanded(10, true);
        ASSERT_EQ(list().Cell(2, 2), "3208");
        ASSERT_EQ(list().Cell(12, 2), "3216");
    }
    void TearDown() override {
        if (SDCalc::Exists()) SDCalc::Instance().Close();
        QCoreApplication::processEvents();
        EditingTest::TearDown();
    }
    SDCalc& OpenFromRow(int row) {
        ContextMenuOnRow(row, "Segment Distribution Calculator");
        EXPECT_TRUE(SDCalc::Exists());
        return SDCalc::Instance();
    }
    void Accept(SDCalc& calc) { QTest::mouseClick(calc.AcceptButton(), Qt::LeftButton); }
    static constexpr int kInterval32Row = 14;
    static constexpr int kInterval768Row = 1;
};
}  // namespace

// What was typed into the "SD" cell is stored before the calculator reads it.
TEST_F(CalculatorFromTheListTest, StartsFromTheCodeTypedIntoTheRow) {
    ClickRow(2, 2);
    QTest::keyClicks(Editor(), "3224");  // interval 128, offset 24
    SDCalc& calc = OpenFromRow(2);
    EXPECT_EQ(record(0).SegmentDistribution, 3224);
    EXPECT_EQ(list().Cell(2, 2), "3224");
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "24");
    EXPECT_EQ(calc.SegmentIntervalPopup()->Text(), "128");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "3224");
}

// The calculator works on the "SD" row whose menu opened it, not on the row
// whose edit was in progress.
TEST_F(CalculatorFromTheListTest, WorksOnTheRowItWasOpenedOn) {
    ClickRow(2, 2);  // channel 0's "SD" cell open
    SDCalc& calc = OpenFromRow(12);
    EXPECT_FALSE(list().ActiveCell().IsOpen() && list().EditedRow() == 2);
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "3216");
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "16");
    calc.SegmentIntervalPopup()->SetListIndex(kInterval32Row);
    // The user clicks elsewhere in the list meanwhile: the code still goes
    // where the calculator came from.
    ClickRow(5, 1);
    Accept(calc);
    ASSERT_EQ(list().EditedRow(), 12);
    EXPECT_EQ(list().ListIndex(), 12);
    EXPECT_EQ(Editor()->text(), "3120");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(record(1).SegmentDistribution, 3120);
    EXPECT_EQ(record(0).SegmentDistribution, 3208);
    EXPECT_EQ(list().Cell(2, 2), "3208");

    // Rows above it come and go: still that channel's row.
    SDCalc& again = OpenFromRow(12);
    list().SetExpanded(0, false);  // channel 1's "SD" row is now row 3
    again.SegmentIntervalPopup()->SetListIndex(kInterval768Row);
    Accept(again);
    ASSERT_EQ(list().EditedRow(), 3);
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(record(1).SegmentDistribution, Module1::CalculateSegmentDistribution(16, 768));

    // Its row gone: nothing is written anywhere.
    SDCalc& third = OpenFromRow(3);
    list().SetExpanded(1, false);
    const QStringList before = Column(2);
    Accept(third);
    EXPECT_FALSE(list().ActiveCell().IsOpen());
    EXPECT_EQ(Column(2), before);
}

// With another row's edit in progress the menu of the "SD" row still opens
// the calculator on that row's code, and "Accept" reaches the channel.
TEST_F(CalculatorFromTheListTest, AnEditOnAnotherRowEndsFirst) {
    ClickRow(1, 2);  // SL
    QTest::keyClicks(Editor(), "5");
    SDCalc& calc = OpenFromRow(2);
    EXPECT_EQ(record(0).SegmentLength, 5);
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "8");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "3208");
    calc.SegmentIntervalPopup()->SetListIndex(kInterval32Row);
    Accept(calc);
    ASSERT_EQ(list().EditedRow(), 2);
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(record(0).SegmentDistribution, 3112);
}

// However an edit ends, the cell shows what the record holds.
TEST_F(CalculatorFromTheListTest, AfterAnEditTheCellShowsTheRecord) {
    SDCalc& calc = OpenFromRow(2);
    calc.SegmentIntervalPopup()->SetListIndex(kInterval768Row);
    Accept(calc);
    ASSERT_EQ(list().EditedRow(), 2);
    EXPECT_EQ(Editor()->text(), "264");
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_FALSE(list().ActiveCell().IsOpen());
    EXPECT_EQ(record(0).SegmentDistribution, 3208);
    EXPECT_EQ(list().Cell(2, 2), "3208");
    EXPECT_EQ(list().Cell(0, 2), "48kHz");

    // A code from a value menu, abandoned; typed texts, committed.
    ContextMenuOnRow(3, "2 - Pulled Protocol");
    ASSERT_EQ(list().EditedRow(), 3);
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_EQ(list().Cell(3, 2), "0");
    struct Case {
        const char* typed;
        const char* shown;
    };
    for (const Case c : {Case{"007", "7"}, Case{"abc", "0"}, Case{"99999999999", "1215752191"},
                         Case{" 12", "12"}}) {
        Commit(9, QString::fromLatin1(c.typed));
        EXPECT_EQ(list().Cell(9, 2), c.shown) << c.typed;
        EXPECT_EQ(CStr(record(0).DataLength), c.shown) << c.typed;
    }
}

// On a fresh window the commits draw on the control space it opened with,
// and leave it in the slot map for the redraws that do not rebuild it.
TEST_F(EditingTest, CommitsOnAFreshWindowShowTheControlSpace) {
    Commit(1, "4");
    ExpectOpeningControlSpace(GrabMap(), 20);
    Commit(2, "3208");  // interval 128, offset 8
    QImage map = GrabMap();
    ExpectOpeningControlSpace(map, 20);
    EXPECT_EQ(SlotCellColor(map, 8), window().ColorMap[0]);
    EXPECT_EQ(SlotCellColor(map, 12), RGB(200, 200, 200));

    // A press on the channel's second segment starts no drag; its release
    // redraws the control space from the slot map.
    Canvas* canvas = window().DrawZone();
    const QPoint secondSegment(7 * (136 % 96) + 4, 18 * (136 / 96) + 9);
    QTest::mousePress(canvas, Qt::LeftButton, {}, secondSegment);
    ASSERT_EQ(window().flgMoveChannel, 0);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, secondSegment);
    map = GrabMap();
    ExpectOpeningControlSpace(map, 20);
    EXPECT_EQ(SlotCellColor(map, 136), window().ColorMap[0]);
}

namespace {
// Channel rows listed by a file load or a controller, whose positions the
// list has not recorded yet (no BuildRowID since).
class UnrecordedRowsTest : public EditingTest {
protected:
    // Saves channels 0 to 4 and loads them again: rows 0 to 4, collapsed.
    void LoadFiveChannels() {
        AddChannels(4);
        for (int id = 0; id < 5; ++id) record(id).PresenceRate = 10 + id;
        const QString path = folder_.filePath(QStringLiteral("five.cfg"));
        ChooseFileInDialogs(path);
        ASSERT_TRUE(window()._FileSaveBusConfiguration_Action());
        ASSERT_TRUE(window()._FileLoadBusConfiguration_Action());
        ChooseFileInDialogs(QString());
        ASSERT_EQ(Column(0), QStringList({"0", "1", "2", "3", "4"}));
        for (int id = 0; id < 5; ++id) ASSERT_EQ(record(id).RowID, -1) << id;
    }
    using StoredValues = std::vector<BusConfigFormat::ChannelValues>;
    StoredValues Values() {
        StoredValues values;
        for (int id = 0; id < 256; ++id)
            values.push_back(BusConfigFormat::ChannelValues::Of(record(id)));
        return values;
    }
    QTemporaryDir folder_;
};

const QStringList kSegmentLengthMenu = {"1 to 31 slots"};
}  // namespace

TEST_F(UnrecordedRowsTest, ChannelRowsOfAFileLoadOfferNoMenu) {
    LoadFiveChannels();
    for (int row = 0; row < 5; ++row) EXPECT_EQ(ContextMenuOnRow(row), QStringList()) << row;

    // Expanding a row records the positions: its parameter rows offer theirs.
    ClickTriangle(2);
    ASSERT_EQ(list().ListCount(), 14);
    EXPECT_EQ(ContextMenuOnRow(3), kSegmentLengthMenu);
    EXPECT_EQ(ContextMenuOnRow(7).value(1), "1 - 12kHz") << "PR";
    for (int row : {0, 1, 2, 12, 13}) EXPECT_EQ(ContextMenuOnRow(row), QStringList()) << row;
}

TEST_F(UnrecordedRowsTest, ChannelRowsOfAControllerOfferNoMenu) {
    {
        auto controller = ConnectController();
        ASSERT_TRUE(controller);
        ASSERT_TRUE(
            controller->Send("ClearAllChannels:*AddChannel:5,4,3208,0,0,0,0,1,0,16,7*"
                             "AddChannel:6,4,3209,0,0,0,0,1,0,16,7*"
                             "AddChannel:7,4,3210,0,0,0,0,1,0,16,7*"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return list().ListCount() == 3; }));
        controller->Disconnect();
        ASSERT_TRUE(QTest::qWaitFor([&] { return list().Enabled(); }));
    }
    for (int row = 0; row < 3; ++row) EXPECT_EQ(ContextMenuOnRow(row), QStringList()) << row;
    ClickTriangle(0);
    EXPECT_EQ(ContextMenuOnRow(1), kSegmentLengthMenu);
}

// No user input opens an editor on such a row today; the list's EditCell, as
// the calculator uses it, can. Ending that edit stores nothing anywhere.
TEST_F(UnrecordedRowsTest, AnEditEndedOnAnUnrecordedRowStoresNothing) {
    LoadFiveChannels();
    const StoredValues before = Values();
    for (int row = 0; row < 5; ++row) {
        list().SetCellType(row, 2, 3);
        list().EditCell(row, 2);
        ASSERT_TRUE(Editor()) << row;
        QTest::keyClicks(Editor(), "9");
        QTest::keyClick(Editor(), Qt::Key_Return);
        ASSERT_FALSE(list().ActiveCell().IsOpen());
        EXPECT_TRUE(Values() == before) << "row " << row;
    }
}
