#include "TextInputStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>

namespace {
constexpr qint64 kChunkBytes = qint64{64} * 1024;
const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
}  // namespace

std::unique_ptr<TextInputStream> TextInputStream::Open(const FolderItem& file, QString* error) {
    auto fail = [error](const QString& reason) {
        if (error) *error = reason;
        return nullptr;
    };
    if (file.IsNil()) return fail(QCoreApplication::translate("TextInputStream", "no file given"));
    const QString notRegular = QCoreApplication::translate("TextInputStream", "not a regular file");
    // Opening a named pipe waits for a writer, and a device may never end:
    // only a regular file is opened at all, and without waiting, in case the
    // path was replaced after the look.
    const QByteArray path = QFile::encodeName(file.NativePath());
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) return fail(qt_error_string(errno));
    if (!S_ISREG(info.st_mode)) return fail(notRegular);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return fail(qt_error_string(errno));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail(notRegular);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    std::unique_ptr<TextInputStream> stream(new TextInputStream(file.NativePath()));
    if (!stream->file_.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(stream->file_.errorString());
    }
    return stream;
}

TextInputStream::TextInputStream(const QString& path) : file_(path) {}

TextInputStream::~TextInputStream() = default;

void TextInputStream::Fail(const QString& reason) {
    if (error_.isEmpty()) error_ = reason;
    buffer_.clear();
    position_ = 0;
    atEnd_ = true;
    file_.close();
}

bool TextInputStream::Fill() {
    if (position_ < buffer_.size()) return true;
    if (atEnd_) return false;
    buffer_.resize(kChunkBytes);
    const qint64 got = file_.read(buffer_.data(), kChunkBytes);
    if (got < 0) {
        Fail(file_.errorString());
        return false;
    }
    buffer_.resize(got);
    position_ = 0;
    if (!started_) {
        started_ = true;
        if (buffer_.startsWith(kUtf8Bom)) position_ = kUtf8Bom.size();
    }
    if (position_ >= buffer_.size()) {
        atEnd_ = true;
        return false;
    }
    return true;
}

QString TextInputStream::ReadLine() {
    QByteArray line;
    bool any = false;
    while (Fill()) {
        any = true;
        const char* data = buffer_.constData();
        const qsizetype size = buffer_.size();
        qsizetype end = position_;
        while (end < size && data[end] != '\n' && data[end] != '\r') ++end;
        if (line.size() + (end - position_) > maxLineBytes_) {
            Fail(QCoreApplication::translate("TextInputStream", "line %1 is longer than %2 bytes")
                     .arg(linesRead_ + 1)
                     .arg(maxLineBytes_));
            return QString();
        }
        line.append(data + position_, end - position_);
        position_ = end;
        if (end == size) continue;  // the line goes on in the next chunk

        const char ending = data[end];
        ++position_;
        if (ending == '\r' && Fill() && buffer_.at(position_) == '\n') ++position_;
        break;
    }
    if (!any || Failed()) return QString();
    ++linesRead_;
    return QString::fromUtf8(line);
}

bool TextInputStream::EndOfFile() { return !Fill(); }

void TextInputStream::Close() {
    file_.close();
    buffer_.clear();
    position_ = 0;
    atEnd_ = true;
}
