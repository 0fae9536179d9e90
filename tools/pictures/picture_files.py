"""Writers for the three picture formats the text pane reads.

GIF (87a for plain pictures, 89a for transparent and animated ones) and
BMP are written here byte by byte, so that their layout is exactly what the
viewer's loaders expect: a transparent GIF has its graphic control extension
directly after the global colour table.  JPEG goes through cjpeg, which
writes a JFIF (APP0) header.

Pictures are plain RGB rasters: (width, height, bytes) with three bytes a
pixel, rows top to bottom, as read from a binary PPM.
"""

import struct
import subprocess


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    # P6 <w> <h> <max>\n<bytes>; ImageMagick writes no comments.
    parts = []
    pos = 0
    while len(parts) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        parts.append(data[start:pos])
    pos += 1
    if parts[0] != b"P6" or parts[3] != b"255":
        raise ValueError(path + ": not an 8-bit binary PPM")
    w, h = int(parts[1]), int(parts[2])
    pixels = data[pos:pos + 3 * w * h]
    if len(pixels) != 3 * w * h:
        raise ValueError(path + ": truncated PPM")
    return w, h, pixels


def palette_of(frames, reserve=None):
    """Colour table and index rasters for one or more frames of equal size.

    reserve: a colour that must get an entry of its own (the transparent
    colour), placed at index 0.
    """
    colours = {}
    table = []
    if reserve is not None:
        colours[reserve] = 0
        table.append(reserve)
    indexed = []
    for _, _, pix in frames:
        idx = bytearray(len(pix) // 3)
        for i in range(len(idx)):
            c = pix[3 * i:3 * i + 3]
            k = colours.get(c)
            if k is None:
                k = len(table)
                if k >= 256:
                    raise ValueError("more than 256 colours; quantise first")
                colours[c] = k
                table.append(bytes(c))
            idx[i] = k
        indexed.append(bytes(idx))
    return table, indexed


def _lzw(indices, min_code_size):
    """GIF LZW: codes packed least significant bit first."""
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    bit_buf = 0
    bit_count = 0

    def emit(code, size):
        nonlocal bit_buf, bit_count
        bit_buf |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buf & 0xFF)
            bit_buf >>= 8
            bit_count -= 8

    code_size = min_code_size + 1
    table = {}
    next_code = eoi + 1
    emit(clear, code_size)
    prefix = None
    for b in indices:
        if prefix is None:
            prefix = b
            continue
        key = (prefix, b)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, code_size)
        if next_code < 4095:
            table[key] = next_code
            next_code += 1
            # The decoder widens its codes one step later than it adds them.
            if next_code > (1 << code_size) and code_size < 12:
                code_size += 1
        else:
            emit(clear, code_size)
            table = {}
            next_code = eoi + 1
            code_size = min_code_size + 1
        prefix = b
    if prefix is not None:
        emit(prefix, code_size)
    emit(eoi, code_size)
    if bit_count:
        out.append(bit_buf & 0xFF)
    return bytes(out)


def _sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def write_gif(path, frames, delay_cs=10, transparent=None, loop=True):
    """frames: list of (w, h, rgb) of one size; transparent: rgb bytes or None.

    One frame without transparency gives GIF87a; otherwise GIF89a.  The
    first frame's graphic control extension follows the colour table
    directly (a probe that looks only there finds the transparent colour).
    """
    w, h = frames[0][0], frames[0][1]
    for f in frames:
        if (f[0], f[1]) != (w, h):
            raise ValueError("frames differ in size")
    table, indexed = palette_of(frames, transparent)
    bits = 1
    while (1 << bits) < len(table):
        bits += 1
    size = 1 << bits
    table = table + [b"\0\0\0"] * (size - len(table))
    animated = len(frames) > 1
    gif89 = animated or transparent is not None
    out = bytearray(b"GIF89a" if gif89 else b"GIF87a")
    out += struct.pack("<HHBBB", w, h, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    for c in table:
        out += c
    min_code = max(2, bits)
    for n, idx in enumerate(indexed):
        if gif89:
            packed = 0x01 if transparent is not None else 0
            if animated:
                packed |= 1 << 2  # leave the frame in place; the next covers it
            out += bytes([0x21, 0xF9, 4, packed]) + struct.pack("<H", delay_cs if animated else 0)
            out += bytes([0, 0])
        if animated and n == 0 and loop:
            out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
        out.append(min_code)
        out += _sub_blocks(_lzw(idx, min_code))
    out.append(0x3B)
    with open(path, "wb") as f:
        f.write(out)


def write_bmp(path, picture, bits=8):
    """Uncompressed bottom-up BMP with a 40-byte header, 8 or 24 bits."""
    w, h, pix = picture
    if bits == 8:
        table, (idx,) = palette_of([picture])
        row = (w + 3) & ~3
        body = bytearray()
        for y in range(h - 1, -1, -1):
            line = idx[y * w:(y + 1) * w]
            body += line + b"\0" * (row - w)
        pal = bytearray()
        for c in table:
            pal += bytes([c[2], c[1], c[0], 0])
        colours = len(table)
    elif bits == 24:
        row = (3 * w + 3) & ~3
        body = bytearray()
        for y in range(h - 1, -1, -1):
            line = pix[3 * y * w:3 * (y + 1) * w]
            bgr = bytearray(len(line))
            bgr[0::3] = line[2::3]
            bgr[1::3] = line[1::3]
            bgr[2::3] = line[0::3]
            body += bgr + b"\0" * (row - 3 * w)
        pal = b""
        colours = 0
    else:
        raise ValueError("8 or 24 bits")
    offset = 14 + 40 + len(pal)
    head = b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(body), 2835, 2835, colours, 0)
    with open(path, "wb") as f:
        f.write(head + info + pal + body)


def write_jpeg(path, ppm_path, quality=82):
    subprocess.run(["cjpeg", "-quality", str(quality), "-optimize", "-outfile", path, ppm_path],
                   check=True)
