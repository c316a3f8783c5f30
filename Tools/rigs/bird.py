# The bird the player steers: a small red songbird, feet at the origin, facing +x, about 107 cm
# tall (86 units at the player's scale of 0.8), with the clips the player's states play.
import math

import rigkit
from rigkit import Pose, blend, ellipsoid, frustum, placed, ramp, sequence, slab, smooth, wave

NAME = "Bird"
MODEL = "animation/Bird/SK_bird.fbx"
MESH = "SM_Bird"
MATERIAL = "SM_Bird_T"

PALETTE = rigkit.Palette([
    ("red", (196, 40, 40), (150, 24, 30)),
    ("dark_red", (120, 22, 28)),
    ("belly", (250, 214, 170), (236, 180, 130)),
    ("wing", (142, 30, 34), (96, 18, 24)),
    ("wing_tip", (70, 20, 26), (40, 14, 18)),
    ("beak", (255, 190, 40), (230, 140, 20)),
    ("beak_low", (230, 150, 30)),
    ("eye_white", (250, 250, 245)),
    ("pupil", (16, 16, 20)),
    ("leg", (226, 136, 60)),
    ("mask", (40, 20, 24)),
    ("tail", (110, 20, 26), (70, 14, 20)),
])
TEXTURES = [("textures/Character/SM_Bird_T_C.dds", PALETTE)]

# name, parent, head, tail (cm, Blender axes: +x forward, +y the bird's left, +z up)
BONES = [
    ("Bird:Root", None, (0, 0, 0), (0, 0, 12)),
    ("Bird:Body", "Bird:Root", (0, 0, 44), (0, 0, 60)),
    ("Bird:Chest", "Bird:Body", (8, 0, 56), (16, 0, 66)),
    ("Bird:Neck", "Bird:Chest", (18, 0, 66), (24, 0, 74)),
    ("Bird:Head", "Bird:Neck", (26, 0, 80), (42, 0, 81)),
    ("Bird:Jaw", "Bird:Head", (41, 0, 77), (56, 0, 74)),
    ("Bird:Tail", "Bird:Body", (-24, 0, 46), (-44, 0, 40)),
    ("Bird:Wing_L", "Bird:Chest", (8, 21, 62), (-16, 25, 56)),
    ("Bird:WingTip_L", "Bird:Wing_L", (-16, 25, 56), (-48, 24, 50)),
    ("Bird:Wing_R", "Bird:Chest", (8, -21, 62), (-16, -25, 56)),
    ("Bird:WingTip_R", "Bird:Wing_R", (-16, -25, 56), (-48, -24, 50)),
    ("Bird:Thigh_L", "Bird:Root", (2, 9, 40), (2, 9, 26)),
    ("Bird:Shin_L", "Bird:Thigh_L", (2, 9, 26), (0, 9, 4)),
    ("Bird:Foot_L", "Bird:Shin_L", (0, 9, 4), (12, 9, 1)),
    ("Bird:Thigh_R", "Bird:Root", (2, -9, 40), (2, -9, 26)),
    ("Bird:Shin_R", "Bird:Thigh_R", (2, -9, 26), (0, -9, 4)),
    ("Bird:Foot_R", "Bird:Shin_R", (0, -9, 4), (12, -9, 1)),
]

SIDES = (("L", 1.0), ("R", -1.0))


def build_mesh(builder):
    height = lambda top, bottom: (lambda p: max(-1.0, min(1.0, (top + bottom - 2 * p.z) / (top - bottom))))
    builder.add(ellipsoid((28, 22, 24), 10, 6), "red", "Bird:Body", placed((0, 0, 48), (0, -12, 0)),
                along=height(72, 24))
    builder.add(ellipsoid((18, 17, 19), 8, 5), "belly", "Bird:Body", placed((13, 0, 44), (0, -20, 0)),
                along=height(62, 26))
    builder.add(ellipsoid((18, 17, 18), 10, 6), "red", "Bird:Head", placed((26, 0, 80)), along=height(98, 62))
    # A dark mask round the beak, as on a cardinal.
    builder.add(ellipsoid((8, 14, 9), 6, 4), "mask", "Bird:Head", placed((37, 0, 78)))
    builder.add(frustum((0, 0, 0), (-15, 0, 13), 6.5, 0, 5, squash=0.45), "dark_red", "Bird:Head",
                placed((24, 0, 95)))  # crest
    builder.add(frustum((42, 0, 79), (61, 0, 76), 6.5, 0, 8, squash=0.75), "beak", "Bird:Head", smooth=False)
    builder.add(frustum((41, 0, 74.5), (56, 0, 74), 4.6, 0, 8, squash=0.6), "beak_low", "Bird:Jaw", smooth=False)
    for side, sign in SIDES:
        builder.add(ellipsoid((4.2, 2.6, 4.8), 6, 4), "eye_white", "Bird:Head", placed((34.3, 13.4 * sign, 87.5)))
        builder.add(ellipsoid((2.5, 1.6, 2.8), 5, 3), "pupil", "Bird:Head", placed((36.2, 15.4 * sign, 88)))
        build_wing(builder, side, sign)
        build_leg(builder, side, sign)
    tail = [(0, 5), (-20, 12), (-30, 9), (-33, 2), (-29, -5), (-18, -6), (0, -3)]
    builder.add(slab(tail, 5), "tail", "Bird:Tail", placed((-22, 0, 47), (0, 18, 0)), smooth=False,
                along=lambda p: max(-1.0, min(1.0, (-22 - p.x) / 16 - 1)))


def build_wing(builder, side, sign):
    # A folded wing lies along the body's side; the covert half follows the wing bone, the
    # primaries the wing tip.
    covert = [(6, 3), (0, 8), (-16, 8), (-28, 3), (-29, -8), (-16, -13), (-2, -10), (5, -4)]
    primaries = [(-20, 6), (-36, 4), (-54, -4), (-58, -9), (-46, -12), (-26, -12), (-19, -3)]
    shoulder = placed((8, 22.5 * sign, 60), (6 * sign, 0, -6 * sign))
    builder.add(slab(covert, 3.5), "wing", "Bird:Wing_" + side, shoulder, smooth=False,
                along=lambda p: max(-1.0, min(1.0, (58 - p.z) / 8)))
    builder.add(slab(primaries, 2.5), "wing_tip", "Bird:WingTip_" + side,
                placed((8, 23.5 * sign, 60), (6 * sign, 0, -6 * sign)), smooth=False)


def build_leg(builder, side, sign):
    y = 9 * sign
    builder.add(ellipsoid((8, 6.5, 9), 6, 4), "red", "Bird:Thigh_" + side, placed((2, y, 32)))
    builder.add(frustum((2, y, 27), (0, y, 3), 2.4, 1.8, 5), "leg", "Bird:Shin_" + side)
    for spread in (-22, 0, 22):
        angle = math.radians(spread)
        tip = (11 * math.cos(angle), y + 11 * math.sin(angle), 1.2)
        builder.add(frustum((0, y, 2.6), tip, 1.6, 0.7, 4), "leg", "Bird:Foot_" + side, smooth=False)
    builder.add(frustum((0, y, 2.6), (-7, y, 1.0), 1.4, 0.6, 4), "leg", "Bird:Foot_" + side, smooth=False)


# ---------------------------------------------------------------------------------------------
# Poses. Angles in degrees about the armature axes at each bone's parent: about y, positive
# tips a forward-pointing bone's far end down (a head nods, the jaw opens) and a backward- or
# downward-pointing one up or back (a folded wing rises, a leg swings back); about x, positive
# tilts the left side up and the right side down.

def rest():
    return Pose()


def wings(pose, lift, tilt=8.0, tip=0.0):
    """lift swings a wing in the side view about its shoulder: 0 folded along the body, 90
    straight up, 120 up and forward, -40 down behind; tilt opens it away from the body; tip
    bends the primaries (positive up)."""
    for side, sign in SIDES:
        pose.set("Bird:Wing_" + side, rot=(tilt * sign, lift, 0))
        pose.set("Bird:WingTip_" + side, rot=(0, tip, 0))
    return pose


def legs(pose, side, thigh, shin=0.0, foot=0.0):
    pose.set("Bird:Thigh_" + side, rot=(0, thigh, 0))
    pose.set("Bird:Shin_" + side, rot=(0, shin, 0))
    pose.set("Bird:Foot_" + side, rot=(0, foot, 0))
    return pose


def tuck(pose, amount):
    """Legs drawn up under the body (0 standing, 1 fully tucked)."""
    for side, _ in SIDES:
        legs(pose, side, -55 * amount, 95 * amount, -40 * amount)
    return pose


def stride(frame, period, thigh_swing, knee_lift, foot_curl):
    """Alternating legs: a stance leg sweeps back on the ground, the other swings forward lifted."""
    pose = Pose()
    for side, offset in (("L", 0.0), ("R", 0.5)):
        phase = 2 * math.pi * (frame / period + offset)
        thigh = -thigh_swing * math.sin(phase)
        swinging = max(0.0, math.cos(phase))  # the leg moves forward while cos > 0
        legs(pose, side, thigh, knee_lift * swinging, -foot_curl * swinging + 0.3 * thigh)
    return pose


def hip_drop(frame, period, thigh_swing):
    """How far the body sinks so that a stance leg swung off vertical still reaches the ground."""
    angle = math.radians(thigh_swing * abs(math.sin(2 * math.pi * frame / period)))
    return -40.0 * (1.0 - math.cos(angle))


def idle(frame):
    pose = Pose()
    breath = wave(frame, 60)
    pose.set("Bird:Body", loc=(0, 0, 1.2 * breath), rot=(0, 2 * breath, 0))
    pose.set("Bird:Neck", rot=(0, 5 * wave(frame, 60, 0.2), 0))
    look = wave(frame, 60, 0.1)
    pose.set("Bird:Head", rot=(4 * wave(frame, 30, 0.3), 5 * look, 14 * look))
    pose.set("Bird:Tail", rot=(0, -6 * wave(frame, 30), 0))
    wings(pose, 2 + 2 * breath, tilt=4 + 2 * breath)
    return pose


def walk(frame, period=24):
    pose = stride(frame, period, 24, 40, 30)
    bob = math.cos(4 * math.pi * frame / period)
    pose.set("Bird:Root", loc=(0, 0, hip_drop(frame, period, 24)))
    pose.set("Bird:Body", loc=(0, 0, 1.2 * bob), rot=(3 * wave(frame, period), 4, 0))
    pose.set("Bird:Neck", loc=(3.5 * wave(frame, period / 2), 0, 0), rot=(0, -4, 0))
    pose.set("Bird:Tail", rot=(0, 5 * bob, 0))
    wings(pose, 4 + 3 * bob, tilt=6)
    return pose


def run(frame, period=16):
    pose = stride(frame, period, 34, 70, 40)
    bounce = abs(math.sin(2 * math.pi * frame / period))
    pose.set("Bird:Root", loc=(0, 0, hip_drop(frame, period, 34) + 4 * (1 - bounce)))
    pose.set("Bird:Body", rot=(0, 14, 0), loc=(0, 0, 1.5 * bounce))
    pose.set("Bird:Neck", rot=(0, -12 + 3 * wave(frame, period / 2), 0))
    pose.set("Bird:Head", rot=(0, -4, 0))
    pose.set("Bird:Tail", rot=(0, -10 + 6 * wave(frame, period / 2), 0))
    wings(pose, 24 + 16 * wave(frame, period / 2), tilt=24, tip=-10)
    return pose


def stretched():
    pose = Pose()
    pose.set("Bird:Root", loc=(-4, 0, 8))
    pose.set("Bird:Body", rot=(0, 22, 0), scale=(1.6, 0.8, 0.75))  # long along the flight
    pose.set("Bird:Neck", rot=(0, -16, 0))
    pose.set("Bird:Head", rot=(0, -6, 0))
    pose.set("Bird:Tail", rot=(0, -18, 0))
    wings(pose, -14, tilt=6, tip=-6)
    for side, _ in SIDES:
        legs(pose, side, 70, 20, 30)  # swept back behind the body
    return pose


def dash(frame):
    # A quick wind-up, then the body stretched along the dash, easing off in the last frames.
    windup = Pose()
    windup.set("Bird:Body", rot=(0, -8, 0), scale=(1.08, 0.9, 1.1))
    wings(windup, 60, tilt=20)
    tuck(windup, 0.4)
    if frame <= 2:
        return blend(Pose(), windup, smooth(frame / 2))
    pose = blend(windup, stretched(), ramp(frame, 2, 4))
    return blend(pose, blend(stretched(), Pose(), 0.35), ramp(frame, 7, 9))


def crouched():
    pose = Pose()
    pose.set("Bird:Root", loc=(0, 0, -8))
    pose.set("Bird:Body", rot=(0, 16, 0), scale=(1.06, 1.06, 0.9))
    pose.set("Bird:Neck", rot=(0, -10, 0))
    for side, _ in SIDES:
        legs(pose, side, -30, 50, -20)
    wings(pose, 14, tilt=14)
    return pose


def launched(lean):
    pose = Pose()
    pose.set("Bird:Root", loc=(0, 0, 4))
    pose.set("Bird:Body", rot=(0, lean, 0), scale=(0.94, 0.94, 1.12))
    pose.set("Bird:Neck", rot=(0, -8, 0))
    pose.set("Bird:Head", rot=(0, -10, 0))
    pose.set("Bird:Tail", rot=(0, 16, 0))
    for side, _ in SIDES:
        legs(pose, side, 28, 10, 50)  # pushed off, toes pointing down
    wings(pose, 118, tilt=24, tip=-22)
    return pose


def air(frame, period, lean, legs_tucked):
    """Flapping in the air; frame 0 is the top of the stroke, where the launch leaves the wings."""
    pose = Pose()
    beat = wave(frame, period, 0.25)
    pose.set("Bird:Body", rot=(0, lean, 0), loc=(0, 0, 1.5 * beat))
    pose.set("Bird:Neck", rot=(0, -6, 0))
    pose.set("Bird:Tail", rot=(0, -8 + 6 * beat, 0))
    tuck(pose, legs_tucked)
    wings(pose, 45 + 75 * beat, tilt=22, tip=-28 * beat)
    return pose


def take_off(frame, lean, flight):
    """Crouch, push off with the wings thrown up, and meet the clip that follows in the air."""
    return sequence(frame, [(0, Pose()), (3, crouched()), (6, launched(lean)), (8, flight)])


def jump_start(frame):
    return take_off(frame, -8, jump_in_air(0))


def jump_in_air(frame):
    return air(frame, 10, -6, 0.6)


def neutral_jump_start(frame):
    return take_off(frame, -2, neutral_jump_in_air(0))


def neutral_jump_in_air(frame):
    # One strong beat, then wings held high while the bird rises.
    beat = air(frame, 12, -2, 0.5)
    held = wings(tuck(Pose(), 0.5), 112, tilt=22, tip=-14)
    held.set("Bird:Tail", rot=(0, 10, 0))
    return blend(beat, held, ramp(frame, 9, 14))


def falling_pose(frame):
    pose = Pose()
    flutter = wave(frame, 8)
    pose.set("Bird:Body", rot=(0, -8, 0))
    pose.set("Bird:Neck", rot=(0, 10, 0))  # looking down at the landing
    pose.set("Bird:Head", rot=(0, 8, 0))
    pose.set("Bird:Tail", rot=(0, 14 + 4 * flutter, 0))
    for side, sign in SIDES:
        legs(pose, side, -18 + 3 * sign * flutter, 12, 20)  # legs reaching for the ground
    wings(pose, 104 + 14 * flutter, tilt=26, tip=-16 + 12 * flutter)
    return pose


def neutral_jump_fall(frame):
    return blend(neutral_jump_in_air(14), falling_pose(frame), ramp(frame, 0, 10))


def falling_transition(frame):
    return blend(jump_in_air(0), falling_pose(frame), ramp(frame, 0, 8))


def falling(frame):
    return falling_pose(frame)


def double_jump(frame):
    # A full downstroke that throws the bird up, legs tucked tight, then wings up again.
    pose = tuck(Pose(), 0.9)
    t = frame / 14
    down = smooth(min(frame / 6, 1.0))
    lift = 125 - 165 * down + 165 * ramp(frame, 7, 14)
    wings(pose, lift, tilt=24, tip=-30 * math.sin(math.pi * t))
    pose.set("Bird:Body", rot=(0, -10 * math.sin(math.pi * t), 0), scale=(1, 1, 1 + 0.12 * math.sin(math.pi * t)))
    pose.set("Bird:Tail", rot=(0, 20 * math.sin(math.pi * t), 0))
    pose.set("Bird:Neck", rot=(0, -8, 0))
    return pose


def on_wall(frame):
    # The wall stands in front (+x, where the bird faces while it slides): feet braced on it,
    # body leaning away, wings fluttering to brake, head turned to look back over the shoulder.
    pose = Pose()
    flutter = wave(frame, 10)
    pose.set("Bird:Root", rot=(0, -14, 0), loc=(-6, 0, 6))
    pose.set("Bird:Body", rot=(0, -10, 0))
    pose.set("Bird:Neck", rot=(0, -12, 0))
    pose.set("Bird:Head", rot=(0, -10, 40 + 4 * wave(frame, 30)))
    pose.set("Bird:Tail", rot=(0, -12 + 3 * flutter, 0))
    for side, sign in SIDES:
        legs(pose, side, -62 + 4 * sign * wave(frame, 15), -10, -55)
    wings(pose, 62 + 22 * flutter, tilt=30, tip=-14 * flutter)
    return pose


def dive():
    pose = Pose()
    pose.set("Bird:Root", rot=(0, 62, 0), loc=(-26, 0, 26))  # beak down, turned about the body
    pose.set("Bird:Neck", rot=(0, 14, 0))
    pose.set("Bird:Head", rot=(0, 8, 0))
    pose.set("Bird:Tail", rot=(0, -20, 0))
    tuck(pose, 0.8)
    wings(pose, -8, tilt=24, tip=6)
    return pose


def pogo_ready_transition(frame):
    return blend(Pose(), dive(), ramp(frame, 0, 6))


def pogo_ready(frame):
    pose = dive()
    shiver = wave(frame, 6)
    pose.add("Bird:Wing_L", rot=(0, 5 * shiver, 0))
    pose.add("Bird:Wing_R", rot=(0, 5 * shiver, 0))
    pose.add("Bird:Tail", rot=(0, 4 * shiver, 0))
    return pose


def pogo_impact(frame):
    # Squashed on the pad, then springing up and turning upright with wings thrown open.
    squash = Pose()
    squash.set("Bird:Root", rot=(0, 30, 0), loc=(-14, 0, 4))
    squash.set("Bird:Body", scale=(1.2, 1.2, 0.72))
    squash.set("Bird:Neck", rot=(0, 14, 0))
    tuck(squash, 1.0)
    wings(squash, 120, tilt=28, tip=-20)
    spring = launched(-10)
    spring.set("Bird:Body", rot=(0, -10, 0), scale=(0.9, 0.9, 1.18))
    if frame <= 3:
        return blend(dive(), squash, smooth(frame / 3))
    if frame <= 8:
        return blend(squash, spring, smooth((frame - 3) / 5))
    return blend(spring, air(0, 10, -6, 0.6), ramp(frame, 8, 12))


def planted(kick):
    """Beak stuck in the snow, feet in the air."""
    pose = Pose()
    pose.set("Bird:Root", rot=(0, 128, 0), loc=(-14, 0, 78))
    pose.set("Bird:Neck", rot=(0, 10, 0))
    pose.set("Bird:Tail", rot=(0, -16, 0))
    wings(pose, 50 + 30 * kick, tilt=30, tip=-10)
    for side, sign in SIDES:
        legs(pose, side, -20 + 22 * kick * sign, 30 - 14 * kick * sign, 10)
    return pose


def pogo_fail(frame):
    # A face plant: beak first into the snow with the feet kicking, pulled out and upright by
    # 0.3 s (where a landing in play hands over to standing), then a dizzy shake of the head
    # that the intro lets play out.
    if frame <= 2:
        return blend(dive(), planted(0.0), smooth(frame / 2))
    if frame <= 5:
        return planted(math.sin(math.pi * (frame - 2) / 3))
    pulled = Pose()
    pulled.set("Bird:Root", loc=(0, 0, -4))
    pulled.set("Bird:Body", rot=(0, 10, 0), scale=(1.05, 1.05, 0.92))
    wings(pulled, 30, tilt=16)
    if frame <= 9:
        return blend(planted(0.0), pulled, smooth((frame - 5) / 4))
    dizzy = 1 - ramp(frame, 22, 30)
    shake = blend(pulled, idle(0), ramp(frame, 9, 30))
    shake.add("Bird:Head", rot=(20 * math.sin(math.pi * (frame - 9) / 4) * dizzy, 0, 10 * math.sin(math.pi * (frame - 9) / 8) * dizzy))
    return shake


def death_fall_back(frame):
    # A jolt, a stiff fall onto the back with a small bounce, wings limp, feet up.
    fall = ramp(frame, 4, 16) ** 1.6
    bounce = math.sin(math.pi * min(max((frame - 16) / 8, 0.0), 1.0)) * 0.12 * (frame > 16)
    angle = -96 * fall + 12 * bounce
    pose = Pose()
    pose.set("Bird:Root", rot=(0, angle, 0), loc=(-10 * fall, 0, 32 * fall + 6 * bounce))
    jolt = math.sin(math.pi * min(frame / 5, 1.0))
    pose.set("Bird:Neck", rot=(0, -22 * jolt - 40 * fall, 0))  # the head drops back onto the snow
    pose.set("Bird:Head", rot=(0, -20 * fall, 0))
    pose.set("Bird:Jaw", rot=(0, 18 * max(jolt, fall), 0))
    pose.set("Bird:Tail", rot=(0, 105 * fall, 0))  # the tail folds along the ground
    wings(pose, 80 * fall, tilt=8 + 16 * fall, tip=-10 * fall)  # limp along the snow
    twitch = 6 * math.sin(frame * 1.7) * ramp(frame, 18, 22) * (1 - ramp(frame, 26, 30))
    for side, sign in SIDES:
        legs(pose, side, -70 * fall + twitch * sign, 70 * fall, 40 * fall)  # feet up, curled
    return pose


def power_up(frame):
    # Crouch, hop up with wings spread wide, a happy shake, land and settle.
    pose = Pose()
    hop = math.sin(math.pi * min(max((frame - 6) / 22, 0.0), 1.0))
    crouch = ramp(frame, 0, 6) * (1 - ramp(frame, 6, 10)) + ramp(frame, 26, 30) * (1 - ramp(frame, 30, 38))
    pose = blend(pose, crouched(), 0.7 * crouch)
    pose.add("Bird:Root", loc=(0, 0, 30 * hop))
    spread = ramp(frame, 6, 12) * (1 - ramp(frame, 30, 40))
    shake = math.sin(frame * 2.2) * ramp(frame, 12, 16) * (1 - ramp(frame, 24, 28))
    for side, sign in SIDES:
        pose.add("Bird:Wing_" + side, rot=(30 * spread * sign, 118 * spread + 12 * shake, 0))
        pose.add("Bird:WingTip_" + side, rot=(0, -20 * spread, 0))
        pose.add("Bird:Thigh_" + side, rot=(0, -30 * hop, 0))
        pose.add("Bird:Shin_" + side, rot=(0, 50 * hop, 0))
    pose.add("Bird:Neck", rot=(0, -18 * spread, 0))
    pose.add("Bird:Head", rot=(0, -10 * spread, 10 * shake))
    pose.add("Bird:Jaw", rot=(0, 20 * spread, 0))
    pose.add("Bird:Tail", rot=(0, -20 * spread, 0))
    return blend(pose, idle(0), ramp(frame, 38, 42))


def squawk_beak(pose, amount):
    pose.add("Bird:Jaw", rot=(0, 40 * amount, 0))
    pose.add("Bird:Head", rot=(0, -14 * amount, 0))
    pose.add("Bird:Neck", rot=(0, -10 * amount, 0))
    for side, sign in SIDES:
        pose.add("Bird:Wing_" + side, rot=(22 * amount * sign, 30 * amount, 0))
    pose.add("Bird:Tail", rot=(0, -14 * amount, 0))
    pose.setdefault("Bird:Body", {})["scale"] = (1 + 0.08 * amount,) * 3  # puffed up
    return pose


def squawk_001(frame):
    # Two short calls, then back to the idle that follows.
    first = math.sin(math.pi * min(max((frame - 2) / 8, 0.0), 1.0))
    second = math.sin(math.pi * min(max((frame - 11) / 8, 0.0), 1.0))
    return blend(squawk_beak(Pose(), max(first, second)), idle(0), ramp(frame, 19, 24))


def squawk_002(frame):
    # One long call with the head thrown back.
    amount = ramp(frame, 1, 6) * (1 - ramp(frame, 18, 24))
    pose = squawk_beak(Pose(), amount)
    pose.add("Bird:Neck", rot=(0, -12 * amount, 0))
    pose.add("Bird:Head", rot=(6 * math.sin(frame * 1.3) * amount, 0, 0))
    return blend(pose, idle(0), ramp(frame, 19, 24))


def outro(frame):
    # Looks up at the sky, stretches its wings, calls twice (at 4.0 and 4.5 s, with the level's
    # own squeak sounds) and settles down to rest, facing the view.
    pose = Pose()
    look = ramp(frame, 0, 30) * (1 - ramp(frame, 100, 115))
    pose.add("Bird:Neck", rot=(0, -20 * look, 0))
    pose.add("Bird:Head", rot=(0, -14 * look, 0))
    stretch = ramp(frame, 40, 60) * (1 - ramp(frame, 85, 100))
    for side, sign in SIDES:
        pose.add("Bird:Wing_" + side, rot=(30 * stretch * sign, 116 * stretch, 0))
        pose.add("Bird:WingTip_" + side, rot=(0, -24 * stretch, 0))
    call = max(math.sin(math.pi * min(max((frame - 118) / 8, 0.0), 1.0)),
               math.sin(math.pi * min(max((frame - 133) / 8, 0.0), 1.0)))
    squawk_beak(pose, call)
    settle = ramp(frame, 148, 175)
    pose.add("Bird:Root", loc=(0, 0, -14 * settle))
    for side, _ in SIDES:
        pose.add("Bird:Thigh_" + side, rot=(0, -40 * settle, 0))
        pose.add("Bird:Shin_" + side, rot=(0, 72 * settle, 0))
        pose.add("Bird:Foot_" + side, rot=(0, -32 * settle, 0))
    pose.add("Bird:Body", rot=(0, -4 * settle, 0), loc=(0, 0, 0.6 * wave(frame, 60) * settle))
    pose.add("Bird:Head", rot=(0, 6 * settle, -50 * settle))  # turned to the camera
    return pose


# file name, last frame, looping, pose
CLIPS = [
    ("A_bird_idle", 60, True, idle),
    ("A_bird_walk", 24, True, walk),
    ("A_bird_run", 16, True, run),
    ("A_bird_dash", 9, False, dash),
    ("A_bird_jumpStart", 8, False, jump_start),
    ("A_bird_jumpInAir", 10, True, jump_in_air),
    ("A_Bird_NeutralJumpStart", 8, False, neutral_jump_start),
    ("A_Bird_NeutralJumpInAir", 14, False, neutral_jump_in_air),
    ("A_Bird_NeutralJumpFall", 12, False, neutral_jump_fall),
    ("A_bird_FallingTransition", 8, False, falling_transition),
    ("A_bird_falling", 8, True, falling),
    ("A_bird_doubleJump", 14, False, double_jump),
    ("A_bird_onWall", 30, True, on_wall),
    ("A_bird_PogoReadyTransition", 6, False, pogo_ready_transition),
    ("A_bird_pogoReady", 12, True, pogo_ready),
    ("A_bird_pogoImpact", 12, False, pogo_impact),
    ("A_bird_pogoFail", 30, False, pogo_fail),
    ("A_bird_death_fallBack", 30, False, death_fall_back),
    ("A_Bird_PowerUp", 42, False, power_up),
    ("A_BirdSquawk001", 24, False, squawk_001),
    ("A_BirdSquawk002", 24, False, squawk_002),
    ("A_outro_wip", 180, False, outro),
]
