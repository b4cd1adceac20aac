#pragma once
#include <QLoggingCategory>

// The program's own warnings, through Qt's logging, so that a test can expect
// them. Qt's default format puts a category's name before each line: the
// category bears the program's name, and a line reads "Veltrane: ...".
Q_DECLARE_LOGGING_CATEGORY(lcVeltrane)
