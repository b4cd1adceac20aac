#include "MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace {
MsgBoxHook& Hook() {
    static MsgBoxHook hook;
    return hook;
}
}  // namespace

MsgBoxHook SetMsgBoxHook(MsgBoxHook hook) { return std::exchange(Hook(), std::move(hook)); }

void MsgBox(const QString& text) {
    if (Hook()) {
        Hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}
