// Any bytes as the settings file: read with the defaults standing for what is not
// valid. The file the program writes is a fixed point: written from what was read,
// read and written again, it gives the same lines. (Writing itself drops what the
// program does not write back: unknown languages, blanks around passwords, the
// advert lines.)
#include "FuzzSupport.h"
#include "app/core/settings/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kd::SilentUiHost ui;
    const std::string path = kd::fuzz::writeScratchFile("Nastaven.txt", data, size);
    const kd::ProgramSettings first = kd::SettingsFile::read(path, ui);
    kd::SettingsFile::write(path, first);
    const kd::ProgramSettings second = kd::SettingsFile::read(path, ui);
    if (kd::SettingsFile::lines(first) != kd::SettingsFile::lines(second))
        kd::fuzz::fail("settings written, read and written again changed");
    return 0;
}
