#include "FontFit.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>

namespace {
constexpr int kSmallestPixelSize = 6;

int WidestAdvance(const QFont& font, const QStringList& texts) {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}
}  // namespace

QFont FontFittingWidth(const QFont& base, const QStringList& texts, int width) {
    QFont font = base;
    for (int size = QFontInfo(base).pixelSize(); size >= kSmallestPixelSize; --size) {
        font.setPixelSize(size);
        if (WidestAdvance(font, texts) <= width) return font;
    }
    return font;
}
