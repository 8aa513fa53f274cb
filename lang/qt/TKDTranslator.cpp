#include "lang/qt/TKDTranslator.h"

#include "platform/Exception.h"

#include <filesystem>

namespace kd {
namespace {

constexpr const char* TranslationsSection = "Translations";
constexpr const char* MessagesSection = "Messages";

std::string toUtf8(const QString& text) {
    return text.toStdString();
}

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Keeps the file under the name ending ".bak" (replacing an older one), or deletes it.
void setAside(const std::filesystem::path& file, bool backup) {
    std::error_code error;
    if (!backup) {
        std::filesystem::remove(file, error);
        return;
    }
    if (!std::filesystem::exists(file, error))
        return;
    std::filesystem::path bak = file;
    bak.replace_extension(".bak");
    std::filesystem::rename(file, bak, error);
    if (error)
        throw Exception("Cannot rename " + file.string() + " to " + bak.string() + ": " +
                        error.message());
}

} // namespace

TKDTranslator::~TKDTranslator() {
    // What a save had not stored yet is dropped: a destructor reports nothing.
    discarding_ = true;
    setActive(false);
}

void TKDTranslator::setLanguageFile(const QString& fileName) {
    if (fileName == languageFile_)
        return;
    const bool wasActive = Active();
    setActive(false);
    languageFile_ = fileName;
    if (!fileName.isEmpty())
        setActive(wasActive);
}

void TKDTranslator::DoOpen() {
    ini_ = std::make_unique<IniFile>(toUtf8(languageFile_));
    written_ = false;
}

void TKDTranslator::DoClose() {
    std::unique_ptr<IniFile> ini = std::move(ini_);
    if (ini && written_ && !discarding_) {
        written_ = false;
        ini->updateFile();
    }
    written_ = false;
}

QString TKDTranslator::TranslateMsg(const QString& msg) {
    if (OnTranslateMsg)
        return TkdCustomTranslator::TranslateMsg(msg);
    setActive(true);
    return fromUtf8(ini_->readString(MessagesSection, toUtf8(msg), toUtf8(msg)));
}

QString TKDTranslator::TranslateProp(const QString& propPath, const QString& value) {
    setActive(true);
    if (!saving_) {
        if (OnTranslateProp)
            return TkdCustomTranslator::TranslateProp(propPath, value);
        return fromUtf8(ini_->readString(TranslationsSection, toUtf8(propPath), toUtf8(value)));
    }
    // One value is one line of the file: a text with a line break cannot be stored and
    // is left out rather than cut in two.
    if (!value.isEmpty() && !value.contains(u'\n') && !value.contains(u'\r')) {
        ini_->writeString(TranslationsSection, toUtf8(propPath), toUtf8(value));
        written_ = true;
    }
    return value;
}

void TKDTranslator::SaveTranslation(const QString& fileName, bool backup) {
    setAside(std::filesystem::path(toUtf8(fileName)), backup);
    const bool wasActive = Active();
    setActive(false);
    const QString wasFile = languageFile_;
    setLanguageFile(fileName);
    saving_ = true;
    struct Restore {
        TKDTranslator& self;
        const QString& file;
        bool active;
        ~Restore() {
            self.saving_ = false;
            self.discarding_ = true;
            self.setActive(false);
            self.discarding_ = false;
            self.setLanguageFile(file);
            self.setActive(active);
        }
    } restore{*this, wasFile, wasActive};
    TranslateOwner();
    // Stores the file; an error here reaches the caller.
    setActive(true);
    setActive(false);
}

} // namespace kd
