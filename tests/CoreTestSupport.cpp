#include "CoreTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
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
}  // namespace

QStringList& RecordedMessages() { return TestSeams::Current().Messages(); }

QList<FileDialogRequest>& RecordedFileDialogs() { return TestSeams::Current().FileDialogs(); }

void ChooseFileInDialogs(const QString& path) { TestSeams::Current().ChooseFile(path); }

QString TestSocketPath() {
    static QTemporaryDir folder;
    return folder.path() + QStringLiteral("/remote");
}

int RunTestsOffscreen(int argc, char** argv, const std::function<int()>& run) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    TestSeams seams(TestSocketPath());
    g_qtHandler = qInstallMessageHandler(CheckMessage);
    const int result = run();
    qInstallMessageHandler(g_qtHandler);
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
