#include "widgets/edits/TFilenameEdit.h"

#include "widgets/edits/FileNameText.h"
#include "widgets/files/FileNameTests.h"

#include <QStringList>

namespace kd {

std::string QtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern.trimmed() == "*.*")
                pattern = "*";
        // Qt reads the patterns from the final parentheses: any of the description's
        // own give way to them.
        QString description = parts[i].trimmed();
        if (description.endsWith(')') && description.contains('('))
            description = description.left(description.lastIndexOf('(')).trimmed();
        entries << description + " (" + patterns.join(' ') + ")";
    }
    return entries.join(";;").toStdString();
}

void TFilenameEdit::setMultiSelect(bool value) {
    dialog_.multiSelect = value;
    setMultiple(value);
    if (!value)
        dialog_.files.clear();
}

std::string TFilenameEdit::FileName() const {
    return TrimToFileName(text().toStdString());
}

void TFilenameEdit::setFileName(const std::string& name) {
    if (!name.empty() && !IsValidFileName(TrimToFileName(name)))
        throw EComboEditError("Invalid file name - " + name);
    setText(QString::fromStdString(QuoteIfSpaced(name)));
    dialog_.files.clear();
}

std::string TFilenameEdit::LongPathText() const {
    return LongPathOf(FileName());
}

std::string TFilenameEdit::ShortPathText() const {
    return ShortPathOf(FileName());
}

void TFilenameEdit::ButtonAction() {
    TFileDirEdit::ButtonAction();
    std::string name = FileName();
    bool action = true;
    NotifyBeforeDialog(name, action);
    if (!action)
        return;
    if (IsValidFileName(name)) {
        const std::string dir = DirectoryPart(name);
        if (!dir.empty() && IsExistingDirectory(dir))
            dialog_.initialDir = dir;
        if (!IsValidFileName(NamePart(name)))
            name.clear();
        dialog_.fileName = name;
    }
    const std::string start =
        !dialog_.fileName.empty() && !DirectoryPart(dialog_.fileName).empty()
            ? dialog_.fileName
            : (dialog_.initialDir.empty() ? dialog_.fileName
                                          : dialog_.initialDir + '/' + dialog_.fileName);
    const std::optional<std::string> chosen =
        ui().chooseFile(dialog_.title, start, QtFileFilter(dialog_.filter));
    action = chosen.has_value();
    if (chosen) {
        name = *chosen;
        dialog_.fileName = *chosen;
    }
    if (isEnabled() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::OtherFocusReason);
    NotifyAfterDialog(name, action);
    if (!action)
        return;
    setText(QString::fromStdString(QuoteIfSpaced(name)));
    dialog_.initialDir = DirectoryPart(dialog_.fileName);
}

void TFilenameEdit::AcceptDroppedName(const std::string& name) {
    // A dropped name is a real file: taken as it is, never refused.
    if (!Multiple() || dialog_.files.empty())
        setText(QString::fromStdString(QuoteIfSpaced(name)));
    if (Multiple())
        dialog_.files.push_back(name);
}

} // namespace kd
