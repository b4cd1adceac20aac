#include "Text.h"

#include <cmath>
#include <limits>

int32_t ToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

QString CStr(int32_t value) { return QString::number(value); }
QString CStr(int64_t value) { return QString::number(value); }

QString CStr(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<int64_t>(value));
    return QString::number(value, 'g', 15);
}

QString Str(int32_t value) { return CStr(value); }
QString Str(double value) { return CStr(value); }

namespace {
int SkipBlanks(const QString& text, int i) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    return i;
}
}  // namespace

int64_t CLong(const QString& text) {
    int i = SkipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    uint64_t magnitude = 0;  // wraps modulo 2^64 for overlong digit strings
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = magnitude * 10u + static_cast<uint64_t>(text[i].unicode() - '0');
    if (negative) magnitude = ~magnitude + 1u;
    return static_cast<int64_t>(magnitude);
}

int32_t CLong32(const QString& text) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(CLong(text))));
}

double Val(const QString& text) {
    int i = SkipBlanks(text, 0);
    const int start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    int digits = 0;
    while (i < text.size() && text[i].isDigit()) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i].isDigit()) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        int j = i + 1;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
        if (j < text.size() && text[j].isDigit()) {
            while (j < text.size() && text[j].isDigit()) ++j;
            i = j;
        }
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    // Beyond the double range the number is ±infinity, which the conversion to
    // an integer saturates like any other huge value; an underflow reads as 0.
    if (!ok && std::isinf(value)) return value;
    return ok ? value : 0.0;
}

QString Hex(int64_t value) { return QString::number(static_cast<uint64_t>(value), 16).toUpper(); }

QString Bin(int64_t value) { return QString::number(static_cast<uint64_t>(value), 2); }

QString Trim(const QString& text) { return text.trimmed(); }

int InStr(const QString& text, const QString& find) {
    return static_cast<int>(text.indexOf(find, 0, Qt::CaseInsensitive)) + 1;
}

QString Mid(const QString& text, int start, int length) {
    // In 64 bits: start - 1 and first + length overflow an int at its limits.
    int64_t first = int64_t{start} - 1;  // zero-based index of position `start`
    int64_t end = first + length;
    if (first < 0) first = 0;
    if (end > text.size() || length < 0) end = text.size();
    if (end <= first) return QString();
    return text.mid(static_cast<qsizetype>(first), static_cast<qsizetype>(end - first));
}

QString Chr(int code) { return QString(QChar(static_cast<char16_t>(code))); }

double Floor(double value) { return std::floor(value); }
