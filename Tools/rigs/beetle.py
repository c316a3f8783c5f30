# The flying beetle the bird bounces on: its origin is the middle of its body (the pad's sphere
# centre), about 110 cm long and 170 cm across the wings. Authored facing +x, it is turned to face
# +y in Blender, the game's +z: the pad turns it 90 degrees about the vertical so that it faces
# along its path (+x), and mirrors it in z to turn round.
import math

from mathutils import Matrix

import rigkit
from rigkit import Pose, blend, ellipsoid, frustum, mirrored_y, placed, ramp, slab, wave

NAME = "Beetle"
MODEL = "animation/Beetle/SK_Beetle.fbx"
MESH = "SM_Beetle"
MATERIAL = "T_SM_Beetle"
TURN = Matrix.Rotation(math.pi / 2, 3, 'Z')
PREVIEW = (260, (0, 10), 90)  # seen as the game shows it, from the beetle's right side

PALETTE = rigkit.Palette([
    ("shell", (60, 190, 170), (20, 96, 110)),
    ("shell_rim", (14, 60, 70)),
    ("body", (40, 36, 52), (24, 22, 32)),
    ("head", (30, 30, 40)),
    ("eye", (240, 236, 200)),
    ("wing", (214, 232, 240), (170, 196, 214)),
    ("vein", (120, 140, 160)),
    ("leg", (28, 26, 34)),
    ("mandible", (120, 70, 40)),
])
TEXTURES = [("textures/Character/T_SM_Beetle_C.dds", PALETTE)]

LEG_ROOTS = ((1, 16), (2, -2), (3, -20))
SIDES = (("L", 1.0), ("R", -1.0))

BONES = [
    ("Beetle:Root", None, (0, 0, 0), (0, 0, 12)),
    ("Beetle:Body", "Beetle:Root", (-30, 0, 0), (20, 0, 0)),
    ("Beetle:Head", "Beetle:Body", (30, 0, 2), (54, 0, 2)),
]
for side, sign in SIDES:
    BONES += [
        ("Beetle:Shell_" + side, "Beetle:Body", (18, 6 * sign, 16), (-38, 24 * sign, 12)),
        ("Beetle:Wing_" + side, "Beetle:Body", (6, 12 * sign, 16), (-44, 86 * sign, 22)),
    ]
    for number, x in LEG_ROOTS:
        BONES.append(("Beetle:Leg%d_%s" % (number, side), "Beetle:Body", (x, 16 * sign, -10),
                      (x + 6 - 6 * number, 34 * sign, -34)))

SHELL_OUTLINE = [(20, 0), (8, 6), (-18, 8), (-40, 4), (-46, -4), (-30, -10), (0, -8), (16, -4)]
WING_OUTLINE = [(0, 0), (10, 12), (12, 48), (5, 84), (-5, 92), (-17, 74), (-22, 36), (-14, 7)]


def build_mesh(builder):
    height = lambda top, bottom: (lambda p: max(-1.0, min(1.0, (top + bottom - 2 * p.z) / (top - bottom))))
    builder.add(ellipsoid((40, 26, 18), 10, 6), "body", "Beetle:Body", placed((-4, 0, -2)), along=height(14, -20))
    builder.add(ellipsoid((17, 19, 14), 8, 6), "head", "Beetle:Head", placed((38, 0, 0)))
    for side, sign in SIDES:
        mirror = (lambda m: m) if sign > 0 else mirrored_y
        builder.add(ellipsoid((46, 17, 15), 10, 6), "shell", "Beetle:Shell_" + side,
                    placed((-10, 14 * sign, 9), (0, -4, 0)), along=height(24, -2))
        builder.add(ellipsoid((6, 5, 6), 6, 4), "eye", "Beetle:Head", placed((46, 13 * sign, 5)))
        builder.add(frustum((50, 7 * sign, -4), (66, 2 * sign, -7), 3.5, 1.0, 5), "mandible", "Beetle:Head",
                    smooth=False)
        builder.add(frustum((48, 6 * sign, 9), (66, 22 * sign, 34), 1.6, 1.0, 4), "leg", "Beetle:Head", smooth=False)
        builder.add(slab(WING_OUTLINE, 1.6), "wing", "Beetle:Wing_" + side,
                    mirror(placed((6, 12, 16), (-90, 0, 34))), smooth=False,  # swept back
                    along=lambda p: max(-1.0, min(1.0, (abs(p.y) - 44) / 40)))
        for number, x in LEG_ROOTS:
            tip = (x + 6 - 6 * number, 34 * sign, -34)
            knee = (x + 2 - 2 * number, 30 * sign, -14)
            bone = "Beetle:Leg%d_%s" % (number, side)
            builder.add(frustum((x, 16 * sign, -10), knee, 3.0, 2.4, 4), "leg", bone, smooth=False)
            builder.add(frustum(knee, tip, 2.4, 1.0, 4), "leg", bone, smooth=False)


# ---------------------------------------------------------------------------------------------
# Poses (authored facing +x): about x, positive lifts the left side.

def flying(frame, beat_period=4, bob_period=24):
    pose = Pose()
    beat = wave(frame, beat_period)
    bob = wave(frame, bob_period)
    pose.set("Beetle:Root", loc=(0, 0, 4 * bob))
    pose.set("Beetle:Body", rot=(0, -4 + 3 * bob, 0))
    pose.set("Beetle:Head", rot=(0, 4 * wave(frame, bob_period, 0.25), 0))
    for side, sign in SIDES:
        pose.set("Beetle:Shell_" + side, rot=(52 * sign + 4 * sign * beat, 0, 0))
        pose.set("Beetle:Wing_" + side, rot=((28 + 46 * beat) * sign, 0, 0))
        for number, _ in LEG_ROOTS:
            sway = 6 * wave(frame, bob_period, 0.1 * number)
            pose.set("Beetle:Leg%d_%s" % (number, side), rot=(0, 14 + sway, 0))
    return pose


def fly(frame):
    return flying(frame)


def hit(frame):
    # Squashed by the bird's landing: shells clap shut, wings drop, legs splay; then it shakes
    # itself off and flies on, ending where the flying clip starts.
    squash = math.sin(math.pi * min(frame / 10, 1.0))
    pose = Pose()
    pose.set("Beetle:Root", loc=(0, 0, -6))
    pose.set("Beetle:Body", rot=(0, 10, 0), scale=(1.18, 1.18, 0.7))
    pose.set("Beetle:Head", rot=(0, -12, 0))
    for side, sign in SIDES:
        pose.set("Beetle:Shell_" + side, rot=(0, 0, 0))
        pose.set("Beetle:Wing_" + side, rot=(-30 * sign, 0, 0))
        for number, _ in LEG_ROOTS:
            pose.set("Beetle:Leg%d_%s" % (number, side), rot=(-30 * sign, 14, 0))
    shake = math.sin(frame * 2.4) * ramp(frame, 8, 11) * (1 - ramp(frame, 15, 19))
    result = blend(flying(frame), pose, squash)
    result.add("Beetle:Body", rot=(6 * shake, 0, 0))
    return result


CLIPS = [
    ("A_Beetle_Fly", 24, True, fly),
    ("A_Beetle_Hit", 24, False, hit),
]
