#include "Main.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

#include "Application.h"
#include "BusFigures.h"
#include "BusSettingRows.h"
#include "Canvas.h"
#include "ChannelFigures.h"
#include "ChannelRowIds.h"
#include "ControlTable.h"
#include "FontFit.h"
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

namespace {
constexpr int kWindowWidthPx = 955;
constexpr int kWindowHeightPx = 442;
const QString kSocketPath = QStringLiteral("/tmp/testing");

// Figures are set in a condensed face, as large as lets the longest of them
// show whole in its control. Every window of the run gets the same size for
// the same font, figures and room, so each size is worked out once; the cache
// keeps sizes, not fonts, since no font may outlive the runtime.
QFont FigureFont(const QFont& base, const QStringList& texts, int width) {
    QFont condensed = base;
    condensed.setStretch(QFont::Condensed);
    using Key = std::tuple<QString, QStringList, int>;
    static std::map<Key, int> fittedPixelSizes;
    Key key{base.key(), texts, width};
    auto found = fittedPixelSizes.find(key);
    if (found == fittedPixelSizes.end()) {
        const int size = FontFittingWidth(condensed, texts, width).pixelSize();
        found = fittedPixelSizes.emplace(std::move(key), size).first;
    }
    condensed.setPixelSize(found->second);
    return condensed;
}

// The rows of a pop-up, with row 0 selected.
template <typename Row, size_t N>
void FillPopup(PopupMenu* popup, const Row (&rows)[N]) {
    for (const Row& row : rows) popup->AddRow(QString::fromLatin1(row.Text));
    popup->SetListIndex(0);
}

// A legend box: filled, with a 1-pixel border where it has one.
void PaintBox(::Rectangle* box, Color fill, std::optional<Color> border = std::nullopt) {
    box->FillColor = fill;
    box->BorderWidth = border ? 1 : 0;
    if (border) box->BorderColor = *border;
}
}  // namespace

Main::Main() {
    OpenEvent = [this] { Event_Open(); };
    CloseEvent = [this] { Event_Close(); };
}

void Main::Layout() {
    SetMenuBar(&MenuBar1::Instance());
    SetTitle(kLocalTitle);
    SetResizeable(false);
    SetButtons(true, true, false);
    SetSize(kWindowWidthPx, kWindowHeightPx);
    SetVisibleOnceBuilt(false);  // Event_Open shows it
}

void Main::CreateControls() { _CreateControls0(); }

void Main::_CreateControls0() {
    constexpr int kRight = Label::AlignRight;
    const ControlRow<Main> table[] = {
        Row(&Main::channelListBox_, "ChannelListBox", {19, 91, 220, 290}),
        Row(&Main::staticText9_, "StaticText9", {19, 11, 100, 18}, "Root frequency", kRight),
        Row(&Main::staticText10_, "StaticText10", {285, 11, 70, 18}, "Clock Gear", kRight),
        Row(&Main::staticText11_, "StaticText11", {559, 11, 104, 18}, "Subframe Mode", kRight),
        Row(&Main::addChannelButton_, "AddChannelButton", {19, 52, 104, 28}, "Add channel"),
        Row(&Main::removeChannelButton_, "RemoveChannelButton", {135, 52, 104, 28}, "Kill channel"),
        Row(&Main::separator1_, "Separator1", {19, 37, 916, 15}),
        Row(&Main::rootFrequencyPopup_, "RootFrequencyPopup", {127, 9, 152, 28}),
        Row(&Main::clockGearPopup_, "ClockGearPopup", {363, 9, 190, 28}),
        Row(&Main::subFrameModePopup_, "SubFrameModePopup", {670, 9, 180, 28}),
        Row(&Main::drawZone_, "DrawZone", {261, 91, 674, 290}),
        Row(&Main::staticText1_, "StaticText1", {714, 58, 125, 18}, "Control bandwidth :"),
        Row(&Main::controlBWText_, "ControlBWText", {845, 58, 46, 18}, "0", kRight),
        Row(&Main::staticText3_, "StaticText3", {899, 58, 36, 18}, "kbps"),
        Row(&Main::staticText2_, "StaticText2", {261, 58, 150, 18}, "Actual bus frequency :"),
        Row(&Main::busFrequencyText_, "BusFrequencyText", {409, 58, 46, 18}, "0", kRight),
        Row(&Main::staticText4_, "StaticText4", {459, 58, 36, 18}, "MHz"),
        Row(&Main::rectangle1_, "Rectangle1", {261, 400, 6, 15}),
        Row(&Main::staticText12_, "StaticText12", {278, 399, 118, 18}, "Framing Channel"),
        Row(&Main::staticText13_, "StaticText13", {416, 399, 95, 18}, "Guide Channel"),
        Row(&Main::rectangle2_, "Rectangle2", {399, 400, 6, 15}),
        Row(&Main::staticText14_, "StaticText14", {547, 399, 117, 18}, "Message Channel"),
        Row(&Main::rectangle3_, "Rectangle3", {530, 400, 6, 15}),
        Row(&Main::staticText15_, "StaticText15", {693, 399, 95, 18}, "Data Space"),
        Row(&Main::mobileSlotText_, "MobileSlotText", {897, 399, 38, 18}, "1536"),
        Row(&Main::staticText16_, "StaticText16", {863, 399, 28, 18}, "Slot", kRight),
        Row(&Main::rectangle5_, "Rectangle5", {850, 399, 8, 17}),
        Row(&Main::clearAllChannels_, "ClearAllChannels", {19, 394, 220, 28}, "Clear All Channels"),
        Row(&Main::rectangle6_, "Rectangle6", {676, 400, 6, 15}),
        Row(&Main::ipcSocket1_, "IPCSocket1", {}),
    };
    for (const ControlRow<Main>& row : table) row(*this);

    // What the table does not say, before any handler is bound: nothing runs yet.
    channelListBox_->setColumnCount(ChannelRows::kColumnCount);
    QStringList columnWidths;
    for (int width : ChannelRows::kColumnWidthsPx) columnWidths << QString::number(width);
    channelListBox_->SetColumnWidths(columnWidths.join(QLatin1Char(',')));
    channelListBox_->SetHasHeading(false);
    removeChannelButton_->SetEnabled(false);
    FillPopup(rootFrequencyPopup_, kRootFrequencyRows);
    FillPopup(clockGearPopup_, kClockGearRows);
    FillPopup(subFrameModePopup_, kSubFrameModeRows);
    // The superframe map shows the start picture until the map is drawn.
    drawZone_->SetBackdrop(Splash());
    drawZone_->setFocusPolicy(Qt::StrongFocus);
    // The legend: one box per kind of slot in the map's colours, and the
    // frame that marks the slot under the pointer.
    PaintBox(rectangle1_, MapPalette::kFramingSlot);
    PaintBox(rectangle2_, MapPalette::kGuideSlot);
    PaintBox(rectangle3_, MapPalette::kMessageSlot);
    PaintBox(rectangle5_, RGB(255, 255, 255), MapPalette::kPointerFrame);
    PaintBox(rectangle6_, MapPalette::kDataSpace);
    ipcSocket1_->Path = kSocketPath;

    // The events, in the order of the table.
    channelListBox_->ExpandRow = [this](int row) { ChannelListBox_ExpandRow(row); };
    channelListBox_->Change = [this] { ChannelListBox_Change(); };
    channelListBox_->CellClick = [this](int row, int column, int x, int y) {
        return ChannelListBox_CellClick(row, column, x, y);
    };
    channelListBox_->CollapseRow = [this](int row) { ChannelListBox_CollapseRow(row); };
    channelListBox_->ConstructContextualMenu = [this](MenuItem* base, int x, int y) {
        return ChannelListBox_ConstructContextualMenu(base, x, y);
    };
    channelListBox_->CellAction = [this](int row, int column) {
        ChannelListBox_CellAction(row, column);
    };
    channelListBox_->ContextualMenuAction = [this](MenuItem* item) {
        return ChannelListBox_ContextualMenuAction(item);
    };
    channelListBox_->Open = [this] { ChannelListBox_Open(); };
    channelListBox_->CellBackgroundPaint = [this](::Graphics& g, int row, int column) {
        return ChannelListBox_CellBackgroundPaint(g, row, column);
    };
    addChannelButton_->Action = [this] { AddChannelButton_Action(); };
    removeChannelButton_->Action = [this] { RemoveChannelButton_Action(); };
    rootFrequencyPopup_->Change = [this] { RootFrequencyPopup_Change(); };
    rootFrequencyPopup_->Open = [this] { RootFrequencyPopup_Open(); };
    clockGearPopup_->Change = [this] { ClockGearPopup_Change(); };
    clockGearPopup_->Open = [this] { ClockGearPopup_Open(); };
    subFrameModePopup_->Change = [this] { SubFrameModePopup_Change(); };
    subFrameModePopup_->LostFocus = [this] { SubFrameModePopup_LostFocus(); };
    subFrameModePopup_->Open = [this] { SubFrameModePopup_Open(); };
    drawZone_->MouseMove = [this](int x, int y) { DrawZone_MouseMove(x, y); };
    drawZone_->MouseDown = [this](int x, int y) { return DrawZone_MouseDown(x, y); };
    drawZone_->MouseDrag = [this](int x, int y) { DrawZone_MouseDrag(x, y); };
    drawZone_->MouseUp = [this](int x, int y) { DrawZone_MouseUp(x, y); };
    drawZone_->Paint = [this](::Graphics& g) { DrawZone_Paint(g); };
    clearAllChannels_->Action = [this] { ClearAllChannels_Action(); };
    ipcSocket1_->Connected = [this] { IPCSocket1_Connected(); };
    ipcSocket1_->Error = [this] { IPCSocket1_Error(); };
    ipcSocket1_->DataAvailable = [this] { IPCSocket1_DataAvailable(); };

    FitFigureFonts();

    // Keyboard focus order.
    setTabOrder(channelListBox_, addChannelButton_);
    setTabOrder(addChannelButton_, removeChannelButton_);
    setTabOrder(removeChannelButton_, rootFrequencyPopup_);
    setTabOrder(rootFrequencyPopup_, clockGearPopup_);
    setTabOrder(clockGearPopup_, subFrameModePopup_);
    setTabOrder(subFrameModePopup_, drawZone_);
    setTabOrder(drawZone_, clearAllChannels_);
}

void Main::FitFigureFonts() {
    static const QStringList busFrequencies = BusFigures::BusFrequencyTexts();
    static const QStringList controlBandwidths = BusFigures::ControlBandwidthTexts();
    static const QStringList rates = ChannelFigures::RateTexts();
    static const QStringList bandwidths = ChannelFigures::BandwidthTexts();

    busFrequencyText_->setFont(FigureFont(busFrequencyText_->font(), busFrequencies,
                                          busFrequencyText_->contentsRect().width()));
    controlBWText_->setFont(FigureFont(controlBWText_->font(), controlBandwidths,
                                       controlBWText_->contentsRect().width()));
    // One size per column, for the width it has: the last column gives the
    // list's frame its pixels, and the vertical scroll bar's while it shows.
    using namespace ChannelRows;
    Listbox* list = channelListBox_;
    const QFont base = list->font();
    list->SetColumnFontFitter(kValueColumn,
                              [base](int room) { return FigureFont(base, rates, room); });
    list->SetColumnFontFitter(kBandwidthColumn,
                              [base](int room) { return FigureFont(base, bandwidths, room); });
}

void Main::Event_Open() {
    for (int i = 0; i < kChannelIdCount; ++i) {
        auto record = std::make_unique<Channel>();
        record->Status = 0;
        record->RowID = -1;
        SBChannel[static_cast<size_t>(i)] = std::move(record);
        ColorMap[static_cast<size_t>(i)] =
            RGB(((i + 7) * 260 % 192) + 63, ((i + 7) * 360 % 192) + 31, ((i + 7) * 160 % 192) + 63);
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
    ipcSocket1_->Listen();
}

void Main::Event_Close() { Application::Quit(0); }

Channel* Main::ChannelRecord(int64_t id) {
    return IsChannelId(id) ? SBChannel[static_cast<size_t>(id)].get() : nullptr;
}

const Channel* Main::ChannelRecord(int64_t id) const {
    return IsChannelId(id) ? SBChannel[static_cast<size_t>(id)].get() : nullptr;
}
