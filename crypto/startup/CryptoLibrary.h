#pragma once
// The start-up of the hash and cipher library.

namespace kd {

// Registers the text formats and every hash and checksum class, in their fixed order.
// Runs once: later calls do nothing.
void InitializeCryptoLibrary();

} // namespace kd
