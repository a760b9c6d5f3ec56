#!/usr/bin/python3
"""Writes the icon fixtures of tst_iconloader into this folder.

Everything is built byte by byte (no image library), so the files are the same on
every machine. Run it again after changing it and commit its output with it:
    /usr/bin/python3 tests/data/icons/make_icons.py

two-icons.dll     PE32 DLL, .rsrc with two icon groups:
                  0 "MAINICON": 16x16 red (32-bit BMP image)
                  1 id 7:       16x16 green (BMP) + 32x32 blue (PNG); blue is the best
two-icons64.dll   the same resources in a PE32+ (x64) file
three-images.ico  16x16 white 32-bit, 32x32 grey 4-bit, 32x32 yellow 32-bit (the best)
two-frames.gif    16x16, first frame red, second frame blue
green.jpg         16x16 flat green, baseline JPEG
half-clear.png    16x16, left half transparent, right half orange
program.desktop   Icon= names a theme icon
theme/lynkortest  a tiny icon theme: an application icon and two MIME type icons

The resource section layout is fixed (tst_iconloader patches it at these offsets,
relative to the start of .rsrc):
    0x000 root directory: RT_ICON entry at 0x010, RT_GROUP_ICON entry at 0x018
    0x020 RT_ICON directory (ids 1, 2, 3)
    0x048 RT_GROUP_ICON directory (one named entry, then id 7)
    0x068 language directories, 24 bytes each: icons 1, 2, 3, group 0, group 1
    0x0e0 data entries, 16 bytes each, same order
    0x130 the name "MAINICON"
    0x144 group 0 data, then group 1, then icons 1, 2, 3 (each 4-byte aligned)
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

RED = (255, 0, 0)
GREEN = (0, 160, 0)
BLUE = (0, 0, 255)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
YELLOW = (255, 255, 0)
ORANGE = (255, 128, 0)
CYAN = (0, 200, 200)
PURPLE = (128, 0, 128)
NAVY = (0, 0, 128)


def write(name, data):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# --- icon images -----------------------------------------------------------

def bmp_icon_32(size, rgb):
    """A 32-bit icon image: BITMAPINFOHEADER (double height), BGRA rows, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytes((rgb[2], rgb[1], rgb[0], 255)) * (size * size)
    mask = b"\0" * (((size + 31) // 32) * 4 * size)
    return header + pixels + mask


def bmp_icon_4(size, rgb):
    """A 4-bit palette icon image in one colour."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = bytes((rgb[2], rgb[1], rgb[0], 0)) + b"\0" * 60
    row = b"\0" * (((size * 4 + 31) // 32) * 4)
    mask = b"\0" * (((size + 31) // 32) * 4 * size)
    return header + palette + row * size + mask


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, pixel):
    """An RGBA PNG; pixel(x, y) gives (r, g, b, a)."""
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width))
                   for y in range(height))
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))


def flat_png(size, rgb):
    return png(size, size, lambda x, y: rgb + (255,))


# --- .ico ------------------------------------------------------------------

def ico(images):
    """images: (width, height, colour count, bit count, data)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, colours, bits, data in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(img[4] for img in images)


# --- PE --------------------------------------------------------------------

def align(n, a):
    return (n + a - 1) // a * a


def rsrc_section(rva):
    """The .rsrc contents at the layout given in the module comment."""
    icons = [(1, 16, 32, bmp_icon_32(16, RED)),
             (2, 16, 32, bmp_icon_32(16, GREEN)),
             (3, 32, 32, flat_png(32, BLUE))]

    def group(members):
        out = struct.pack("<HHH", 0, 1, len(members))
        for icon_id in members:
            _, size, bits, data = icons[icon_id - 1]
            out += struct.pack("<BBBBHHIH", size % 256, size % 256, 0, 0, 1, bits, len(data),
                               icon_id)
        return out

    groups = [group([1]), group([2, 3])]

    def directory(named, ids):
        return struct.pack("<IIHHHH", 0, 0, 0, 0, named, ids)

    def entry(name, offset, subdir):
        return struct.pack("<II", name, offset | (0x80000000 if subdir else 0))

    lang_dir = 0x068
    data_entries = 0x0e0
    name_offset = 0x130
    payload = 0x144

    blobs = groups + [icon[3] for icon in icons]
    blob_offsets = []
    pos = payload
    for blob in blobs:
        blob_offsets.append(pos)
        pos = align(pos + len(blob), 4)

    out = bytearray()
    out += directory(0, 2)
    out += entry(3, 0x020, True)
    out += entry(14, 0x048, True)
    assert len(out) == 0x020
    out += directory(0, 3)
    for i in range(3):
        out += entry(i + 1, lang_dir + 24 * i, True)
    assert len(out) == 0x048
    out += directory(1, 1)
    out += entry(0x80000000 | name_offset, lang_dir + 24 * 3, True)
    out += entry(7, lang_dir + 24 * 4, True)
    assert len(out) == lang_dir
    # leaves in blob order: icons 1..3, then groups 0, 1
    leaf_blobs = [2, 3, 4, 0, 1]
    for i in range(5):
        out += directory(0, 1)
        out += entry(1033, data_entries + 16 * i, False)
    assert len(out) == data_entries
    for b in leaf_blobs:
        out += struct.pack("<IIII", rva + blob_offsets[b], len(blobs[b]), 0, 0)
    assert len(out) == name_offset
    name = "MAINICON".encode("utf-16-le")
    out += struct.pack("<H", len(name) // 2) + name
    out += b"\0" * (payload - len(out))
    for blob, offset in zip(blobs, blob_offsets):
        out += b"\0" * (offset - len(out)) + blob
    return bytes(out)


def pe_dll(pe32_plus):
    file_align = 0x200
    section_align = 0x1000
    rsrc_rva = 0x1000
    rsrc = rsrc_section(rsrc_rva)
    raw_size = align(len(rsrc), file_align)
    raw_ptr = 0x200

    dos = bytearray(64)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3c, 0x40)

    machine = 0x8664 if pe32_plus else 0x14c
    opt_size = 240 if pe32_plus else 224
    characteristics = 0x2022 if pe32_plus else 0x2102  # DLL | executable image | (large aware | 32-bit)
    coff = struct.pack("<HHIIIHH", machine, 1, 0, 0, 0, opt_size, characteristics)

    image_size = rsrc_rva + align(len(rsrc), section_align)
    if pe32_plus:
        opt = struct.pack("<HBBIIIIIQIIHHHHHHIIIIHHQQQQII",
                          0x20b, 14, 0, 0, raw_size, 0, 0, 0, 0x180000000,
                          section_align, file_align, 6, 0, 0, 0, 6, 0, 0,
                          image_size, 0x200, 0, 2, 0x160, 0x100000, 0x1000, 0x100000, 0x1000,
                          0, 16)
    else:
        opt = struct.pack("<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII",
                          0x10b, 14, 0, 0, raw_size, 0, 0, 0, 0, 0x10000000,
                          section_align, file_align, 6, 0, 0, 0, 6, 0, 0,
                          image_size, 0x200, 0, 2, 0x140, 0x100000, 0x1000, 0x100000, 0x1000,
                          0, 16)
    dirs = [(0, 0)] * 16
    dirs[2] = (rsrc_rva, len(rsrc))
    opt += b"".join(struct.pack("<II", *d) for d in dirs)
    assert len(opt) == opt_size

    section = struct.pack("<8sIIIIIIHHI", b".rsrc", len(rsrc), rsrc_rva, raw_size, raw_ptr,
                          0, 0, 0, 0, 0x40000040)
    headers = bytes(dos) + b"PE\0\0" + coff + opt + section
    assert len(headers) <= raw_ptr
    return headers + b"\0" * (raw_ptr - len(headers)) + rsrc + b"\0" * (raw_size - len(rsrc))


# --- GIF -------------------------------------------------------------------

def gif_frame_data(width, height, index):
    """LZW data of one flat frame: a clear code before every two pixels keeps the
    code size at 3 bits, so no real compressor is needed."""
    min_code = 2
    clear, end = 4, 5
    codes = []
    for i in range(width * height):
        if i % 2 == 0:
            codes.append(clear)
        codes.append(index)
    codes.append(end)
    bits = 0
    nbits = 0
    out = bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 3
        while nbits >= 8:
            out.append(bits & 0xff)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 0xff)
    blocks = b""
    for i in range(0, len(out), 255):
        chunk = bytes(out[i:i + 255])
        blocks += bytes((len(chunk),)) + chunk
    return bytes((min_code,)) + blocks + b"\0"


def gif(size, palette, frames):
    out = b"GIF89a" + struct.pack("<HHBBB", size, size, 0xf1, 0, 0)  # 4-colour global table
    out += b"".join(bytes(c) for c in palette)
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for index in frames:
        out += b"\x21\xf9\x04\x04" + struct.pack("<H", 10) + b"\x00\x00"
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, size, size, 0)
        out += gif_frame_data(size, size, index)
    return out + b"\x3b"


# --- JPEG ------------------------------------------------------------------

def jpeg_flat(size, rgb):
    """A baseline JPEG of one flat colour: every block has only its DC coefficient,
    so the entropy coder needs a DC table and the end-of-block code alone."""
    assert size % 8 == 0
    r, g, b = rgb
    ycc = (0.299 * r + 0.587 * g + 0.114 * b,
           128 - 0.168736 * r - 0.331264 * g + 0.5 * b,
           128 + 0.5 * r - 0.418688 * g - 0.081312 * b)
    dc = [round(8 * (v - 128)) for v in ycc]  # quantiser 1: DC = 8 * (mean - 128)

    def seg(marker, data):
        return b"\xff" + bytes((marker,)) + struct.pack(">H", len(data) + 2) + data

    out = b"\xff\xd8"
    out += seg(0xe0, b"JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    out += seg(0xdb, b"\x00" + b"\x01" * 64)
    out += seg(0xc0, struct.pack(">BHHB", 8, size, size, 3)
               + b"\x01\x11\x00" + b"\x02\x11\x00" + b"\x03\x11\x00")
    # DC table: the twelve categories as 4-bit codes 0000..1011
    out += seg(0xc4, b"\x00" + bytes([0, 0, 0, 12] + [0] * 12) + bytes(range(12)))
    # AC table: end-of-block only, code "0"
    out += seg(0xc4, b"\x10" + bytes([1] + [0] * 15) + b"\x00")
    out += seg(0xda, b"\x03" + b"\x01\x00" + b"\x02\x00" + b"\x03\x00" + b"\x00\x3f\x00")

    bits = []

    def put(value, count):
        bits.extend((value >> (count - 1 - i)) & 1 for i in range(count))

    previous = [0, 0, 0]
    for _ in range((size // 8) ** 2):
        for c in range(3):
            diff = dc[c] - previous[c]
            previous[c] = dc[c]
            category = abs(diff).bit_length()
            put(category, 4)
            if category:
                put(diff if diff > 0 else diff + (1 << category) - 1, category)
            put(0, 1)
    bits.extend([1] * (-len(bits) % 8))
    scan = bytearray()
    for i in range(0, len(bits), 8):
        byte = int("".join(map(str, bits[i:i + 8])), 2)
        scan.append(byte)
        if byte == 0xff:
            scan.append(0)
    return out + bytes(scan) + b"\xff\xd9"


# --- theme and .desktop ------------------------------------------------------

INDEX_THEME = """[Icon Theme]
Name=lynkortest
Comment=Icons for tst_iconloader
Directories=16x16/apps,16x16/mimetypes

[16x16/apps]
Size=16
Context=Applications
Type=Fixed

[16x16/mimetypes]
Size=16
Context=MimeTypes
Type=Fixed
"""

DESKTOP = """[Desktop Entry]
Type=Application
Name=Lynkor test program
Exec=lynkor-test-app
Icon=lynkor-test-app
"""


def main():
    dll = pe_dll(False)
    write("two-icons.dll", dll)
    write("two-icons64.dll", pe_dll(True))
    write("three-images.ico", ico([(16, 16, 0, 32, bmp_icon_32(16, WHITE)),
                                   (32, 32, 16, 4, bmp_icon_4(32, GREY)),
                                   (32, 32, 0, 32, bmp_icon_32(32, YELLOW))]))
    write("two-frames.gif", gif(16, [RED, BLUE, GREEN, (0, 0, 0)], [0, 1]))
    write("green.jpg", jpeg_flat(16, GREEN))
    write("half-clear.png", png(16, 16, lambda x, y: (0, 0, 0, 0) if x < 8 else ORANGE + (255,)))
    write("program.desktop", DESKTOP.encode())
    write("theme/lynkortest/index.theme", INDEX_THEME.encode())
    write("theme/lynkortest/16x16/apps/lynkor-test-app.png", flat_png(16, CYAN))
    write("theme/lynkortest/16x16/mimetypes/text-plain.png", flat_png(16, PURPLE))
    write("theme/lynkortest/16x16/mimetypes/application-x-executable.png", flat_png(16, NAVY))


if __name__ == "__main__":
    main()
