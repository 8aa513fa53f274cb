#pragma once
#include "widgets/typed/FormatSettings.h"

#include <QDate>
#include <QString>

namespace kd {

// Completes an abbreviated date from today's: "5" and "5." give the 5th of this month,
// "5/3" the 5th of March this year, six digits ddmmyy get separators, a text beginning
// with a delimiter gives today. A text that cannot be completed becomes empty; an empty
// text stays empty.
QString CompleteDate(const QString& text, QDate today, const FormatSettings& format);

// The same for a time of day: the missing parts are zeros ("7" gives 7:00:00, "7.30"
// gives 7:30:00, six digits hhmmss get separators).
QString CompleteTime(const QString& text, const FormatSettings& format);

} // namespace kd
