#pragma once
// Text and number conversions used wherever the program shows or parses a value.
#include <QString>
#include <cstdint>

// A double converted to int32_t as the program stores every computed value:
// the fraction is dropped toward zero, values beyond the 32-bit range
// saturate and NaN gives 0.
int32_t ToInt32(double value);

QString CStr(int32_t value);
QString CStr(int64_t value);
QString CStr(double value);
QString Str(int32_t value);
QString Str(double value);

// The integer at the start of a text (leading blanks and a sign allowed); 0 when
// the text does not start with a number. Digits beyond the 64-bit range keep
// the low bits, so the low 32 bits of the result are those of the written number.
int64_t CLong(const QString& text);
// The low 32 bits of CLong, as the program stores typed and read values.
int32_t CLong32(const QString& text);
// The decimal number (with fraction and exponent) at the start of a text; 0 when none.
// A number beyond the double range gives infinity of its sign.
double Val(const QString& text);

QString Hex(int64_t value);
QString Bin(int64_t value);
QString Trim(const QString& text);
// Position (from 1) of the first occurrence of `find`, ignoring letter case; 0 when absent.
int InStr(const QString& text, const QString& find);
// The characters at positions start .. start + length - 1, counted from 1.
QString Mid(const QString& text, int start, int length);
QString Chr(int code);
double Floor(double value);
