#pragma once
#include <QString>

// A moment counted in seconds since 1904-01-01 00:00:00.
class Date {
public:
    double TotalSeconds = 0;

    // For example "Nov 2, 2011".
    QString AbbreviatedDate() const;
};
