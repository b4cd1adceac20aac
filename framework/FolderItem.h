#pragma once
#include <QString>

#include "Picture.h"

// A file or folder by its path; a default-constructed item is nil.
class FolderItem {
public:
    FolderItem() = default;
    explicit FolderItem(QString path) : path_(std::move(path)) {}

    bool IsNil() const { return path_.isEmpty(); }
    QString NativePath() const { return path_; }
    QString Name() const;
    bool Exists() const;
    bool Directory() const;
    FolderItem Parent() const;
    FolderItem Child(const QString& name) const;
    // The picture in the file; nil when the file is missing or not a picture.
    Picture OpenAsPicture() const;

    // The folder that holds the running executable.
    static FolderItem ApplicationFolder();

private:
    QString path_;
};
