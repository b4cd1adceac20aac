#include "TestSeams.h"

#include <cstdlib>
#include <utility>

namespace {
TestSeams* g_current = nullptr;
}  // namespace

TestSeams::TestSeams(QString socketPath)
    : initialSocketPath_(socketPath), socketPath_(std::move(socketPath)), outer_(g_current) {
    outerMsgBox_ = SetMsgBoxHook([this](const QString& text) {
        messages_.append(text);
        if (onMessage_) onMessage_(text);
    });
    outerFileDialog_ = SetFileDialogHook([this](const FileDialogRequest& request) {
        fileDialogs_.append(request);
        return chosenFile_.isEmpty() ? FolderItem() : FolderItem(chosenFile_);
    });
    outerMenuChooser_ = Listbox::SetContextualMenuChooser([this](MenuItem& menu, QPoint at) {
        return menuChooser_ ? menuChooser_(menu, at) : nullptr;
    });
    outerPathRedirect_ = IPCSocket::SetPathRedirect([this](const QString&) { return socketPath_; });
    g_current = this;
}

TestSeams::~TestSeams() {
    SetMsgBoxHook(std::move(outerMsgBox_));
    SetFileDialogHook(std::move(outerFileDialog_));
    Listbox::SetContextualMenuChooser(std::move(outerMenuChooser_));
    IPCSocket::SetPathRedirect(std::move(outerPathRedirect_));
    g_current = outer_;
}

TestSeams& TestSeams::Current() {
    // A harness without its seams would show modal dialogs and take the
    // product's socket path: stop rather than run on.
    if (!g_current) std::abort();
    return *g_current;
}

void TestSeams::ForgetRecords() {
    messages_.clear();
    fileDialogs_.clear();
}

void TestSeams::Reset() {
    ForgetRecords();
    chosenFile_.clear();
    menuChooser_ = nullptr;
    onMessage_ = nullptr;
    socketPath_ = initialSocketPath_;
}
