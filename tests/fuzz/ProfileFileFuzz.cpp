// Any bytes as a profile file: reading never fails but with the engine's exception,
// and what was read survives writing and reading again unchanged.
#include "FuzzSupport.h"
#include "app/core/profiles/ObjektZal.h"
#include "platform/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& dir = kd::fuzz::scratchDir();
    kd::fuzz::writeScratchFile("p.lus", data, size);
    kd::TObjektZal first;
    try {
        kd::LoadProfile(first, dir, "p");
    } catch (const kd::Exception&) {
        return 0;
    }
    kd::SaveProfile(first, dir);
    kd::TObjektZal second;
    kd::LoadProfile(second, dir, "p");
    if (!(first == second))
        kd::fuzz::fail("a profile read, written and read again changed");
    return 0;
}
