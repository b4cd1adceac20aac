// Start-up, the main window's state after opening and its layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QScrollBar>
#include <QTimer>
#include <csignal>

#include "App.h"
#include "Canvas.h"
#include "IPCSocket.h"
#include "Label.h"
#include "Listbox.h"
#include "Main.h"
#include "MenuBar1.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "Rectangle.h"
#include "Resources.h"
#include "Separator.h"
#include "TestSupport.h"

using AppTest = MainWindowTest;

TEST_F(AppTest, StateAfterOpening) {
    Main& m = window();
    for (int i = 0; i < 256; ++i) {
        ASSERT_TRUE(m.SBChannel[i]) << i;
        const Channel& c = *m.SBChannel[i];
        EXPECT_EQ(c.Status, 0);
        EXPECT_EQ(c.RowID, -1);
        EXPECT_EQ(c.SegmentDistribution | c.SegmentLength | c.TransportProtocol |
                      c.FrequencyLocked | c.PresenceRate | c.AuxFormat | c.ChannelLink |
                      c.DataType | c.DataLength,
                  0);
    }
    EXPECT_FALSE(m.SBChannel[256]);
    EXPECT_EQ(m.ColorMap[256], RGB(0, 0, 0));
    EXPECT_EQ(m.MessageStart, -1);
    EXPECT_EQ(m.MessageLength, -1);
    EXPECT_EQ(m.MessageType, -1);
    EXPECT_EQ(m.ErrorStart, 0);
    EXPECT_EQ(m.ErrorLength, 0);
    EXPECT_EQ(m.SyncError, 0);
    EXPECT_EQ(m.flgStartScreen, 0);
    EXPECT_EQ(m.flgMoveChannel, 0);
    EXPECT_EQ(Module1::SuperFrameSlot[1536], -1);
    EXPECT_TRUE(m.isVisible());
}

TEST_F(AppTest, ColourMapFormula) {
    struct Case {
        int id;
        Color colour;
    };
    for (const Case c :
         {Case{0, RGB(155, 55, 223)}, Case{1, RGB(223, 31, 191)}, Case{2, RGB(99, 199, 159)},
          Case{48, RGB(155, 55, 223)}, Case{255, RGB(215, 79, 127)}})
        EXPECT_EQ(window().ColorMap[c.id], c.colour) << c.id;
    for (int i = 0; i + 48 < 256; ++i) EXPECT_EQ(window().ColorMap[i], window().ColorMap[i + 48]);
}

TEST_F(AppTest, WindowProperties) {
    EXPECT_EQ(window().Title(), "Veltrane");
    EXPECT_EQ(window().Width(), 955);
    EXPECT_EQ(window().Height(), 442);
    const QSize before = window().size();
    window().resize(before.width() + 100, before.height() + 100);
    EXPECT_EQ(window().size(), before) << "the window has a fixed size";
}

TEST_F(AppTest, LayoutOfTheControls) {
    struct Row {
        const char* name;
        const char* className;
        int left, top, width, height;
        const char* text;  // label or button text, nullptr when none
    };
    const Row rows[] = {
        {"ChannelListBox", "Listbox", 19, 91, 220, 290, nullptr},
        {"StaticText9", "Label", 19, 11, 100, 18, "Root frequency"},
        {"StaticText10", "Label", 285, 11, 70, 18, "Clock Gear"},
        {"StaticText11", "Label", 559, 11, 104, 18, "Subframe Mode"},
        {"AddChannelButton", "PushButton", 19, 52, 104, 28, "Add channel"},
        {"RemoveChannelButton", "PushButton", 135, 52, 104, 28, "Kill channel"},
        {"Separator1", "Separator", 19, 37, 916, 15, nullptr},
        {"RootFrequencyPopup", "PopupMenu", 127, 9, 152, 28, nullptr},
        {"ClockGearPopup", "PopupMenu", 363, 9, 190, 28, nullptr},
        {"SubFrameModePopup", "PopupMenu", 670, 9, 180, 28, nullptr},
        {"DrawZone", "Canvas", 261, 91, 674, 290, nullptr},
        {"StaticText1", "Label", 714, 58, 125, 18, "Control bandwidth :"},
        {"ControlBWText", "Label", 845, 58, 46, 18, nullptr},
        {"StaticText3", "Label", 899, 58, 36, 18, "kbps"},
        {"StaticText2", "Label", 261, 58, 150, 18, "Actual bus frequency :"},
        {"BusFrequencyText", "Label", 409, 58, 46, 18, nullptr},
        {"StaticText4", "Label", 459, 58, 36, 18, "MHz"},
        {"Rectangle1", "Rectangle", 261, 400, 6, 15, nullptr},
        {"StaticText12", "Label", 278, 399, 118, 18, "Framing Channel"},
        {"StaticText13", "Label", 416, 399, 95, 18, "Guide Channel"},
        {"Rectangle2", "Rectangle", 399, 400, 6, 15, nullptr},
        {"StaticText14", "Label", 547, 399, 117, 18, "Message Channel"},
        {"Rectangle3", "Rectangle", 530, 400, 6, 15, nullptr},
        {"StaticText15", "Label", 693, 399, 95, 18, "Data Space"},
        {"MobileSlotText", "Label", 897, 399, 38, 18, "1536"},
        {"StaticText16", "Label", 863, 399, 28, 18, "Slot"},
        {"Rectangle5", "Rectangle", 850, 399, 8, 17, nullptr},
        {"ClearAllChannels", "PushButton", 19, 394, 220, 28, "Clear All Channels"},
        {"Rectangle6", "Rectangle", 676, 400, 6, 15, nullptr},
    };
    const auto& controls = window().Controls();
    ASSERT_EQ(controls.size(), 30u);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        Control* control = controls[i];
        EXPECT_EQ(control->Name(), row.name) << "creation order";
        EXPECT_EQ(control->Widget()->metaObject()->className(), QByteArray(row.className));
        EXPECT_EQ(QRect(control->Left(), control->Top(), control->Width(), control->Height()),
                  QRect(row.left, row.top, row.width, row.height))
            << row.name;
        if (auto* label = dynamic_cast<Label*>(control); label && row.text) {
            EXPECT_EQ(label->Text(), row.text);
        }
        if (auto* button = dynamic_cast<PushButton*>(control); button && row.text) {
            EXPECT_EQ(button->Caption(), row.text);
        }
        EXPECT_EQ(control->Enabled(), QString(row.name) != "RemoveChannelButton") << row.name;
    }
    EXPECT_EQ(controls[29]->Name(), "IPCSocket1");
    EXPECT_EQ(window().IPCSocket1()->Path, "/tmp/testing");
}

TEST_F(AppTest, PopupRowsAndListColumns) {
    EXPECT_EQ(window().RootFrequencyPopup()->ListCount(), 16);
    EXPECT_EQ(window().ClockGearPopup()->ListCount(), 16);
    EXPECT_EQ(window().SubFrameModePopup()->ListCount(), 32);
    EXPECT_EQ(window().RootFrequencyPopup()->List(2), "2 - 22.5792 MHz");
    EXPECT_EQ(window().ClockGearPopup()->List(10), "10 - 12.8 to 28.8 MHz");
    EXPECT_EQ(window().SubFrameModePopup()->List(19), "19 - 4 / 32");
    EXPECT_EQ(window().SubFrameModePopup()->List(31), "31 - 24 / 32");
    Listbox* list = window().ChannelListBox();
    EXPECT_EQ(list->columnCount(), 4);
    const int widths[] = {45, 30, 60};
    for (int c = 0; c < 3; ++c) EXPECT_EQ(list->columnWidth(c), widths[c]);
    EXPECT_GE(list->columnWidth(3), 80) << "the last column fills the rest of the 220 pixels";
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    EXPECT_EQ(list->ListCount(), 0);
    EXPECT_EQ(list->ListIndex(), -1);
}

TEST_F(AppTest, LegendColoursAndStartPicture) {
    const QImage shown = GrabWindow();
    struct Box {
        int left, top;
        Color fill;
    };
    for (const Box b : {Box{261, 400, RGB(0, 180, 0)}, Box{399, 400, RGB(0, 100, 200)},
                        Box{530, 400, RGB(0, 255, 0)}, Box{676, 400, RGB(200, 200, 200)}}) {
        EXPECT_EQ(PixelColor(shown, b.left, b.top), b.fill);
        EXPECT_EQ(PixelColor(shown, b.left + 5, b.top + 14), b.fill);
    }
    // The slot marker: white inside a red 1-pixel border.
    EXPECT_EQ(PixelColor(shown, 850, 399), RGB(255, 0, 0));
    EXPECT_EQ(PixelColor(shown, 857, 415), RGB(255, 0, 0));
    EXPECT_EQ(PixelColor(shown, 853, 405), RGB(255, 255, 255));

    const Picture splash = Splash();
    ASSERT_FALSE(splash.IsNil()) << "Resources/Splash.png beside bin/";
    EXPECT_EQ(splash.Width(), 674);
    EXPECT_EQ(splash.Height(), 290);
    const QImage map = GrabMap();
    for (int y = 0; y < 290; y += 29)
        for (int x = 0; x < 674; x += 67)
            ASSERT_EQ(map.pixel(x, y), splash.Image().pixel(x, y)) << x << "," << y;
}

// 2 November 2011, 18:42:39, counted from 1904 as the About box's date is.
TEST(Resources, BuildDateAndAboutPicture) {
    const QDateTime epoch(QDate(1904, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime built(QDate(2011, 11, 2), QTime(18, 42, 39), Qt::UTC);
    EXPECT_EQ(BuildDate().TotalSeconds, static_cast<double>(epoch.secsTo(built)));
    EXPECT_EQ(BuildDate().AbbreviatedDate(), "Nov 2, 2011");
    EXPECT_FALSE(Splash21().IsNil()) << "Resources/Splash21.png beside bin/";
}

// The test program started as the program does (Program.h): its name, the
// application object with the one menu bar, and the process set-up.
TEST(StartUp, TestsRunUnderTheProgramsOwnStart) {
    EXPECT_EQ(QCoreApplication::applicationName(), "Veltrane");
    ASSERT_TRUE(App::Exists());
    EXPECT_EQ(App::Instance().GetMenuBar(), &MenuBar1::Instance());
    auto disposition = [](int number) {
        struct sigaction action {};
        EXPECT_EQ(::sigaction(number, nullptr, &action), 0) << number;
        return action.sa_handler;
    };
    EXPECT_EQ(disposition(SIGXFSZ), SIG_IGN) << "a write past the file-size limit just fails";
    for (const int number : {SIGPIPE, SIGTERM, SIGINT, SIGHUP})
        EXPECT_NE(disposition(number), SIG_DFL) << "signal " << number << " ends nothing at once";
}

TEST_F(AppTest, ClosingTheWindowQuitsWithCodeZero) {
    QTimer::singleShot(0, [] { Main::Instance().close(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(Main::Exists());
}
