#include "TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>

#include "Canvas.h"
#include "IPCSocket.h"
#include "Main.h"
#include "Module1.h"
#include "MsgBox.h"

QStringList& RecordedMessages() {
    static QStringList messages;
    return messages;
}

QString TestSocketPath() {
    static QTemporaryDir folder;
    return folder.path() + QStringLiteral("/remote");
}

QList<FileDialogRequest>& RecordedFileDialogs() {
    static QList<FileDialogRequest> requests;
    return requests;
}

namespace {
QString& ChosenFile() {
    static QString path;
    return path;
}
}  // namespace

void ChooseFileInDialogs(const QString& path) { ChosenFile() = path; }

void InstallTestHooks() {
    SetMsgBoxHook([](const QString& text) { RecordedMessages().append(text); });
    SetFileDialogHook([](const FileDialogRequest& request) {
        RecordedFileDialogs().append(request);
        return ChosenFile().isEmpty() ? FolderItem() : FolderItem(ChosenFile());
    });
    UseTestSocketPath();
}

void UseTestSocketPath() {
    IPCSocket::SetPathRedirect([](const QString&) { return TestSocketPath(); });
}

void MainWindowTest::SetUp() {
    Main::Destroy();
    Module1::ResetForTests();
    RecordedMessages().clear();
    RecordedFileDialogs().clear();
    ChooseFileInDialogs(QString());
    Main::Instance();
}

void MainWindowTest::TearDown() {
    Main::Destroy();
    QCoreApplication::processEvents();
}

Main& MainWindowTest::main() { return Main::Instance(); }

QImage MainWindowTest::GrabMap() {
    return main().DrawZone()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage MainWindowTest::GrabWindow() {
    return main().Content()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

Color PixelColor(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

Color SlotCellColor(const QImage& map, int slot) {
    return PixelColor(map, 7 * (slot % 96) + 3, 18 * (slot / 96) + 3);
}

void ExpectOpeningControlSpace(const QImage& map, int freeSlot) {
    EXPECT_EQ(SlotCellColor(map, 0), RGB(0, 180, 0)) << "framing slot 0";
    EXPECT_EQ(SlotCellColor(map, 1), RGB(0, 100, 200)) << "guide slot 1";
    EXPECT_EQ(SlotCellColor(map, 2), RGB(0, 100, 200)) << "guide slot 2";
    EXPECT_EQ(SlotCellColor(map, 3), RGB(0, 255, 0)) << "message slot 3";
    EXPECT_EQ(SlotCellColor(map, 96), RGB(0, 180, 0)) << "framing slot 96";
    EXPECT_EQ(SlotCellColor(map, freeSlot), RGB(200, 200, 200)) << "free slot " << freeSlot;
}

// gtest prints colours readably.
void PrintTo(const Color& color, std::ostream* os) {
    *os << "(" << int(color.Red) << ", " << int(color.Green) << ", " << int(color.Blue) << ")";
}

// A record in one line, its fields in declaration order.
void PrintTo(const Channel& channel, std::ostream* os) {
    *os << "{SD " << channel.SegmentDistribution << ", SL " << channel.SegmentLength << ", TP "
        << channel.TransportProtocol << ", FL " << channel.FrequencyLocked << ", PR "
        << channel.PresenceRate << ", AF " << channel.AuxFormat << ", DT " << channel.DataType
        << ", CL " << channel.ChannelLink << ", DL " << channel.DataLength << ", status "
        << channel.Status << ", colour ";
    PrintTo(channel.BoxColor, os);
    *os << ", rate " << channel.Rate << ", row " << channel.RowID << ", bandwidth "
        << channel.Bandwidth << ", event " << channel.Editable << "}";
}
