# The fox of the scripted events: feet at the origin, facing -x in its file (a fox that runs to
# the left needs no mirroring), about 330 cm tall to the ear tips and 800 cm from nose to tail.
# The sneak event draws it at 0.3 and the attack at 0.5, 100 units below the event's point.
# Authored facing +x like the other characters, then turned round.
import math

from mathutils import Matrix

import rigkit
from rigkit import Pose, blend, cycle_phases, ellipsoid, frustum, mix, placed, ramp, slab, smooth, wave

NAME = "Fox"
MODEL = "animation/Fox/SK_fox.fbx"
MESH = "SM_Fox"
MATERIAL = "T_SM_CH_Fox"
TURN = Matrix.Rotation(math.pi, 3, 'Z')
PREVIEW = (1000, (-40, 220))

FUR = [
    ("fur", (226, 110, 36), (196, 84, 28)),
    ("fur_dark", (170, 70, 24)),
    ("white", (250, 244, 232), (232, 222, 206)),
    ("sock", (44, 30, 28)),
    ("nose", (20, 16, 16)),
    ("eye", (250, 196, 40)),
    ("pupil", (16, 12, 10)),
    ("ear_inner", (60, 36, 32)),
    ("mouth", (120, 30, 36)),
]
# The sneaking fox in front of the level is a darker, colder silhouette.
DARK = [(name, *[tuple(round(c * 0.42 + b) for c, b in zip(colour, (8, 10, 22))) for colour in colours])
        for name, *colours in FUR]
PALETTE = rigkit.Palette(FUR)
TEXTURES = [("textures/Character/T_SM_CH_Fox_C.dds", PALETTE),
            ("textures/Character/T_SM_CH_Fox_C_DarkV.dds", rigkit.Palette(DARK))]

LEGS = (("FrontL", 112, 34), ("FrontR", 112, -34), ("HindL", -118, 36), ("HindR", -118, -36))

BONES = [
    ("Fox:Root", None, (0, 0, 0), (0, 0, 40)),
    ("Fox:Hips", "Fox:Root", (-110, 0, 196), (-10, 0, 204)),
    ("Fox:Spine", "Fox:Hips", (-10, 0, 204), (120, 0, 206)),
    ("Fox:Neck", "Fox:Spine", (130, 0, 214), (196, 0, 252)),
    ("Fox:Head", "Fox:Neck", (204, 0, 262), (300, 0, 252)),
    ("Fox:Jaw", "Fox:Head", (262, 0, 242), (336, 0, 232)),
    ("Fox:Tail1", "Fox:Hips", (-168, 0, 214), (-272, 0, 196)),
    ("Fox:Tail2", "Fox:Tail1", (-272, 0, 196), (-380, 0, 210)),
    ("Fox:Tail3", "Fox:Tail2", (-380, 0, 210), (-470, 0, 244)),
]
for leg, x, y in LEGS:
    parent = "Fox:Spine" if leg.startswith("Front") else "Fox:Hips"
    hind = leg.startswith("Hind")
    knee = (x + (24 if hind else 4), y, 96)
    BONES += [
        ("Fox:%sUpper" % leg, parent, (x, y, 180), knee),
        ("Fox:%sLower" % leg, "Fox:%sUpper" % leg, knee, (x - (6 if hind else 0), y, 16)),
        ("Fox:%sPaw" % leg, "Fox:%sLower" % leg, (x - (6 if hind else 0), y, 16), (x + 26, y, 6)),
    ]


def spine_weights(point):
    """The body bends smoothly between hips and chest."""
    t = min(max((point.x + 60) / 120, 0.0), 1.0)
    return [("Fox:Hips", 1.0 - t), ("Fox:Spine", t)]


def build_mesh(builder):
    height = lambda top, bottom: (lambda p: max(-1.0, min(1.0, (top + bottom - 2 * p.z) / (top - bottom))))
    builder.add(ellipsoid((150, 62, 60), 8, 6), "fur", weights=spine_weights, transform=placed((-14, 0, 206), (0, 2, 0)),
                along=height(264, 148))
    builder.add(ellipsoid((74, 50, 60), 8, 6), "white", "Fox:Spine", placed((116, 0, 198), (0, 28, 0)),
                along=height(250, 140))  # chest
    builder.add(frustum((122, 0, 214), (210, 0, 260), 50, 40, 8), "fur", "Fox:Neck")
    builder.add(ellipsoid((60, 50, 52), 8, 6), "fur", "Fox:Head", placed((234, 0, 268)), along=height(318, 218))
    builder.add(ellipsoid((44, 46, 32), 6, 4), "white", "Fox:Head", placed((240, 0, 240), (0, -10, 0)))  # cheeks
    builder.add(frustum((274, 0, 262), (356, 0, 248), 30, 10, 8, squash=0.8), "fur", "Fox:Head")  # snout
    builder.add(frustum((272, 0, 242), (342, 0, 236), 20, 7, 6, squash=0.6), "white", "Fox:Jaw")
    builder.add(ellipsoid((11, 10, 10), 6, 4), "nose", "Fox:Head", placed((357, 0, 250)))
    for sign in (1.0, -1.0):
        builder.add(slab([(-24, 0), (24, 0), (4, 64)], 10), "fur_dark", "Fox:Head",
                    placed((218, 28 * sign, 302), (-14 * sign, -8, 0)), smooth=False)
        builder.add(slab([(-14, 4), (14, 4), (3, 44)], 6), "ear_inner", "Fox:Head",
                    placed((220, 33 * sign, 302), (-14 * sign, -8, 0)), smooth=False)
        builder.add(ellipsoid((10, 5, 8), 6, 4), "eye", "Fox:Head", placed((272, 36 * sign, 282), (0, 0, 30 * sign)))
        builder.add(ellipsoid((4.5, 3, 6), 5, 3), "pupil", "Fox:Head", placed((277, 40 * sign, 283), (0, 0, 30 * sign)))
    builder.add(ellipsoid((82, 46, 48), 8, 5), "fur", "Fox:Tail1", placed((-224, 0, 208), (0, 10, 0)))
    builder.add(ellipsoid((90, 56, 58), 8, 5), "fur", "Fox:Tail2", placed((-330, 0, 210), (0, -6, 0)))
    builder.add(ellipsoid((54, 44, 46), 8, 5), "white", "Fox:Tail3", placed((-424, 0, 232), (0, -22, 0)))
    for leg, x, y in LEGS:
        hind = leg.startswith("Hind")
        knee = (x + (24 if hind else 4), y, 96)
        foot = (x - (6 if hind else 0), y, 16)
        if hind:
            builder.add(ellipsoid((60, 26, 66), 6, 4), "fur", "Fox:%sUpper" % leg, placed((x + 6, y, 156), (0, -20, 0)))
        else:
            builder.add(ellipsoid((40, 24, 54), 6, 4), "fur", "Fox:%sUpper" % leg, placed((x - 2, y, 162), (0, 12, 0)))
        builder.add(frustum((x, y, 176), knee, 26 if hind else 24, 16, 6), "fur", "Fox:%sUpper" % leg)
        builder.add(frustum(knee, foot, 15, 12, 6), "sock", "Fox:%sLower" % leg)
        builder.add(ellipsoid((26, 15, 10), 6, 4), "sock", "Fox:%sPaw" % leg, placed((foot[0] + 12, y, 9)))


# ---------------------------------------------------------------------------------------------
# Poses (authored facing +x; see the bird for the angle conventions).

def leg(pose, name, upper, lower=0.0, paw=0.0):
    pose.set("Fox:%sUpper" % name, rot=(0, upper, 0))
    pose.set("Fox:%sLower" % name, rot=(0, lower, 0))
    pose.set("Fox:%sPaw" % name, rot=(0, paw, 0))
    return pose


def gallop(frame, period=16):
    """A rotary gallop: front legs then hind legs reach and push, the back flexes with them."""
    pose = Pose()
    phase = 2 * math.pi * frame / period
    for name, p in cycle_phases(frame, period, (("FrontL", 0.0), ("FrontR", 0.08), ("HindL", 0.5), ("HindR", 0.58))):
        swing = -42 * math.sin(p)
        folding = max(0.0, math.cos(p))
        if name.startswith("Front"):
            leg(pose, name, swing, 70 * folding, -30 * folding)
        else:
            leg(pose, name, swing, -60 * folding, 40 * folding)
    flex = math.sin(phase + 0.8)
    pose.set("Fox:Hips", rot=(0, 6 * flex, 0))
    pose.set("Fox:Spine", rot=(0, -8 * flex, 0))
    pose.set("Fox:Root", loc=(0, 0, 14 + 12 * math.sin(2 * phase)))
    pose.set("Fox:Neck", rot=(0, 8 + 5 * flex, 0))
    pose.set("Fox:Head", rot=(0, -10 - 5 * flex, 0))
    pose.set("Fox:Tail1", rot=(0, 20 + 6 * flex, 0))
    pose.set("Fox:Tail2", rot=(0, -10 + 8 * math.sin(phase - 1.0), 0))
    pose.set("Fox:Tail3", rot=(0, -6 + 10 * math.sin(phase - 2.0), 0))
    return pose


def stalk(frame, period=40):
    """A low, careful walk with the head down."""
    pose = Pose()
    for name, p in cycle_phases(frame, period, (("FrontL", 0.0), ("HindR", 0.25), ("FrontR", 0.5), ("HindL", 0.75))):
        lift = max(0.0, math.cos(p))
        if name.startswith("Front"):
            leg(pose, name, -18 * math.sin(p) - 12, 40 + 30 * lift, -20 * lift)
        else:
            leg(pose, name, -18 * math.sin(p) + 16, -50 - 20 * lift, 30)
    pose.set("Fox:Root", loc=(0, 0, -44))
    pose.set("Fox:Neck", rot=(0, 22, 0))
    pose.set("Fox:Head", rot=(0, -14 + 3 * wave(frame, period), 0))
    pose.set("Fox:Tail1", rot=(0, 8, 0))
    pose.set("Fox:Tail2", rot=(0, 4 * wave(frame, period), 0))
    return pose


def idle(frame):
    pose = Pose()
    breath = wave(frame, 60)
    pose.set("Fox:Hips", rot=(0, 0, 0), loc=(0, 0, 2 * breath))
    pose.set("Fox:Spine", rot=(0, -1.5 * breath, 0))
    pose.set("Fox:Neck", rot=(0, -3 * breath, 0))
    pose.set("Fox:Head", rot=(0, 4 * wave(frame, 60, 0.3), 10 * wave(frame, 60, 0.1)))
    pose.set("Fox:Tail1", rot=(0, 6 * wave(frame, 30), 10 * wave(frame, 60)))
    pose.set("Fox:Tail2", rot=(0, 8 * wave(frame, 30, 0.2), 12 * wave(frame, 60, 0.15)))
    pose.set("Fox:Tail3", rot=(0, 10 * wave(frame, 30, 0.4), 14 * wave(frame, 60, 0.3)))
    return pose


def run(frame):
    return gallop(frame)


def crouch(tail_up=1.0):
    pose = Pose()
    pose.set("Fox:Root", loc=(-10, 0, -50))
    pose.set("Fox:Hips", rot=(0, -10, 0))
    pose.set("Fox:Spine", rot=(0, 14, 0))
    pose.set("Fox:Neck", rot=(0, 16, 0))
    pose.set("Fox:Head", rot=(0, -20, 0))
    pose.set("Fox:Jaw", rot=(0, 16, 0))  # a snarl
    pose.set("Fox:Tail1", rot=(0, -30 * tail_up, 0))
    pose.set("Fox:Tail2", rot=(0, -10 * tail_up, 0))
    for name in ("FrontL", "FrontR"):
        leg(pose, name, -40, 74, -30)
    for name in ("HindL", "HindR"):
        leg(pose, name, 30, -70, 40)
    return pose


def charge_anticipation(frame):
    # Notices the bird, ducks into a snarling crouch with its tail raised, then straightens up
    # again into the idle that follows.
    pose = blend(idle(0), crouch(), ramp(frame, 2, 12) * (1 - ramp(frame, 28, 40)))
    pose.add("Fox:Head", rot=(4 * math.sin(frame * 0.9) * ramp(frame, 12, 16) * (1 - ramp(frame, 24, 28)), 0, 0))
    return pose


def wound_up():
    pose = crouch(0.6)
    pose.set("Fox:Root", loc=(-40, 0, -64))
    pose.set("Fox:Hips", rot=(0, -4, 0))
    pose.set("Fox:Spine", rot=(0, 6, 0))
    for name in ("HindL", "HindR"):
        leg(pose, name, 46, -96, 54)  # haunches loaded
    return pose


def attack_anticipation(frame):
    # From standing, rocks back onto its haunches, ready to spring.
    pose = blend(idle(0), wound_up(), ramp(frame, 0, 12))
    pose.add("Fox:Hips", rot=(0, 2 * math.sin(frame * 1.1) * ramp(frame, 12, 16), 0))
    return pose


def attack(frame, last=24):
    # The pounce: hind legs fire, the body stretches through the air with forelegs and jaws
    # reaching, then it lands.
    t = frame / last
    flight = math.sin(math.pi * min(max((frame - 4) / 14, 0.0), 1.0))
    pose = blend(wound_up(), Pose(), ramp(frame, 0, 4))
    pose.add("Fox:Root", loc=(160 * ramp(frame, 2, 18), 0, 150 * flight))
    pose.add("Fox:Hips", rot=(0, 10 * flight, 0))
    pose.add("Fox:Spine", rot=(0, -16 * flight + 10 * ramp(frame, 16, 20) * (1 - ramp(frame, 20, 24)), 0))
    pose.add("Fox:Neck", rot=(0, 10 * flight, 0))
    pose.add("Fox:Jaw", rot=(0, 40 * flight * (1 - ramp(frame, 14, 17)), 0))
    for name in ("FrontL", "FrontR"):
        pose.add("Fox:%sUpper" % name, rot=(0, -70 * flight, 0))
        pose.add("Fox:%sLower" % name, rot=(0, -10 * flight, 0))
    for name in ("HindL", "HindR"):
        pose.add("Fox:%sUpper" % name, rot=(0, 60 * flight, 0))
        pose.add("Fox:%sLower" % name, rot=(0, -20 * flight, 0))
    pose.add("Fox:Tail1", rot=(0, -14 * flight, 0))
    if t > 0.75:
        pose = blend(pose, gallop(0), ramp(frame, 18, last))
        pose.add("Fox:Root", loc=(160 * (1 - ramp(frame, 18, last)), 0, 0))
    return pose


# The sneak: runs in from far behind, slows to a stalk across the middle, glances at the view
# and bolts off the other side. Distances in the file's units before the event's scale.
SNEAK_LAST = 150
SNEAK_SPAN = 3200.0


def sneak_speed(frame):
    fast, slow = 62.0, 14.0
    if frame < 46:
        return fast
    if frame < 60:
        return mix((fast,), (slow,), smooth((frame - 46) / 14))[0]
    if frame < 104:
        return slow * (0.3 if 84 <= frame < 96 else 1.0)
    if frame < 116:
        return mix((slow,), (fast,), smooth((frame - 104) / 12))[0]
    return fast


def sneak_offset(frame):
    travelled = [0.0]
    for f in range(SNEAK_LAST):
        travelled.append(travelled[-1] + sneak_speed(f))
    middle = travelled[75]
    return travelled[frame] - middle


def fox_event(frame):
    pace = sum(sneak_speed(f) for f in range(frame))
    running = gallop(pace / 62.0)  # the legs keep step with the ground covered
    sneaking = stalk(pace / 14.0)
    slow = ramp(frame, 46, 60) * (1 - ramp(frame, 104, 116))
    pose = blend(running, sneaking, slow)
    glance = ramp(frame, 82, 88) * (1 - ramp(frame, 94, 100))
    pose.add("Fox:Head", rot=(0, 0, -60 * glance))  # looks out of the screen
    pose.add("Fox:Root", loc=(sneak_offset(frame), 0, 0))
    return pose


CLIPS = [
    ("A_Fox_Idle", 60, True, idle),
    ("A_Fox_Run", 16, True, run),
    ("A_fox_event001", SNEAK_LAST, False, fox_event),
    ("A_Fox_chargeAnticipation", 40, False, charge_anticipation),
    ("A_Fox_attackAnticipation", 18, False, attack_anticipation),
    ("A_Fox_Attack", 24, False, attack),
]
