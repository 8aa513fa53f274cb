#include "lang/EngineMessages.h"

#include "lang/TResourceStrings.h"

#include <algorithm>
#include <string_view>

namespace kd {
namespace {

// The engine's phrases by message id: its error texts and box captions (12001-12099,
// and the error caption 20000) and the system's error descriptions it appends
// (12101-12199).
const std::vector<std::pair<int, const char*>> kPhrases = {
    {12001, "Wrong password"},
    {12002, "Wrong password or damaged data"},
    {12003, "Cannot create a temporary file beside"},
    {12004, "Cannot create a temporary file in"},
    {12005, "Cannot create a temporary directory beside"},
    {12006, "Cannot find a free temporary name beside"},
    {12007, "Cannot open the directory of"},
    {12008, "Cannot open the temporary directory"},
    {12009, "Cannot put in place"},
    {12010, "Cannot create directory"},
    {12011, "Cannot open directory"},
    {12012, "Cannot open the destination directory"},
    {12013, "Cannot open the destination"},
    {12014, "Cannot replace"},
    {12015, "Cannot write"},
    {12016, "Cannot read"},
    {12017, "Cannot open"},
    {12018, "Cannot flush"},
    {12019, "Cannot create file"},
    {12020, "Cannot open file"},
    {12021, "Cannot read file"},
    {12022, "Cannot write file"},
    {12023, "Cannot flush file"},
    {12024, "Cannot close file"},
    {12025, "Read error in"},
    {12026, "Stream read error"},
    {12027, "Stream write error"},
    {12028, "the device took fewer bytes than written"},
    {12029, "Cant write uncompressed file"},
    {12030, "Not enough room to write archive"},
    {12031, "Not a valid zip file!"},
    {12032, "The archive would exceed 4 GiB, which the ZIP format cannot hold"},
    {12033, "CRC error"},
    {12034, "computed"},
    {12035, "stored"},
    {12036, "Cannot read the archive"},
    {12037, "Bad compressed data"},
    {12038, "unexpected end of data"},
    {12039, "Premature end of file reached"},
    {12040, "Incomplete Zip File"},
    {12041, "Cannot set the permissions of directory"},
    {12042, "Cannot set the time of directory"},
    {12043, "Refused to extract through the symbolic link"},
    {12044, "Not a file name"},
    {12045, "temporary data file in"},
    {12046, "File Exists Alert"},
    {12047, "Replace existing file"},
    {12048, "Unable to create Zip Configuration File to disk"},
    {20000, "Error"},
    {12101, "Read-only file system"},
    {12102, "Permission denied"},
    {12103, "No space left on device"},
    {12104, "No such file or directory"},
    {12105, "File exists"},
    {12106, "Is a directory"},
    {12107, "Not a directory"},
    {12108, "Disk quota exceeded"},
    {12109, "File name too long"},
    {12110, "Input/output error"},
    {12111, "Operation not permitted"},
    {12112, "Device or resource busy"},
    {12113, "Too many open files"},
    {12114, "Directory not empty"},
    {12115, "Too many levels of symbolic links"},
    {12116, "File too large"},
};

// The phrases longest first, so that "Cannot open directory" wins over "Cannot open".
std::vector<std::pair<int, std::string_view>> longestFirst() {
    std::vector<std::pair<int, std::string_view>> phrases(kPhrases.begin(), kPhrases.end());
    std::stable_sort(phrases.begin(), phrases.end(), [](const auto& a, const auto& b) {
        return a.second.size() > b.second.size();
    });
    return phrases;
}

bool startsPart(std::string_view text, std::size_t at) {
    if (at == 0)
        return true;
    const std::string_view before = text.substr(0, at);
    return before.ends_with(": ") || before.ends_with("(") || before.ends_with(", ") ||
           before.ends_with("\n") || before.ends_with(". ");
}

bool endsPart(std::string_view text, std::size_t end) {
    if (end == text.size())
        return true;
    return std::string_view(" :;.,)!?\"\n").find(text[end]) != std::string_view::npos;
}

} // namespace

const std::vector<std::pair<int, const char*>>& engineMessagePhrases() {
    return kPhrases;
}

std::string EngineMessageText(const std::string& message,
                              const std::function<std::string(int id)>& textOf) {
    static const auto phrases = longestFirst();
    std::string result;
    result.reserve(message.size());
    const std::string_view text = message;
    std::size_t at = 0;
    while (at < text.size()) {
        bool replaced = false;
        if (startsPart(text, at)) {
            for (const auto& [id, phrase] : phrases) {
                if (text.substr(at).starts_with(phrase) && endsPart(text, at + phrase.size())) {
                    const std::string translated = textOf(id);
                    // A table without the phrase keeps the engine's words.
                    result += translated.empty() ? std::string(phrase) : translated;
                    at += phrase.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            result += text[at++];
    }
    return result;
}

std::string EngineMessageText(const std::string& message) {
    return EngineMessageText(message, [](int id) { return ResourceStrings.GetText(id); });
}

} // namespace kd
