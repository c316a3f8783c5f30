# Static models of the level objects, each with its colour texture beside it (named like the
# model's material, which is named like the file, so the model factory finds "<name>_C.dds").
# Sizes are the game's units at scale 1, in the game's axes (x right, y up, z into the view);
# in Blender they are x, z, y.
#   SM_Box         the unit box of level geometry: 0..100 on every axis, so that a box object
#                  placed at p with scale s covers p..p+100s, the box it collides as.
#   SM_Checkpoint  a lantern post over the checkpoint's box: x and z 0..100, y 0..500.
#   SM_Mushroom    a toadstool over its pad's bounce sphere at Radius 0.5: 0..100 on every axis.
#   SM_Pickup      a feather in a ring over the pickup's touch sphere at Radius 0.5: x and z
#                  -50..50 round the object's point, y 0..100.
import math
import os

import rigkit
from rigkit import box, dome, ellipsoid, frustum, placed, ring, slab

PALETTE = rigkit.Palette([
    ("snow", (246, 250, 255), (222, 232, 246)),
    ("stone", (120, 132, 150), (78, 88, 104)),
    ("stone_dark", (60, 66, 80)),
    ("wood", (132, 92, 58), (96, 64, 40)),
    ("lantern", (255, 226, 140), (250, 180, 60)),
    ("iron", (46, 46, 54)),
    ("banner", (196, 40, 40), (140, 24, 30)),
    ("cap", (222, 52, 46), (170, 30, 30)),
    ("spot", (252, 246, 236)),
    ("stem", (246, 236, 214), (220, 206, 180)),
    ("gill", (236, 210, 180)),
    ("gold", (255, 216, 96), (220, 160, 40)),
    ("feather", (250, 250, 255), (206, 220, 240)),
    ("quill", (200, 170, 110)),
])


def by_face(top, side, bottom):
    return lambda normal: top if normal.z > 0.5 else (bottom if normal.z < -0.5 else side)


def build_box(builder):
    builder.add(box((0, 0, 0), (100, 100, 100)), by_face("snow", "stone", "stone_dark"), smooth=False,
                along=lambda p: (50 - p.z) / 50)


def build_checkpoint(builder):
    builder.add(box((0, 0, 0), (100, 100, 18)), by_face("snow", "stone", "stone_dark"), smooth=False)
    builder.add(box((42, 42, 18), (58, 58, 432)), "wood", smooth=False, along=lambda p: (225 - p.z) / 207)
    builder.add(box((30, 30, 432), (70, 70, 440)), "iron", smooth=False)
    builder.add(frustum((50, 50, 440), (50, 50, 486), 20, 20, 6), "lantern")
    builder.add(frustum((50, 50, 486), (50, 50, 500), 24, 4, 6), "iron", smooth=False)
    builder.add(slab([(0, 0), (40, 6), (38, -70), (20, -58), (0, -74)], 3), "banner",
                transform=placed((58, 50, 420)), smooth=False, along=lambda p: (385 - p.z) / 40)


def build_mushroom(builder):
    builder.add(frustum((50, 50, 0), (50, 50, 52), 17, 12, 8), "stem", along=lambda p: (26 - p.z) / 26)
    builder.add(dome((50, 50, 48), 12, 4), "cap", transform=placed((50, 50, 52)), along=lambda p: (76 - p.z) / 24)
    builder.add(ellipsoid((44, 44, 5), 12, 3), "gill", transform=placed((50, 50, 52)))
    for angle, lift in ((20, 0.55), (140, 0.45), (260, 0.6), (80, 0.85), (200, 0.9), (320, 0.8)):
        a = math.radians(angle)
        polar = math.acos(lift)
        normal = (math.sin(polar) * math.cos(a), math.sin(polar) * math.sin(a), math.cos(polar))
        centre = (50 + 47 * normal[0], 50 + 47 * normal[1], 52 + 45 * normal[2])
        tilt = (math.degrees(-math.asin(normal[1])), math.degrees(math.atan2(normal[0], normal[2])), 0)
        builder.add(ellipsoid((8, 8, 3), 6, 3), "spot", transform=placed(centre, tilt))


def build_pickup(builder):
    builder.add(ring(45, 5, 16, 4), "gold", transform=placed((0, 0, 50)), along=lambda p: (50 - p.z) / 50)
    vane = [(0, -34), (9, -22), (12, 0), (9, 22), (0, 36), (-8, 20), (-10, 0), (-8, -20)]
    builder.add(slab(vane, 2.5), "feather", transform=placed((0, 0, 52), (0, -20, 0)), smooth=False,
                along=lambda p: (50 - p.z) / 36)
    builder.add(frustum((0, 0, -42), (0, 0, 40), 1.8, 1.0, 5), "quill", transform=placed((0, 0, 52), (0, -20, 0)),
                smooth=False)


# file, its material (the texture's base name), builder
PROPS = [
    ("models/SM_Box.fbx", "SM_Box", build_box),
    ("models/SM_Checkpoint.fbx", "SM_Checkpoint", build_checkpoint),
    ("models/SM_Mushroom.fbx", "SM_Mushroom", build_mushroom),
    ("models/SM_Pickup.fbx", "SM_Pickup", build_pickup),
]


def make(material, build):
    rigkit.reset_scene()
    builder = rigkit.MeshBuilder(PALETTE)
    build(builder)
    obj, _ = builder.build(material, material)
    return obj, builder


def write(content):
    facts = {}
    for path, material, build in PROPS:
        obj, builder = make(material, build)
        texture = os.path.dirname(path) + "/" + material + "_C.dds"
        rigkit.write_dds_rgba(os.path.join(content, texture), PALETTE)
        rigkit.export_fbx(os.path.join(content, path), [obj], animated=False)
        facts[material] = {"model": path, "texture": texture, "triangles": builder.triangle_count()}
        print("%s: %d triangles" % (path, builder.triangle_count()))
    return facts
