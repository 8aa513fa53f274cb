#include "zip/decompress/ParallelInflate.h"

#include "zip/decompress/DecompressError.h"
#include "zip/decompress/InflateBlockSearch.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace kd {

namespace {

// The input is cut into pieces of this size, about one per thread.
constexpr std::uint64_t kMinPiece = 128u << 10;
constexpr std::uint64_t kMaxPiece = 512u << 10;
// What a helper may hold of one piece's output (a marked symbol counts two bytes);
// a piece that gives more is left to the calling thread.
constexpr std::size_t kPieceOutputCap = 4u << 20;
// A block found by its header whose decoding failed after this many symbols is not
// followed by another: the piece is damaged or its data ran out.
constexpr std::size_t kGiveUpAfter = 64u << 10;
constexpr std::size_t kWindow = 32768;
constexpr std::uint64_t kNoStop = std::numeric_limits<std::uint64_t>::max();

class PieceTooLarge {};

// Every byte of the history unknown, each marked by its place in the window.
const std::vector<std::uint16_t>& UnknownHistory() {
    static const std::vector<std::uint16_t> markers = [] {
        std::vector<std::uint16_t> m(kWindow);
        for (std::size_t i = 0; i < kWindow; ++i)
            m[i] = static_cast<std::uint16_t>(256 + i);
        return m;
    }();
    return markers;
}

using Bytes = std::vector<std::uint8_t>;
using SharedBytes = std::shared_ptr<const Bytes>;

// Two pieces of memory read one after the other.
class SpansInput : public DecompressInput {
public:
    SpansInput(std::span<const std::uint8_t> first, std::span<const std::uint8_t> second)
        : first_(first), second_(second) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override {
        if (first_.empty())
            std::swap(first_, second_);
        if (first_.empty())
            return 0;
        const std::size_t n = std::min(capacity, first_.size());
        std::memcpy(buffer, first_.data(), n);
        first_ = first_.subspan(n);
        return n;
    }

private:
    std::span<const std::uint8_t> first_;
    std::span<const std::uint8_t> second_;
};

template <class Symbol> class CappedVector : public BasicDecompressOutput<Symbol> {
public:
    CappedVector(std::vector<Symbol>& into, std::size_t capBytes) : into_(into), cap_(capBytes) {}
    void Write(const Symbol* data, std::size_t length) override {
        if ((into_.size() + length) * sizeof(Symbol) > cap_)
            throw PieceTooLarge();
        into_.insert(into_.end(), data, data + length);
    }

private:
    std::vector<Symbol>& into_;
    std::size_t cap_;
};

// One piece of the input as a helper decodes it.
struct Piece {
    std::uint64_t firstBit = 0; // where the piece's own part of the stream begins (a byte)
    std::uint64_t stopBit = 0;  // where the next piece's part begins (kNoStop: none)
    SharedBytes own;            // the piece's own part
    SharedBytes next;           // the next piece's, for the blocks that reach into it (or null)
    // Each step (decoding, then putting the history in) waits for a thread, runs on
    // one, and is done; or the calling thread takes it while it waits.
    enum class Step { Waiting, Running, Done, Taken };
    Step decoding = Step::Waiting;
    Step resolving = Step::Waiting;
    // What the helper found: the blocks from start to end decode to marked, then plain.
    bool usable = false;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    bool final = false;
    std::vector<std::uint16_t> marked; // after resolving, bytes in its first half
    Bytes plain;
    // The history before start once known.
    Bytes history;
};

struct Shared {
    std::mutex mutex;
    std::condition_variable stepDone;
    // The pieces waiting for each step, in stream order.
    std::deque<std::shared_ptr<Piece>> toDecode;
    std::deque<std::shared_ptr<Piece>> toResolve;
};

// A helper's work on a piece. Finds the first block header in the piece's own part
// that decodes, and decodes on with marked history until the history is known or the
// next piece's part is reached; then on with bytes.
void DecodePiece(Piece& piece) {
    const std::span<const std::uint8_t> own(*piece.own);
    const std::span<const std::uint8_t> next =
        piece.next ? std::span<const std::uint8_t>(*piece.next) : std::span<const std::uint8_t>();
    // Bits are counted from the start of own here.
    const std::uint64_t stop = piece.stopBit == kNoStop ? kNoStop : piece.stopBit - piece.firstBit;
    try {
        // Made on a thread's first piece; memory refused for them leaves the piece too.
        thread_local MarkedInflateDecoder markedDecoder;
        thread_local InflateDecoder plainDecoder;
        // Room for all a piece may give: the memory is touched only as it fills.
        piece.marked.reserve(kPieceOutputCap / 2);
        std::optional<std::uint64_t> start = FindDynamicBlock(own, 0, own.size() * 8);
        InflateStop ended;
        for (; start; start = FindDynamicBlock(own, *start + 1, own.size() * 8)) {
            piece.marked.clear();
            SpansInput input(own.subspan(*start / 8), next);
            CappedVector<std::uint16_t> output(piece.marked, kPieceOutputCap);
            try {
                ended =
                    markedDecoder.RunBlocks(input, {*start, stop, true}, UnknownHistory(), output);
                break;
            } catch (const EBadCompressedData&) {
                if (piece.marked.size() > kGiveUpAfter)
                    return;
            }
        }
        if (!start)
            return;
        if (!ended.final && ended.bit < stop) {
            // The last 32 KiB decoded hold no marker, so they are all output.
            const Bytes history(piece.marked.end() - kWindow, piece.marked.end());
            SpansInput input(own.subspan(ended.bit / 8), next);
            const std::size_t room = kPieceOutputCap - piece.marked.size() * 2;
            piece.plain.reserve(room);
            CappedVector<std::uint8_t> output(piece.plain, room);
            ended = plainDecoder.RunBlocks(input, {ended.bit, stop}, history, output);
        }
        piece.start = piece.firstBit + *start;
        piece.end = piece.firstBit + ended.bit;
        piece.final = ended.final;
        piece.usable = true;
    } catch (...) {
        // Left to the calling thread, which meets the same fault where it is real.
    }
}

// The marked symbols with the history put in (which every marker reaches), as bytes
// in place: byte i goes where symbol i / 2 was, read by then.
void Resolve(Piece& piece) {
    std::array<std::uint8_t, 256 + kWindow> byMarker;
    for (unsigned i = 0; i < 256; ++i)
        byMarker[i] = static_cast<std::uint8_t>(i);
    std::copy(piece.history.begin(), piece.history.end(), byMarker.end() - piece.history.size());
    auto* const bytes = reinterpret_cast<std::uint8_t*>(piece.marked.data());
    for (std::size_t i = 0; i < piece.marked.size(); ++i)
        bytes[i] = byMarker[piece.marked[i]];
}

// Takes the first piece waiting for a step off queue, for this thread.
std::shared_ptr<Piece> TakeFirst(std::deque<std::shared_ptr<Piece>>& queue,
                                 Piece::Step Piece::*step) {
    while (!queue.empty()) {
        std::shared_ptr<Piece> piece = std::move(queue.front());
        queue.pop_front();
        if ((*piece).*step == Piece::Step::Waiting) {
            (*piece).*step = Piece::Step::Running;
            return piece;
        }
    }
    return nullptr;
}

// One helper's task: a piece's history put in, which the calling thread waits for
// sooner, else a piece decoded.
void Help(Shared& shared) {
    std::shared_ptr<Piece> piece;
    Piece::Step Piece::*step = &Piece::resolving;
    {
        const std::lock_guard lock(shared.mutex);
        piece = TakeFirst(shared.toResolve, step);
        if (!piece) {
            step = &Piece::decoding;
            piece = TakeFirst(shared.toDecode, step);
        }
    }
    if (!piece)
        return;
    if (step == &Piece::resolving) {
        Resolve(*piece);
    } else {
        DecodePiece(*piece);
        piece->own.reset();
        piece->next.reset();
    }
    {
        const std::lock_guard lock(shared.mutex);
        (*piece).*step = Piece::Step::Done;
    }
    shared.stepDone.notify_all();
}

// Takes a step of a piece back from the helpers: true when it is the calling
// thread's to do now; false when a helper did it (waited for here), or when it was
// taken back before.
bool Claim(Shared& shared, Piece& piece, Piece::Step Piece::*step) {
    std::unique_lock lock(shared.mutex);
    if (piece.*step == Piece::Step::Waiting) {
        piece.*step = Piece::Step::Taken;
        return true;
    }
    shared.stepDone.wait(lock, [&] { return piece.*step != Piece::Step::Running; });
    return false;
}

// A piece no longer needed: a helper that has not begun it leaves it.
void Drop(Shared& shared, Piece& piece) {
    const std::lock_guard lock(shared.mutex);
    if (piece.decoding == Piece::Step::Waiting)
        piece.decoding = Piece::Step::Taken;
}

bool Decoded(Shared& shared, const Piece& piece) {
    const std::lock_guard lock(shared.mutex);
    return piece.decoding == Piece::Step::Done;
}

// Reads the input in pieces, as far as asked.
class PieceReader {
public:
    PieceReader(DecompressInput& input, std::uint64_t pieceSize)
        : input_(input), pieceSize_(pieceSize) {}

    std::uint64_t PieceSize() const { return pieceSize_; }

    // Piece k; null when the input ends before it, or when it was let go.
    SharedBytes Get(std::size_t k) {
        while (!ended_ && first_ + pieces_.size() <= k)
            ReadPiece();
        return k >= first_ && k < first_ + pieces_.size() ? pieces_[k - first_] : nullptr;
    }
    // Lets go of the pieces before k.
    void DropBefore(std::size_t k) {
        for (; first_ < k && !pieces_.empty(); ++first_)
            pieces_.pop_front();
    }

private:
    void ReadPiece() {
        auto piece = std::make_shared<Bytes>(pieceSize_);
        std::size_t filled = 0;
        while (filled < piece->size()) {
            const std::size_t n = input_.Read(piece->data() + filled, piece->size() - filled);
            if (n == 0) {
                ended_ = true;
                break;
            }
            filled += n;
        }
        piece->resize(filled);
        if (filled)
            pieces_.push_back(std::move(piece));
    }

    DecompressInput& input_;
    const std::uint64_t pieceSize_;
    std::deque<SharedBytes> pieces_;
    std::size_t first_ = 0;
    bool ended_ = false;
};

// The stream from a byte on, out of the reader's pieces.
class ReaderInput : public DecompressInput {
public:
    ReaderInput(PieceReader& reader, std::uint64_t byte) : reader_(reader), byte_(byte) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override {
        const std::uint64_t size = reader_.PieceSize();
        const SharedBytes piece = reader_.Get(byte_ / size);
        const std::uint64_t offset = byte_ % size;
        if (!piece || offset >= piece->size())
            return 0;
        const std::size_t n = std::min<std::size_t>(capacity, piece->size() - offset);
        std::memcpy(buffer, piece->data() + offset, n);
        byte_ += n;
        return n;
    }

private:
    PieceReader& reader_;
    std::uint64_t byte_;
};

// Passes the output on and keeps its last 32 KiB.
class KeptHistory : public DecompressOutput {
public:
    explicit KeptHistory(DecompressOutput& output) : output_(output) {}
    void Write(const std::uint8_t* data, std::size_t length) override {
        if (length == 0)
            return;
        output_.Write(data, length);
        if (length >= kWindow) {
            last_.assign(data + length - kWindow, data + length);
            return;
        }
        last_.insert(last_.end(), data, data + length);
        if (last_.size() > kWindow)
            last_.erase(last_.begin(), last_.end() - kWindow);
    }
    const Bytes& History() const { return last_; }

private:
    DecompressOutput& output_;
    Bytes last_;
};

// Whether the piece's output follows on at bit with history before it: it starts
// there, and none of its markers reaches before the start of the stream.
bool FollowsOn(const Piece& piece, std::uint64_t bit, const Bytes& history) {
    if (!piece.usable || piece.start != bit)
        return false;
    const std::size_t unknown = kWindow - history.size();
    return unknown == 0 ||
           std::none_of(piece.marked.begin(), piece.marked.end(),
                        [unknown](std::uint16_t s) { return s >= 256 && s < 256 + unknown; });
}

// The last 32 KiB of history followed by the piece's output, resolving only them.
Bytes HistoryAfter(const Piece& piece, const Bytes& history) {
    const std::size_t h = history.size(), m = piece.marked.size(), p = piece.plain.size();
    const std::size_t total = h + m + p;
    const std::size_t unknown = kWindow - h;
    Bytes after(std::min(total, kWindow));
    std::size_t i = total - after.size();
    for (std::uint8_t& byte : after) {
        if (i < h) {
            byte = history[i];
        } else if (i < h + m) {
            const std::uint16_t symbol = piece.marked[i - h];
            byte =
                symbol < 256 ? static_cast<std::uint8_t>(symbol) : history[symbol - 256 - unknown];
        } else {
            byte = piece.plain[i - h - m];
        }
        ++i;
    }
    return after;
}

} // namespace

std::size_t ParallelInflate(DecompressInput& input, InflateDecoder& decoder,
                            DecompressOutput& output, const InflateHelpers& helpers) {
    const std::uint64_t total = input.Remaining();
    const std::uint64_t pieceSize =
        helpers.pieceSize
            ? helpers.pieceSize
            : std::clamp<std::uint64_t>(total / (helpers.count + 1) + 1, kMinPiece, kMaxPiece);
    const std::size_t pieceCount = static_cast<std::size_t>((total + pieceSize - 1) / pieceSize);
    const auto stopOf = [&](std::size_t k) {
        return k + 1 >= pieceCount ? kNoStop : (k + 1) * pieceSize * 8;
    };

    PieceReader reader(input, pieceSize);
    const auto shared = std::make_shared<Shared>();
    // Whatever ends the decoding, the steps not begun are nobody's.
    struct Abandon {
        Shared& shared;
        ~Abandon() {
            const std::lock_guard lock(shared.mutex);
            for (auto& piece : shared.toDecode)
                piece->decoding = Piece::Step::Taken;
            for (auto& piece : shared.toResolve)
                piece->resolving = Piece::Step::Taken;
            shared.toDecode.clear();
            shared.toResolve.clear();
        }
    } abandon{*shared};
    const auto submit = [&](std::deque<std::shared_ptr<Piece>>& queue,
                            std::shared_ptr<Piece> piece) {
        {
            const std::lock_guard lock(shared->mutex);
            queue.push_back(std::move(piece));
        }
        helpers.spawn([shared] { Help(*shared); });
    };

    std::vector<std::shared_ptr<Piece>> handedOut(pieceCount);
    std::size_t next = 1; // the first piece not handed out; piece 0 is always decoded here
    const auto handOut = [&](std::size_t k) {
        auto piece = std::make_shared<Piece>();
        piece->own = reader.Get(k);
        if (!piece->own)
            return;
        piece->next = reader.Get(k + 1);
        piece->firstBit = k * pieceSize * 8;
        piece->stopBit = stopOf(k);
        handedOut[k] = piece;
        submit(shared->toDecode, std::move(piece));
    };

    KeptHistory kept(output);
    InflateStop at; // the output written so far ends there
    // The pieces that follow on from the output written, one after another, each
    // with its history known: so that any thread may put it in.
    std::deque<std::shared_ptr<Piece>> chain;
    InflateStop chainEnd;
    Bytes chainHistory;
    std::size_t used = 0;
    for (std::size_t k = 0; !at.final;) {
        // The pieces handed out and not yet written stay within the helpers' number.
        for (; next < pieceCount &&
               next + std::min(chain.size(), std::size_t{helpers.count}) <= k + helpers.count;
             ++next)
            handOut(next);
        if (chain.empty()) {
            chainEnd = at;
            chainHistory = kept.History();
        }
        // Chain the pieces decoded that follow on, waiting only when nothing is chained.
        for (; k < pieceCount && !chainEnd.final; ++k) {
            const std::shared_ptr<Piece>& piece = handedOut[k];
            if (chainEnd.bit >= stopOf(k)) { // a block reached over its part
                if (piece)
                    Drop(*shared, *piece);
                handedOut[k].reset();
                continue;
            }
            if (!piece || (!chain.empty() && !Decoded(*shared, *piece)))
                break;
            Claim(*shared, *piece, &Piece::decoding);
            if (!FollowsOn(*piece, chainEnd.bit, chainHistory))
                break;
            piece->history = std::exchange(chainHistory, HistoryAfter(*piece, chainHistory));
            chainEnd = {piece->end, piece->final};
            chain.push_back(piece);
            submit(shared->toResolve, piece);
            handedOut[k].reset();
        }
        if (!chain.empty()) {
            const std::shared_ptr<Piece> piece = std::move(chain.front());
            chain.pop_front();
            if (Claim(*shared, *piece, &Piece::resolving))
                Resolve(*piece);
            kept.Write(reinterpret_cast<const std::uint8_t*>(piece->marked.data()),
                       piece->marked.size());
            kept.Write(piece->plain.data(), piece->plain.size());
            at = {piece->end, piece->final};
            ++used;
        } else {
            // Piece k does not follow on (or is the first, or none is left): decoded here.
            if (k < pieceCount)
                handedOut[k].reset();
            ReaderInput in(reader, at.bit / 8);
            at = decoder.RunBlocks(in, {at.bit, k < pieceCount ? stopOf(k) : kNoStop},
                                   kept.History(), kept);
            k += k < pieceCount;
        }
        reader.DropBefore(static_cast<std::size_t>(at.bit / 8 / pieceSize));
    }
    return used;
}

} // namespace kd
