#!/usr/bin/env python3
"""Writes hostile and damaged ZIP archives for the extraction and restore tests,
each named for what is wrong with it. Every entry's data is deterministic, so the
files come out the same at every run.

Usage: make_hostile_fixtures.py OUTPUT_DIR

- overlapping-quoted-headers.zip: the overlap construction of "zip bombs": each
  entry's deflate stream quotes the next local header in a stored block and goes on
  into the next entry's data; the last entry (kernel.bin) stands alone.
- duplicate-local-offsets.zip: three stored entries whose second central record
  points at the first entry's local header.
- overlong-name.zip: an entry whose Windows-1250 name decodes to more than 65535
  bytes of UTF-8, before a sound entry.
- aes-encrypted.zip: a WinZip AES entry (method 99, extra field 0x9901) beside a
  stored one.
- truncated-final-entry-complete-data.zip: local headers and data only (no
  directory); the last entry's compressed size runs past the end of the file, its
  deflate stream is whole.
- truncated-final-entry-cut-data.zip: likewise, the file ends inside the last
  entry's deflate stream.
- zip64-entry.zip: an entry whose sizes are in its ZIP64 extra field.
- not-a-zip.zip: text.
"""

import struct
import sys
import zlib
from pathlib import Path

DOS_TIME, DOS_DATE = 0x6000, 0x5021  # 2020-01-01 12:00


def deflate_raw(data):
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def local_header(name, method, crc, csize, usize, flags=0, extra=b""):
    return struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, flags, method, DOS_TIME, DOS_DATE,
                       crc, csize, usize, len(name), len(extra)) + name + extra


def central_header(name, method, crc, csize, usize, offset, flags=0, extra=b"", host=3):
    return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, (host << 8) | 20, 20, flags, method,
                       DOS_TIME, DOS_DATE, crc, csize, usize, len(name), len(extra), 0, 0, 0,
                       0o100644 << 16, offset) + name + extra


def end_record(count, size, offset):
    return struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, size, offset, 0)


def archive(entries):
    """entries: (name, method, data as stored, uncompressed bytes[, flags, extra])."""
    out, central = bytearray(), bytearray()
    for name, method, stored, plain, *more in entries:
        flags, extra = (more + [0, b""])[:2] if more else (0, b"")
        crc = zlib.crc32(plain)
        central += central_header(name, method, crc, len(stored), len(plain), len(out),
                                  flags, extra)
        out += local_header(name, method, crc, len(stored), len(plain), flags, extra) + stored
    return bytes(out + central + end_record(len(entries), len(central), len(out)))


def overlapping():
    kernel_plain = bytes(1 << 20)
    names = [b"quote%d.bin" % i for i in range(1, 6)] + [b"kernel.bin"]
    # Built from the back: each entry's stream is a stored block holding the next
    # local header, then the next entry's stream.
    stream, plain = deflate_raw(kernel_plain), kernel_plain
    headers = []
    for name in reversed(names):
        header = local_header(name, 8, zlib.crc32(plain), len(stream), len(plain))
        headers.insert(0, (name, zlib.crc32(plain), len(stream), len(plain)))
        if name == names[0]:
            first = header
            break
        quote = b"\x00" + struct.pack("<HH", len(header), len(header) ^ 0xFFFF) + header
        stream, plain = quote + stream, header + plain
    # The file: the first header, then the first stream, which holds every other
    # header at the place its entry's offset names.
    body = first + stream
    central = bytearray()
    for name, crc, csize, usize in headers:
        offset = body.find(local_header(name, 8, crc, csize, usize))
        assert offset >= 0
        central += central_header(name, 8, crc, csize, usize, offset)
    return bytes(body + central + end_record(len(headers), len(central), len(body)))


def duplicate_offsets():
    data = archive([(n, 0, n * 10, n * 10) for n in (b"one.txt", b"two.txt", b"three.txt")])
    first = data.find(b"PK\x01\x02")
    second = data.find(b"PK\x01\x02", first + 4)
    data = bytearray(data)
    data[second + 42:second + 46] = data[first + 42:first + 46]
    return bytes(data)


def overlong_name():
    return archive([(b"\x9a" * 40000, 0, b"long", b"long"), (b"ok.txt", 0, b"ok", b"ok")])


def aes_encrypted():
    extra = struct.pack("<HHH2sBH", 0x9901, 7, 2, b"AE", 3, 8)
    secret = bytes((i * 37 + 11) & 0xFF for i in range(16 + 2 + 40 + 10))
    return archive([(b"secret.txt", 99, secret, b"x" * 40, 1, extra),
                    (b"plain.txt", 0, b"plain", b"plain")])


def without_directory(cut_data):
    first = b"first text\n" * 100
    last = bytes((i * i) & 0xFF for i in range(60000))
    body = archive([(b"first.txt", 8, deflate_raw(first), first),
                    (b"last.bin", 8, deflate_raw(last), last)])
    body = body[:body.find(b"PK\x01\x02")]
    at = body.rfind(b"PK\x03\x04") + 18
    stored = struct.unpack("<I", body[at:at + 4])[0]
    if cut_data:
        return body[:len(body) - stored // 2]
    return body[:at] + struct.pack("<I", stored + 50000) + body[at + 4:]


def zip64_entry():
    data = b"zip64 sized entry\n"
    crc, size = zlib.crc32(data), len(data)
    extra = struct.pack("<HHQQ", 0x0001, 16, size, size)
    local = local_header(b"big.txt", 0, crc, 0xFFFFFFFF, 0xFFFFFFFF, 0, extra) + data
    central = central_header(b"big.txt", 0, crc, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0, extra)
    return local + central + end_record(1, len(central), len(local))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    fixtures = {
        "overlapping-quoted-headers.zip": overlapping(),
        "duplicate-local-offsets.zip": duplicate_offsets(),
        "overlong-name.zip": overlong_name(),
        "aes-encrypted.zip": aes_encrypted(),
        "truncated-final-entry-complete-data.zip": without_directory(False),
        "truncated-final-entry-cut-data.zip": without_directory(True),
        "zip64-entry.zip": zip64_entry(),
        "not-a-zip.zip": b"This is a text file, not an archive.\n" * 20,
    }
    for name, data in fixtures.items():
        (out / name).write_bytes(data)


if __name__ == "__main__":
    main()
