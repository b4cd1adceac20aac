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
