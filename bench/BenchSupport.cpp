#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "App.h"
#include "FileDialogs.h"
#include "IPCSocket.h"
#include "MenuBar1.h"
#include "MsgBox.h"

namespace {
QStringList& Messages() {
    static QStringList messages;
    return messages;
}

QString& ChosenFile() {
    static QString path;
    return path;
}
}  // namespace

QStringList TakeMessages() {
    QStringList taken;
    taken.swap(Messages());
    return taken;
}

void ChooseFileInDialogs(const QString& path) { ChosenFile() = path; }

QString BenchFolder() {
    static QTemporaryDir folder;
    return folder.path();
}

void InstallBenchHooks() {
    SetMsgBoxHook([](const QString& text) { Messages().append(text); });
    SetFileDialogHook([](const FileDialogRequest&) {
        return ChosenFile().isEmpty() ? FolderItem() : FolderItem(ChosenFile());
    });
    IPCSocket::SetPathRedirect(
        [](const QString&) { return BenchFolder() + QStringLiteral("/remote"); });
}

double ResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

int RunWindowBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication runtime(argc, argv);
    InstallBenchHooks();
    App app;
    app.SetMenuBar(MenuBar1::Instance());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
