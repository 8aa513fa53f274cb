#include "zip/decompress/Unshrink.h"

#include "zip/decompress/DecompressBitReader.h"
#include "zip/decompress/DecompressError.h"

#include <vector>

namespace kd {

namespace {

constexpr unsigned kMaxCodes = 8192; // 13-bit codes
constexpr unsigned kMaxCodeSize = 13;
constexpr unsigned kControl = 256;
constexpr unsigned kFirstFree = 257;

// The code table: each code above 256 is a string, its prefix code plus one byte.
class ShrinkTable {
public:
    ShrinkTable()
        : parent_(kMaxCodes, 0), value_(kMaxCodes, 0), free_(kMaxCodes, true), stack_(kMaxCodes) {
        for (unsigned c = 0; c < 256; ++c) {
            value_[c] = static_cast<std::uint8_t>(c);
            free_[c] = false;
        }
        free_[kControl] = false;
    }

    bool IsFree(unsigned code) const { return free_[code]; }

    // The lowest free code from the search position on; kMaxCodes when full.
    unsigned NextFree() {
        while (next_ < kMaxCodes && !free_[next_])
            ++next_;
        return next_;
    }

    void Add(unsigned code, unsigned parent, std::uint8_t byte) {
        parent_[code] = static_cast<std::uint16_t>(parent);
        value_[code] = byte;
        free_[code] = false;
        next_ = code + 1;
    }

    // Frees every code that is no other code's prefix; new codes then start from
    // the lowest freed one.
    void PartialClear() {
        std::vector<bool> isPrefix(kMaxCodes, false);
        for (unsigned c = kFirstFree; c < kMaxCodes; ++c)
            if (!free_[c])
                isPrefix[parent_[c]] = true;
        for (unsigned c = kFirstFree; c < kMaxCodes; ++c)
            if (!isPrefix[c])
                free_[c] = true;
        next_ = kFirstFree;
    }

    // Unwinds the string of `code` onto the stack; returns its first byte and puts
    // the string's start into `begin`. A freed prefix still spells its old string;
    // a cycle is an error.
    std::uint8_t Unwind(unsigned code, std::size_t& begin) {
        std::size_t top = stack_.size();
        while (code > 255) {
            if (top == 1)
                throw EBadCompressedData("shrink code table has a cycle");
            stack_[--top] = value_[code];
            code = parent_[code];
        }
        stack_[--top] = static_cast<std::uint8_t>(code);
        begin = top;
        return stack_[top];
    }

    const std::uint8_t* Stack() const { return stack_.data(); }
    std::size_t StackEnd() const { return stack_.size(); }

private:
    std::vector<std::uint16_t> parent_;
    std::vector<std::uint8_t> value_;
    std::vector<bool> free_;
    std::vector<std::uint8_t> stack_;
    unsigned next_ = kFirstFree;
};

class BufferedOutput {
public:
    explicit BufferedOutput(DecompressOutput& output) : output_(output) { buffer_.reserve(kSize); }
    void Append(const std::uint8_t* data, std::size_t length) {
        if (buffer_.size() + length > kSize)
            Flush();
        buffer_.insert(buffer_.end(), data, data + length);
    }
    void Flush() {
        if (!buffer_.empty())
            output_.Write(buffer_.data(), buffer_.size());
        buffer_.clear();
    }

private:
    static constexpr std::size_t kSize = 32768 + kMaxCodes;
    DecompressOutput& output_;
    std::vector<std::uint8_t> buffer_;
};

} // namespace

void Unshrink(DecompressInput& input, DecompressOutput& output) {
    DecompressBitReader reader(input);
    ShrinkTable table;
    BufferedOutput out(output);
    unsigned codeSize = 9;
    std::uint32_t code;
    if (!reader.TryGet(codeSize, code))
        return;
    if (code > 255)
        throw EBadCompressedData("shrink data does not start with a byte");
    std::uint8_t byte = static_cast<std::uint8_t>(code);
    out.Append(&byte, 1);
    unsigned previous = code;

    while (reader.TryGet(codeSize, code)) {
        if (code == kControl) {
            const std::uint32_t control = reader.Get(codeSize);
            if (control == 1) {
                if (++codeSize > kMaxCodeSize)
                    throw EBadCompressedData("shrink code size above 13 bits");
            } else if (control == 2) {
                table.PartialClear();
            } else {
                throw EBadCompressedData("unknown shrink control code");
            }
            continue;
        }
        const unsigned freeCode = table.NextFree();
        std::size_t begin;
        if (code > 255 && table.IsFree(code)) {
            // The code being defined by this very step: the previous string plus
            // its own first byte.
            if (code != freeCode)
                throw EBadCompressedData("undefined shrink code");
            const std::uint8_t first = table.Unwind(previous, begin);
            out.Append(table.Stack() + begin, table.StackEnd() - begin);
            out.Append(&first, 1);
            byte = first;
        } else {
            byte = table.Unwind(code, begin);
            out.Append(table.Stack() + begin, table.StackEnd() - begin);
        }
        if (freeCode < kMaxCodes)
            table.Add(freeCode, previous, byte);
        previous = code;
    }
    out.Flush();
}

} // namespace kd
