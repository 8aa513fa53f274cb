#pragma once
#include <QFontMetrics>
#include <QString>
#include <functional>

namespace kd {

// While the text is wider than maxWidth, it becomes its first length - i - 1
// characters (at least none) followed by "...", for i = 1, 2, ... up to its length.
QString ShortenTextToWidth(const QString& text, const std::function<int(const QString&)>& width,
                           int maxWidth);
QString ShortenTextToWidth(const QString& text, const QFontMetrics& metrics, int maxWidth);

} // namespace kd
