#pragma once
#include <QFont>
#include <QStringList>

// `base` at the largest pixel size, not above its own, at which every one of
// `texts` fits into `width` pixels; the smallest size tried when none does.
QFont FontFittingWidth(const QFont& base, const QStringList& texts, int width);
