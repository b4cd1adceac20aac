#pragma once
#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <memory>

#include "FolderItem.h"

// Writes a text file line by line (UTF-8, each line ended by "\n"). The text
// goes to a temporary file beside the target, which Close renames over it:
// until then, and whenever writing fails, the old file stays as it was. The
// one exception is a writable file in a folder that takes no new files: that
// file is written in place, as no temporary file can be made beside it. Its
// text is then held until Close, which first makes sure the file can take all
// of it (the file-size limit, room on the disk) and only then writes; a write
// that fails even so puts the old bytes back. Anything at the path that is
// not a regular file (a named pipe, a device, a socket, a folder) is refused
// and left alone.
class TextOutputStream {
public:
    // The stream of a new file, or nullptr when it cannot be created; `error`
    // then gets the reason ("not a regular file" for a path that names
    // anything else).
    static std::unique_ptr<TextOutputStream> Create(const FolderItem& file,
                                                    QString* error = nullptr);

    // Without a Close the written text is thrown away.
    ~TextOutputStream();
    TextOutputStream(const TextOutputStream&) = delete;
    TextOutputStream& operator=(const TextOutputStream&) = delete;

    // Returns false once writing has failed; later lines are not written.
    bool WriteLine(const QString& text);
    // Puts the written text in place of the file; false when any write or
    // the replacement failed, and the old file is then untouched.
    bool Close();

    QString ErrorString() const { return error_; }

private:
    explicit TextOutputStream(const QString& path);
    // Writes the pending text; false (with the reason) when the file takes
    // less than all of it.
    bool Flush();
    // Writes the whole text over the old file in place; false (with the
    // reason) when the old file was left as it was.
    bool WriteInPlace();

    QSaveFile file_;
    int inPlaceFd_ = -1;  // the old file, when it is written in place
    QByteArray pending_;
    bool closed_ = false;
    QString error_;
};
