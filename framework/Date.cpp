#include "Date.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace {
// Calendar time; the moment is shown as written, whatever the local zone.
QDateTime ToDateTime(double totalSeconds) {
    const QDateTime epoch(QDate(1904, 1, 1), QTime(0, 0), Qt::UTC);
    return epoch.addSecs(static_cast<qint64>(std::floor(totalSeconds)));
}
}  // namespace

QString Date::AbbreviatedDate() const {
    return QLocale::c().toString(ToDateTime(TotalSeconds).date(), QStringLiteral("MMM d, yyyy"));
}
