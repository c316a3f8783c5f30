#!/usr/bin/env python3
# Writes the small damaged files that the loaders once mishandled into the fuzz corpora
# (Tests/fuzz/corpus/<target>/). The unit tests read the same files, so each stays a regression
# test as well as a fuzzing seed. Run from anywhere:
#   python3 Tools/fuzz/make_bad_inputs.py [corpus folder]
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CORPUS = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "Tests", "fuzz", "corpus")

# The property reader's fuzz input: one byte naming the type by its registration index, then JSON.
INT_TYPE_INDEX = 6


def write(folder, name, data):
    path = os.path.join(CORPUS, folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data if isinstance(data, bytes) else data.encode())


def targa_header(width, height, bits):
    return bytes(12) + struct.pack("<HHBB", width, height, bits, 8)


def fbx_record(name, values, children=(), offset=27):
    # 32-bit record headers (version 7400); values are already encoded.
    body = name.encode() + b"".join(values)
    position = offset + 13 + len(body)
    encoded_children = b""
    for child in children:
        encoded = child(position)
        encoded_children += encoded
        position += len(encoded)
    if children:
        encoded_children += bytes(13)
        position += 13
    header = struct.pack("<III", position, len(values), sum(len(v) for v in values)) + bytes([len(name)])
    return header + body + encoded_children


def fbx_file(records):
    data = b"Kaydara FBX Binary  \x00\x1a\x00" + struct.pack("<I", 7400)
    for record in records:
        data += record(len(data))
    return data + bytes(13)


def fbx_array(code, count, encoding, payload):
    return code.encode() + struct.pack("<III", count, encoding, len(payload)) + payload


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def main():
    # An 18-byte Targa header that declares 65535 by 65535 pixels and holds none.
    write("tga", "declares_65535_squared.tga", targa_header(65535, 65535, 32))

    # Numbers no 32-bit integer holds, where the readers want one.
    write("property", "int_1e10", bytes([INT_TYPE_INDEX]) + b"1e10")
    write("property", "int_minus_3e9", bytes([INT_TYPE_INDEX]) + b"-3000000000")
    write("settings", "window_size_1e300.json", '{"window_settings": {"window_size": {"w": 1e300, "h": 600}}}')
    write("scene", "object_int_1e10",
          '{"name": "Crate", "properties": [{"name": "Health", "type": "Int", "value": 1e10}]}')
    write("scene", "definition_int_1e10.vro",
          '{"parent-object-definition": "", "properties": [{"name": "Health", "is-dynamic": false, "is-per-instance": true, "type": "Int", "value": 1e10}]}')

    # An array of 244 million doubles (1.95 GB decoded) in an encoding that does not exist.
    array = fbx_array("d", 244_000_000, 2, bytes(19_600))
    model = lambda offset: fbx_record("Model", [b"L" + struct.pack("<q", 5), array], (), offset)
    objects = lambda offset: fbx_record("Objects", [], (model,), offset)
    write("fbx", "array_in_unknown_encoding.fbx", fbx_file([objects]))

    # A JPEG table whose sixteen code counts sum past 256 (two counts of 255), nine bytes in all.
    write("image", "huffman_counts_past_256.jpg", b"\xff\xd8\xff\xc4\x00\xff\x00\xff\xff")

    # A BMP that declares 327,699 by 1 pixels at 24 bits and holds 284 bytes of them.
    width, height = 327_699, 1
    row = (width * 3 + 3) // 4 * 4
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, row * height, 2835, 2835, 0, 0)
    pixels = bytes(range(256)) + bytes(28)
    header = b"BM" + struct.pack("<IHHI", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    write("image", "bmp_declares_327699x1.bmp", header + info + pixels)

    # A PNG that declares 60,000 by 60,000 pixels with one tiny image chunk.
    ihdr = struct.pack(">IIBBBBB", 60_000, 60_000, 8, 6, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", zlib.compress(bytes(64))) + png_chunk(b"IEND", b"")
    write("image", "png_declares_60000_squared.png", png)


if __name__ == "__main__":
    main()
