#include "widgets/typed/CompleteDateTime.h"

namespace kd {
namespace {

bool isDelimiter(QChar c) {
    return QStringView(u"*+,-./:?").contains(c);
}

// The tail of full after its n-th separator (n = 1 or 2), empty when it has fewer.
QString tailAfter(const QString& full, QChar separator, int n) {
    qsizetype pos = -1;
    for (int i = 0; i < n; ++i)
        if ((pos = full.indexOf(separator, pos + 1)) < 0)
            return {};
    return full.mid(pos + 1);
}

bool onlyDigitsAndSeparators(const QString& text, const FormatSettings& format) {
    for (QChar c : text)
        if (c != u' ' && !(c >= u'0' && c <= u'9') && c != format.DateSeparator &&
            c != format.TimeSeparator)
            return false;
    return true;
}

// Completes text against full (today's date or midnight, written with separator).
QString complete(const QString& text, const QString& full, QChar separator, qsizetype cut,
                 const FormatSettings& format) {
    QString t = text.trimmed();
    if (t.isEmpty())
        return text;
    if (t.size() > 8)
        t.truncate(cut);
    // The first two delimiters become the separator; positions are 1-based, 0 absent.
    qsizetype p1 = 0, p2 = 0;
    for (qsizetype i = 0; i < t.size() && p2 == 0; ++i) {
        if (!isDelimiter(t[i]))
            continue;
        t[i] = separator;
        (p1 == 0 ? p1 : p2) = i + 1;
    }
    const qsizetype length = t.size();
    QString result;
    if (p1 == 1)
        return full;
    if (p1 > 1 && p2 > 0) {
        if (p2 == p1 + 1)
            return {};
        result = p2 < length ? t : t + tailAfter(full, separator, 2);
    } else if (p1 > 1) {
        result = p1 < length ? t + separator + tailAfter(full, separator, 2)
                             : t + tailAfter(full, separator, 1);
    } else if (length == 6) {
        return t.left(2) + separator + t.mid(2, 2) + separator + t.mid(4);
    } else if (length <= 2) {
        result = t + separator + tailAfter(full, separator, 1);
    } else {
        return {};
    }
    return onlyDigitsAndSeparators(t, format) ? result : QString();
}

} // namespace

QString CompleteDate(const QString& text, QDate today, const FormatSettings& format) {
    return complete(text, format.formatDate(today), format.DateSeparator, 10, format);
}

QString CompleteTime(const QString& text, const FormatSettings& format) {
    return complete(text, format.midnight(), format.TimeSeparator, 8, format);
}

} // namespace kd
