#!/usr/bin/env python3
"""Writes ZIP archives with shrunk (method 1), reduced (2-5) and imploded (6)
entries for the decoder tests; no tool on this system writes these methods.

Every sample is stored once uncompressed (method 0) under its own name and once
per variant as "<name>.<variant>", so a test can compare the decoded bytes.

Usage: make_method_fixtures.py OUTPUT_DIR
Writes shrink.zip, implode.zip (both checked with `unzip -t` and `7z t`) and
reduce.zip (no tool here reads reduce)."""

import random
import struct
import sys
import zlib
from pathlib import Path


class BitWriter:
    """Bits least significant first."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def bits(self, value, count):
        self.acc |= (value & ((1 << count) - 1)) << self.count
        self.count += count
        while self.count >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.count -= 8

    def code_msb_first(self, code, length):
        for i in range(length - 1, -1, -1):
            self.bits((code >> i) & 1, 1)

    def finish(self):
        if self.count:
            self.out.append(self.acc & 0xFF)
        self.acc = self.count = 0
        return bytes(self.out)


# ---------------------------------------------------------------- shrink (1)

def shrink(data, clear_once_after=None):
    """LZW with 9..13-bit codes. The code-size increase (256,1) is sent just
    before the first code that needs it; a partial clear (256,2) is sent as soon
    as the table is full, and once more at the first literal code after
    `clear_once_after` codes. A cleared code keeps its string for codes that
    still name it as their prefix."""
    w = BitWriter()
    if not data:
        return b""
    MAX = 8192
    parent = [None] * MAX          # None: free
    value = [0] * MAX
    child = {}                     # (parent, byte) -> code
    for c in range(256):
        parent[c] = -1
        value[c] = c
    parent[256] = -1
    size = 9
    search = 257

    def next_free():
        nonlocal search
        while search < MAX and parent[search] is not None:
            search += 1
        return search

    def emit(code):
        nonlocal size
        while code >= (1 << size):
            w.bits(256, size)
            w.bits(1, size)
            size += 1
        w.bits(code, size)

    def partial_clear():
        nonlocal search
        used_as_prefix = {parent[c] for c in range(257, MAX) if parent[c] is not None}
        for c in range(257, MAX):
            if parent[c] is not None and c not in used_as_prefix:
                if child.get((parent[c], value[c])) == c:
                    del child[(parent[c], value[c])]
                parent[c] = None
        search = 257

    emit(data[0])
    prev = data[0]
    pos = 1
    emitted = 0
    while pos < len(data):
        c = data[pos]
        f = next_free()
        if f < MAX:
            parent[f], value[f] = prev, c
            child[(prev, c)] = f
            search = f + 1
        code = c
        pos += 1
        while pos < len(data) and (code, data[pos]) in child:
            code = child[(code, data[pos])]
            pos += 1
        emit(code)
        emitted += 1
        prev = code
        early = clear_once_after is not None and emitted >= clear_once_after and code < 256
        if next_free() >= MAX or early:
            if early:
                clear_once_after = None
            w.bits(256, size)
            w.bits(2, size)
            partial_clear()
    return w.finish()


# ---------------------------------------------------------------- LZ77 matcher

def find_matches(data, window, min_len, max_len):
    """Greedy matches: yields ('lit', byte, pos) or ('match', distance, length, pos)."""
    heads = {}
    pos = 0
    n = len(data)
    while pos < n:
        best_len, best_dist = 0, 0
        if pos + min_len <= n:
            key = bytes(data[pos:pos + 3])
            for cand in reversed(heads.get(key, [])[-48:]):
                dist = pos - cand
                if dist > window:
                    break
                length = 0
                while length < max_len and pos + length < n and data[cand + length] == data[pos + length]:
                    length += 1
                if length > best_len:
                    best_len, best_dist = length, dist
        step = best_len if best_len >= min_len else 1
        for p in range(pos, pos + step):
            heads.setdefault(bytes(data[p:p + 3]), []).append(p)
        if best_len >= min_len:
            yield ('match', best_dist, best_len, pos)
        else:
            yield ('lit', data[pos], pos)
        pos += step


# ---------------------------------------------------------------- implode (6)

def huffman_lengths(freqs, limit=16):
    """Code lengths (all symbols coded, complete code, at most `limit` bits)."""
    import heapq
    freqs = [f + 1 for f in freqs]
    while True:
        heap = [(f, i, [i]) for i, f in enumerate(freqs)]
        heapq.heapify(heap)
        lengths = [0] * len(freqs)
        tie = len(freqs)
        while len(heap) > 1:
            f1, _, s1 = heapq.heappop(heap)
            f2, _, s2 = heapq.heappop(heap)
            for s in s1 + s2:
                lengths[s] += 1
            heapq.heappush(heap, (f1 + f2, tie, s1 + s2))
            tie += 1
        if max(lengths) <= limit:
            return lengths
        freqs = [(f >> 1) + 1 for f in freqs]


def shannon_fano_codes(lengths):
    """Codes as the implode description assigns them: sort by length (stable),
    then hand out codes from the longest end upwards, left-aligned in 16 bits."""
    order = sorted(range(len(lengths)), key=lambda s: lengths[s])
    codes = [0] * len(lengths)
    code = increment = last = 0
    for s in reversed(order):
        code += increment
        if lengths[s] != last:
            last = lengths[s]
            increment = 1 << (16 - last)
        codes[s] = code
    return codes


def write_tree(lengths):
    groups = []
    for length in lengths:
        if groups and groups[-1][0] == length and groups[-1][1] < 16:
            groups[-1][1] += 1
        else:
            groups.append([length, 1])
    out = bytearray([len(groups) - 1])
    out += bytes(((rep - 1) << 4) | (length - 1) for length, rep in groups)
    return bytes(out)


def implode(data, big_dictionary, literal_tree):
    low_bits = 7 if big_dictionary else 6
    min_len = 3 if literal_tree else 2
    window = 8192 if big_dictionary else 4096
    tokens = list(find_matches(data, window, min_len, min_len + 63 + 255))
    lit_freq, len_freq, dist_freq = [0] * 256, [0] * 64, [0] * 64
    for t in tokens:
        if t[0] == 'lit':
            lit_freq[t[1]] += 1
        else:
            len_freq[min(t[2] - min_len, 63)] += 1
            dist_freq[(t[1] - 1) >> low_bits] += 1
    trees = []
    if literal_tree:
        trees.append(huffman_lengths(lit_freq))
    trees += [huffman_lengths(len_freq), huffman_lengths(dist_freq)]
    header = b"".join(write_tree(t) for t in trees)
    coded = [(t, shannon_fano_codes(t)) for t in trees]
    lit, length_tree, dist_tree = (coded[0] if literal_tree else None), coded[-2], coded[-1]

    def put(tree, symbol):
        lengths, codes = tree
        w.code_msb_first(codes[symbol] >> (16 - lengths[symbol]), lengths[symbol])

    w = BitWriter()
    for t in tokens:
        if t[0] == 'lit':
            w.bits(1, 1)
            if lit:
                put(lit, t[1])
            else:
                w.bits(t[1], 8)
        else:
            _, dist, length, _ = t
            w.bits(0, 1)
            w.bits((dist - 1) & ((1 << low_bits) - 1), low_bits)
            put(dist_tree, (dist - 1) >> low_bits)
            code = length - min_len
            put(length_tree, min(code, 63))
            if code >= 63:
                w.bits(code - 63, 8)
    return header + w.finish()


# ---------------------------------------------------------------- reduce (2-5)

def reduce(data, factor):
    mask = 0xFF >> factor
    window = ((0xFF >> (8 - factor)) << 8) + 256
    stream = bytearray()

    def literal(byte):
        stream.extend(b"\x90\x00" if byte == 0x90 else bytes([byte]))

    for t in find_matches(data, window, 3, mask + 255 + 3):
        if t[0] == 'lit':
            literal(t[1])
            continue
        _, dist, length, pos = t
        high = (dist - 1) >> 8
        v = (high << (8 - factor)) | min(length - 3, mask)
        if v == 0:  # 144, 0 means a literal 144: send these three bytes as literals
            for b in data[pos:pos + 3]:
                literal(b)
            continue
        stream += bytes([0x90, v])
        if length - 3 >= mask:
            stream.append(length - 3 - mask)
        stream.append((dist - 1) & 0xFF)
    followers = {}
    last = 0
    for b in stream:
        followers.setdefault(last, {}).setdefault(b, 0)
        followers[last][b] += 1
        last = b
    sets = {}
    for c, counts in followers.items():
        # set sizes vary with the byte so that every index width is used
        best = sorted(counts, key=lambda b: (-counts[b], b))[:1 + c % 63]
        sets[c] = best
    w = BitWriter()
    for c in range(255, -1, -1):
        s = sets.get(c, [])
        w.bits(len(s), 6)
        for b in s:
            w.bits(b, 8)
    last = 0
    for b in stream:
        s = sets.get(last, [])
        if not s:
            w.bits(b, 8)
        elif b in s:
            w.bits(0, 1)
            w.bits(s.index(b), max(1, (len(s) - 1).bit_length()))
        else:
            w.bits(1, 1)
            w.bits(b, 8)
        last = b
    return w.finish()


# ---------------------------------------------------------------- ZIP container

DOS_TIME, DOS_DATE = (12 << 11) | (30 << 5), ((2024 - 1980) << 9) | (5 << 5) | 17


def write_zip(path, entries):
    """entries: (name, method, flags, raw data, packed data)."""
    out = bytearray()
    central = bytearray()
    for name, method, flags, raw, packed in entries:
        offset = len(out)
        crc = zlib.crc32(raw) & 0xFFFFFFFF
        fields = (10, flags, method, DOS_TIME, DOS_DATE, crc, len(packed), len(raw), len(name), 0)
        out += struct.pack("<I5H3I2H", 0x04034B50, *fields) + name.encode() + packed
        central += struct.pack("<IH5H3I5H2I", 0x02014B50, 10, *fields, 0, 0, 0, 0x20, offset) + name.encode()
    start = len(out)
    out += central
    out += struct.pack("<I4H2IH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), start, 0)
    Path(path).write_bytes(out)


def samples():
    rng = random.Random(1)
    words = [b"backup ", b"archive ", b"zip ", b"the ", b"of ", b"data\r\n", b"kordyne ", b"\x90", b"0123 "]
    text = bytearray()
    while len(text) < 12000:
        text += rng.choice(words)
        if rng.random() < 0.05:
            text.append(rng.randrange(256))
    kwkwk = b"a" * 300 + b"ab" * 200 + b"xyz" * 5
    return [("text", bytes(text)), ("kwkwk", kwkwk), ("one", b"Q"), ("empty", b"")]


def table_filler():
    """Fills the shrink code table several times over (full-table clears)."""
    rng = random.Random(2)
    return bytes(rng.randrange(40, 80) for _ in range(24000))


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    shrink_entries, implode_entries, reduce_entries = [], [], []
    for name, data in samples():
        for entries in (shrink_entries, implode_entries, reduce_entries):
            entries.append((name, 0, 0, data, data))
        shrink_entries.append((name + ".shrink", 1, 0, data, shrink(data)))
        shrink_entries.append((name + ".shrink-clear", 1, 0, data, shrink(data, clear_once_after=len(data) // 20)))
        for flags, variant in ((0, "4k"), (2, "8k"), (4, "4k-lit"), (6, "8k-lit")):
            if data:
                implode_entries.append((name + ".implode-" + variant, 6, flags, data, implode(data, flags & 2, flags & 4)))
        for factor in range(1, 5):
            reduce_entries.append((name + ".reduce%d" % factor, factor + 1, 0, data, reduce(data, factor)))
    fill = table_filler()
    shrink_entries += [("fill", 0, 0, fill, fill), ("fill.shrink", 1, 0, fill, shrink(fill))]
    write_zip(out / "shrink.zip", shrink_entries)
    write_zip(out / "implode.zip", implode_entries)
    write_zip(out / "reduce.zip", reduce_entries)


if __name__ == "__main__":
    main()
