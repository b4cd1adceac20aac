#include "Main.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "Canvas.h"
#include "IPCSocket.h"
#include "Label.h"
#include "Listbox.h"
#include "MapPalette.h"
#include "MenuBar1.h"
#include "MenuItem.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "Rectangle.h"
#include "Resources.h"
#include "Separator.h"
#include "Application.h"
#include "BusFigures.h"
#include "ChannelFigures.h"
#include "FontFit.h"

namespace {
Main* g_main = nullptr;

constexpr int kWindowWidthPx = 955;
constexpr int kWindowHeightPx = 442;
const QString kSocketPath = QStringLiteral("/tmp/testing");

const char* const kRootFrequencyRows[] = {
    "0 - Not Indicated", "1 - 24.576 MHz", "2 - 22.5792 MHz", "3 - 15.36 MHz",
    "4 - 16.8 MHz",      "5 - 19.2 MHz",   "6 - 24 MHz",      "7 - 25 MHz",
    "8 - 26 MHz",        "9 - 27 MHz",     "10 - Reserved",   "11 - Reserved",
    "12 - Reserved",     "13 - Reserved",  "14 - Reserved",   "15 - Reserved"};

const char* const kClockGearRows[] = {
    "0 - Not Indicated",     "1 - 25 to 56.25 kHz",  "2 - 50 to 112.5 kHz", "3 - 100 to 225 kHz",
    "4 - 200 to 450 kHz",    "5 - 400 to 900 kHz",   "6 - 0.8 to 1.8 MHz",  "7 - 1.6 to 3.6 MHz",
    "8 - 3.2 to 7.2 MHz",    "9 - 6.4 to 14.4 MHz",  "10 - 12.8 to 28.8 MHz", "11 - Reserved",
    "12 - Reserved",         "13 - Reserved",        "14 - Reserved",       "15 - Reserved"};

const char* const kSubFrameModeRows[] = {
    "0 - 8 / 8",   "1 - 1 / 8 (Reserved)", "2 - 8 / 8 (Reserved)", "3 - 1 / 32 (Reserved)",
    "4 - 1 / 6",   "5 - 1 / 8",            "6 - 1 / 24",           "7 - 1 / 32",
    "8 - 2 / 6",   "9 - 2 / 8",            "10 - 2 / 24",          "11 - 2 / 32",
    "12 - 3 / 6",  "13 - 3 / 8",           "14 - 3 / 24",          "15 - 3 / 32",
    "16 - 4 / 6",  "17 - 4 / 8",           "18 - 4 / 24",          "19 - 4 / 32",
    "20 - 8 / 8 (Reserved)", "21 - 6 / 8", "22 - 6 / 24",          "23 - 6 / 32",
    "24 - 8 / 24", "25 - 8 / 32",          "26 - 12 / 24",         "27 - 12 / 32",
    "28 - 16 / 24", "29 - 16 / 32",        "30 - 8 / 8 (Reserved)", "31 - 24 / 32"};

constexpr int kColumnWidthsPx[] = {45, 30, 60, 85};
constexpr int kRateColumn = 2;
constexpr int kBandwidthColumn = 3;

// Figures are set in a condensed face, as large as lets the longest of them
// show whole in its control.
// Every window of the run gets the same, so each is worked out once.
QFont FigureFont(const QFont& base, const QStringList& texts, int width) {
    static std::map<std::tuple<QString, const QStringList*, int>, QFont> fitted;
    const auto key = std::make_tuple(base.key(), &texts, width);
    auto found = fitted.find(key);
    if (found == fitted.end()) {
        QFont condensed = base;
        condensed.setStretch(QFont::Condensed);
        found = fitted.emplace(key, FontFittingWidth(condensed, texts, width)).first;
    }
    return found->second;
}

template <size_t N>
void AddRows(PopupMenu* popup, const char* const (&rows)[N]) {
    for (const char* row : rows) popup->AddRow(QString::fromLatin1(row));
}

::Rectangle* MakeBox(Window* window, const QString& name, int left, int top, int width,
                     int height, Color fill, int borderWidth, Color border = RGB(0, 0, 0)) {
    auto* box = window->AddControl<::Rectangle>(name);
    box->SetBounds(left, top, width, height);
    box->FillColor = fill;
    box->BorderWidth = borderWidth;
    box->BorderColor = border;
    return box;
}

PopupMenu* MakePopup(Window* window, const QString& name, int left, int top, int width,
                     int height) {
    auto* popup = window->AddControl<PopupMenu>(name);
    popup->SetBounds(left, top, width, height);
    return popup;
}

PushButton* MakeButton(Window* window, const QString& name, int left, int top, int width,
                       int height, const QString& caption) {
    auto* button = window->AddControl<PushButton>(name);
    button->SetBounds(left, top, width, height);
    button->SetCaption(caption);
    return button;
}
}  // namespace

Main& Main::Instance() {
    if (!g_main || g_main->IsClosed()) {
        g_main = new Main();
        g_main->Construct();
    }
    return *g_main;
}

bool Main::Exists() { return g_main && !g_main->IsClosed(); }

void Main::Destroy() {
    Main* doomed = g_main;
    g_main = nullptr;
    delete doomed;
}

Main::Main() {
    OpenEvent = [this] { Event_Open(); };
    CloseEvent = [this] { Event_Close(); };
}

Main::~Main() {
    if (g_main == this) g_main = nullptr;
    // Hiding may end an edit in progress, whose handlers need the whole window.
    hide();
}

void Main::Layout() {
    SetMenuBar(MenuBar1::Instance());
    SetTitle(kLocalTitle);
    SetResizeable(false);
    SetButtons(true, true, false);
    SetSize(kWindowWidthPx, kWindowHeightPx);
}

void Main::CreateControls() { _CreateControls0(); }

void Main::_CreateControls0() {
    // The list of channels and their parameter rows.
    ChannelListBox_ = AddControl<Listbox>(QStringLiteral("ChannelListBox"));
    ChannelListBox_->SetBounds(19, 91, 220, 290);
    ChannelListBox_->setColumnCount(4);
    ChannelListBox_->SetColumnWidths(QStringLiteral("%1,%2,%3,%4")
                                         .arg(kColumnWidthsPx[0])
                                         .arg(kColumnWidthsPx[1])
                                         .arg(kColumnWidthsPx[2])
                                         .arg(kColumnWidthsPx[3]));
    ChannelListBox_->SetHasHeading(false);
    ChannelListBox_->ExpandRow = [this](int row) { ChannelListBox_ExpandRow(row); };
    ChannelListBox_->Change = [this] { ChannelListBox_Change(); };
    ChannelListBox_->CellClick = [this](int row, int column, int x, int y) {
        return ChannelListBox_CellClick(row, column, x, y);
    };
    ChannelListBox_->CollapseRow = [this](int row) { ChannelListBox_CollapseRow(row); };
    ChannelListBox_->ConstructContextualMenu = [this](MenuItem* base, int x, int y) {
        return ChannelListBox_ConstructContextualMenu(base, x, y);
    };
    ChannelListBox_->CellAction = [this](int row, int column) {
        ChannelListBox_CellAction(row, column);
    };
    ChannelListBox_->ContextualMenuAction = [this](MenuItem* item) {
        return ChannelListBox_ContextualMenuAction(item);
    };
    ChannelListBox_->Open = [this] { ChannelListBox_Open(); };
    ChannelListBox_->CellBackgroundPaint = [this](::Graphics& g, int row, int column) {
        return ChannelListBox_CellBackgroundPaint(g, row, column);
    };

    StaticText9_ = AddLabel(this, QStringLiteral("StaticText9"), 19, 11, 100, 18,
                             QStringLiteral("Root frequency"), Label::AlignRight);
    StaticText10_ = AddLabel(this, QStringLiteral("StaticText10"), 285, 11, 70, 18,
                              QStringLiteral("Clock Gear"), Label::AlignRight);
    StaticText11_ = AddLabel(this, QStringLiteral("StaticText11"), 559, 11, 104, 18,
                              QStringLiteral("Subframe Mode"), Label::AlignRight);

    AddChannelButton_ = MakeButton(this, QStringLiteral("AddChannelButton"), 19, 52, 104, 28,
                                   QStringLiteral("Add channel"));
    AddChannelButton_->Action = [this] { AddChannelButton_Action(); };
    RemoveChannelButton_ = MakeButton(this, QStringLiteral("RemoveChannelButton"), 135, 52, 104,
                                      28, QStringLiteral("Kill channel"));
    RemoveChannelButton_->SetEnabled(false);
    RemoveChannelButton_->Action = [this] { RemoveChannelButton_Action(); };

    Separator1_ = AddControl<::Separator>(QStringLiteral("Separator1"));
    Separator1_->SetBounds(19, 37, 916, 15);

    // Each pop-up gets its rows and row 0 before its handlers are bound, so
    // that nothing runs yet.
    RootFrequencyPopup_ = MakePopup(this, QStringLiteral("RootFrequencyPopup"), 127, 9, 152, 28);
    AddRows(RootFrequencyPopup_, kRootFrequencyRows);
    RootFrequencyPopup_->SetListIndex(0);
    RootFrequencyPopup_->Change = [this] { RootFrequencyPopup_Change(); };
    RootFrequencyPopup_->Open = [this] { RootFrequencyPopup_Open(); };

    ClockGearPopup_ = MakePopup(this, QStringLiteral("ClockGearPopup"), 363, 9, 190, 28);
    AddRows(ClockGearPopup_, kClockGearRows);
    ClockGearPopup_->SetListIndex(0);
    ClockGearPopup_->Change = [this] { ClockGearPopup_Change(); };
    ClockGearPopup_->Open = [this] { ClockGearPopup_Open(); };

    SubFrameModePopup_ = MakePopup(this, QStringLiteral("SubFrameModePopup"), 670, 9, 180, 28);
    AddRows(SubFrameModePopup_, kSubFrameModeRows);
    SubFrameModePopup_->SetListIndex(0);
    SubFrameModePopup_->Change = [this] { SubFrameModePopup_Change(); };
    SubFrameModePopup_->LostFocus = [this] { SubFrameModePopup_LostFocus(); };
    SubFrameModePopup_->Open = [this] { SubFrameModePopup_Open(); };

    // The superframe map; it shows the start picture until the map is drawn.
    DrawZone_ = AddControl<Canvas>(QStringLiteral("DrawZone"));
    DrawZone_->SetBackdrop(Splash());
    DrawZone_->SetBounds(261, 91, 674, 290);
    DrawZone_->setFocusPolicy(Qt::StrongFocus);
    DrawZone_->MouseMove = [this](int x, int y) { DrawZone_MouseMove(x, y); };
    DrawZone_->MouseDown = [this](int x, int y) { return DrawZone_MouseDown(x, y); };
    DrawZone_->MouseDrag = [this](int x, int y) { DrawZone_MouseDrag(x, y); };
    DrawZone_->MouseUp = [this](int x, int y) { DrawZone_MouseUp(x, y); };
    DrawZone_->Paint = [this](::Graphics& g) { DrawZone_Paint(g); };

    StaticText1_ = AddLabel(this, QStringLiteral("StaticText1"), 714, 58, 125, 18,
                             QStringLiteral("Control bandwidth :"), Label::AlignLeft);
    ControlBWText_ = AddLabel(this, QStringLiteral("ControlBWText"), 845, 58, 46, 18,
                               QStringLiteral("0"), Label::AlignRight);
    StaticText3_ = AddLabel(this, QStringLiteral("StaticText3"), 899, 58, 36, 18,
                             QStringLiteral("kbps"), Label::AlignLeft);
    StaticText2_ = AddLabel(this, QStringLiteral("StaticText2"), 261, 58, 150, 18,
                             QStringLiteral("Actual bus frequency :"), Label::AlignLeft);
    BusFrequencyText_ = AddLabel(this, QStringLiteral("BusFrequencyText"), 409, 58, 46, 18,
                                  QStringLiteral("0"), Label::AlignRight);
    StaticText4_ = AddLabel(this, QStringLiteral("StaticText4"), 459, 58, 36, 18,
                             QStringLiteral("MHz"), Label::AlignLeft);

    // The legend: one box per kind of slot, in the map's colours.
    Rectangle1_ = MakeBox(this, QStringLiteral("Rectangle1"), 261, 400, 6, 15,
                          MapPalette::kFramingSlot, 0);
    StaticText12_ = AddLabel(this, QStringLiteral("StaticText12"), 278, 399, 118, 18,
                              QStringLiteral("Framing Channel"), Label::AlignLeft);
    StaticText13_ = AddLabel(this, QStringLiteral("StaticText13"), 416, 399, 95, 18,
                              QStringLiteral("Guide Channel"), Label::AlignLeft);
    Rectangle2_ = MakeBox(this, QStringLiteral("Rectangle2"), 399, 400, 6, 15,
                          MapPalette::kGuideSlot, 0);
    StaticText14_ = AddLabel(this, QStringLiteral("StaticText14"), 547, 399, 117, 18,
                              QStringLiteral("Message Channel"), Label::AlignLeft);
    Rectangle3_ = MakeBox(this, QStringLiteral("Rectangle3"), 530, 400, 6, 15,
                          MapPalette::kMessageSlot, 0);
    StaticText15_ = AddLabel(this, QStringLiteral("StaticText15"), 693, 399, 95, 18,
                              QStringLiteral("Data Space"), Label::AlignLeft);
    MobileSlotText_ = AddLabel(this, QStringLiteral("MobileSlotText"), 897, 399, 38, 18,
                                QStringLiteral("1536"), Label::AlignLeft);
    StaticText16_ = AddLabel(this, QStringLiteral("StaticText16"), 863, 399, 28, 18,
                              QStringLiteral("Slot"), Label::AlignRight);
    Rectangle5_ = MakeBox(this, QStringLiteral("Rectangle5"), 850, 399, 8, 17,
                          RGB(255, 255, 255), 1, MapPalette::kPointerFrame);

    ClearAllChannels_ = MakeButton(this, QStringLiteral("ClearAllChannels"), 19, 394, 220, 28,
                                   QStringLiteral("Clear All Channels"));
    ClearAllChannels_->Action = [this] { ClearAllChannels_Action(); };

    Rectangle6_ = MakeBox(this, QStringLiteral("Rectangle6"), 676, 400, 6, 15,
                          MapPalette::kDataSpace, 0);

    IPCSocket1_ = AddControl<IPCSocket>(QStringLiteral("IPCSocket1"));
    IPCSocket1_->Path = kSocketPath;
    IPCSocket1_->Connected = [this] { IPCSocket1_Connected(); };
    IPCSocket1_->Error = [this] { IPCSocket1_Error(); };
    IPCSocket1_->DataAvailable = [this] { IPCSocket1_DataAvailable(); };

    FitFigureFonts();

    // Keyboard focus order.
    setTabOrder(ChannelListBox_, AddChannelButton_);
    setTabOrder(AddChannelButton_, RemoveChannelButton_);
    setTabOrder(RemoveChannelButton_, RootFrequencyPopup_);
    setTabOrder(RootFrequencyPopup_, ClockGearPopup_);
    setTabOrder(ClockGearPopup_, SubFrameModePopup_);
    setTabOrder(SubFrameModePopup_, DrawZone_);
    setTabOrder(DrawZone_, ClearAllChannels_);
}

void Main::FitFigureFonts() {
    static const QStringList busFrequencies = BusFigures::BusFrequencyTexts();
    static const QStringList controlBandwidths = BusFigures::ControlBandwidthTexts();
    static const QStringList rates = ChannelFigures::RateTexts();
    static const QStringList bandwidths = ChannelFigures::BandwidthTexts();

    BusFrequencyText_->setFont(FigureFont(BusFrequencyText_->font(), busFrequencies,
                                          BusFrequencyText_->contentsRect().width()));
    ControlBWText_->setFont(FigureFont(ControlBWText_->font(), controlBandwidths,
                                       ControlBWText_->contentsRect().width()));
    // The last column gives the list's frame its pixels.
    Listbox* list = ChannelListBox_;
    const int bandwidthColumnPx = std::min(
        kColumnWidthsPx[kBandwidthColumn],
        list->WidthInsideFrame() - kColumnWidthsPx[0] - kColumnWidthsPx[1] - kColumnWidthsPx[2]);
    list->SetColumnFont(kRateColumn, FigureFont(list->font(), rates,
                                                list->TextRoomOf(kColumnWidthsPx[kRateColumn])));
    list->SetColumnFont(kBandwidthColumn,
                        FigureFont(list->font(), bandwidths, list->TextRoomOf(bandwidthColumnPx)));
}

void Main::Event_Open() {
    for (int i = 0; i < kChannelIdCount; ++i) {
        auto record = std::make_unique<Channel>();
        record->Status = 0;
        record->RowID = -1;
        SBChannel[static_cast<size_t>(i)] = std::move(record);
        ColorMap[static_cast<size_t>(i)] = RGB(((i + 7) * 260 % 192) + 63,
                                               ((i + 7) * 360 % 192) + 31,
                                               ((i + 7) * 160 % 192) + 63);
    }
    Module1::SuperFrameSlot.fill(Module1::kFreeSlot);
    // The pop-ups' Open handlers built the map before this ran; without the
    // control space again every redraw short of a rebuild would show the
    // whole superframe as free data space. Entry 1536 stays free.
    Module1::BuildSlotMap();
    MessageStart = -1;
    MessageLength = -1;
    MessageType = -1;
    Show();
    IPCSocket1_->Listen();
}

void Main::Event_Close() { Application::Quit(0); }
