#pragma once
#include <QChar>
#include <QDate>
#include <QString>
#include <optional>

namespace kd {

// The date, time and number formats the typed edits and spin edits work with: the
// Czech system's (short date "d.M.yyyy", long time "H:mm:ss", decimal comma), set
// here rather than taken from the machine's locale.
struct FormatSettings {
    QChar DateSeparator = u'.';
    QChar TimeSeparator = u':';
    QChar DecimalSeparator = u',';

    // A date in the short date format, e.g. 7.12.2026.
    QString formatDate(QDate date) const;
    // Midnight in the long time format: 0:00:00.
    QString midnight() const;
    // A text in the short date format as a date. A two-digit year lies in 1969-2068.
    std::optional<QDate> parseDate(const QString& text) const;
    // A time of day "H:mm" or "H:mm:ss", as milliseconds since midnight.
    std::optional<int> parseTime(const QString& text) const;
    // A number with the decimal separator (and an optional exponent).
    std::optional<double> parseFloat(const QString& text) const;
    // The same, except that a number too large for a double reads as the largest
    // double of its sign.
    std::optional<double> parseFloatSaturated(const QString& text) const;
    // Fixed-point text of the value rounded to precision significant digits, with the
    // given decimals and the decimal separator.
    QString formatFixed(double value, int precision, int decimals) const;
};

} // namespace kd
