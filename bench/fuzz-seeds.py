#!/usr/bin/env python3
"""Seeds the fuzz corpora from the fixtures: the raw data of every entry of the
archives in tests/data goes to the decoder of its method (with the header byte and
size the decoder target expects), and Deflate streams of the text fixtures made by
zlib go to the inflate target. Info-ZIP's zip, when present, adds an archive
encrypted with the password the archive target tries ("fuzz").

Usage: fuzz-seeds.py DATA_DIR CORPUS_DIR"""

import hashlib
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path


def local_entries(data):
    """(method, flags, size, raw data) of each local header found in the bytes."""
    pos = data.find(b"PK\x03\x04")
    while pos >= 0 and pos + 30 <= len(data):
        (_, _, flags, method, _, _, _, csize, usize, nlen, xlen) = struct.unpack_from(
            "<IHHHHHIIIHH", data, pos)
        start = pos + 30 + nlen + xlen
        yield method, flags, usize, data[start:start + csize]
        pos = data.find(b"PK\x03\x04", start + csize)


def save(corpus, target, seed):
    folder = corpus / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / hashlib.sha1(seed).hexdigest()).write_bytes(seed)


def main():
    data_dir, corpus = Path(sys.argv[1]), Path(sys.argv[2])
    for archive in data_dir.rglob("*.zip"):
        for method, flags, size, raw in local_entries(archive.read_bytes()):
            if method == 8:
                save(corpus, "InflateFuzz", raw)
                save(corpus, "ParallelInflateFuzz", raw)
                continue
            if method == 1:
                choice = 0
            elif 2 <= method <= 5:
                choice = method - 1
            elif method == 6:
                choice = 5 + ((flags >> 1) & 3)
            else:
                continue
            save(corpus, "LegacyDecompressFuzz", bytes([choice]) + struct.pack("<I", size) + raw)
    for text in list(data_dir.rglob("*.lus")) + list(data_dir.rglob("*.py")):
        for level in (1, 6, 9):
            packer = zlib.compressobj(level, zlib.DEFLATED, -15)
            stream = packer.compress(text.read_bytes()) + packer.flush()
            save(corpus, "InflateFuzz", stream)
            save(corpus, "ParallelInflateFuzz", stream)

    if shutil.which("zip"):
        with tempfile.TemporaryDirectory() as work:
            archive = Path(work) / "encrypted.zip"
            sources = [str(p) for p in sorted(data_dir.rglob("*.lus"))]
            subprocess.run(["zip", "-q", "-j", "-P", "fuzz", str(archive)] + sources, check=True)
            save(corpus, "ArchiveFuzz", archive.read_bytes())


if __name__ == "__main__":
    main()
