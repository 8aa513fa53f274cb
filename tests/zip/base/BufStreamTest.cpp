#include "zip/base/TS_BufferStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "platform/MemoryStream.h"

using namespace kd;

namespace {

// A memory stream that counts calls and can take fewer bytes than asked.
class ProbeStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    std::size_t Read(void* buffer, std::size_t count) override {
        ++reads;
        return MemoryStream::Read(buffer, count);
    }
    std::size_t Write(const void* buffer, std::size_t count) override {
        ++writes;
        if (writeLimit < count) {
            const std::size_t n = writeLimit;
            writeLimit = 0;
            return MemoryStream::Write(buffer, n);
        }
        writeLimit -= count;
        return MemoryStream::Write(buffer, count);
    }
    void FlushToDevice() override { ++deviceFlushes; }

    int reads = 0, writes = 0, deviceFlushes = 0;
    std::size_t writeLimit = SIZE_MAX;
};

std::string bytes(std::size_t n, unsigned seed = 1) {
    std::string s(n, '\0');
    std::mt19937 rng(seed);
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

std::string readN(Stream& s, std::size_t n) {
    std::string out(n, '\0');
    out.resize(s.Read(out.data(), n));
    return out;
}

} // namespace

TEST(BufferStream, SeekToTheLogicalPositionKeepsTheBuffer) {
    ProbeStream below(bytes(1000));
    TS_BufferStream s(below, 100);
    EXPECT_EQ(readN(s, 10), bytes(1000).substr(0, 10));
    EXPECT_EQ(below.reads, 1);
    EXPECT_EQ(s.Seek(10, SeekOrigin::Begin), 10);
    EXPECT_EQ(s.Seek(0, SeekOrigin::Current), 10);
    EXPECT_EQ(readN(s, 5), bytes(1000).substr(10, 5));
    EXPECT_EQ(below.reads, 1);
    EXPECT_EQ(s.Seek(16, SeekOrigin::Begin), 16);
    EXPECT_EQ(readN(s, 1), bytes(1000).substr(16, 1));
    EXPECT_EQ(below.reads, 2);
}

TEST(BufferStream, SeekFromTheEndCountsBackwardWhateverTheSign) {
    ProbeStream below(bytes(100));
    TS_BufferStream s(below, 16);
    EXPECT_EQ(s.Seek(22, SeekOrigin::End), 78);
    EXPECT_EQ(s.Seek(-22, SeekOrigin::End), 78);
    s.Seek(0, SeekOrigin::End);
    s.Write("abcde", 5); // pending bytes count into the logical size
    EXPECT_EQ(s.Size(), 105);
    EXPECT_EQ(s.Seek(-5, SeekOrigin::End), 100);
    EXPECT_EQ(readN(s, 10), "abcde");
}

TEST(BufferStream, ReadAfterWriteFlushesFirst) {
    ProbeStream below(bytes(50));
    TS_BufferStream s(below, 64);
    s.Write("12345", 5);
    EXPECT_EQ(below.Bytes().substr(0, 5), bytes(50).substr(0, 5));
    EXPECT_EQ(readN(s, 3), bytes(50).substr(5, 3));
    EXPECT_EQ(below.Bytes().substr(0, 5), "12345");
    // And a write after reads goes to the logical position, not the read-ahead end.
    s.Write("X", 1);
    s.Close();
    EXPECT_EQ(below.Bytes()[8], 'X');
    EXPECT_EQ(below.Bytes().size(), 50u);
}

TEST(BufferStream, PutBack) {
    ProbeStream below("abc");
    TS_BufferStream s(below, 8);
    EXPECT_TRUE(s.RefillBuffer());
    try {
        s.PutBack('z');
        FAIL() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Putback overflow");
    }
    EXPECT_EQ(readN(s, 1), "a");
    s.PutBack('z');
    EXPECT_EQ(readN(s, 5), "zbc");
}

TEST(BufferStream, InvalidOrigin) {
    ProbeStream below("abc");
    TS_BufferStream s(below, 8);
    try {
        s.Seek(0, static_cast<SeekOrigin>(3));
        FAIL() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Invalid seek origin (3)");
    }
}

TEST(BufferStream, SmallWritesReachTheStreamOncePerBuffer) {
    ProbeStream below;
    TS_BufferStream s(below, 100);
    int flushes = 0;
    s.OnFlushed = [&](TS_BufferStream&) { ++flushes; };
    for (int i = 0; i < 1000; ++i)
        s.Write("x", 1);
    s.Close();
    EXPECT_EQ(below.writes, 10);
    EXPECT_EQ(flushes, 10);
    EXPECT_EQ(below.Bytes(), std::string(1000, 'x'));
}

TEST(BufferStream, ShortWriteThrows) {
    ProbeStream below;
    below.writeLimit = 150;
    TS_BufferStream s(below, 100);
    EXPECT_EQ(s.Write(bytes(100).data(), 100), 100u); // fills and flushes the first buffer
    EXPECT_THROW(s.Write(bytes(100).data(), 100), EWriteError);

    ProbeStream full;
    full.writeLimit = 3;
    TS_BufferStream pending(full, 100);
    pending.Write("12345", 5);
    EXPECT_THROW(pending.Close(), EWriteError);

    ProbeStream direct;
    direct.writeLimit = 10;
    TS_BufferStream large(direct, 16);
    EXPECT_THROW(large.Write(bytes(64).data(), 64), EWriteError); // a write past the buffer
}

TEST(BufferStream, CloseCommitsToTheDeviceOnlyWhenAsked) {
    ProbeStream below;
    {
        TS_BufferStream s(below, 16);
        s.SetFlushOnClose(true);
        s.Close(); // nothing written
        s.Write("a", 1);
        s.Close();
    }
    EXPECT_EQ(below.deviceFlushes, 1);
    ProbeStream plain;
    TS_BufferStream s(plain, 16);
    s.Write("a", 1);
    s.Close();
    EXPECT_EQ(plain.deviceFlushes, 0);
}

TEST(BufferStream, DestructorWritesOutPendingBytes) {
    ProbeStream below;
    {
        TS_BufferStream s(below, 64);
        s.Write("pending", 7);
    }
    EXPECT_EQ(below.Bytes(), "pending");
}

// Random reads, writes and seeks against a plain string with a position.
TEST(BufferStream, RandomOperationsMatchAModel) {
    for (std::size_t bufferSize : {1u, 7u, 64u, 4096u}) {
        SCOPED_TRACE(bufferSize);
        std::mt19937 rng(static_cast<unsigned>(bufferSize));
        std::string model = bytes(3000, 9);
        std::int64_t pos = 0;
        ProbeStream below(model);
        TS_BufferStream s(below, bufferSize);
        for (int op = 0; op < 3000; ++op) {
            const auto size = static_cast<std::int64_t>(model.size());
            switch (rng() % 6) {
            case 0:
            case 1: {
                const std::size_t n = rng() % 3 == 0 ? rng() % 9000 : rng() % 40;
                std::string expected;
                if (pos < size)
                    expected = model.substr(static_cast<std::size_t>(pos), n);
                ASSERT_EQ(readN(s, n), expected) << "op " << op;
                pos += static_cast<std::int64_t>(expected.size());
                break;
            }
            case 2:
            case 3: {
                const std::string data = bytes(rng() % 3 == 0 ? rng() % 9000 : rng() % 40, rng());
                ASSERT_EQ(s.Write(data.data(), data.size()), data.size());
                if (static_cast<std::size_t>(pos) + data.size() > model.size())
                    model.resize(static_cast<std::size_t>(pos) + data.size(), '\0');
                model.replace(static_cast<std::size_t>(pos), data.size(), data);
                pos += static_cast<std::int64_t>(data.size());
                break;
            }
            case 4: {
                const std::int64_t target =
                    static_cast<std::int64_t>(rng() % static_cast<unsigned>(size + 20));
                ASSERT_EQ(s.Seek(target, SeekOrigin::Begin), target);
                pos = target;
                break;
            }
            default: {
                const std::int64_t back =
                    static_cast<std::int64_t>(rng() % static_cast<unsigned>(size + 1));
                const std::int64_t target = size - back;
                ASSERT_EQ(s.Seek(rng() % 2 ? back : -back, SeekOrigin::End), target);
                pos = target;
                break;
            }
            }
            ASSERT_EQ(s.Position(), pos);
            ASSERT_EQ(s.Size(), static_cast<std::int64_t>(model.size()));
        }
        s.Close();
        EXPECT_EQ(below.Bytes(), model);
    }
}
