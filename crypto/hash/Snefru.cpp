#include "crypto/hash/Snefru.h"

namespace kd {
namespace {

[[noreturn]] void Unavailable() {
    throw EHashNotAvailable("Snefru-256 is not available: its S-box tables are not part of "
                            "this build.");
}

} // namespace

void THash_Snefru::Init() {
    Unavailable();
}

void THash_Snefru::Update(const void*, std::size_t) {
    Unavailable();
}

void THash_Snefru::Final() {
    Unavailable();
}

} // namespace kd
