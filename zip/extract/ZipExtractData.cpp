// Reading an entry's data: volumes, the local header, the password and the decoder.
#include <array>
#include <cstdio>

#include "zip/base/ZipFiles.h"
#include "zip/decompress/DecompressError.h"
#include "zip/extract/EntryOutput.h"
#include "zip/extract/ExtractTempFile.h"
#include "zip/extract/ZipExtract.h"
#include "zip/format/ExtraField.h"
#include "zip/format/RecordSignatures.h"
#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

// Entries compressed to at most this many bytes are read with their local header at
// once; the slack covers a local extra field longer than the central one.
constexpr std::uint32_t kSmallEntry = 64u << 10;
constexpr std::size_t kLocalSlack = 256;

ZipCrypt::Header readEncryptionHeader(const TZipHeaderInfo& entry, EntryInput& input) {
    ZipCrypt::Header header{};
    if (entry.CompressedSize < header.size())
        throw EDamagedEntry("The encrypted entry is shorter than its encryption header");
    for (std::size_t got = 0; got < header.size();) {
        const std::size_t n = input.Read(header.data() + got, header.size() - got);
        if (n == 0)
            throw EDamagedEntry(kMsgPrematureEnd, TExtractProblem::ReadFailed);
        got += n;
    }
    return header;
}

std::string crcProblem(std::uint32_t computed, std::uint32_t stored) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "CRC error (computed %08X, stored %08X)", computed,
                  stored);
    return text.data();
}

} // namespace

bool ZipExtractor::spanned() const {
    return zip_.endCentral_.ThisDisk != 0;
}

Stream& ZipExtractor::positionAt(const DataStart& at) {
    if (spanned() && at.volume != zip_.currentVolume_)
        zip_.OpenVolume(at.volume + 1);
    if (!zip_.zipStream_)
        throw Exception("The archive is not open");
    if (spanned()) {
        // A read may run on into the next volume, which only the reader's stream does.
        zip_.zipStream_->Seek(at.offset, SeekOrigin::Begin);
        return *zip_.zipStream_;
    }
    const int fd = zip_.zipStream_->Handle();
    if (!readAt_ || readAt_->Fd() != fd)
        readAt_.emplace(fd, zip_.zipStream_->FileName());
    readAt_->Seek(at.offset, SeekOrigin::Begin);
    return *readAt_;
}

EntryInput ZipExtractor::openInput(const TZipHeaderInfo& entry, const DataStart& at) {
    EntryInput::NextVolume next;
    if (spanned() && zip_.OnGetNextDisk)
        next = [this]() -> Stream* { return &zip_.OpenVolume(zip_.currentVolume_ + 2); };
    return EntryInput(
        positionAt(at), entry.CompressedSize, [this] { zip_.ProcessMessagesAndCheckCancel(); },
        std::move(next));
}

ZipExtractor::LocalHeader ZipExtractor::locateData(const TZipHeaderInfo& entry) {
    const DataStart header{spanned() ? entry.DiskStart : zip_.currentVolume_, entry.LocalOffset};
    Stream& stream = positionAt(header);
    if (!spanned())
        readSmallEntryAhead(*readAt_, entry, aheadWindow_);
    return dataBehindHeader(stream, entry, header);
}

void ZipExtractor::readSmallEntryAhead(ArchiveReadAt& stream, const TZipHeaderInfo& entry,
                                       std::vector<std::uint8_t>& window) {
    if (entry.CompressedSize > kSmallEntry)
        return;
    stream.ReadAhead(kLocalHeaderFixed + entry.NameLength + entry.CentralExtraLength +
                         entry.CompressedSize + kLocalSlack,
                     window);
}

ZipExtractor::LocalHeader ZipExtractor::dataBehindHeader(Stream& stream,
                                                         const TZipHeaderInfo& entry,
                                                         const DataStart& header) const {
    std::array<std::uint8_t, kLocalHeaderFixed> fixed{};
    if (stream.Read(fixed.data(), fixed.size()) != fixed.size() ||
        GetLE32(fixed.data()) != Signatures().Local)
        throw EDamagedEntry("No local header where the directory points");
    const std::uint16_t nameLength = GetLE16(fixed.data() + 26);
    const std::uint16_t extraLength = GetLE16(fixed.data() + 28);
    LocalHeader local;
    local.data = {header.volume, header.offset + static_cast<std::int64_t>(fixed.size()) +
                                     nameLength + extraLength};
    if (const auto overlap =
            EntryBounds(*zip_.Directory(), zip_.endCentral_).Overlap(entry, local.data.offset))
        throw EDamagedEntry("Refused, overlapping entries (possible zip bomb): " + *overlap,
                            TExtractProblem::Overlapping);
    if (extraLength != 0) {
        // What a cut archive leaves of the field gives its time all the same; the data
        // behind it are checked by their own reading.
        std::string extra(extraLength, '\0');
        stream.Seek(nameLength, SeekOrigin::Current);
        extra.resize(stream.Read(extra.data(), extra.size()));
        local.modified = ExtraFieldModified(extra);
    }
    return local;
}

std::optional<std::vector<std::string>>
ZipExtractor::checkPassword(int index, const TZipHeaderInfo& entry, const DataStart& at) {
    EntryInput input = openInput(entry, at);
    const ZipCrypt::Header header = readEncryptionHeader(entry, input);
    const std::uint8_t expected = ZipCrypt::ExpectedCheckByte(
        entry.Flags, entry.Crc32, static_cast<std::uint16_t>(entry.DosDateTime & 0xFFFF));
    for (;;) {
        std::vector<std::string> passing;
        for (auto& candidate : CipherPasswordCandidates(zip_.Password()))
            if (crypt_.DecryptHeader(candidate, header) == expected)
                passing.push_back(std::move(candidate));
        if (!passing.empty())
            return passing;
        if (!askNewPassword(index))
            return std::nullopt;
    }
}

ZipExtractor::Decoded ZipExtractor::decode(const TZipHeaderInfo& entry, const DataStart& at,
                                           const std::string& password, ExtractTempFile& temp,
                                           const std::string& shownName) {
    EntryInput input = openInput(entry, at);
    const std::int64_t writtenBefore = zip_.bytesWritten_;
    Decoded decoded =
        decodeInto(decompressor_, crypt_, outputBuffer_, input, entry, password, temp.Fd(),
                   shownName, [this, &entry, writtenBefore](std::uint64_t written) {
                       reportProgress(entry, writtenBefore, written);
                   });
    if (decoded.outOfMemory)
        zip_.Ui().messageBox(decoded.problem, std::string(kTextError), MsgButtons::Ok,
                             MsgIcon::Error);
    return decoded;
}

void ZipExtractor::reportProgress(const TZipHeaderInfo& entry, std::int64_t writtenBefore,
                                  std::uint64_t written) {
    zip_.bytesWritten_ = writtenBefore + static_cast<std::int64_t>(written);
    if (zip_.OnFilePercentDone)
        zip_.OnFilePercentDone(zip_,
                               Percent(static_cast<std::int64_t>(written), entry.UncompressedSize));
    if (zip_.OnTotalPercentDone)
        zip_.OnTotalPercentDone(zip_, Percent(zip_.bytesWritten_, zip_.totalBytes_));
}

ZipExtractor::Decoded ZipExtractor::decodeInto(Decompressor& decompressor, ZipCrypt& crypt,
                                               std::vector<std::uint8_t>& buffer, EntryInput& input,
                                               const TZipHeaderInfo& entry,
                                               const std::string& password, int fd,
                                               const std::string& shownName,
                                               std::function<void(std::uint64_t)> onFlushed,
                                               const InflateHelpers& helpers) {
    if (entry.IsEncrypted()) {
        crypt.DecryptHeader(password, readEncryptionHeader(entry, input));
        input.SetCipher(&crypt);
    }
    EntryOutput output(buffer, fd, shownName, entry.UncompressedSize, std::move(onFlushed));
    Decoded decoded;
    std::string& problem = decoded.problem;
    try {
        decompressor.Run(entry.Method, input, output, entry.UncompressedSize, entry.Flags, helpers);
        output.Finish();
    } catch (const EInflateOutOfMemory& e) {
        problem = e.what();
        decoded.outOfMemory = true;
    } catch (const EBadCompressedData& e) {
        problem = e.what();
    } catch (const EBiggerThanUncompressed& e) {
        problem = e.what();
    } catch (const ECantWriteUCF& e) {
        // A full disk is told as such, never as a bad CRC or a wrong password.
        throw EDamagedEntry(e.what(), TExtractProblem::WriteFailed);
    } catch (const EStreamError& e) {
        throw EDamagedEntry(std::string("Cannot read the archive: ") + e.what(),
                            TExtractProblem::ReadFailed);
    }
    decoded.crc = output.Crc();
    if (problem.empty() && output.Written() != entry.UncompressedSize)
        problem = "The entry holds " + std::to_string(output.Written()) + " bytes, not " +
                  std::to_string(entry.UncompressedSize);
    if (problem.empty() && decoded.crc != entry.Crc32)
        problem = crcProblem(decoded.crc, entry.Crc32);
    // Data that ran out at the end of the file are told as such; data that check out
    // were whole, however far their stated size runs past the end.
    if (!problem.empty() && input.CutShort())
        throw EDamagedEntry(kMsgPrematureEnd, TExtractProblem::ReadFailed);
    return decoded;
}

} // namespace kd
