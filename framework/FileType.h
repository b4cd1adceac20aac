#pragma once
#include <QString>
#include <QStringList>

// A kind of file the dialogs offer: a name and its extensions, written as
// "cfg;txt" (no dots, separated by ";").
class FileType {
public:
    FileType() = default;
    FileType(QString name, QString extensions)
        : Name(std::move(name)), Extensions(std::move(extensions)) {}

    QString Name;
    QString Extensions;

    // The extensions one by one, without blanks or empty entries.
    QStringList ExtensionList() const;
    // The file dialog's filter, e.g. "Bus Configuration (*.cfg *.txt)".
    QString DialogFilter() const;
};
