#include "IPCSocket.h"

#include <QWidget>

// The socket has no visible part; the hidden widget only gives it a place
// among the window's controls.
namespace {
QWidget* HiddenPlace(QWidget* parent) {
    auto* place = new QWidget(parent);
    place->hide();
    return place;
}
}  // namespace

IPCSocket::IPCSocket(QWidget* parent) : QObject(parent), Control(HiddenPlace(parent)) {}

IPCSocket::~IPCSocket() = default;

void IPCSocket::Listen() {}
void IPCSocket::Close() {}
bool IPCSocket::IsConnected() const { return false; }
QByteArray IPCSocket::ReadAll() { return {}; }
void IPCSocket::Write(const QByteArray&) {}
