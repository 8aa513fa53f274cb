#pragma once
#include "crypto/cipher/BlockChain.h"
#include "crypto/cipher/Cipher.h"

#include <type_traits>

namespace kd {

// A cipher whose schedule is the core struct `Core` (key setup, block transforms).
// The core is wiped with the rest of the key material when the object goes.
template <class Core> class CipherWith : public TCipher {
public:
    CipherWith(std::shared_ptr<TProtection> protection, const CipherContext& context)
        : TCipher(std::move(protection), context) {
        static_assert(std::is_trivially_copyable_v<Core>);
        WipeKey();
    }
    ~CipherWith() override { WipeKey(); }

    void EncryptBlock(void* block) override { core_.encrypt(static_cast<std::uint8_t*>(block)); }
    void DecryptBlock(void* block) override { core_.decrypt(static_cast<std::uint8_t*>(block)); }

protected:
    std::span<std::uint8_t> Schedule() override {
        return {reinterpret_cast<std::uint8_t*>(&core_), sizeof(Core)};
    }
    void ChainBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t whole, bool xorChain,
                     bool mac) override {
        if constexpr (requires(std::uint32_t h) { core_.encryptHalves(h, h); }) {
            if (!mac) {
                cipher_detail::chainHalves(
                    [core = &core_](std::uint32_t& l, std::uint32_t& r) {
                        core->encryptHalves(l, r);
                    },
                    in, out, whole, feedbackData(), xorChain);
                return;
            }
        }
        cipher_detail::chainBlocks([this](std::uint8_t* block) { core_.encrypt(block); }, in, out,
                                   whole, BlockSize(), feedbackData(), scratchData(), xorChain,
                                   mac);
    }
    // Cores whose key setup takes more (rounds, a variant) are set up by their class.
    void SetupKey(const std::uint8_t* key, std::size_t size) override {
        if constexpr (requires { core_.setKey(key, size); })
            core_.setKey(key, size);
    }

    Core core_{};
};

} // namespace kd
