// Inflate's decoding tables that cannot be allocated: the user is told, the entry
// fails and the run goes on with the next entry.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "zip/decompress/Decompressor.h"
#include "zip/decompress/InflateDecoder.h"
#include "zip/support/DecompressTestSupport.h"
#include "zip/support/ZipExtractTestSupport.h"

namespace {

// Other objects of the decoder's size are allocated too (a path of as many parts as a
// deep temporary directory gives, a string as long as a long one gives), so the
// allocation refused is picked by its call site as well as by its size.
std::atomic<std::size_t> watchedSize{0};
// The call site of the next allocation of the watched size, once seen.
std::atomic<const void*> seenSite{nullptr};
// Refuse the next allocation of the watched size made from this site (null: none).
std::atomic<const void*> refusedSite{nullptr};

} // namespace

// Every allocation of this test program comes here, so that one can be refused.
void* operator new(std::size_t size) {
    if (size != 0 && size == watchedSize.load()) {
        const void* site = __builtin_return_address(0);
        const void* none = nullptr;
        seenSite.compare_exchange_strong(none, site);
        const void* refused = site;
        if (refusedSite.compare_exchange_strong(refused, nullptr))
            throw std::bad_alloc();
    }
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}
// GCC takes the replacement's free for a mismatch with the operator new it replaces.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop
void operator delete(void* p, std::size_t) noexcept {
    ::operator delete(p);
}
// The library's temporary buffers take the nothrow form: it must allocate where the
// replaced delete frees.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    ::operator delete(p);
}

namespace kd {

namespace {

class InflateOutOfMemory : public test::ExtractTest {
protected:
    // Where the decompressor allocates its inflate decoder: its first allocation of the
    // decoder's size, seen in a run over no data.
    static const void* decoderSite() {
        Decompressor decompressor;
        test::MemoryInput nothing({});
        test::VectorOutput output;
        seenSite = nullptr;
        watchedSize = sizeof(InflateDecoder);
        try {
            decompressor.Run(8, nothing, output, 0, 0);
        } catch (const std::exception&) {
            // No data: only the allocation before it matters.
        }
        return seenSite.load();
    }
    void TearDown() override {
        watchedSize = 0;
        refusedSite = nullptr;
    }
};

} // namespace

TEST_F(InflateOutOfMemory, TheUserIsToldAndTheEntryFailsAlone) {
    makeZip({{"packed.txt", std::string(5000, 'x'), true}, {"plain.txt", "plain"}});
    const void* site = decoderSite();
    ASSERT_NE(site, nullptr);
    refusedSite = site;
    EXPECT_EQ(zip_.ExtractArchive(), 1);
    EXPECT_EQ(refusedSite.load(), nullptr); // the decoder's allocation was refused
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.shown[0].text, "*** inflate out of memory ***");
    EXPECT_EQ(ui_.shown[0].caption, "Error");
    EXPECT_EQ(ui_.shown[0].buttons, MsgButtons::Ok);
    ASSERT_EQ(zip_.ExtractFailures().size(), 1u);
    EXPECT_EQ(zip_.ExtractFailures()[0].Name, "packed.txt");
    EXPECT_FALSE(std::filesystem::exists(t_.file("dest/packed.txt")));
    EXPECT_EQ(test::readFile(t_.file("dest/plain.txt")), "plain");

    // With memory again the same entry extracts.
    ui_.shown.clear();
    test::configureExtractAll(zip_, t_.file("a.zip"), t_.file("dest2"));
    EXPECT_EQ(zip_.ExtractArchive(), 2);
    EXPECT_TRUE(ui_.shown.empty());
}

} // namespace kd
