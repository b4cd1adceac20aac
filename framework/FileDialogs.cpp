#include "FileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <utility>

namespace {
// Icons and type names from a file's name and what its folder entry says,
// never from its contents: the dialog asks for them on the window's thread,
// and opening a file to look inside can wait for ever (a named pipe, a
// device, a file that turns into one between the look and the open).
class IconsByName : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override {
        if (info.isRoot()) return icon(Drive);
        if (info.isDir()) return icon(Folder);
        const QMimeType type = ByName(info);
        if (type.isValid()) return QIcon::fromTheme(type.iconName(), icon(File));
        return icon(File);
    }

    QString type(const QFileInfo& info) const override {
        if (info.isRoot()) return QCoreApplication::translate("QAbstractFileIconProvider", "Drive");
        if (info.isDir()) return QCoreApplication::translate("QAbstractFileIconProvider", "Folder");
        const QMimeType type = ByName(info);
        if (type.isValid()) return type.comment().isEmpty() ? type.name() : type.comment();
        return QCoreApplication::translate("QAbstractFileIconProvider", "File");
    }

private:
    QMimeType ByName(const QFileInfo& info) const {
        const QList<QMimeType> types = mimeTypes_.mimeTypesForFileName(info.fileName());
        return types.isEmpty() ? QMimeType() : types.first();
    }

    QMimeDatabase mimeTypes_;
};

FileDialogHook& Hook() {
    static FileDialogHook hook;
    return hook;
}

FolderItem RunDialog(const FileDialogRequest& request) {
    if (Hook()) return Hook()(request);

    // Declared first, gone last: the dialog asks it until the dialog is gone.
    IconsByName icons;
    QFileDialog dialog(QApplication::activeWindow());
    // Our own dialog, whose icons we choose: a platform's dialog may look
    // into the files it lists.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
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
