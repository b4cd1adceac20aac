#include "FolderItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString FolderItem::Name() const { return QFileInfo(path_).fileName(); }
bool FolderItem::Exists() const { return !IsNil() && QFileInfo::exists(path_); }
bool FolderItem::Directory() const { return !IsNil() && QFileInfo(path_).isDir(); }

FolderItem FolderItem::Parent() const {
    if (IsNil()) return FolderItem();
    return FolderItem(QFileInfo(path_).absoluteDir().absolutePath());
}

FolderItem FolderItem::Child(const QString& name) const {
    if (IsNil()) return FolderItem();
    return FolderItem(QDir(path_).filePath(name));
}

Picture FolderItem::OpenAsPicture() const {
    if (!Exists() || Directory()) return Picture();
    return Picture::Open(path_);
}

FolderItem FolderItem::ApplicationFolder() {
    return FolderItem(QCoreApplication::applicationDirPath());
}
