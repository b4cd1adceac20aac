#include "TextOutputStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>

namespace {
constexpr qsizetype kChunkBytes = qsizetype{64} * 1024;

bool MayWrite(const QString& path, int mode) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), mode, AT_EACCESS) == 0;
}

// An existing regular file that this process may write, in a folder where it
// may not create files (both as the effective user, as the save will run).
bool OnlyWritableInPlace(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) return false;
    const QString target = info.canonicalFilePath();  // a save writes through links
    if (target.isEmpty() || !MayWrite(target, W_OK)) return false;
    return !MayWrite(QFileInfo(target).absolutePath(), W_OK | X_OK);
}
}  // namespace

std::unique_ptr<TextOutputStream> TextOutputStream::Create(const FolderItem& file, QString* error) {
    if (file.IsNil()) {
        if (error) *error = QCoreApplication::translate("TextOutputStream", "no file given");
        return nullptr;
    }
    std::unique_ptr<TextOutputStream> stream(new TextOutputStream(file.NativePath()));
    // The temporary file needs a new entry in the folder; a file the user may
    // write in a folder that takes no new files is written in place instead.
    stream->file_.setDirectWriteFallback(OnlyWritableInPlace(file.NativePath()));
    // Unbuffered, with a buffer of our own: QFileDevice's buffer can lose a
    // short write (a full disk, a file size limit) and commit a cut-off file.
    if (!stream->file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error) *error = stream->file_.errorString();
        return nullptr;
    }
    return stream;
}

TextOutputStream::TextOutputStream(const QString& path) : file_(path) {}

TextOutputStream::~TextOutputStream() {
    if (!closed_) file_.cancelWriting();
}

bool TextOutputStream::WriteLine(const QString& text) {
    if (closed_ || !error_.isEmpty()) return false;
    pending_ += text.toUtf8();
    pending_ += '\n';
    return pending_.size() < kChunkBytes || Flush();
}

bool TextOutputStream::Flush() {
    qsizetype done = 0;
    while (done < pending_.size()) {
        const qint64 written = file_.write(pending_.constData() + done, pending_.size() - done);
        if (written <= 0) {
            error_ = file_.errorString();
            file_.cancelWriting();
            pending_.clear();
            return false;
        }
        done += written;
    }
    pending_.clear();
    return true;
}

bool TextOutputStream::Close() {
    if (closed_) return error_.isEmpty();
    closed_ = true;
    if (!error_.isEmpty() || !Flush()) return false;
    if (!file_.commit()) {
        error_ = file_.errorString();
        return false;
    }
    return true;
}
