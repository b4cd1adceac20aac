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
// file is written in place, as no temporary file can be made beside it.
class TextOutputStream {
public:
    // The stream of a new file, or nullptr when it cannot be created; `error`
    // then gets the reason.
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

    QSaveFile file_;
    QByteArray pending_;
    bool closed_ = false;
    QString error_;
};
