#include "widgets/draw/ShortenText.h"

#include <algorithm>

namespace kd {

QString ShortenTextToWidth(const QString& text, const std::function<int(const QString&)>& width,
                           int maxWidth) {
    QString result = text;
    const qsizetype length = text.size();
    for (qsizetype i = 1; i <= length && width(result) > maxWidth; ++i)
        result = text.left(std::max<qsizetype>(0, length - i - 1)) + QLatin1String("...");
    return result;
}

QString ShortenTextToWidth(const QString& text, const QFontMetrics& metrics, int maxWidth) {
    return ShortenTextToWidth(
        text, [&metrics](const QString& s) { return metrics.horizontalAdvance(s); }, maxWidth);
}

} // namespace kd
