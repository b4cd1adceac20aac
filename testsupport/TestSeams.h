#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "FileDialogs.h"
#include "IPCSocket.h"
#include "Listbox.h"
#include "MsgBox.h"

// The framework's seams as tests, benchmarks and fuzz targets set them: message
// boxes are recorded instead of shown, the file dialogs answer at once with
// the chosen file (none: cancelled), contextual menus are answered by the
// chooser given (none: no item chosen), and every socket listens on the path
// given, never on the product's. Each seam goes back to what it was when the
// object goes; objects nest, the last one made is the one in force.
class TestSeams {
public:
    explicit TestSeams(QString socketPath);
    ~TestSeams();
    TestSeams(const TestSeams&) = delete;
    TestSeams& operator=(const TestSeams&) = delete;

    // The seams in force; only while a TestSeams object lives.
    static TestSeams& Current();

    // Every message box and file dialog raised, in order.
    QStringList& Messages() { return messages_; }
    QList<FileDialogRequest>& FileDialogs() { return fileDialogs_; }
    void ForgetRecords();

    void ChooseFile(const QString& path) { chosenFile_ = path; }
    void ChooseInMenus(Listbox::MenuChooser chooser) { menuChooser_ = std::move(chooser); }
    // Runs after each message is recorded, as the modal box would (e.g. to
    // take the activation); empty for none.
    void OnMessage(MsgBoxHook also) { onMessage_ = std::move(also); }
    void SetSocketPath(const QString& path) { socketPath_ = path; }
    QString SocketPath() const { return socketPath_; }

    // As made: no record, no file or menu item chosen, nothing run for a
    // message, the socket path given to the constructor.
    void Reset();

private:
    const QString initialSocketPath_;
    QString socketPath_;
    QStringList messages_;
    QList<FileDialogRequest> fileDialogs_;
    QString chosenFile_;
    Listbox::MenuChooser menuChooser_;
    MsgBoxHook onMessage_;

    TestSeams* outer_;
    MsgBoxHook outerMsgBox_;
    FileDialogHook outerFileDialog_;
    Listbox::MenuChooser outerMenuChooser_;
    IPCSocket::PathRedirect outerPathRedirect_;
};
