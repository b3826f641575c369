#!/usr/bin/env python3
"""Writes the release zip and checks it as a reader sees it.

    zipdist.py EXE GUIDE ZIP

EXE is the i686 autoredial.exe; GUIDE is the user guide in UTF-8, stored as
使用说明.txt in UTF-8 with a byte-order mark and CRLF line ends, which Notepad
reads as Unicode on every Windows from 7 on, whatever its code page. The
archive is written beside ZIP and moved into place whole. Exits non-zero,
naming the fault, when the archive read back is not right: a damaged entry,
other entries, an exe that differs or is not a PE32 i386 GUI program, a guide
that is not the UTF-8/BOM/CRLF text.

Entry names are stored in GBK without the UTF-8 flag, as Chinese Windows
itself writes them: Windows' built-in zip folders and 7-Zip read such names in
the OEM code page (936 there). Each entry also carries the Info-ZIP Unicode
Path field (0x7075) with its UTF-8 name, which 7-Zip, WinRAR, WinZip,
Bandizip and Info-ZIP's unzip prefer on any system. (The UTF-8 flag is left
off: Windows 7's zip folders ignore it and would show the UTF-8 bytes in code
page 936.)
"""
import os, struct, sys, time, zipfile, zlib

exe_path, guide_path, zip_path = sys.argv[1:4]
GUIDE_NAME = "使用说明.txt"

with open(exe_path, "rb") as f:
    exe = f.read()
with open(guide_path, encoding="utf-8") as f:
    guide_text = f.read()
guide = "\ufeff".encode("utf-8") + guide_text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")

def dos_time(path):
    t = time.localtime(max(os.path.getmtime(path), 315532800))  # DOS dates start in 1980
    return ((t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2),
            ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday)

entries = [("autoredial.exe", exe, exe_path), (GUIDE_NAME, guide, guide_path)]
body = bytearray()
central = bytearray()
for name, data, source in entries:
    raw_name = name.encode("gbk")
    utf8_name = name.encode("utf-8")
    extra = b""
    if utf8_name != raw_name:
        field = b"\x01" + struct.pack("<I", zlib.crc32(raw_name)) + utf8_name
        extra = struct.pack("<HH", 0x7075, len(field)) + field
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    packed = packer.compress(data) + packer.flush()
    crc = zlib.crc32(data)
    mtime, mdate = dos_time(source)
    offset = len(body)
    # version 2.0, deflate, no flags; made by MS-DOS (host 0) so that readers
    # take the name in the OEM code page
    body += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 8, mtime, mdate, crc,
                        len(packed), len(data), len(raw_name), len(extra))
    body += raw_name + extra + packed
    central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, 8, mtime, mdate, crc,
                           len(packed), len(data), len(raw_name), len(extra), 0, 0, 0,
                           0x20, offset)  # FILE_ATTRIBUTE_ARCHIVE
    central += raw_name + extra
end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), len(body), 0)
with open(zip_path + ".part", "wb") as f:
    f.write(body + central + end)
os.replace(zip_path + ".part", zip_path)

# The archive as a reader sees it.
def fail(message):
    sys.exit("package: %s: %s" % (zip_path, message))

with zipfile.ZipFile(zip_path) as archive:
    if archive.testzip() is not None:
        fail("a damaged entry")
    names = {}
    for info in archive.infolist():
        if info.flag_bits & 0x800:
            fail("%s carries the UTF-8 flag" % info.filename)
        names[info.filename.encode("cp437").decode("gbk")] = info
    if sorted(names) != sorted(["autoredial.exe", GUIDE_NAME]):
        fail("holds %s" % sorted(names))
    packed_exe = archive.read(names["autoredial.exe"])
    packed_guide = archive.read(names[GUIDE_NAME])
    for name in names:
        print("  %8d  %s" % (names[name].file_size, name))

if packed_exe != exe:
    fail("autoredial.exe differs from %s" % exe_path)
pe = struct.unpack_from("<I", packed_exe, 0x3C)[0]
if packed_exe[:2] != b"MZ" or packed_exe[pe:pe + 4] != b"PE\0\0":
    fail("autoredial.exe is not a PE file")
machine = struct.unpack_from("<H", packed_exe, pe + 4)[0]
magic, = struct.unpack_from("<H", packed_exe, pe + 24)
subsystem, = struct.unpack_from("<H", packed_exe, pe + 24 + 68)
if (machine, magic, subsystem) != (0x14C, 0x10B, 2):
    fail("autoredial.exe is machine %#x, optional header %#x, subsystem %d, not PE32 i386 GUI"
         % (machine, magic, subsystem))
if not packed_guide.startswith(b"\xef\xbb\xbf"):
    fail("%s has no UTF-8 byte-order mark" % GUIDE_NAME)
text = packed_guide[3:].decode("utf-8")
if "\n" in text.replace("\r\n", "") or text.replace("\r\n", "\n") != guide_text.replace("\r\n", "\n"):
    fail("%s is not the guide in UTF-8 with CRLF line ends" % GUIDE_NAME)
print("autoredial.exe: PE32, i386, GUI subsystem, %d bytes" % len(packed_exe))
