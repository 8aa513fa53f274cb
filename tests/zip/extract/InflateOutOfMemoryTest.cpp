// Inflate's decoding tables that cannot be allocated: the user is told, the entry
// fails and the run goes on with the next entry.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "zip/decompress/InflateDecoder.h"
#include "zip/support/ZipExtractTestSupport.h"

namespace {

// The size of the next allocation to refuse (0: none); refused once.
std::atomic<std::size_t> refuseSize{0};

} // namespace

// Every allocation of this test program comes here, so that one can be refused.
void* operator new(std::size_t size) {
    std::size_t armed = size;
    if (size != 0 && refuseSize.compare_exchange_strong(armed, 0))
        throw std::bad_alloc();
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

class InflateOutOfMemory : public test::ExtractTest {};

} // namespace

TEST_F(InflateOutOfMemory, TheUserIsToldAndTheEntryFailsAlone) {
    makeZip({{"packed.txt", std::string(5000, 'x'), true}, {"plain.txt", "plain"}});
    refuseSize = sizeof(InflateDecoder);
    EXPECT_EQ(zip_.ExtractArchive(), 1);
    EXPECT_EQ(refuseSize.load(), 0u); // the decoder's allocation was the one refused
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
