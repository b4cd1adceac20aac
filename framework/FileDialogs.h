#pragma once
#include <QString>
#include <functional>

#include "FileType.h"
#include "FolderItem.h"

// The modal open and save dialogs; both give a nil FolderItem when the user
// cancels. Tests install a hook instead, which answers at once.
enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind Kind = FileDialogKind::Open;
    FileType Type;
    QString DefaultName;  // the name the save dialog proposes; empty for Open
};

using FileDialogHook = std::function<FolderItem(const FileDialogRequest& request)>;

// An empty hook brings back the real dialogs. Gives back the hook before.
FileDialogHook SetFileDialogHook(FileDialogHook hook);

FolderItem GetOpenFolderItem(const FileType& type);
FolderItem GetSaveFolderItem(const FileType& type, const QString& defaultName);
