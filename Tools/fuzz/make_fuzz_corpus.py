#!/usr/bin/env python3
# Writes the fuzz corpora's seeds (Tests/fuzz/corpus/<target>/): a few well-formed inputs for each
# reader, and the small damaged files that the loaders once mishandled. The unit tests read the
# damaged ones too, so each stays a regression test as well as a seed. Run from anywhere:
#   python3 Tools/fuzz/make_fuzz_corpus.py [corpus folder]
import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CORPUS = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "Tests", "fuzz", "corpus")

# The property reader's fuzz input: one byte naming the type by its registration index, then JSON.
PROPERTY_TYPES = ["Model", "Sprite", "Scene", "Animation Clip", "Pose", "Bool", "Int", "Float", "Float2", "Float3",
                  "Float4", "Color", "StringId"]
INT_TYPE_INDEX = PROPERTY_TYPES.index("Int")


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


def dds_rgba8(width, height):
    # A legacy header: size, flags (caps, height, width, pixel format), height, width, pitch, depth, mips.
    header = struct.pack("<4sIIIIIII", b"DDS ", 124, 0x100F, height, width, width * 4, 0, 1) + bytes(44)
    pixel_format = struct.pack("<IIIIIIII", 32, 0x41, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000)
    caps = struct.pack("<IIIII", 0x1000, 0, 0, 0, 0)
    return header + pixel_format + caps + bytes(range(width * height * 4))


def crc8(data):
    crc = 0
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = ((crc << 1) ^ 0x07) & 0xFF if crc & 0x80 else (crc << 1) & 0xFF
    return crc


def crc16(data):
    crc = 0
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x8005) & 0xFFFF if crc & 0x8000 else (crc << 1) & 0xFFFF
    return crc


def flac_stream_info(block, frames, channels, rate):
    # Block sizes, frame sizes (unknown), then rate, channels - 1, bits - 1 and the frame count
    # packed into 64 bits, then no checksum.
    packed = (rate << 44) | ((channels - 1) << 41) | (15 << 36) | (frames & 0xFFFFFFFFF)
    info = struct.pack(">HH", block, block) + bytes(6) + struct.pack(">Q", packed) + bytes(16)
    return b"fLaC" + bytes([0x80]) + len(info).to_bytes(3, "big") + info


def flac_file(channels, rate=48000):
    # 16-bit samples, one channel a list, in one frame of verbatim subframes.
    frames = len(channels[0])
    header = bytes([0xFF, 0xF8, 0x7A, ((len(channels) - 1) << 4) | (4 << 1), 0]) + (frames - 1).to_bytes(2, "big")
    header += bytes([crc8(header)])
    frame = header + b"".join(b"\x02" + struct.pack(">%dh" % frames, *samples) for samples in channels)
    return flac_stream_info(frames, frames, len(channels), rate) + frame + crc16(frame).to_bytes(2, "big")


def wav_file(channels, rate=48000, as_float=False):
    frames = len(channels[0])
    interleaved = [channel[index] for index in range(frames) for channel in channels]
    if as_float:
        data = struct.pack("<%df" % len(interleaved), *[value / 32768.0 for value in interleaved])
        kind, bits = 3, 32
    else:
        data = struct.pack("<%dh" % len(interleaved), *interleaved)
        kind, bits = 1, 16
    block = len(channels) * bits // 8
    fmt = struct.pack("<HHIIHH", kind, len(channels), rate, rate * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def tone(frames, period, amplitude=12000):
    return [int(amplitude * math.sin(2 * math.pi * index / period)) for index in range(frames)]


def write_seeds():
    write("dds", "rgba8_4x4.dds", dds_rgba8(4, 4))
    values = {
        "Model": '{"path": "Models/SM_Box.fbx", "textures": [["Textures/T_Box_c.dds", "Textures/T_Box_n.dds"]]}',
        "Sprite": '{"texturePath": "Sprites/S_Snow.dds", "textures": ["a.dds", "b.dds"], "pivot": [0.5, 1], "size": [64, 32]}',
        "Scene": '{"scene_path": "levels/level_2_01.vrs"}',
        "Animation Clip": '{"clip_path": "Animations/A_Walk.fbx"}',
        "Pose": 'null',
        "Bool": 'true',
        "Int": '-12',
        "Float": '2.5',
        "Float2": '[1, 2]',
        "Float3": '[1, 2, 3]',
        "Float4": '[1, 2, 3, 4]',
        "Color": '[0.5, 0.25, 1, 1]',
        "StringId": '"Player"',
    }
    for index, name in enumerate(PROPERTY_TYPES):
        write("property", name.lower().replace(" ", "_"), bytes([index]) + values[name].encode())
    write("settings", "complete.json", """{"assets_path": {"engine": "e", "game": "g", "cooked": "c"},
 "window_settings": {"title": "T", "clear_color": {"r": 0.1, "g": 0.2, "b": 0.3, "a": 1},
  "window_size": {"w": 1600, "h": 900}, "render_size": {"w": 800, "h": 450}, "enable_vsync": true,
  "start_in_fullscreen": false, "start_maximized": false, "borderless": true},
 "debug_features": ["Fps", "Filewatcher"], "multisampling": "Low"}""")
    write("scene", "object", """{"name": "Crate", "path": "Level/Props", "object-definition": "Def1",
 "transform": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 100, 200, 0, 1], "scale": [2, 2, 2],
 "properties": [{"name": "Health", "type": "Int", "value": 3}, {"name": "Tint", "type": "Color", "value": [1, 0, 0, 1]},
  {"name": "Look", "type": "Sprite", "value": {"textures": ["Sprites/S_Crate.dds"], "pivot": [0.5, 1]}}]}""")
    write("scene", "definition.vro", """{"parent-object-definition": "", "properties": [
 {"name": "Health", "is-dynamic": false, "is-per-instance": true, "type": "Int", "value": 3},
 {"name": "Tag", "group": "Game", "description": "d", "is-dynamic": true, "is-per-instance": false, "type": "StringId", "value": "Crate"}]}""")


    write("sound", "tone_mono.wav", wav_file([tone(480, 48)]))
    write("sound", "tone_stereo_float.wav", wav_file([tone(480, 48), tone(480, 60)], 44100, as_float=True))
    write("sound", "tone_three_channels.wav", wav_file([tone(256, 32), tone(256, 64), tone(256, 16)], 22050))
    write("sound", "tone_mono.flac", flac_file([tone(480, 48)]))
    write("sound", "tone_stereo.flac", flac_file([tone(480, 48), tone(480, 60)], 44100))
    # The sound table's seed names the files its fuzz target writes beside it.
    write("sound_table", "complete.json", """{"sounds": [
 {"name": "Jump", "file": "sounds/short.wav", "volume": 0.5, "pitch": 1.5},
 {"name": "Step", "file": "sounds/short.wav"},
 {"name": "Gone", "file": "sounds/missing.ogg"},
 {"name": "Music", "file": "sounds/loop.wav", "loop": true, "volume": 0.8, "autoplay": true},
 {"name": "Cave", "file": "sounds/short.wav", "echo": {"delay": 50, "feedback": 30, "dryLevel": 0, "wetLevel": -6}}],
 "Player": {"Sounds": {"Player_Jump": ["Jump"], "Player_Step": ["Step", "Jump", "Gone"], "Main Menu": ["Music"],
  "Echoing": ["Cave"], "Empty": [], "Ghost": ["NotLoaded"]}}}""")
    write("effect_table", "complete.json", """{"VFX": [
 {"name": "Dust", "texture": "sprites/S_VFX_LandDust.dds", "framesX": 4, "framesY": 2, "frameTime": 0.05,
  "startSize": [140, 140], "endSize": [170, 170], "pivot": [0.5, 0.5]},
 {"name": "Plain", "texture": "sprites/S_VFX_Dash.dds"},
 {"name": "Flat", "texture": "sprites/S_VFX_Dash.dds", "framesX": 2.9, "framesY": true, "startSize": [64]}]}""")


def main():
    write_seeds()
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

    # A BMP header, cut short after 51 bytes, that declares 4,194,311 by 40 pixels at 24 bits in
    # a compression whose number is negative as a signed value, and holds no pixels.
    info = struct.pack("<IiiHHI", 40, 4_194_311, 40, 1, 24, 0x80000000) + struct.pack("<IiiI", 0, 2835, 2835, 0) + b"\x00"
    write("image", "bmp_declares_4194311x40.bmp", b"BM" + struct.pack("<IHHI", 51, 0, 0, 51) + info)

    # A FLAC stream header alone (42 bytes) that declares 4,278,583,296 frames.
    write("sound", "flac_declares_4278583296_frames.flac", flac_stream_info(4096, 4_278_583_296, 1, 48000))

    # Frame counts no 32-bit integer holds, and one far past any sheet.
    for name, columns, rows in (("frames_1e10", "1e10", "1"), ("frames_minus_1e10", "2", "-1e10"), ("frames_100000", "100000", "100000")):
        write("effect_table", name + ".json",
              '{"VFX": [{"name": "Big", "texture": "sprites/S_VFX_Dash.dds", "framesX": %s, "framesY": %s}]}' % (columns, rows))


if __name__ == "__main__":
    main()
