#include "lang/EngineMessages.h"

#include "lang/TResourceStrings.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace kd {
namespace {

// The engine's phrases by message id: its error texts and box captions (12001-12099,
// and the error caption 20000), the system's error descriptions it appends
// (12101-12199), and the details of damaged data, of the steps that failed and of
// started programs (12201-12299). A "%s" stands for a name or number that the text in
// the table holds at its own "%s", in the same order.
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
    {12049, "The name names no file or directory"},
    {12050, "Unknown Compression Method"},
    {12051, "Unsupported compression method"},
    {12052, "The name is longer than %s bytes"},
    {12053, "AES encryption is not supported"},
    {12054, "The file %s is read-only"},
    {12055, "The encrypted entry is shorter than its encryption header"},
    {12056, "No local header where the directory points"},
    {12057, "Refused, overlapping entries (possible zip bomb)"},
    {12058, "The entry holds %s bytes, not %s"},
    {12059, "Refused a name leading outside the destination"},
    {12060, "nothing written"},
    {12061, "Cannot read the size of"},
    {12062, "ZIP64 archives are not supported"},
    {12063, "the archive has a ZIP64 end record"},
    {12064, "entry"},
    {12065, "its directory runs past the last part"},
    {12066, "Part %s of the multi-part archive is missing"},
    {12067, "a record lies outside part %s of the set"},
    {12068, "The part %s changed while it was read"},
    {12069, "The part %s ended early"},
    {12070, "a part of the set has changed"},
    {12071, "no local header for"},
    {12072, "The multi-part archive %s is incomplete: %s is not its last part"},
    {12073, "Disk %s of the multi-disk set was not inserted"},
    {12074, "Please insert disk %s of the multi-disk set"},
    {12075, "The archive %s would pass 4 GiB, which a ZIP archive without ZIP64 cannot hold"},
    {12076,
     "The self-extractor %s would pass 4 GiB, which a ZIP archive without ZIP64 cannot hold"},
    {12077, "An entry's data would pass 4 GiB, which a ZIP archive without ZIP64 cannot hold"},
    {12078, "The file %s is 4 GiB or larger, which a ZIP archive without ZIP64 cannot hold"},
    {12079, "The archive %s would hold more than 65535 entries, which a ZIP archive without "
            "ZIP64 cannot hold"},
    {12080, "The archive %s would need more than 65535 parts"},
    {12081, "The archive %s has several parts; it is updated only as numbered parts"},
    {12082, "The archive %s has several parts; a self-extractor is a single file"},
    {12083, "The archive %s cannot be made self-extracting"},
    {12084, "A self-extractor is a single file; it cannot be written in several parts"},
    {12085, "The self-extractor's configuration block is missing"},
    {12086, "Cannot make %s executable"},
    {12087, "cannot rename the new archive into place"},
    {12088, "cannot cut the file"},
    {12089, "cannot set its permissions"},
    {12090, "Cannot put the part %s in place"},
    {12091, "part %s of %s has room for only %s bytes"},
    {12092, "too few for a record of"},
    {12093, "Entry name too long"},
    {12094, "Comment longer than 65535 bytes"},
    {12095, "Cannot get random bytes for the encryption header"},
    {12096, "Unable to save Zip Configuration File to disk"},
    {12097, "The first part size must be at least 1 byte, not"},
    {12098, "The further part size must be at least 1 byte, not"},
    {12099, "Seek error in"},
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
    {12117, "Too many open files in system"},
    {12118, "No such device or address"},
    {12119, "No such device"},
    {12120, "Stale file handle"},
    {12121, "Value too large for defined data type"},
    {12122, "Text file busy"},
    {12123, "Cannot allocate memory"},
    {12124, "Resource temporarily unavailable"},
    {12125, "Invalid argument"},
    {12126, "Transport endpoint is not connected"},
    {12127, "Host is down"},
    {12128, "Connection timed out"},
    {12129, "Operation not supported"},
    {12130, "Invalid cross-device link"},
    {12131, "Bad file descriptor"},
    {12132, "Interrupted system call"},
    {12133, "Broken pipe"},
    {12134, "Connection reset by peer"},
    {12135, "Exec format error"},
    {12136, "Argument list too long"},
    {12137, "Too many links"},
    {12138, "No medium found"},
    {12139, "Structure needs cleaning"},
    {12201, "invalid block type"},
    {12202, "invalid Huffman code"},
    {12203, "stored block length check failed"},
    {12204, "too many length or distance codes"},
    {12205, "repeat of a code length with no previous one"},
    {12206, "code length repeat past the end"},
    {12207, "no end-of-block code"},
    {12208, "invalid literal/length code"},
    {12209, "invalid distance code"},
    {12210, "distance before the start of the data"},
    {12211, "over-subscribed Huffman code"},
    {12212, "incomplete Huffman code"},
    {12213, "implode tree has too many code lengths"},
    {12214, "implode tree has too few code lengths"},
    {12215, "implode tree is over-subscribed"},
    {12216, "invalid implode code"},
    {12217, "follower index out of range"},
    {12218, "reduce factor out of range"},
    {12219, "shrink code table has a cycle"},
    {12220, "shrink data does not start with a byte"},
    {12221, "shrink code size above 13 bits"},
    {12222, "unknown shrink control code"},
    {12223, "undefined shrink code"},
    {12224, "*** inflate out of memory ***"},
    {12225, "truncate"},
    {12226, "set time"},
    {12227, "flush"},
    {12228, "close"},
    {12229, "set attributes"},
    {12230, "Cannot start"},
    {12231, "The program stopped reading its input"},
    {12232, "The program's input is closed"},
    {12233, "A scratch file in %s has no name to take"},
    {12234, "Could not copy from"},
    {12235, "Cannot load the profile \"%s\""},
    {12236, "Cannot save the profile \"%s\""},
    {12237, "invalid name"},
};

constexpr std::string_view kSlot = "%s";

// A phrase split at its slots: the fixed pieces, one more than the slots.
struct Phrase {
    int id;
    std::string_view whole;
    std::vector<std::string_view> pieces;
};

std::vector<std::string_view> piecesOf(std::string_view phrase) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t slot = phrase.find(kSlot, start);
        pieces.push_back(phrase.substr(start, slot - start));
        if (slot == std::string_view::npos)
            return pieces;
        start = slot + kSlot.size();
    }
}

// The phrases longest first, so that "Cannot open directory" wins over "Cannot open".
std::vector<Phrase> longestFirst() {
    std::vector<Phrase> phrases;
    for (const auto& [id, text] : kPhrases)
        phrases.push_back({id, text, piecesOf(text)});
    std::stable_sort(phrases.begin(), phrases.end(), [](const Phrase& a, const Phrase& b) {
        return a.whole.size() > b.whole.size();
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

// Where the phrase ends when it stands at `at`, with what its slots hold there: its
// first piece at `at`, each further one after the slot before it. A slot holds at
// least one character and no line break.
std::optional<std::size_t> matchAt(std::string_view text, std::size_t at, const Phrase& phrase,
                                   std::vector<std::string_view>& slots) {
    slots.clear();
    if (!text.substr(at).starts_with(phrase.pieces.front()))
        return std::nullopt;
    std::size_t end = at + phrase.pieces.front().size();
    for (std::size_t i = 1; i < phrase.pieces.size(); ++i) {
        const std::size_t next = text.find(phrase.pieces[i], end + 1);
        if (next == std::string_view::npos ||
            text.substr(end, next - end).find('\n') != std::string_view::npos)
            return std::nullopt;
        slots.push_back(text.substr(end, next - end));
        end = next + phrase.pieces[i].size();
    }
    if (!endsPart(text, end))
        return std::nullopt;
    return end;
}

// The table's text with the slots' contents at its "%s", in order.
std::string filled(std::string text, const std::vector<std::string_view>& slots) {
    std::size_t from = 0;
    for (std::string_view slot : slots) {
        const std::size_t at = text.find(kSlot, from);
        if (at == std::string::npos)
            break;
        text.replace(at, kSlot.size(), slot);
        from = at + slot.size();
    }
    return text;
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
    std::vector<std::string_view> slots;
    std::size_t at = 0;
    while (at < text.size()) {
        bool replaced = false;
        if (startsPart(text, at)) {
            for (const Phrase& phrase : phrases) {
                const std::optional<std::size_t> end = matchAt(text, at, phrase, slots);
                if (!end)
                    continue;
                const std::string translated = textOf(phrase.id);
                // A table without the phrase keeps the engine's words.
                result += translated.empty() ? std::string(text.substr(at, *end - at))
                                             : filled(translated, slots);
                at = *end;
                replaced = true;
                break;
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
