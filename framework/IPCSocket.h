#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

#include "Control.h"

// A local stream socket at a file-system path, on the listening side: Listen
// accepts one peer; Connected, DataAvailable and Error (also when the peer goes
// away); ReadAll returns all unread data; Write sends without waiting.
class IPCSocket : public QObject, public Control {
    Q_OBJECT
public:
    explicit IPCSocket(QWidget* parent = nullptr);
    ~IPCSocket() override;

    std::function<void()> Connected;
    std::function<void()> DataAvailable;
    std::function<void()> Error;

    QString Path;

    void Listen();
    void Close();
    bool IsConnected() const;
    QByteArray ReadAll();
    void Write(const QByteArray& data);
};
