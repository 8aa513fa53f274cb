#!/usr/bin/env python3
"""Writes the name-encoding fixtures of the record tests (run once; output committed).

zipfile stores non-ASCII names as UTF-8 with flag bit 11, so each archive is written
with ASCII placeholders of the same byte length, which are then replaced by the raw
bytes of the wanted encoding (names do not enter the CRC)."""
import io
import zipfile

def archive(path, host, encoding, names):
    buf = io.BytesIO()
    placeholders = []
    with zipfile.ZipFile(buf, "w") as zf:
        for i, name in enumerate(names):
            raw = name.encode(encoding)
            ph = ("%d" % i).ljust(len(raw), "_")
            if name.endswith("/"):
                ph = ph[:-1] + "/"
            placeholders.append((ph.encode("ascii"), raw))
            info = zipfile.ZipInfo(ph, date_time=(2020, 5, 17, 12, 30, 44))
            info.create_system = host
            info.compress_type = zipfile.ZIP_DEFLATED
            zf.writestr(info, b"" if name.endswith("/") else ("content of %s\n" % name).encode("utf-8") * 3)
    data = buf.getvalue()
    for ph, raw in placeholders:
        assert data.count(ph) == 2
        data = data.replace(ph, raw)
    with open(path, "wb") as f:
        f.write(data)

archive("cp852-dos.zip", 0, "cp852", ["žluťoučký kůň.txt", "Příliš/", "Příliš/Šíleně.TXT"])
archive("cp1250-unix.zip", 3, "cp1250", ["čeština.txt", "adresář/soubor.txt"])
