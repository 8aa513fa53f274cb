#include "widgets/typed/FormatSettings.h"

#include "platform/DateText.h"

#include <cmath>
#include <limits>

namespace kd {
namespace {

// The Qt-independent date routines read "." and ":" as separators.
std::string withSeparator(QString text, QChar from, QChar to) {
    return text.replace(from, to).toStdString();
}

// A number with the separator, or the largest double of its sign when it is too large
// for one (overflow then set).
std::optional<double> readFloat(const QString& text, QChar separator, bool& overflow) {
    QString plain = text.trimmed();
    if (separator != u'.') {
        if (plain.contains(u'.'))
            return std::nullopt;
        plain.replace(separator, u'.');
    }
    bool ok = false;
    const double value = plain.toDouble(&ok);
    // Qt answers an overflow with an infinity that is not ok; "inf" written out is ok.
    overflow = !ok && std::isinf(value);
    if (overflow)
        return std::copysign(std::numeric_limits<double>::max(), value);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QString FormatSettings::formatDate(QDate date) const {
    return QStringLiteral("%1%2%3%2%4")
        .arg(date.day())
        .arg(DateSeparator)
        .arg(date.month())
        .arg(date.year());
}

QString FormatSettings::midnight() const {
    return QStringLiteral("0") + TimeSeparator + QStringLiteral("00") + TimeSeparator +
           QStringLiteral("00");
}

std::optional<QDate> FormatSettings::parseDate(const QString& text) const {
    const auto value = parseShortDate(withSeparator(text, DateSeparator, u'.'));
    if (!value)
        return std::nullopt;
    // Day 0 of the date values is 30 December 1899.
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(*value)));
}

std::optional<int> FormatSettings::parseTime(const QString& text) const {
    const auto value = kd::parseTime(withSeparator(text, TimeSeparator, u':'));
    if (!value)
        return std::nullopt;
    return static_cast<int>(std::llround(*value * 86400000.0));
}

std::optional<double> FormatSettings::parseFloat(const QString& text) const {
    bool overflow = false;
    const auto value = readFloat(text, DecimalSeparator, overflow);
    return overflow ? std::nullopt : value;
}

std::optional<double> FormatSettings::parseFloatSaturated(const QString& text) const {
    bool overflow = false;
    return readFloat(text, DecimalSeparator, overflow);
}

QString FormatSettings::formatFixed(double value, int precision, int decimals) const {
    value = QString::number(value, 'g', precision).toDouble();
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0; // no "-0,00"
    return QString::number(value, 'f', decimals).replace(u'.', DecimalSeparator);
}

} // namespace kd
