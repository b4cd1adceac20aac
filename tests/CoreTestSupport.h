#pragma once
// What every test program shares, the tests of the pure cores included: the
// seams' records and choices, and readable pixels and colours.
#include <gtest/gtest.h>

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
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

// A test main: the offscreen QApplication, gtest and the seams (TestSeams)
// for the whole run, then `run` (which runs the tests and gives the exit code).
int RunTestsOffscreen(int argc, char** argv, const std::function<int()>& run);

Color PixelColor(const QImage& image, int x, int y);
void PrintTo(const Color& color, std::ostream* os);
