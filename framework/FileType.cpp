#include "FileType.h"

QStringList FileType::ExtensionList() const {
    QStringList list;
    for (const QString& part : Extensions.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString extension = part.trimmed();
        if (extension.startsWith(QLatin1Char('.'))) extension.remove(0, 1);
        if (!extension.isEmpty()) list.append(extension);
    }
    return list;
}

QString FileType::DialogFilter() const {
    QStringList patterns;
    for (const QString& extension : ExtensionList())
        patterns.append(QStringLiteral("*.") + extension);
    if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
    return QStringLiteral("%1 (%2)").arg(Name, patterns.join(QLatin1Char(' ')));
}
