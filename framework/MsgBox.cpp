#include "MsgBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
std::function<void(const QString&)>& Hook() {
    static std::function<void(const QString&)> hook;
    return hook;
}
}  // namespace

void SetMsgBoxHook(std::function<void(const QString&)> hook) { Hook() = std::move(hook); }

void MsgBox(const QString& text) {
    if (Hook()) {
        Hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
