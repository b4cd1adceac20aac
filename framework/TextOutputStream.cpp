#include "TextOutputStream.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <cerrno>
#include <utility>

namespace {
constexpr qsizetype kChunkBytes = qsizetype{64} * 1024;

QString NotARegularFile() {
    return QCoreApplication::translate("TextOutputStream", "not a regular file");
}

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

// Opens the old file for writing in place without cutting it, and only when
// it still is a regular file; -1 with errno set otherwise. It is opened for
// reading too where that is allowed, so that its bytes can be put back.
int OpenInPlace(const QByteArray& path) {
    constexpr int kFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(path.constData(), O_RDWR | kFlags);
    if (fd < 0 && errno == EACCES) fd = ::open(path.constData(), O_WRONLY | kFlags);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = 0;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool WriteAllAt(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::pwrite(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done), done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        done += written;
    }
    return true;
}

bool ReadAllAt(int fd, QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::pread(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done), done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += got;
    }
    return true;
}

// Cuts the file back to `size` when it grew.
void RestoreSize(int fd, off_t size) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > size) ::ftruncate(fd, size);
}
}  // namespace

std::unique_ptr<TextOutputStream> TextOutputStream::Create(const FolderItem& file, QString* error) {
    auto fail = [error](const QString& reason) {
        if (error) *error = reason;
        return nullptr;
    };
    if (file.IsNil()) return fail(QCoreApplication::translate("TextOutputStream", "no file given"));
    // A named pipe or a device is no file to save into, and renaming over it
    // would replace it: whatever is not a regular file is left alone.
    const QByteArray path = QFile::encodeName(file.NativePath());
    struct stat info {};
    if (::stat(path.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return fail(NotARegularFile());

    std::unique_ptr<TextOutputStream> stream(new TextOutputStream(file.NativePath()));
    // The temporary file needs a new entry in the folder; a file the user may
    // write in a folder that takes no new files is written in place instead.
    if (OnlyWritableInPlace(file.NativePath())) {
        stream->inPlaceFd_ = OpenInPlace(path);
        if (stream->inPlaceFd_ < 0)
            return fail(errno != 0 ? qt_error_string(errno) : NotARegularFile());
        return stream;
    }
    // Unbuffered, with a buffer of our own: QFileDevice's buffer can lose a
    // short write (a full disk, a file size limit) and commit a cut-off file.
    if (!stream->file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(stream->file_.errorString());
    return stream;
}

TextOutputStream::TextOutputStream(const QString& path) : file_(path) {}

TextOutputStream::~TextOutputStream() {
    if (inPlaceFd_ >= 0)
        ::close(inPlaceFd_);
    else if (!closed_)
        file_.cancelWriting();
}

bool TextOutputStream::WriteLine(const QString& text) {
    if (closed_ || !error_.isEmpty()) return false;
    pending_ += text.toUtf8();
    pending_ += '\n';
    // In place, nothing is written before the whole text is known.
    return inPlaceFd_ >= 0 || pending_.size() < kChunkBytes || Flush();
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

bool TextOutputStream::WriteInPlace() {
    const int fd = inPlaceFd_;
    const QByteArray text = std::exchange(pending_, QByteArray());
    const off_t newSize = text.size();
    auto fail = [this](int code) {
        error_ = qt_error_string(code);
        return false;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) return fail(errno);
    const off_t oldSize = info.st_size;

    // The file-size limit binds every byte written, also those inside the old
    // file: a text that crosses it is not begun.
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(newSize) > limit.rlim_cur)
        return fail(EFBIG);
    // Room on the disk for the whole text, before any old byte changes.
    if (newSize > 0) {
        const int reserved = ::posix_fallocate(fd, 0, newSize);
        if (reserved != 0) {
            RestoreSize(fd, oldSize);
            return fail(reserved);
        }
    }
    // The old bytes that the text covers, to put back should writing fail
    // after all (none when the file may only be written).
    QByteArray old(std::min(oldSize, newSize), Qt::Uninitialized);
    const bool kept = ReadAllAt(fd, old);

    // The old text beyond the new one goes last, once the new one is written.
    if (WriteAllAt(fd, text) && ::fdatasync(fd) == 0 &&
        (oldSize <= newSize || ::ftruncate(fd, newSize) == 0))
        return true;
    const int code = errno;
    if (kept) WriteAllAt(fd, old);
    RestoreSize(fd, oldSize);
    return fail(code);
}

bool TextOutputStream::Close() {
    if (closed_) return error_.isEmpty();
    closed_ = true;
    if (inPlaceFd_ >= 0) {
        const bool written = error_.isEmpty() && WriteInPlace();
        ::close(std::exchange(inPlaceFd_, -1));
        return written;
    }
    if (!error_.isEmpty() || !Flush()) return false;
    if (!file_.commit()) {
        error_ = file_.errorString();
        return false;
    }
    return true;
}
