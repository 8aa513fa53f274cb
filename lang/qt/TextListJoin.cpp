#include "lang/qt/TextListJoin.h"

namespace kd {

QString joinTextLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        for (const QChar c : line) {
            text += c;
            if (c == u',')
                text += c;
        }
        text += u',';
    }
    text.chop(1);
    return text;
}

QStringList splitTextLines(const QString& text) {
    QStringList lines;
    if (text.isEmpty())
        return lines;
    QString line;
    bool endedByComma = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        endedByComma = false;
        if (text[i] != u',') {
            line += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == u',') {
            line += u',';
            ++i;
        } else {
            lines.append(line);
            line.clear();
            endedByComma = true;
        }
    }
    if (!endedByComma)
        lines.append(line);
    return lines;
}

} // namespace kd
