// The segment distribution calculator, driven through its real window and
// the main window's channel list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPointer>
#include <QTest>
#include <algorithm>
#include <climits>
#include <memory>
#include <ostream>
#include <vector>

#include "Label.h"
#include "Listbox.h"
#include "Main.h"
#include "Module1.h"
#include "MsgBox.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "RemoteController.h"
#include "SDCalc.h"
#include "Separator.h"
#include "TestSeams.h"
#include "TestSupport.h"
#include "TextField.h"

// Readable texts in failure messages.
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {
const QString kLengthError =
    QStringLiteral("Error: The Segment Interval is smaller than the Segment Length");

// Interval rows in pop-up order.
const char* const kIntervals[] = {"1536", "768", "384", "192", "96", "48", "24", "12", "6", "3",
                                  "512",  "256", "128", "64",  "32", "16", "8",  "4",  "2"};
constexpr int kInterval32Row = 14;
constexpr int kInterval768Row = 1;

class SDCalcTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // 24.576 MHz, gear 10, subframe mode 4 / 32.
        Module1::iRootFrequency = 24576000;
        Module1::iClockGear = 10;
        Module1::iControlSize = 4;
        Module1::iSubFrameLength = 32;
    }

    void TearDown() override {
        if (SDCalc::Exists()) SDCalc::Instance().Close();
        QCoreApplication::processEvents();
        MainWindowTest::TearDown();
    }

    // Channel 3 with its "SL" and "SD" parameter rows below it; the "SD"
    // row (row 2) holds `code` and is selected.
    void SelectSDRow(const QString& code) {
        Listbox* list = window().ChannelListBox();
        list->AddFolder(QStringLiteral("3"));
        list->AddRow(QString());
        list->SetCell(1, 1, QStringLiteral("SL"));
        list->SetCell(1, 2, QStringLiteral("4"));
        list->AddRow(QString());
        list->SetCell(2, 1, QStringLiteral("SD"));
        list->SetCell(2, 2, code);
        list->SetListIndex(2);
    }

    // As the "SD" value menu opens it.
    SDCalc& Open() {
        SDCalc::Instance().Show();
        return SDCalc::Instance();
    }

    static void Type(TextField* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    bool BusPopupsEnabled() {
        return window().RootFrequencyPopup()->Enabled() && window().ClockGearPopup()->Enabled() &&
               window().SubFrameModePopup()->Enabled();
    }
    bool BusPopupsDisabled() {
        return !window().RootFrequencyPopup()->Enabled() && !window().ClockGearPopup()->Enabled() &&
               !window().SubFrameModePopup()->Enabled();
    }

    static std::vector<QString> Rows(const PopupMenu* popup) {
        std::vector<QString> rows;
        rows.reserve(static_cast<size_t>(popup->ListCount()));
        for (int k = 0; k < popup->ListCount(); ++k) rows.push_back(popup->List(k));
        return rows;
    }
};

TEST_F(SDCalcTest, WindowLayout) {
    SDCalc& calc = Open();
    EXPECT_EQ(calc.Title(), "Segment Distribution Calculator");
    EXPECT_EQ(calc.Width(), 300);
    EXPECT_EQ(calc.Height(), 281);
    EXPECT_TRUE(calc.isVisible());
    EXPECT_FALSE(calc.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(calc.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(calc.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(calc.minimumSize(), calc.maximumSize()) << "not resizeable";

    struct Expected {
        const char* name;
        const char* kind;
        int left, top, width, height;
        const char* text;
    };
    const Expected controls[] = {
        {"ChannelRatePopup", "PopupMenu", 165, 14, 115, 28, nullptr},
        {"StaticText1", "Label", 20, 13, 133, 24, "Channel Rate (kHz)"},
        {"StaticText2", "Label", 20, 71, 110, 24, "Segment Offset"},
        {"StaticText3", "Label", 20, 101, 110, 24, "Segment Interval"},
        {"Separator1", "Separator", 20, 48, 260, 11, nullptr},
        {"SegmentOffsetEditField", "TextField", 165, 72, 115, 20, nullptr},
        {"SegmentIntervalPopup", "PopupMenu", 165, 102, 115, 28, nullptr},
        {"Separator2", "Separator", 20, 137, 260, 11, nullptr},
        {"StaticText4", "Label", 20, 160, 139, 24, "Segment Distribution"},
        {"SegmentDistributionEditField", "TextField", 165, 161, 115, 20, "0"},
        {"AcceptButton", "PushButton", 103, 240, 94, 28, "Accept"},
        {"SDHexText", "Label", 165, 185, 115, 20, "0x0"},
        {"SDBinText", "Label", 165, 208, 115, 20, "0b0"},
    };
    ASSERT_EQ(calc.Controls().size(), std::size(controls));
    for (size_t i = 0; i < std::size(controls); ++i) {
        const Expected& e = controls[i];
        Control* c = calc.Controls()[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(c->Name(), e.name) << "creation order";
        EXPECT_EQ(c->Widget()->metaObject()->className(), QString::fromLatin1(e.kind));
        EXPECT_EQ(QRect(c->Left(), c->Top(), c->Width(), c->Height()),
                  QRect(e.left, e.top, e.width, e.height));
        EXPECT_TRUE(c->Enabled());
        if (!e.text) continue;
        QString text;
        if (auto* label = dynamic_cast<Label*>(c)) text = label->Text();
        if (auto* field = dynamic_cast<TextField*>(c)) text = field->Text();
        if (auto* button = dynamic_cast<PushButton*>(c)) text = button->Caption();
        EXPECT_EQ(text, e.text);
    }

    // Tab walks the focusable controls in creation order, starting over.
    QWidget* const order[] = {calc.ChannelRatePopup(), calc.SegmentOffsetEditField(),
                              calc.SegmentIntervalPopup(), calc.SegmentDistributionEditField(),
                              calc.AcceptButton()};
    constexpr size_t kFocusable = std::size(order);
    std::vector<QWidget*> tabbed;
    QWidget* w = calc.ChannelRatePopup();
    for (int step = 0; step < 40 && tabbed.size() < kFocusable; ++step) {
        w = w->nextInFocusChain();
        if (w->focusPolicy() & Qt::TabFocus) tabbed.push_back(w);
    }
    ASSERT_EQ(tabbed.size(), kFocusable);
    for (size_t i = 0; i < kFocusable; ++i) EXPECT_EQ(tabbed[i], order[(i + 1) % kFocusable]);
}

TEST_F(SDCalcTest, RateRowsFollowTheBus) {
    SDCalc& calc = Open();
    const std::vector<QString> gear10 = {"4",   "8",    "16",   "32",   "64",  "128", "256",
                                         "512", "1024", "2048", "12",   "24",  "48",  "96",
                                         "192", "384",  "768",  "1536", "3072"};
    EXPECT_EQ(Rows(calc.ChannelRatePopup()), gear10);
    EXPECT_EQ(Rows(calc.SegmentIntervalPopup()),
              std::vector<QString>(std::begin(kIntervals), std::end(kIntervals)));
    calc.Close();

    Module1::iClockGear = 9;
    const std::vector<QString> gear9 = {"2",   "4",   "8",    "16",  "32",  "64", "128",
                                        "256", "512", "1024", "6",   "12",  "24", "48",
                                        "96",  "192", "384",  "768", "1536"};
    EXPECT_EQ(Rows(Open().ChannelRatePopup()), gear9);
}

// Invalid bus settings give whatever the formula gives, without harm; the
// intervals do not depend on the bus.
TEST_F(SDCalcTest, RateRowsForOddBusSettings) {
    struct Case {
        int32_t root, gear;
        const char* row0;
        const char* row18;
    };
    const Case cases[] = {
        {22579200, 10, "3.675", "2822.4"},  // not whole kHz
        {-1, 10, "-1.62760416666667e-07", "-0.000125"},
        {24576000, 0, "0.00390625", "3"},
        {24576000, 15, "128", "98304"},
        {24576000, INT_MIN, "0", "0"},
        {0, INT_MAX, "nan", "nan"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.root << " Hz, gear " << c.gear);
        Module1::iRootFrequency = c.root;
        Module1::iClockGear = c.gear;
        SDCalc& calc = Open();
        ASSERT_EQ(calc.ChannelRatePopup()->ListCount(), 19);
        EXPECT_EQ(calc.ChannelRatePopup()->List(0), c.row0);
        EXPECT_EQ(calc.ChannelRatePopup()->List(18), c.row18);
        EXPECT_EQ(Rows(calc.SegmentIntervalPopup()),
                  std::vector<QString>(std::begin(kIntervals), std::end(kIntervals)));
        calc.Close();
        QCoreApplication::processEvents();
    }
}

// Every rate the pop-up lists shows whole in the closed pop-up, at every
// valid bus setting, in the font the pop-up really draws with; where the
// rates are short the pop-up keeps the calculator's own font.
TEST_F(SDCalcTest, EveryRateShowsWhole) {
    SelectSDRow(QStringLiteral("8"));
    int smallest = 100;
    for (int row = 1; row <= 9; ++row) {
        for (int gear = 1; gear <= 10; ++gear) {
            SCOPED_TRACE(testing::Message() << "root row " << row << ", gear " << gear);
            Module1::iRootFrequency = Module1::RootFrequencyOfRow(row);
            Module1::iClockGear = gear;
            SDCalc& calc = Open();
            PopupMenu* rates = calc.ChannelRatePopup();
            const QFontMetrics metrics(rates->font());
            for (int k = 0; k < rates->ListCount(); ++k)
                EXPECT_LE(metrics.horizontalAdvance(rates->List(k)), rates->TextRoom())
                    << rates->List(k).toStdString();
            smallest = std::min(smallest, QFontInfo(rates->font()).pixelSize());
            if (row == 1 && gear == 10) {
                EXPECT_EQ(rates->font(), calc.SegmentIntervalPopup()->font()) << "24.576 MHz";
            }
            calc.Close();
            QCoreApplication::processEvents();
        }
    }
    EXPECT_GE(smallest, 7) << "readable";

    // What the closed pop-up draws: the whole text, clear of the arrow.
    Module1::iRootFrequency = Module1::RootFrequencyOfRow(7);  // 25 MHz
    Module1::iClockGear = 10;
    SDCalc& calc = Open();
    PopupMenu* rates = calc.ChannelRatePopup();
    rates->SetListIndex(0);
    ASSERT_EQ(rates->Text(), "4.06901041666667");
    EXPECT_LE(QFontMetrics(rates->font()).horizontalAdvance(rates->Text()), rates->TextRoom());
}

TEST_F(SDCalcTest, OpensFromTheSelectedCode) {
    struct Case {
        const char* cell;
        const char* offset;
        int row;
        const char* code;
        const char* hex;
        const char* bin;
    };
    const Case cases[] = {
        {"8", "0", 6, "8", "0x8", "0b1000"},                   // interval 24
        {"512", "0", 0, "512", "0x200", "0b1000000000"},       // interval 1536
        {"3209", "9", 12, "3209", "0xC89", "0b110010001001"},  // interval 128, offset 9
        {"3072", "0", -1, "3072", "0xC00", "0b110000000000"},  // interval 1: no row
        // No code: the first slot after the control space.
        {"", "4", -1, "0", "0x0", "0b0"},
        {"0", "4", -1, "0", "0x0", "0b0"},
        {"abc", "4", -1, "0", "0x0", "0b0"},
        {"5000", "4", -1, "0", "0x0", "0b0"},
        {"4096", "4", -1, "0", "0x0", "0b0"},
        {"-5", "4", -1, "0", "0x0", "0b0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        window().ChannelListBox()->DeleteAllRows();
        SelectSDRow(QString::fromLatin1(c.cell));
        SDCalc& calc = Open();
        EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), c.offset);
        EXPECT_EQ(calc.SegmentIntervalPopup()->ListIndex(), c.row);
        EXPECT_EQ(calc.ChannelRatePopup()->ListIndex(), c.row);
        EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), c.code);
        EXPECT_EQ(calc.SDHexText()->Text(), c.hex);
        EXPECT_EQ(calc.SDBinText()->Text(), c.bin);
        calc.Close();
        QCoreApplication::processEvents();
    }
    // Row 6 of an "8" is rate 256 kHz at this bus.
    window().ChannelListBox()->DeleteAllRows();
    SelectSDRow(QStringLiteral("8"));
    SDCalc& calc = Open();
    EXPECT_EQ(calc.ChannelRatePopup()->Text(), "256");
    EXPECT_EQ(calc.SegmentIntervalPopup()->Text(), "24");

    // A picture of the window to look at.
    const QImage picture = calc.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    KeepPicture(picture, QStringLiteral("sdcalc.png"));
}

TEST_F(SDCalcTest, NoSelectedSDRowReadsAsNoCode) {
    SelectSDRow(QStringLiteral("8"));
    window().ChannelListBox()->SetListIndex(1);  // the "SL" row, holding 4
    SDCalc& calc = Open();
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "4");
    EXPECT_EQ(calc.SegmentIntervalPopup()->ListIndex(), -1);
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "0");
}

TEST_F(SDCalcTest, PopupsMoveTogether) {
    SelectSDRow(QStringLiteral("512"));
    SDCalc& calc = Open();
    // The user steps the rate pop-up down by one row with the keyboard.
    QTest::keyClick(calc.ChannelRatePopup(), Qt::Key_Down);
    EXPECT_EQ(calc.ChannelRatePopup()->ListIndex(), 1);
    EXPECT_EQ(calc.SegmentIntervalPopup()->ListIndex(), 1);
    EXPECT_EQ(calc.SegmentIntervalPopup()->Text(), "768");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "256");
    EXPECT_EQ(calc.SDHexText()->Text(), "0x100");

    // And the interval pop-up; the offset is kept inside the new interval.
    Type(calc.SegmentOffsetEditField(), QStringLiteral("700"));
    calc.SegmentIntervalPopup()->SetListIndex(kInterval32Row);
    EXPECT_EQ(calc.ChannelRatePopup()->ListIndex(), kInterval32Row);
    EXPECT_EQ(calc.ChannelRatePopup()->Text(), "192");
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "31");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "3135");
    EXPECT_EQ(calc.iSegmentInterval, 32);
    EXPECT_EQ(calc.iSegmentOffset, 31);
}

TEST_F(SDCalcTest, LeavingTheOffsetFieldKeepsItInsideTheInterval) {
    SelectSDRow(QStringLiteral("0"));
    SDCalc& calc = Open();
    calc.SegmentIntervalPopup()->SetListIndex(kInterval32Row);
    calc.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&calc));
    calc.SegmentOffsetEditField()->setFocus();
    Type(calc.SegmentOffsetEditField(), QStringLiteral("32"));
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "3108")
        << "typing alone computes nothing";
    QTest::keyClick(calc.SegmentOffsetEditField(), Qt::Key_Tab);
    EXPECT_FALSE(calc.SegmentOffsetEditField()->hasFocus());
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "31");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "3135");
    EXPECT_EQ(calc.SDHexText()->Text(), "0xC3F");
    EXPECT_EQ(calc.SDBinText()->Text(), "0b110000111111");
}

TEST_F(SDCalcTest, ReturnFitsTheSegmentIntoTheInterval) {
    struct Case {
        int32_t length;
        int row;  // -1: no interval row
        const char* typed;
        Qt::Key key;
        const char* offset;
        const char* code;
        bool message;
    };
    const Case cases[] = {
        {4, kInterval32Row, "30", Qt::Key_Return, "28", "3132", false},
        {4, kInterval32Row, "30", Qt::Key_Enter, "28", "3132", false},
        {4, kInterval32Row, "10", Qt::Key_Return, "10", "3114", false},
        {32, kInterval32Row, "5", Qt::Key_Return, "0", "0", true},
        {40, kInterval32Row, "5", Qt::Key_Enter, "0", "0", true},
        {0, -1, "5", Qt::Key_Return, "0", "0", true},
        {4, -1, "5", Qt::Key_Return, "0", "0", true},
        // Segment length 0 (no "SD" commit yet) lowers the offset to the
        // interval itself, where no code exists.
        {0, kInterval32Row, "40", Qt::Key_Return, "32", "0", false},
        {0, kInterval32Row, "31", Qt::Key_Return, "31", "3135", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "length " << c.length << ", row " << c.row << ", " << c.typed);
        RecordedMessages().clear();
        window().ChannelListBox()->DeleteAllRows();
        SelectSDRow(QStringLiteral("0"));
        window().iSegmentLength = c.length;
        SDCalc& calc = Open();
        calc.SegmentIntervalPopup()->SetListIndex(c.row);
        Type(calc.SegmentOffsetEditField(), QString::fromLatin1(c.typed));
        QTest::keyClick(calc.SegmentOffsetEditField(), c.key);
        EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), c.offset);
        EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), c.code);
        EXPECT_EQ(RecordedMessages(), c.message ? QStringList{kLengthError} : QStringList{});
        EXPECT_TRUE(SDCalc::Exists()) << "the calculator stays open";
        calc.Close();
        QCoreApplication::processEvents();
    }
}

TEST_F(SDCalcTest, OtherKeysAreTypedAsUsual) {
    SelectSDRow(QStringLiteral("3104"));  // interval 32, offset 0
    window().iSegmentLength = 32;
    SDCalc& calc = Open();
    TextField* offset = calc.SegmentOffsetEditField();
    offset->setCursorPosition(static_cast<int>(offset->Text().size()));
    QTest::keyClicks(offset, QStringLiteral("7a"));
    QTest::keyClick(offset, Qt::Key_Backspace);
    QTest::keyClick(offset, Qt::Key_Escape);
    EXPECT_EQ(offset->Text(), "07");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "3104");
    EXPECT_TRUE(RecordedMessages().isEmpty());
}

TEST_F(SDCalcTest, TypedCodeOnlyChangesTheLabels) {
    SelectSDRow(QStringLiteral("8"));
    SDCalc& calc = Open();
    TextField* code = calc.SegmentDistributionEditField();
    struct Case {
        const char* typed;
        const char* hex;
        const char* bin;
    };
    const Case cases[] = {
        {"abc", "0x0", "0b0"}, {"255", "0xFF", "0b11111111"}, {"12x", "0xC", "0b1100"}};
    for (const Case& c : cases) {
        Type(code, QString::fromLatin1(c.typed));
        EXPECT_EQ(calc.SDHexText()->Text(), c.hex);
        EXPECT_EQ(calc.SDBinText()->Text(), c.bin);
    }
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "0");
    EXPECT_EQ(calc.SegmentIntervalPopup()->ListIndex(), 6);

    // "Accept" takes the code from the offset and the interval again.
    Type(code, QStringLiteral("abc"));
    QTest::mouseClick(calc.AcceptButton(), Qt::LeftButton);
    EXPECT_EQ(window().ChannelListBox()->ActiveCell().Text(), "8");
}

TEST_F(SDCalcTest, AcceptWritesTheCodeIntoTheSelectedRow) {
    SelectSDRow(QStringLiteral("0"));
    QPointer<SDCalc> calc = &Open();
    calc->SegmentIntervalPopup()->SetListIndex(kInterval768Row);
    Type(calc->SegmentOffsetEditField(), QStringLiteral("900"));
    QTest::mouseClick(calc->AcceptButton(), Qt::LeftButton);
    EXPECT_EQ(calc->SegmentOffsetEditField()->Text(), "767");
    EXPECT_EQ(calc->SegmentDistributionEditField()->Text(), "2559");

    Listbox* list = window().ChannelListBox();
    EXPECT_EQ(list->CellType(2, 2), 3);
    ASSERT_TRUE(list->ActiveCell().IsOpen()) << "the cell's editor is open";
    EXPECT_EQ(list->EditedRow(), 2);
    EXPECT_EQ(list->ActiveCell().Text(), "2559");
    EXPECT_EQ(list->Cell(1, 2), "4") << "no other row is touched";
    EXPECT_FALSE(SDCalc::Exists());
    EXPECT_TRUE(BusPopupsEnabled());
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(calc.isNull()) << "a closed calculator is gone";
}

// Without a selected "SD" row there is no cell for the code: nothing is
// written, and the calculator still closes.
TEST_F(SDCalcTest, AcceptWithoutAnSDRowWritesNothing) {
    for (int selected : {-1, 0, 1}) {
        SCOPED_TRACE(selected);
        window().ChannelListBox()->DeleteAllRows();
        SelectSDRow(QStringLiteral("8"));
        window().ChannelListBox()->SetListIndex(selected);
        SDCalc& calc = Open();
        calc.SegmentIntervalPopup()->SetListIndex(kInterval768Row);
        QTest::mouseClick(calc.AcceptButton(), Qt::LeftButton);
        Listbox* list = window().ChannelListBox();
        EXPECT_EQ(list->Cell(0, 2), "");
        EXPECT_EQ(list->Cell(1, 2), "4");
        EXPECT_EQ(list->Cell(2, 2), "8");
        EXPECT_FALSE(list->ActiveCell().IsOpen());
        EXPECT_FALSE(SDCalc::Exists());
        EXPECT_TRUE(BusPopupsEnabled());
        QCoreApplication::processEvents();
    }
}

// No code exists without an interval or for an offset outside it.
TEST_F(SDCalcTest, NoIntervalOrNegativeOffsetGivesNoCode) {
    SelectSDRow(QStringLiteral("0"));
    SDCalc& calc = Open();
    calc.SegmentOffsetEditField_LostFocus();  // no interval row
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "-1");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "0");

    calc.SegmentIntervalPopup()->SetListIndex(kInterval768Row);
    Type(calc.SegmentOffsetEditField(), QStringLiteral("-3"));
    calc.SegmentOffsetEditField_LostFocus();
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "-3");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "0");
    EXPECT_EQ(calc.SDHexText()->Text(), "0x0");

    // Huge typed values and segment lengths neither overflow nor give a code.
    window().iSegmentLength = INT_MIN;
    Type(calc.SegmentOffsetEditField(), QStringLiteral("2147483647"));
    QTest::keyClick(calc.SegmentOffsetEditField(), Qt::Key_Return);
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "2147483647");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "0");

    QTest::mouseClick(calc.AcceptButton(), Qt::LeftButton);
    EXPECT_EQ(window().ChannelListBox()->ActiveCell().Text(), "2559") << "interval 768, offset 767";
}

TEST_F(SDCalcTest, BusPopupsAreDisabledWhileTheCalculatorExists) {
    SelectSDRow(QStringLiteral("8"));
    ASSERT_TRUE(BusPopupsEnabled());

    // Closed by its close box.
    SDCalc* first = &Open();
    EXPECT_TRUE(BusPopupsDisabled());
    EXPECT_TRUE(first->close());
    EXPECT_FALSE(SDCalc::Exists());
    EXPECT_TRUE(BusPopupsEnabled());
    QCoreApplication::processEvents();

    // A second reference while open brings the same window forward unchanged,
    // also when another row is selected by then.
    SDCalc& calc = Open();
    EXPECT_TRUE(BusPopupsDisabled());
    Type(calc.SegmentOffsetEditField(), QStringLiteral("5"));
    calc.SegmentIntervalPopup()->SetListIndex(kInterval32Row);
    const QString code = calc.SegmentDistributionEditField()->Text();
    window().ChannelListBox()->SetListIndex(0);
    SDCalc& again = Open();
    EXPECT_EQ(&again, &calc);
    EXPECT_EQ(again.SegmentOffsetEditField()->Text(), "5");
    EXPECT_EQ(again.SegmentIntervalPopup()->ListIndex(), kInterval32Row);
    EXPECT_EQ(again.SegmentDistributionEditField()->Text(), code);
    EXPECT_TRUE(BusPopupsDisabled());

    // Closed by "Accept".
    QTest::mouseClick(calc.AcceptButton(), Qt::LeftButton);
    EXPECT_TRUE(BusPopupsEnabled());
    ASSERT_EQ(window().ChannelListBox()->ActiveCell().Text(), code) << "the row it opened on";
    window().ChannelListBox()->EndEdit();
    EXPECT_EQ(window().ChannelListBox()->Cell(2, 2), code);
    QCoreApplication::processEvents();

    // The next reference builds a fresh calculator from the cell.
    SDCalc& fresh = Open();
    EXPECT_EQ(fresh.SegmentOffsetEditField()->Text(), "5");
    EXPECT_EQ(fresh.SegmentIntervalPopup()->ListIndex(), kInterval32Row);
    EXPECT_TRUE(BusPopupsDisabled());
}

// The calculator and a controller both hold the bus pop-ups; they are the
// user's again only once both have let go, in either order.
TEST_F(SDCalcTest, BusPopupsWaitForTheCalculatorAndTheController) {
    SelectSDRow(QStringLiteral("8"));
    auto disconnect = [this](std::unique_ptr<Controller>& controller) {
        controller->Disconnect();
        controller.reset();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window().Title() == "Veltrane"; }));
    };
    struct Case {
        const char* what;
        bool calculatorFirst;
        bool closeByAccept;
        bool calculatorLetsGoFirst;
    };
    const Case cases[] = {
        {"calculator, controller, close box, disconnect", true, false, true},
        {"calculator, controller, Accept, disconnect", true, true, true},
        {"calculator, controller, disconnect, close box", true, false, false},
        {"controller, calculator, Accept, disconnect", false, true, true},
        {"controller, calculator, disconnect, Accept", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<Controller> controller;
        if (c.calculatorFirst) Open();
        controller = ConnectController();
        ASSERT_TRUE(controller);
        if (!c.calculatorFirst) Open();
        EXPECT_TRUE(BusPopupsDisabled());
        auto letGoOfTheCalculator = [&] {
            if (c.closeByAccept)
                QTest::mouseClick(SDCalc::Instance().AcceptButton(), Qt::LeftButton);
            else
                SDCalc::Instance().close();
            ASSERT_FALSE(SDCalc::Exists());
        };
        if (c.calculatorLetsGoFirst) {
            letGoOfTheCalculator();
            EXPECT_TRUE(BusPopupsDisabled()) << "the controller still holds them";
            EXPECT_EQ(window().Title(), "Veltrane - Remote Controlled");
            disconnect(controller);
        } else {
            disconnect(controller);
            EXPECT_TRUE(BusPopupsDisabled()) << "the calculator still holds them";
            EXPECT_TRUE(window().AddChannelButton()->Enabled());
            EXPECT_TRUE(window().ChannelListBox()->Enabled());
            letGoOfTheCalculator();
        }
        EXPECT_TRUE(BusPopupsEnabled());
        window().ChannelListBox()->EndEdit();
        window().ChannelListBox()->SetListIndex(2);
        QCoreApplication::processEvents();
    }
}

// The calculator belongs to the main window and goes with it.
TEST_F(SDCalcTest, GoesWithTheMainWindow) {
    QPointer<SDCalc> calc = &Open();
    Main::Destroy();
    EXPECT_TRUE(calc.isNull());
    EXPECT_FALSE(SDCalc::Exists());
}

// Taking the windows down while a control that acts on losing the focus has
// it (the calculator's offset field, a cell editor of the main list, the
// subframe mode pop-up) runs no handler: none reaches a window that is going
// (the sanitizer build sees it), and nothing builds a new one.
TEST_F(SDCalcTest, NoHandlerRunsWhileTheWindowsGo) {
    SelectSDRow(QStringLiteral("3104"));
    window().ChannelListBox()->EditCell(2, 2);
    ASSERT_TRUE(window().ChannelListBox()->ActiveCell().IsOpen());
    SDCalc& calc = Open();
    calc.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&calc));
    calc.SegmentOffsetEditField()->setFocus();
    ASSERT_TRUE(calc.SegmentOffsetEditField()->hasFocus());
    QPointer<SDCalc> going = &calc;
    Main::Destroy();
    ASSERT_FALSE(Main::Exists());

    // The same with the focus on the main window's pop-up, whose leaving
    // rebuilds the slot map.
    Main& main = window();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.SubFrameModePopup()->setFocus();
    ASSERT_TRUE(main.SubFrameModePopup()->hasFocus());
    Main::Destroy();
    EXPECT_TRUE(going.isNull());
    EXPECT_FALSE(Main::Exists()) << "no handler built a new main window";
    EXPECT_FALSE(SDCalc::Exists());
}

// A modal message takes the activation from the calculator while it shows;
// that is not leaving the offset field.
TEST_F(SDCalcTest, TheLengthMessageDoesNotCountAsLeavingTheField) {
    SelectSDRow(QStringLiteral("3104"));  // interval 32, offset 0
    window().iSegmentLength = 32;
    SDCalc& calc = Open();
    calc.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&calc));
    calc.SegmentOffsetEditField()->setFocus();
    ASSERT_TRUE(calc.SegmentOffsetEditField()->hasFocus());

    QWidget box;  // stands in for the message box
    TestSeams::Current().OnMessage([&box](const QString&) {
        box.show();
        box.activateWindow();
        (void)QTest::qWaitForWindowActive(&box);
    });
    Type(calc.SegmentOffsetEditField(), QStringLiteral("7"));
    QTest::keyClick(calc.SegmentOffsetEditField(), Qt::Key_Return);
    TestSeams::Current().OnMessage(nullptr);
    EXPECT_EQ(RecordedMessages(), QStringList{kLengthError});
    EXPECT_TRUE(box.isActiveWindow());
    EXPECT_EQ(calc.SegmentOffsetEditField()->Text(), "0");
    EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), "0");
}
}  // namespace

// Under X11 a key pressed with Ctrl carries a control character as its text:
// Ctrl+C is "\x03", Ctrl+M "\r". Those are commands, never Return or Enter.
TEST_F(SDCalcTest, CtrlKeysAreNotReturnOrEnter) {
    SelectSDRow(QStringLiteral("0"));
    window().iSegmentLength = 4;  // no interval row yet: Return would show the message
    SDCalc& calc = Open();
    calc.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&calc));
    TextField* offset = calc.SegmentOffsetEditField();
    offset->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return offset->hasFocus(); }));
    Type(offset, QStringLiteral("30"));
    const QString code = calc.SegmentDistributionEditField()->Text();
    struct Case {
        Qt::Key key;
        const char* x11Text;
    };
    for (const Case c : {Case{Qt::Key_C, "\x03"}, Case{Qt::Key_M, "\r"}, Case{Qt::Key_J, "\n"}}) {
        SCOPED_TRACE(c.key);
        QApplication::clipboard()->clear();
        offset->selectAll();
        QTest::sendKeyEvent(QTest::Press, offset, c.key, QString::fromLatin1(c.x11Text),
                            Qt::ControlModifier);
        QTest::sendKeyEvent(QTest::Release, offset, c.key, QString::fromLatin1(c.x11Text),
                            Qt::ControlModifier);
        QTest::keyClick(offset, c.key, Qt::ControlModifier);  // as QTest spells it
        EXPECT_EQ(offset->Text(), "30");
        EXPECT_EQ(calc.SegmentDistributionEditField()->Text(), code);
        EXPECT_TRUE(RecordedMessages().isEmpty());
        if (c.key == Qt::Key_C) {
            EXPECT_EQ(QApplication::clipboard()->text(), "30") << "copied";
        }
    }
    // The real Return key still acts, and shows the field got the keys above.
    QTest::keyClick(offset, Qt::Key_Return);
    EXPECT_EQ(RecordedMessages(), QStringList{kLengthError});
    EXPECT_EQ(offset->Text(), "0");
}
