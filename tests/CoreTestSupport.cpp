#include "CoreTestSupport.h"

#include <QApplication>
#include <QTemporaryDir>

#include "TestSeams.h"

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
    return run();
}

Color PixelColor(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// gtest prints colours readably.
void PrintTo(const Color& color, std::ostream* os) {
    *os << "(" << int(color.Red) << ", " << int(color.Green) << ", " << int(color.Blue) << ")";
}
