#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Stream.h"

// Self-extracting archives: the stub program, the configuration block of TSFXConfig
// and a single-file ZIP archive whose record offsets count from the start of the
// executable, so that ordinary ZIP readers read it as well as the stub does.
//
// TZipWriter::WriteSelfExtractor(stubFile, zipName, block, blockSize):
//   - returns 0 at once when stubFile or zipName is empty;
//   - opens the stub first: a missing stub raises EFOpenError before anything is
//     written (the archive is left as it is);
//   - when zipName is an existing file ending in ".zip" (any letter case) the result
//     is zipName with ".exe" in its place and the ".zip" stays unchanged; otherwise
//     the result replaces zipName;
//   - with a non-empty FilesList those files are added to a copy of the archive
//     first (the ".zip" still stays unchanged) and their number is returned;
//   - blockSize <= 0 writes the stub without a block;
//   - the executable is written to a unique temporary file beside the result and
//     renamed into place when complete, with execute permission where the archive
//     has read permission;
//   - archives in several parts (MultiMode other than mmNone, or an archive whose end
//     record names other disks) are refused with EZipNotSupported.
//
// The backup run's self-extractor step (its WriteSelfExtractor hook), after the
// archive is complete:
//
//   [](const TObjektZal& profile, const std::string& archive) {
//       TSFXConfig sfx;
//       sfx.SetUserCanDisableCmdLine(false);
//       sfx.SetUserCanChooseFiles(true);
//       sfx.SetUserCanChangeOverwrite(true);
//       sfx.SetOverwriteMode(TsfxOverwriteMode::omAlways);
//       sfx.SetAutoExtract(false);
//       sfx.SetCaption(profile.Description);
//       sfx.SetDefaultPath(profile.SourceDir);
//       sfx.SetInfoTitle("Kordyne - automatické zálohování");
//       sfx.BuildConfigBlock();
//       const std::string exe = selfExtractorTarget(archive); // ".zip" -> ".exe"
//       TZipWriter writer; // FilesList empty, MultiMode mmNone
//       writer.WriteSelfExtractor(executableDirectory() + "/SfxStub.bin", archive,
//                                 sfx.ConfigBlock(), sfx.ConfigBlockSize());
//       if (exe != archive) // reached only when the executable is in place
//           std::filesystem::remove(archive);
//       return exe;
//   }
//
// An exception (no stub, a damaged archive, an archive in several parts) leaves the
// ".zip" and any earlier ".exe" as they were, and no temporary file behind.
namespace kd {

// Writes stub (from its start to its end), blockSize bytes of block and the archive
// file into a temporary file beside target and renames it to target. Data in front of
// the archive's first local header (an older stub) is left out, and the offsets of
// the central headers and the end record are moved by the new leading data. Raises
// EBadZipFile for an archive whose directory is not consistent, EZipNotSupported for
// one in several parts, EZipTooLarge when the result would pass 4 GiB.
void writeSelfExtractorFile(Stream& stub, const std::uint8_t* block, std::size_t blockSize,
                            const std::string& archive, const std::string& target);

// The file name a self-extractor of zipName gets: ".zip" (any case) of an existing
// file becomes ".exe", any other name stays.
std::string selfExtractorTarget(const std::string& zipName);

} // namespace kd
