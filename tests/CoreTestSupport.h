#pragma once
// What every test program shares, the tests of the pure cores included: the
// seams' records and choices, and readable pixels and colours.
#include <gtest/gtest.h>

#include <QImage>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <ostream>

#include "Color.h"
#include "FileDialogs.h"

// Every message box a test raised, in order; cleared by each fixture.
QStringList& RecordedMessages();

// Every file dialog a test raised, in order; cleared by each fixture.
QList<FileDialogRequest>& RecordedFileDialogs();
// The file that the following file dialogs choose; an empty path cancels
// them, which is what they do unless a test says otherwise.
void ChooseFileInDialogs(const QString& path);

// The path every socket listens on in tests, never the product's.
QString TestSocketPath();

// What a test program runs on, made from the command line and kept until the
// tests are done: a bare QApplication for the tests of a core
// (BareTestRuntime), the program's own start-up (Program.h) for the window
// tests.
using TestRuntime = std::function<std::shared_ptr<void>(int& argc, char** argv)>;
std::shared_ptr<void> BareTestRuntime(int& argc, char** argv);

// A test main: the offscreen platform, the runtime `start` makes, gtest, the
// seams (TestSeams) and the check of the program's warnings (ExpectedWarning)
// for the whole run, then `run` (which runs the tests and gives the exit code).
int RunTestsOffscreen(int argc, char** argv, const TestRuntime& start,
                      const std::function<int()>& run);

// One warning of the program's (Logging.h) that the test provokes while this
// object lives: the first such warning that matches `pattern` is taken off the
// log, as QTest::ignoreMessage does in a QTest program (whose message handler
// a gtest program does not have). The test fails when it did not come, and on
// every warning of the program's that no expectation takes.
class ExpectedWarning {
public:
    explicit ExpectedWarning(QRegularExpression pattern);
    ~ExpectedWarning();
    ExpectedWarning(const ExpectedWarning&) = delete;
    ExpectedWarning& operator=(const ExpectedWarning&) = delete;

    // Takes `message` when it is the awaited warning.
    bool Take(const QString& message);

private:
    QRegularExpression pattern_;
    bool taken_ = false;
};

// A file's bytes (empty when it cannot be read), and a file written whole.
QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);

// Pictures to look at: when VELTRANE_GRAB_DIR names a folder, `image` is saved
// there as `name` (a PNG) and the test fails when it cannot be; otherwise
// nothing is written.
void KeepPicture(const QImage& image, const QString& name);

Color PixelColor(const QImage& image, int x, int y);
void PrintTo(const Color& color, std::ostream* os);
