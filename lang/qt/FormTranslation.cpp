#include "lang/qt/FormTranslation.h"

#include "lang/LanguageFiles.h"
#include "lang/TResourceStrings.h"
#include "platform/Paths.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>

namespace kd {

bool SaveTranslationMode = false;

namespace {

std::optional<std::string> filesDirectoryOverride;

// The language files' translator that remembers, per path, the built-in text and the
// text it wrote last.
class FormTextTranslator : public TKDTranslator {
public:
    using TKDTranslator::TKDTranslator;

protected:
    QString TranslateProp(const QString& propPath, const QString& value) override {
        if (saving())
            return TKDTranslator::TranslateProp(propPath, value);
        auto [memo, first] = texts_.try_emplace(propPath, Memo{value, value});
        // The program set this text since the last translation: it stays.
        if (!first && value != memo->second.written)
            return value;
        // The file's text, or the built-in one where the file has none.
        memo->second.written = TKDTranslator::TranslateProp(propPath, memo->second.builtIn);
        return memo->second.written;
    }

private:
    struct Memo {
        QString builtIn, written;
    };
    std::map<QString, Memo> texts_;
};

std::string langDirectory() {
    return withTrailingSlash(formFilesDirectory()) + "Lang/";
}

} // namespace

void readSaveTranslationSwitch(const std::vector<std::string>& arguments) {
    for (std::string argument : arguments) {
        std::transform(argument.begin(), argument.end(), argument.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (argument == "/save_translation")
            SaveTranslationMode = true;
    }
}

std::string formFilesDirectory() {
    return filesDirectoryOverride ? *filesDirectoryOverride : executableDirectory();
}

void setFormFilesDirectory(std::string directory) {
    if (directory.empty())
        filesDirectoryOverride.reset();
    else
        filesDirectoryOverride = std::move(directory);
}

FormTranslation::FormTranslation(QWidget& form)
    : QObject(&form), form_(form), translator_(new FormTextTranslator(&form)) {
    translator_->setObjectName("KD_TL");
    form.installEventFilter(this);
}

bool FormTranslation::eventFilter(QObject* watched, QEvent* event) {
    // Qt repeats show events on its own (a window coming back from minimised); only a
    // show the program asks for counts.
    if (watched == &form_ && event->type() == QEvent::Show && !event->spontaneous()) {
        if (restoring_) {
            restoring_ = false;
        } else {
            // Nothing may leave an event handler; the window keeps the texts it has.
            try {
                FormShow();
            } catch (const std::exception& e) {
                std::cerr << "kordyne: " << form_.objectName().toStdString()
                          << " was not translated: " << e.what() << '\n';
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void FormTranslation::FormShow() {
    const std::string dir = langDirectory();
    if (SaveTranslationMode) {
        try {
            std::error_code ignored;
            std::filesystem::create_directory(dir, ignored);
            translator_->SaveTranslation(
                QString::fromStdString(dir + "TRANSL_") + form_.objectName() + ".ini", true);
        } catch (const std::exception& e) {
            std::cerr << "kordyne: the texts of " << form_.objectName().toStdString()
                      << " were not saved: " << e.what() << '\n';
        }
    }
    translateAgain();
}

void FormTranslation::translateAgain() {
    // A missing file reads as empty: the window keeps its built-in texts.
    const std::string name = translationFileName(LanguageCode);
    const std::string file =
        findFileIgnoringCase(langDirectory(), name).value_or(langDirectory() + name);
    translator_->setLanguageFile(QString::fromStdString(file));
    translator_->setActive(true);
    if (translator_->Active())
        translator_->TranslateOwner();
    translator_->setActive(false);
}

} // namespace kd
