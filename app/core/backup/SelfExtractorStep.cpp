#include "app/core/backup/SelfExtractorStep.h"

#include "lang/TResourceStrings.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "zip/selfextract/SelfExtractor.h"
#include "zip/selfextract/TSFXConfig.h"
#include "zip/writer/TZipWriter.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace kd {
namespace {

namespace fs = std::filesystem;

std::string_view pick(std::string_view cz, std::string_view en, std::string_view sk) {
    if (LanguageCode == "EN")
        return en;
    if (LanguageCode == "SK")
        return sk;
    return cz;
}

std::string notBuilt() {
    return std::string(pick("Samorozbalovací archiv nebyl vytvořen",
                            "The self-extracting archive was not built",
                            "Samorozbaľovací archív nebol vytvorený"));
}

std::string backupStaysIn(const std::string& archive) {
    return std::string(
               pick("; záloha zůstává v ", "; the backup stays in ", "; záloha zostáva v ")) +
           archive;
}

std::string stubMissing(const std::string& stub, const std::string& archive) {
    return notBuilt() +
           std::string(pick(": chybí soubor ", ": the file is missing: ", ": chýba súbor ")) +
           stub + backupStaysIn(archive);
}

std::string severalParts(const std::string& archive) {
    return notBuilt() +
           std::string(pick(": archiv rozdělený na části nelze převést na jeden program",
                            ": an archive split into parts cannot become one program",
                            ": archív rozdelený na časti nemožno previesť na jeden program")) +
           backupStaysIn(archive);
}

std::string failed(const std::string& reason, const std::string& archive) {
    return notBuilt() + " (" + reason + ")" + backupStaysIn(archive);
}

std::string zipNotDeleted(const std::string& program, const std::string& archive,
                          const std::string& reason) {
    return std::string(pick("Samorozbalovací archiv ", "The self-extracting archive ",
                            "Samorozbaľovací archív ")) +
           program +
           std::string(pick(
               " je hotov, archiv nelze smazat: ", " is complete, the archive cannot be deleted: ",
               " je hotový, archív nemožno zmazať: ")) +
           archive + " (" + reason + ")";
}

TSFXConfig configOf(const TObjektZal& profile) {
    TSFXConfig sfx;
    sfx.SetUserCanDisableCmdLine(false);
    sfx.SetUserCanChooseFiles(true);
    sfx.SetUserCanChangeOverwrite(true);
    sfx.SetOverwriteMode(TsfxOverwriteMode::omAlways);
    sfx.SetAutoExtract(false);
    sfx.SetCaption(profile.Description);
    sfx.SetDefaultPath(profile.SourceDir);
    sfx.SetInfoTitle("Kordyne - automatické zálohování");
    sfx.BuildConfigBlock();
    return sfx;
}

} // namespace

ProgramArchiveReopened::ProgramArchiveReopened(const std::string& archive) {
    if (!archive.ends_with(".zip"))
        return;
    const std::string program = archive.substr(0, archive.size() - 4) + ".exe";
    std::error_code ec;
    if (fs::exists(fs::symlink_status(archive, ec)) || !fs::is_regular_file(program, ec))
        return;
    copyFile(program, archive);
    copy_ = archive;
}

ProgramArchiveReopened::~ProgramArchiveReopened() {
    std::error_code ec;
    if (!copy_.empty())
        fs::remove(copy_, ec);
}

std::string defaultSelfExtractorStub() {
    return executableDirectory() + "/SfxStub.bin";
}

SelfExtractorStep::SelfExtractorStep(std::string stubFile) : stubFile_(std::move(stubFile)) {}

SelfExtractorResult SelfExtractorStep::operator()(const TObjektZal& profile,
                                                  const std::string& archive) const {
    std::error_code ec;
    if (!fs::is_regular_file(archive, ec))
        return {archive, ""}; // nothing was zipped: nothing to convert
    // The engine writes a program from a single file only.
    if (profile.SplitMode != 0)
        return {archive, severalParts(archive)};
    if (!fs::is_regular_file(stubFile_, ec))
        return {archive, stubMissing(stubFile_, archive)};

    const std::string program = selfExtractorTarget(archive);
    try {
        const TSFXConfig sfx = configOf(profile);
        TZipWriter writer; // no files to add, a single file
        writer.WriteSelfExtractor(stubFile_, archive, sfx.ConfigBlock(), sfx.ConfigBlockSize());
    } catch (const std::exception& e) {
        // The engine leaves the archive, and any earlier program, as they were.
        return {archive, failed(e.what(), archive)};
    }
    if (program == archive) // not a ".zip": the program took the archive's place
        return {program, ""};
    if (!fs::remove(archive, ec) && ec)
        return {program, zipNotDeleted(program, archive, ec.message())};
    return {program, ""};
}

} // namespace kd
