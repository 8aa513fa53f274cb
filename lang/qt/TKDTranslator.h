#pragma once
#include "lang/qt/TkdCustomTranslator.h"
#include "platform/IniFile.h"

#include <memory>

namespace kd {

// The translator of the program's forms: answers from a language file, an INI file
// whose section "Translations" maps paths to texts and "Messages" maps message texts
// to their translations. A missing file reads as empty, so every text stays.
class TKDTranslator : public TkdCustomTranslator {
    Q_OBJECT
public:
    using TkdCustomTranslator::TkdCustomTranslator;
    ~TKDTranslator() override;

    const QString& LanguageFile() const { return languageFile_; }
    // Closes the old file and, when the name is not empty, reopens if it was open.
    void setLanguageFile(const QString& fileName);

    QString TranslateMsg(const QString& msg) override;

    // Writes the owner's current texts (every text not empty, every list as one joined
    // value) to the file's "Translations" section; nothing on the form changes. With
    // backup, an existing file is first renamed to the same name ending ".bak";
    // without, it is deleted. Throws kd::Exception when the file cannot be written or
    // the old one cannot be kept. The language file and Active are restored either way.
    void SaveTranslation(const QString& fileName, bool backup);

protected:
    void DoOpen() override;
    void DoClose() override;
    QString TranslateProp(const QString& propPath, const QString& value) override;

    bool saving() const { return saving_; }

private:
    QString languageFile_;
    std::unique_ptr<IniFile> ini_;
    bool saving_ = false;
    bool written_ = false;    // the save wrote into the file: closing stores it
    bool discarding_ = false; // a failed save: closing drops what it wrote
};

} // namespace kd
