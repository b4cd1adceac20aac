#include "FileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <utility>

namespace {
FileDialogHook& Hook() {
    static FileDialogHook hook;
    return hook;
}

FolderItem RunDialog(const FileDialogRequest& request) {
    if (Hook()) return Hook()(request);

    QFileDialog dialog(QApplication::activeWindow());
    dialog.setNameFilters({request.Type.DialogFilter(), QFileDialog::tr("All files (*)")});
    if (request.Kind == FileDialogKind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        const QStringList extensions = request.Type.ExtensionList();
        if (!extensions.isEmpty()) dialog.setDefaultSuffix(extensions.first());
        dialog.selectFile(request.DefaultName);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted) return FolderItem();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? FolderItem() : FolderItem(chosen.first());
}
}  // namespace

FileDialogHook SetFileDialogHook(FileDialogHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

FolderItem GetOpenFolderItem(const FileType& type) {
    return RunDialog({FileDialogKind::Open, type, QString()});
}

FolderItem GetSaveFolderItem(const FileType& type, const QString& defaultName) {
    return RunDialog({FileDialogKind::Save, type, defaultName});
}
