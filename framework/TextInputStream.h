#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

#include "FolderItem.h"

// Reads a text file line by line. "\n", "\r\n" and a lone "\r" all end a
// line; the text is taken as UTF-8. Only what is asked for is read, in
// chunks, so a huge file costs no more memory than one line.
class TextInputStream {
public:
    // No longer line is accepted unless SetMaxLineLength says otherwise.
    static constexpr qint64 kDefaultMaxLineBytes = 1 << 20;

    // The stream of the file, or nullptr when it cannot be opened; `error`
    // then gets the reason. Anything but a regular file (a named pipe, a
    // socket, a device, a folder) is refused at once with "not a regular file".
    static std::unique_ptr<TextInputStream> Open(const FolderItem& file, QString* error = nullptr);

    ~TextInputStream();
    TextInputStream(const TextInputStream&) = delete;
    TextInputStream& operator=(const TextInputStream&) = delete;

    // A line longer than this many bytes fails the stream instead of being
    // held in memory.
    void SetMaxLineLength(qint64 bytes) { maxLineBytes_ = bytes; }

    // The next line without its line end; empty past the end of the file and
    // once the stream has failed.
    QString ReadLine();
    // Whether nothing is left to read. (Not named EOF: that is a C macro.)
    bool EndOfFile();
    void Close();

    bool Failed() const { return !error_.isEmpty(); }
    QString ErrorString() const { return error_; }

private:
    explicit TextInputStream(const QString& path);
    // Reads the next chunk once the buffer is used up; false at the end or on failure.
    bool Fill();
    void Fail(const QString& reason);

    QFile file_;
    QByteArray buffer_;
    qsizetype position_ = 0;
    qint64 maxLineBytes_ = kDefaultMaxLineBytes;
    qint64 linesRead_ = 0;
    bool atEnd_ = false;
    bool started_ = false;
    QString error_;
};
