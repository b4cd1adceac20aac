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
class Main : public Window {
    Q_OBJECT
public:
    // The one main window, built on the first reference.
    static Main& Instance();
    // Whether the main window exists now.
    static bool Exists();
    // Destroys the main window without its Close event, so that the next
    // reference builds a fresh one.
    static void Destroy();

    ~Main() override;

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
    std::array<std::unique_ptr<Channel>, kChannelIdCount + 1> SBChannel;  // the channel pool by ID
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
    Listbox* ChannelListBox() const { return ChannelListBox_; }
    Label* StaticText9() const { return StaticText9_; }
    Label* StaticText10() const { return StaticText10_; }
    Label* StaticText11() const { return StaticText11_; }
    PushButton* AddChannelButton() const { return AddChannelButton_; }
    PushButton* RemoveChannelButton() const { return RemoveChannelButton_; }
    ::Separator* Separator1() const { return Separator1_; }
    PopupMenu* RootFrequencyPopup() const { return RootFrequencyPopup_; }
    PopupMenu* ClockGearPopup() const { return ClockGearPopup_; }
    PopupMenu* SubFrameModePopup() const { return SubFrameModePopup_; }
    Canvas* DrawZone() const { return DrawZone_; }
    Label* StaticText1() const { return StaticText1_; }
    Label* ControlBWText() const { return ControlBWText_; }
    Label* StaticText3() const { return StaticText3_; }
    Label* StaticText2() const { return StaticText2_; }
    Label* BusFrequencyText() const { return BusFrequencyText_; }
    Label* StaticText4() const { return StaticText4_; }
    ::Rectangle* Rectangle1() const { return Rectangle1_; }
    Label* StaticText12() const { return StaticText12_; }
    Label* StaticText13() const { return StaticText13_; }
    ::Rectangle* Rectangle2() const { return Rectangle2_; }
    Label* StaticText14() const { return StaticText14_; }
    ::Rectangle* Rectangle3() const { return Rectangle3_; }
    Label* StaticText15() const { return StaticText15_; }
    Label* MobileSlotText() const { return MobileSlotText_; }
    Label* StaticText16() const { return StaticText16_; }
    ::Rectangle* Rectangle5() const { return Rectangle5_; }
    PushButton* ClearAllChannels() const { return ClearAllChannels_; }
    ::Rectangle* Rectangle6() const { return Rectangle6_; }
    IPCSocket* IPCSocket1() const { return IPCSocket1_; }

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
    int32_t GetFreeID();                 // channels/
    int32_t GetIDfromRow(int32_t row);   // channels/
    void BuildRowID();                   // channels/
    void DisplayChannelRate();           // channels/
    Picture DrawControlSlot(int32_t dimFlag, int32_t firstDimmedSlot);  // frameview/
    Picture DrawMobileSlot(int32_t column, int32_t row, const Picture& base);  // frameview/
    Picture DrawChannelSlot(const Picture& base);  // frameview/
    void UpdateSD();                               // channels/
    void ExecNetworkCommand(const QString& batch);  // remote/
    Picture DrawErrorSlot(const Picture& base);     // frameview/
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

protected:
    void Layout() override;
    void CreateControls() override;

private:
    Main();
    void _CreateControls0();
    // Figure controls get a font in which their longest figures show whole.
    void FitFigureFonts();

    Listbox* ChannelListBox_ = nullptr;
    Label* StaticText9_ = nullptr;
    Label* StaticText10_ = nullptr;
    Label* StaticText11_ = nullptr;
    PushButton* AddChannelButton_ = nullptr;
    PushButton* RemoveChannelButton_ = nullptr;
    ::Separator* Separator1_ = nullptr;
    PopupMenu* RootFrequencyPopup_ = nullptr;
    PopupMenu* ClockGearPopup_ = nullptr;
    PopupMenu* SubFrameModePopup_ = nullptr;
    Canvas* DrawZone_ = nullptr;
    Label* StaticText1_ = nullptr;
    Label* ControlBWText_ = nullptr;
    Label* StaticText3_ = nullptr;
    Label* StaticText2_ = nullptr;
    Label* BusFrequencyText_ = nullptr;
    Label* StaticText4_ = nullptr;
    ::Rectangle* Rectangle1_ = nullptr;
    Label* StaticText12_ = nullptr;
    Label* StaticText13_ = nullptr;
    ::Rectangle* Rectangle2_ = nullptr;
    Label* StaticText14_ = nullptr;
    ::Rectangle* Rectangle3_ = nullptr;
    Label* StaticText15_ = nullptr;
    Label* MobileSlotText_ = nullptr;
    Label* StaticText16_ = nullptr;
    ::Rectangle* Rectangle5_ = nullptr;
    PushButton* ClearAllChannels_ = nullptr;
    ::Rectangle* Rectangle6_ = nullptr;
    IPCSocket* IPCSocket1_ = nullptr;

    // Remote text after the last "*" of a read, completed by the next read.
    QByteArray pendingRemoteText_;
    // The parameter row whose value menu was opened last, -1 for none, with
    // its channel and its offset below the channel row.
    int32_t valueMenuRow_ = -1;
    int32_t valueMenuChannel_ = -1;
    int32_t valueMenuOffset_ = 0;
};
