#include "CoreTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "Logging.h"
#include "TestSeams.h"

namespace {
std::vector<ExpectedWarning*>& Expectations() {
    static std::vector<ExpectedWarning*> expectations;
    return expectations;
}

QtMessageHandler g_qtHandler = nullptr;

// The program's warnings go to the expectations; everything else to Qt.
void CheckMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool ours = type == QtWarningMsg && context.category &&
                      qstrcmp(context.category, lcVeltrane().categoryName()) == 0;
    if (!ours) {
        g_qtHandler(type, context, message);
        return;
    }
    for (ExpectedWarning* expectation : Expectations())
        if (expectation->Take(message)) return;
    ADD_FAILURE() << "unexpected warning: " << message.toStdString();
}

// When some tests were skipped and none failed: a heading that ctest counts
// as "skipped" (SKIP_REGULAR_EXPRESSION, which outranks the exit code), then
// each skipped test and why. A failing run prints no heading, so ctest still
// counts it as failed.
void ReportSkipped(int result) {
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    if (result != 0 || unit.skipped_test_count() == 0) return;
    std::printf("Skipped, none failed: %d of %d tests\n", unit.skipped_test_count(),
                unit.test_to_run_count());
    for (int s = 0; s < unit.total_test_suite_count(); ++s) {
        const ::testing::TestSuite& suite = *unit.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const ::testing::TestInfo& test = *suite.GetTestInfo(t);
            if (!test.should_run() || !test.result()->Skipped()) continue;
            QString why;
            for (int p = 0; p < test.result()->total_part_count(); ++p) {
                const ::testing::TestPartResult& part = test.result()->GetTestPartResult(p);
                if (part.skipped()) why += QString::fromUtf8(part.message()).simplified();
            }
            std::printf("skipped: %s.%s: %s\n", suite.name(), test.name(), qPrintable(why));
        }
    }
    std::fflush(stdout);
}
}  // namespace

QStringList& RecordedMessages() { return TestSeams::Current().Messages(); }

QList<FileDialogRequest>& RecordedFileDialogs() { return TestSeams::Current().FileDialogs(); }

void ChooseFileInDialogs(const QString& path) { TestSeams::Current().ChooseFile(path); }

QString TestSocketPath() {
    static QTemporaryDir folder;
    return folder.path() + QStringLiteral("/remote");
}

std::shared_ptr<void> BareTestRuntime(int& argc, char** argv) {
    return std::make_shared<QApplication>(argc, argv);
}

int RunTestsOffscreen(int argc, char** argv, const TestRuntime& start,
                      const std::function<int()>& run) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int result = 0;
    {
        const std::shared_ptr<void> runtime = start(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        TestSeams seams(TestSocketPath());
        g_qtHandler = qInstallMessageHandler(CheckMessage);
        result = run();
        qInstallMessageHandler(g_qtHandler);
    }
    // Last, once the application object is gone too: a crash before this
    // line leaves no heading, and ctest counts the run as failed.
    ReportSkipped(result);
    return result;
}

ExpectedWarning::ExpectedWarning(QRegularExpression pattern) : pattern_(std::move(pattern)) {
    Expectations().push_back(this);
}

ExpectedWarning::~ExpectedWarning() {
    std::erase(Expectations(), this);
    EXPECT_TRUE(taken_) << "no warning matched " << pattern_.pattern().toStdString();
}

bool ExpectedWarning::Take(const QString& message) {
    if (taken_ || !pattern_.match(message).hasMatch()) return false;
    taken_ = true;
    return true;
}

Color PixelColor(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// gtest prints colours readably.
void PrintTo(const Color& color, std::ostream* os) {
    *os << "(" << int(color.Red) << ", " << int(color.Green) << ", " << int(color.Blue) << ")";
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void KeepPicture(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("VELTRANE_GRAB_DIR");
    if (folder.isEmpty()) return;
    const QString path = QDir(folder).filePath(name);
    EXPECT_TRUE(QDir().mkpath(folder) && image.save(path, "PNG"))
        << "cannot save " << path.toStdString();
}
