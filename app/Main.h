#pragma once
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "Channel.h"
#include "Color.h"
#include "Picture.h"
#include "SingleInstance.h"
#include "Window.h"

class Canvas;
class Graphics;
class IPCSocket;
class Label;
class Listbox;
class MenuItem;
class PopupMenu;
class PushButton;
class QuitMenuItem;
class Rectangle;
class Separator;

// The main window: channel list, bus settings, superframe map and remote
// control. Its members are defined in the folder of the subsystem that owns
// them: the layout and the window events here in app/, the list and bus
// settings in channels/, the map in frameview/, the configuration file in
// config/ and the remote control in remote/.
//
// The one main window is Main::Instance(), built on the first reference;
// Main::Destroy() ends it without its Close event, so that the next reference
// builds a fresh one.
class Main : public Window, public SingleInstance<Main> {
    Q_OBJECT
public:
    // The window's title, and its title while a controller is connected.
    static inline const QString kLocalTitle = QStringLiteral("Veltrane");
    static inline const QString kRemoteTitle = QStringLiteral("Veltrane - Remote Controlled");

    // The map's picture layers, bottom up: each is drawn on a copy of the one below.
    enum class MapLayer { Control, Channel, Error };
    // Whether a redraw rebuilds the slot map first, which forgets the slots
    // that earlier channel layers marked (a moved or removed channel's old slots).
    enum class SlotMap { Keep, Rebuild };

    // --- state -------------------------------------------------------------
    int32_t iChannelCount = 0;
    // Indexes 0 to 256; entry 256 stays unused.
    // The channel pool by ID, reached through ChannelRecord.
    std::array<std::unique_ptr<Channel>, kChannelIdCount + 1> SBChannel;
    std::array<Color, kChannelIdCount + 1> ColorMap{};  // colour per channel ID
    Picture ControlSlotBuffer;
    Picture ChannelSlotBuffer;
    int32_t flgMoveChannel = 0;
    int32_t iMoveID = 0;
    int32_t flgStartScreen = 0;
    int32_t SuperframeID = 0;
    int32_t MessageStart = 0;
    int32_t MessageLength = 0;
    int32_t MessageType = 0;
    int32_t ErrorStart = 0;
    int32_t ErrorLength = 0;
    Picture ErrorSlotBuffer;
    int32_t SyncError = 0;
    int32_t iSegmentLength = 0;

    // --- controls ----------------------------------------------------------
    Listbox* ChannelListBox() const { return channelListBox_; }
    Label* StaticText9() const { return staticText9_; }
    Label* StaticText10() const { return staticText10_; }
    Label* StaticText11() const { return staticText11_; }
    PushButton* AddChannelButton() const { return addChannelButton_; }
    PushButton* RemoveChannelButton() const { return removeChannelButton_; }
    ::Separator* Separator1() const { return separator1_; }
    PopupMenu* RootFrequencyPopup() const { return rootFrequencyPopup_; }
    PopupMenu* ClockGearPopup() const { return clockGearPopup_; }
    PopupMenu* SubFrameModePopup() const { return subFrameModePopup_; }
    Canvas* DrawZone() const { return drawZone_; }
    Label* StaticText1() const { return staticText1_; }
    Label* ControlBWText() const { return controlBWText_; }
    Label* StaticText3() const { return staticText3_; }
    Label* StaticText2() const { return staticText2_; }
    Label* BusFrequencyText() const { return busFrequencyText_; }
    Label* StaticText4() const { return staticText4_; }
    ::Rectangle* Rectangle1() const { return rectangle1_; }
    Label* StaticText12() const { return staticText12_; }
    Label* StaticText13() const { return staticText13_; }
    ::Rectangle* Rectangle2() const { return rectangle2_; }
    Label* StaticText14() const { return staticText14_; }
    ::Rectangle* Rectangle3() const { return rectangle3_; }
    Label* StaticText15() const { return staticText15_; }
    Label* MobileSlotText() const { return mobileSlotText_; }
    Label* StaticText16() const { return staticText16_; }
    ::Rectangle* Rectangle5() const { return rectangle5_; }
    PushButton* ClearAllChannels() const { return clearAllChannels_; }
    ::Rectangle* Rectangle6() const { return rectangle6_; }
    IPCSocket* IPCSocket1() const { return ipcSocket1_; }

    // --- control event handlers --------------------------------------------
    // channels/
    void ChannelListBox_ExpandRow(int32_t row);
    void ChannelListBox_Change();
    bool ChannelListBox_CellClick(int32_t row, int32_t column, int32_t x, int32_t y);
    void ChannelListBox_CollapseRow(int32_t row);
    bool ChannelListBox_ConstructContextualMenu(MenuItem* base, int32_t x, int32_t y);
    void ChannelListBox_CellAction(int32_t row, int32_t column);
    bool ChannelListBox_ContextualMenuAction(MenuItem* hitItem);
    void ChannelListBox_Open();
    bool ChannelListBox_CellBackgroundPaint(::Graphics& g, int32_t row, int32_t column);
    void AddChannelButton_Action();
    void RemoveChannelButton_Action();
    void RootFrequencyPopup_Change();
    void RootFrequencyPopup_Open();
    void ClockGearPopup_Change();
    void ClockGearPopup_Open();
    void SubFrameModePopup_Change();
    void SubFrameModePopup_LostFocus();
    void SubFrameModePopup_Open();
    // frameview/
    void DrawZone_MouseMove(int32_t x, int32_t y);
    bool DrawZone_MouseDown(int32_t x, int32_t y);
    void DrawZone_MouseDrag(int32_t x, int32_t y);
    void DrawZone_MouseUp(int32_t x, int32_t y);
    void DrawZone_Paint(::Graphics& g);
    // channels/
    void ClearAllChannels_Action();
    // remote/
    void IPCSocket1_Connected();
    void IPCSocket1_Error();
    void IPCSocket1_DataAvailable();

    // --- menu items ---------------------------------------------------------
    MenuItem* HelpMenu() const;
    MenuItem* HelpAbout() const;
    MenuItem* EditMenu() const;
    MenuItem* EditSelectAll() const;
    MenuItem* UntitledMenu0() const;
    MenuItem* EditClear() const;
    MenuItem* EditPaste() const;
    MenuItem* EditCopy() const;
    MenuItem* EditCut() const;
    MenuItem* UntitledMenu1() const;
    MenuItem* EditUndo() const;
    MenuItem* FileMenu() const;
    ::QuitMenuItem* FileQuit() const;
    MenuItem* UntitledSeparator() const;
    MenuItem* FileSaveBusConfiguration() const;
    MenuItem* FileLoadBusConfiguration() const;

    // --- window events ------------------------------------------------------
    void AddMenuHandlers(Window* window) override;
    void Event_Open();
    void Event_Close();

    // --- menu handlers ------------------------------------------------------
    bool _HelpAbout_Action();
    bool _FileLoadBusConfiguration_Action();  // config/
    bool _FileSaveBusConfiguration_Action();  // config/
    bool _HelpHelpVeltrane_Action();

    // --- shared methods -----------------------------------------------------
    // The pool's record of a channel ID; nullptr for an ID outside 0..255 or
    // before the window's Open event has filled the pool. The one way to a
    // record, since IDs come from rows, files and controllers.
    Channel* ChannelRecord(int64_t id);
    const Channel* ChannelRecord(int64_t id) const;
    int32_t GetFreeID();                                                       // channels/
    int32_t GetIDfromRow(int32_t row);                                         // channels/
    void BuildRowID();                                                         // channels/
    void DisplayChannelRate();                                                 // channels/
    Picture DrawControlSlot(int32_t dimFlag, int32_t firstDimmedSlot);         // frameview/
    Picture DrawMobileSlot(int32_t column, int32_t row, const Picture& base);  // frameview/
    Picture DrawChannelSlot(const Picture& base);                              // frameview/
    void UpdateSD();                                                           // channels/
    void ExecNetworkCommand(const QString& batch);                             // remote/
    Picture DrawErrorSlot(const Picture& base);                                // frameview/
    // Builds the layers from `from` up to `top`, the lowest on the layer held
    // below it, and draws the top one built onto the canvas. A new
    // control-space layer is undimmed, or dimmed from `firstDimmedSlot` on;
    // the channel layer follows it only while the list has rows, unless the
    // redraw goes up to the error layer, which builds every layer.
    void RedrawMap(MapLayer from, SlotMap slotMap, MapLayer top = MapLayer::Channel,
                   std::optional<int32_t> firstDimmedSlot = std::nullopt);  // frameview/
    // Empties the channel list and frees every channel record.
    void ClearChannelTable();  // channels/
    // No message band and no error marks; the map shows it at its next redraw.
    void ResetMarks();  // remote/
    // The three bus pop-ups are the user's only while neither the calculator
    // nor a controller holds them.
    void UpdateBusPopups();  // channels/

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class SingleInstance<Main>;
    Main();
    void _CreateControls0();
    // Figure controls get a font in which their longest figures show whole.
    void FitFigureFonts();

    Listbox* channelListBox_ = nullptr;
    Label* staticText9_ = nullptr;
    Label* staticText10_ = nullptr;
    Label* staticText11_ = nullptr;
    PushButton* addChannelButton_ = nullptr;
    PushButton* removeChannelButton_ = nullptr;
    ::Separator* separator1_ = nullptr;
    PopupMenu* rootFrequencyPopup_ = nullptr;
    PopupMenu* clockGearPopup_ = nullptr;
    PopupMenu* subFrameModePopup_ = nullptr;
    Canvas* drawZone_ = nullptr;
    Label* staticText1_ = nullptr;
    Label* controlBWText_ = nullptr;
    Label* staticText3_ = nullptr;
    Label* staticText2_ = nullptr;
    Label* busFrequencyText_ = nullptr;
    Label* staticText4_ = nullptr;
    ::Rectangle* rectangle1_ = nullptr;
    Label* staticText12_ = nullptr;
    Label* staticText13_ = nullptr;
    ::Rectangle* rectangle2_ = nullptr;
    Label* staticText14_ = nullptr;
    ::Rectangle* rectangle3_ = nullptr;
    Label* staticText15_ = nullptr;
    Label* mobileSlotText_ = nullptr;
    Label* staticText16_ = nullptr;
    ::Rectangle* rectangle5_ = nullptr;
    PushButton* clearAllChannels_ = nullptr;
    ::Rectangle* rectangle6_ = nullptr;
    IPCSocket* ipcSocket1_ = nullptr;

    // Remote text after the last "*" of a read, completed by the next read.
    QByteArray pendingRemoteText_;
    // From the socket's Connected event to its next Error event.
    bool remoteControlled_ = false;
    // The parameter row whose value menu was opened last, -1 for none, with
    // its channel and its offset below the channel row.
    int32_t valueMenuRow_ = -1;
    int32_t valueMenuChannel_ = -1;
    int32_t valueMenuOffset_ = 0;
};
