// Any bytes as the settings file: read with the defaults standing for what is not
// valid, and what was read survives writing and reading again unchanged.
#include "FuzzSupport.h"
#include "app/core/settings/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kd::SilentUiHost ui;
    const std::string path = kd::fuzz::writeScratchFile("Nastaven.txt", data, size);
    const kd::ProgramSettings first = kd::SettingsFile::read(path, ui);
    kd::SettingsFile::write(path, first);
    const kd::ProgramSettings second = kd::SettingsFile::read(path, ui);
    if (!(first == second))
        kd::fuzz::fail("settings read, written and read again changed");
    return 0;
}
