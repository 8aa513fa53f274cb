#include "crypto/base/Protection.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "crypto/format/StringFormat.h"
#include "platform/FileStream.h"
#include "platform/MemoryStream.h"

namespace kd {

TProgressHook& ProgressHook() {
    static TProgressHook hook;
    return hook;
}

TProtection::TProtection(std::shared_ptr<TProtection> protection)
    : Actions(TProtectionActions::All()) {
    SetProtection(std::move(protection));
}

TProtection::~TProtection() = default;

void TProtection::SetProtection(std::shared_ptr<TProtection> protection) {
    if (protection == protection_)
        return;
    for (const TProtection* p = protection.get(); p; p = p->protection_.get())
        if (p == this)
            throw EProtection("Circular Protection detected, Protection Object is invalid.");
    protection_ = std::move(protection);
}

void TProtection::StartAction(TProtectionAction action) {
    if (protection_)
        protection_->StartAction(action);
}

void TProtection::FinishAction(TProtectionAction action) {
    if (protection_)
        protection_->FinishAction(action);
}

void TProtection::ProcessChunk(void* buffer, std::size_t size, TProtectionAction action) {
    if (protection_)
        protection_->ProcessChunk(buffer, size, action);
}

void TProtection::CheckRunSize(std::uint64_t size, TProtectionAction action) const {
    if (protection_)
        protection_->CheckRunSize(size, action);
}

void TProtection::reportProgress(std::int64_t current, std::int64_t maximum) {
    if (const auto& hook = ProgressHook())
        hook(*this, current, maximum);
}

namespace {

// Runs the closing steps of a coding run on every path out of it.
class ActionGuard {
public:
    ActionGuard(TProtection& p, TProtectionAction a) : p_(p), a_(a) { p_.StartAction(a_); }
    ~ActionGuard() noexcept(false) {
        // A failure already on its way out wins over one from the closing step.
        if (std::uncaught_exceptions() > pending_) {
            try {
                p_.FinishAction(a_);
            } catch (...) {
            }
        } else {
            p_.FinishAction(a_);
        }
    }
    ActionGuard(const ActionGuard&) = delete;
    ActionGuard& operator=(const ActionGuard&) = delete;

private:
    TProtection& p_;
    TProtectionAction a_;
    int pending_ = std::uncaught_exceptions();
};

} // namespace

void TProtection::ProcessStream(Stream* source, Stream* destination, std::int64_t size,
                                TProtectionAction action) {
    if (!source)
        return;
    if (!destination)
        destination = source;
    if (size < 0) {
        size = source->Size();
        source->Seek(0, SeekOrigin::Begin);
    }
    // The run ends early at the end of the source: what it will code is refused as a
    // whole now, not at its last chunk after the others were written.
    CheckRunSize(std::uint64_t(std::max<std::int64_t>(
                     0, std::min(size, source->Size() - source->Position()))),
                 action);
    const std::int64_t total = size;
    ActionGuard guard(*this, action);
    struct ProgressEnd {
        TProtection& p;
        ~ProgressEnd() { p.reportProgress(0, 0); }
    } progressEnd{*this};
    reportProgress(0, total);

    std::vector<std::uint8_t> buffer(kProtectionChunkSize);
    std::int64_t sourcePos = source->Position();
    std::int64_t destPos = destination->Position();
    const bool calculate = action == TProtectionAction::Calculate;
    while (size > 0) {
        const auto want = std::size_t(std::min<std::int64_t>(size, std::int64_t(buffer.size())));
        if (!calculate)
            source->Seek(sourcePos, SeekOrigin::Begin);
        // Fill the whole chunk (a short read mid-stream would split a block).
        std::size_t n = 0;
        while (n < want) {
            const std::size_t got = source->Read(buffer.data() + n, want - n);
            if (got == 0)
                break;
            n += got;
        }
        if (n == 0)
            break;
        sourcePos += std::int64_t(n);
        ProcessChunk(buffer.data(), n, action);
        if (!calculate) {
            destination->Seek(destPos, SeekOrigin::Begin);
            destination->WriteBuffer(buffer.data(), n);
            destPos += std::int64_t(n);
        }
        reportProgress(total - size + std::int64_t(n), total);
        size -= std::int64_t(n);
    }
}

namespace {

std::optional<std::pair<dev_t, ino_t>> fileIdentity(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return std::make_pair(st.st_dev, st.st_ino);
}

bool blank(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return c <= ' '; });
}

} // namespace

void TProtection::ProcessFile(const std::string& sourceName, const std::string& destinationName,
                              TProtectionAction action) {
    const bool calculate = action == TProtectionAction::Calculate;
    const auto sourceId = fileIdentity(sourceName);
    // The same file under another name (or a link to it) is coded in place: creating the
    // destination would truncate the source before it is read.
    const bool sameFile =
        sourceName == destinationName || (sourceId && sourceId == fileIdentity(destinationName));
    if (calculate) {
        FileStream source(sourceName, FileOpenMode::Read);
        ProcessStream(&source, &source, source.Size(), action);
        return;
    }
    if (sameFile || blank(destinationName)) {
        FileStream file(sourceName, FileOpenMode::ReadWrite);
        ProcessStream(&file, &file, file.Size(), action);
        file.Close();
        return;
    }
    FileStream source(sourceName, FileOpenMode::Read);
    // Checked before the destination is created, so that a refused run leaves a file of
    // that name as it was.
    CheckRunSize(std::uint64_t(source.Size()), action);
    FileStream destination(destinationName, FileOpenMode::Create);
    ProcessStream(&source, &destination, source.Size(), action);
    destination.Close();
}

std::string TProtection::ProcessText(std::string_view text, TProtectionAction action,
                                     int formatId) {
    if (text.empty())
        return {};
    const bool decode = action == TProtectionAction::Decode;
    MemoryStream stream(decode ? FormatToBinary(text, formatId) : std::string(text));
    const std::int64_t size = stream.Size();
    ProcessStream(&stream, &stream, size, action);
    if (decode)
        return stream.Bytes();
    return BinaryToFormat(stream.Bytes(), formatId);
}

std::size_t TProtection::ProcessMemory(void* buffer, std::size_t size, TProtectionAction action) {
    if (action == TProtectionAction::Calculate) {
        CalculateMemory(buffer, size);
        return size;
    }
    CheckRunSize(size, action);
    ActionGuard guard(*this, action);
    ProcessChunk(buffer, size, action);
    return size;
}

void TProtection::CalculateMemory(const void* buffer, std::size_t size) {
    CheckRunSize(size, TProtectionAction::Calculate);
    ActionGuard guard(*this, TProtectionAction::Calculate);
    if (!buffer)
        return;
    // The chain may write into what it is given, so it gets copies, chunk by chunk.
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    std::vector<std::uint8_t> copy(std::min(size, kProtectionChunkSize));
    for (std::size_t done = 0; done < size;) {
        const std::size_t n = std::min(size - done, copy.size());
        std::copy_n(p + done, n, copy.begin());
        ProcessChunk(copy.data(), n, TProtectionAction::Calculate);
        done += n;
    }
}

} // namespace kd
