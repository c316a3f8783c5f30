#!/usr/bin/env python3
"""Turns the level sources (*.level beside this script) into the scene folders the game reads.

    make_levels.py [--sources <folder>] <game asset folder> [<stamp file>]

For every source it writes <game>/levels/<name>.leveldata/<UUID> (one JSON object file per
object) and, once for all levels, the object definitions <game>/definitions/O_*.vro. The UUIDs
are derived from the level and the object's place among the objects of its kind, so remaking
an unchanged source gives the same files. The source form is described in README.md.
"""

import json
import os
import shutil
import sys
import uuid

HERE = os.path.dirname(os.path.abspath(__file__))
UNIT = 100.0
# The bird's sphere lies at z 50; boxes span z 0..100 around it.
BOX_DEPTH = 1.0
BIRD_DEPTH = 50.0
UUID_NAMESPACE = uuid.UUID("5b2f0c6e-3d41-4c8e-9a57-6f1d2e7c9b10")

BOX_TAGS = {"wall": "AABB", "solid": "NonWallAABB", "oneway": "OneWayAABB", "trap": "Trap"}
ABILITIES = {"dash": 1, "walljump": 2, "doublejump": 3}
PROMPTS = {"walk": 1, "jump": 2, "pogo": 3, "squawk": 4}
CUTSCENES = {"intro": 1, "outro": 2, "powerup": 3}
LAYERS = {"back": "BG", "middle": "LG", "front": "FG"}

BOX_MODEL = "models/SM_Box.fbx"
CHECKPOINT_MODEL = "models/SM_Checkpoint.fbx"
PICKUP_MODEL = "models/SM_Pickup.fbx"
ICICLE_SPRITE = "sprites/S_VFX_Icicle.dds"

# The pictures laid over the boxes (made by the content tool, sprites/terrain/): a face tiled over
# walls and solids with a top along their upper edge, a ledge stretched over a one-way box, a trap
# tiled along a killing box. They lie in the middle layer behind the bird (z 50), nearer pieces
# first by more than the layer's depth jitter of one unit.
TERRAIN_STYLES = {"forest": "Forest", "cave": "Cave", "final": "Final"}
TERRAIN_TILE = 512.0        # world units a face or top tile spans, about one texel a unit
TERRAIN_TRAP_TILE = 256.0
TERRAIN_LEDGE_TILE = 512.0
TERRAIN_TOP_HEIGHT = 64.0   # as tall as the top's picture, at one texel a unit
TERRAIN_OVERLAP = 2.0       # tiles reach this far under their right and lower neighbours
TERRAIN_DEPTHS = {"Face": 100.0, "Top": 96.0, "Ledge": 92.0, "Trap": 88.0}


def prop(name, kind, value, group=""):
    return {"name": name, "type": kind, "value": value, "group": group}


# Every property the loader reads, with the loader's own defaults; all are per instance, so an
# object file gives only what differs.
EVENT_PROPERTIES = [
    prop("Tag", "StringId", "EventEffect"), prop("Flag", "Int", 0), prop("Order", "Int", 0),
    prop("Duration", "Float", 0.0), prop("Speed", "Float", 0.0), prop("AnimationSpeed", "Float", 0.0),
    prop("GoingLeft", "Bool", False), prop("InBackground", "Bool", False), prop("LevelPath", "StringId", ""),
    prop("Ability", "Int", 0), prop("Animation", "Int", 0), prop("Cutscene", "Int", 0), prop("Delay", "Float", 0.0),
]
DEFINITIONS = {
    "O_Box": [prop("Tag", "StringId", "AABB"), prop("Model", "Model", {"path": BOX_MODEL})],
    "O_Player": [prop("Tag", "StringId", "Player"), prop("Model", "Model", {"path": BOX_MODEL}),
                 prop("StartWithDash", "Bool", True), prop("StartWithDoubleJump", "Bool", False),
                 prop("StartWithWallJump", "Bool", False)],
    "O_Checkpoint": [prop("Tag", "StringId", "Checkpoint"), prop("Model", "Model", {"path": CHECKPOINT_MODEL})],
    "O_Mushroom": [prop("Tag", "StringId", "Pogo"), prop("Radius", "Float", 0.5), prop("Cooldown", "Float", 1.0)],
    "O_Beetle": [prop("Tag", "StringId", "Pogo"), prop("Radius", "Float", 0.5), prop("Distance", "Float", 1.0),
                 prop("Up", "Bool", False), prop("InvertMoveDirection", "Bool", True)],
    "O_Ability": [prop("Tag", "StringId", "Ability"), prop("Radius", "Float", 0.5), prop("Ability", "Int", 0),
                  prop("Model", "Model", {"path": PICKUP_MODEL})],
    "O_FallingIce": [prop("Tag", "StringId", "Iceicle"), prop("DropDelay", "Float", 0.5), prop("Gravity", "Float", 2000.0),
                     prop("Trigger", "Float2", [1.0, 6.0]), prop("Hitbox", "Float2", [0.3, 1.5]),
                     prop("Sprite", "Sprite", {"texturePath": ICICLE_SPRITE, "size": [64, 256], "pivot": [0.5, 0.0]})],
    "O_Camera": [prop("FollowSpeed", "Float", 5.0), prop("LookAheadDistance", "Float", 2.0), prop("NoSnow", "Bool", False),
                 prop("ShowCaveParticles", "Bool", False), prop("ViginetteStrength", "Float", 0.5)],
    "O_Event": EVENT_PROPERTIES,
    "O_Trigger": [prop("Tag", "StringId", "EventTrigger"), prop("Order", "Int", 0)],
    "O_Parallax": [prop("Tag", "StringId", "LG"), prop("Sprite", "Sprite", {"texturePath": "", "size": [100, 100]})],
    "O_LevelAudio": [prop("Level", "StringId", "", "SFXLevelSelect"), prop("Echo", "Bool", False, "SFXLevelSelect"),
                     prop("EchoDelay", "Float", 0.0, "SFXLevelSelect"), prop("EchoFeedback", "Float", 0.0, "SFXLevelSelect"),
                     prop("EchoDryLevel", "Float", 0.0, "SFXLevelSelect"), prop("EchoWetLevel", "Float", 0.0, "SFXLevelSelect")],
    "O_Vfx": [prop("VFXName", "StringId", "", "VFXBlock"), prop("Looping", "Bool", True, "VFXBlock")],
}


class SourceError(Exception):
    pass


def property_type(definition, name):
    for entry in DEFINITIONS[definition]:
        if entry["name"] == name:
            return entry["type"]
    raise KeyError(name)


class Line:
    """One object line: its words before the first key=value, then the options."""

    def __init__(self, source, number, words):
        self.source = source
        self.number = number
        self.kind = words[0]
        self.args = []
        self.options = {}
        for word in words[1:]:
            if "=" in word:
                key, value = word.split("=", 1)
                self.options[key] = value
            elif self.options:
                self.fail("a plain word after key=value options: " + word)
            else:
                self.args.append(word)
        self.used = set()

    def fail(self, message):
        raise SourceError("%s:%d: %s: %s" % (self.source, self.number, self.kind, message))

    def number_at(self, index):
        try:
            return float(self.args[index])
        except (IndexError, ValueError):
            self.fail("expected a number as word %d" % (index + 1))

    def word_at(self, index, choices=None):
        if index >= len(self.args):
            self.fail("expected a word %d" % (index + 1))
        word = self.args[index]
        if choices is not None and word not in choices:
            self.fail("%s is not one of %s" % (word, ", ".join(sorted(choices))))
        return word

    def expect_args(self, count):
        if len(self.args) != count:
            self.fail("expected %d words, found %d" % (count, len(self.args)))

    def option(self, key, convert, default=None):
        self.used.add(key)
        if key not in self.options:
            return default
        try:
            return convert(self.options[key])
        except ValueError:
            self.fail("bad value for %s: %s" % (key, self.options[key]))

    def check_options(self):
        unknown = set(self.options) - self.used
        if unknown:
            self.fail("unknown options: " + ", ".join(sorted(unknown)))


def to_bool(text):
    if text in ("yes", "true", "on"):
        return True
    if text in ("no", "false", "off"):
        return False
    raise ValueError(text)


def to_pair(text):
    parts = [float(part) for part in text.split(",")]
    if len(parts) != 2:
        raise ValueError(text)
    return parts


class Level:
    def __init__(self, source):
        self.source = source
        self.scene = None
        self.objects = []
        self.counts = {}
        self.terrain = None
        self.boxes = []

    def add(self, kind, name, definition, translation, scale=(1.0, 1.0, 1.0), values=None):
        index = self.counts.get(kind, 0)
        self.counts[kind] = index + 1
        # Unknown names or types would be skipped by the game without a word: refuse them here.
        own = []
        for key, value in (values or {}).items():
            if value is None:
                continue
            own.append({"name": key, "type": property_type(definition, key), "value": value})
        obj = {"name": name, "path": "Level", "object-definition": definition,
               "translation": [float(v) for v in translation], "rotation": [0.0, 0.0, 0.0],
               "scale": [float(v) for v in scale], "properties": own}
        self.objects.append((self.scene + "#" + kind + "#" + str(index), obj))


def area(line, first):
    x0, y0, x1, y1 = (line.number_at(first + i) for i in range(4))
    if x1 <= x0 or y1 <= y0:
        line.fail("an area runs from its lower left to its upper right corner")
    return x0, y0, x1, y1


def box_object(level, line, tag):
    line.expect_args(4)
    x0, y0, x1, y1 = area(line, 0)
    level.boxes.append((line.kind, (x0, y0, x1, y1)))
    level.add(line.kind, "%s %d" % (line.kind.capitalize(), level.counts.get(line.kind, 0) + 1), "O_Box", (x0, y0, 0.0),
              ((x1 - x0) / UNIT, (y1 - y0) / UNIT, BOX_DEPTH), {"Tag": tag})


def read_level(path):
    level = Level(os.path.basename(path))
    with open(path, encoding="utf-8") as file:
        lines = file.read().splitlines()
    icicle_values = {}
    for number, text in enumerate(lines, 1):
        words = text.split("#", 1)[0].split()
        if not words:
            continue
        line = Line(level.source, number, words)
        kind = line.kind
        if kind == "scene":
            line.expect_args(1)
            level.scene = line.word_at(0)
            if not level.scene.startswith("levels/") or not level.scene.endswith(".vrs"):
                line.fail("a scene path is levels/<name>.vrs")
            continue
        if level.scene is None:
            line.fail("the first line names the scene")
        if kind in BOX_TAGS:
            box_object(level, line, BOX_TAGS[kind])
        elif kind == "terrain":
            line.expect_args(1)
            if level.terrain is not None:
                line.fail("a level has one terrain style")
            level.terrain = line.word_at(0, TERRAIN_STYLES)
        elif kind == "player":
            line.expect_args(2)
            level.add(kind, "Player", "O_Player", (line.number_at(0), line.number_at(1), 0.0), values={
                "StartWithDash": line.option("dash", to_bool),
                "StartWithWallJump": line.option("walljump", to_bool),
                "StartWithDoubleJump": line.option("doublejump", to_bool)})
        elif kind == "camera":
            line.expect_args(4)
            x0, y0, x1, y1 = area(line, 0)
            if x1 - x0 < 1600 or y1 - y0 < 900:
                line.fail("the camera area must hold at least one view (1600 x 900)")
            level.add(kind, "CameraSettings", "O_Camera", (x0, y0, 0.0), ((x1 - x0) / UNIT, (y1 - y0) / UNIT, 1.0), {
                "FollowSpeed": line.option("follow", float),
                "LookAheadDistance": line.option("lookahead", float),
                "NoSnow": line.option("nosnow", to_bool),
                "ShowCaveParticles": line.option("caveparticles", to_bool)})
        elif kind == "music":
            line.expect_args(1)
            echo = line.option("echo", to_pair)  # delay,feedback
            mix = line.option("mix", to_pair)    # dry,wet
            level.add(kind, "LevelAudio", "O_LevelAudio", (0.0, 0.0, 0.0), values={
                "Level": line.word_at(0, {"1", "2", "3"}),
                "Echo": True if echo else None,
                "EchoDelay": echo[0] if echo else None,
                "EchoFeedback": echo[1] if echo else None,
                "EchoDryLevel": mix[0] if mix else None,
                "EchoWetLevel": mix[1] if mix else None})
        elif kind == "effect":
            line.expect_args(3)
            level.add(kind, "Effect " + line.word_at(0), "O_Vfx", (line.number_at(1), line.number_at(2), 0.0),
                      values={"VFXName": line.word_at(0), "Looping": line.option("loop", to_bool)})
        elif kind == "checkpoint":
            line.expect_args(2)
            level.add(kind, "Checkpoint", "O_Checkpoint", (line.number_at(0), line.number_at(1), 0.0))
        elif kind == "mushroom":
            line.expect_args(2)
            level.add(kind, "Mushroom", "O_Mushroom", (line.number_at(0), line.number_at(1), 0.0), values={
                "Cooldown": line.option("cooldown", float)})
        elif kind == "beetle":
            line.expect_args(4)
            direction = line.word_at(2, {"along", "up"})
            distance = line.number_at(3) / UNIT
            if distance < 0.01:
                line.fail("a beetle travels at least one unit")
            level.add(kind, "Beetle", "O_Beetle", (line.number_at(0), line.number_at(1), 0.0), values={
                "Distance": distance, "Up": direction == "up",
                "InvertMoveDirection": line.option("invert", to_bool)})
        elif kind == "pickup":
            line.expect_args(3)
            ability = line.word_at(0, ABILITIES)
            level.add(kind, "Pickup " + ability, "O_Ability", (line.number_at(1), line.number_at(2), BIRD_DEPTH),
                      values={"Ability": ABILITIES[ability]})
        elif kind == "icicles":
            # The loader keeps the last icicle's timing for all of them: one line sets it per level.
            line.expect_args(0)
            icicle_values = {"DropDelay": line.option("delay", float), "Gravity": line.option("gravity", float),
                             "Trigger": line.option("trigger", to_pair), "Hitbox": line.option("hitbox", to_pair)}
        elif kind == "icicle":
            line.expect_args(2)
            level.add(kind, "O_FallingIce", "O_FallingIce", (line.number_at(0), line.number_at(1), 0.0), values=icicle_values)
        elif kind == "scenery":
            line.expect_args(6)
            layer = line.word_at(0, LAYERS)
            x, y, width, height = (line.number_at(2 + i) for i in range(4))
            level.add(kind, "Scenery " + os.path.basename(line.word_at(1)), "O_Parallax", (x, y, line.option("z", float, 0.0)), values={
                "Tag": LAYERS[layer],
                "Sprite": {"texturePath": line.word_at(1), "size": [width, height], "pivot": [0.5, 0.5]}})
        elif kind == "trigger":
            line.expect_args(5)
            x0, y0, x1, y1 = area(line, 1)
            level.add(kind, "Trigger %s" % line.word_at(0), "O_Trigger", (x0, y0, 0.0), ((x1 - x0) / UNIT, (y1 - y0) / UNIT, BOX_DEPTH),
                      values={"Order": int(line.number_at(0))})
        elif kind == "event":
            read_event(level, line)
        else:
            line.fail("unknown object kind")
        line.check_options()
    if level.scene is None:
        raise SourceError(level.source + ": no scene line")
    add_terrain(level)
    check_level(level)
    return level


def tiles(start, end, tile):
    """Splits start..end into pieces of about tile units: (from, to) pairs, each but the last
    reaching TERRAIN_OVERLAP further, so that no seam shows between neighbours."""
    count = max(1, int(round((end - start) / tile)))
    size = (end - start) / count
    return [(start + i * size, start + (i + 1) * size + (TERRAIN_OVERLAP if i < count - 1 else 0.0)) for i in range(count)]


def add_terrain(level):
    """Lays the level's terrain pictures over its boxes, so that a moved box takes its art along."""
    if not level.boxes:
        return
    if level.terrain is None:
        raise SourceError("%s: a level with boxes names its terrain style (terrain %s)" % (level.source, "|".join(sorted(TERRAIN_STYLES))))
    style = TERRAIN_STYLES[level.terrain]

    def piece(part, x0, y0, x1, y1):
        # A sprite's translation is its top-left corner; it extends right and down.
        path = "sprites/terrain/S_TR_%s_%s.dds" % (style, part)
        level.add("terrain", "Terrain %s" % part, "O_Parallax", (x0, y1, TERRAIN_DEPTHS[part]), values={
            "Tag": LAYERS["middle"], "Sprite": {"texturePath": path, "size": [x1 - x0, y1 - y0], "pivot": [0.5, 0.5]}})

    for kind, (x0, y0, x1, y1) in level.boxes:
        if kind in ("wall", "solid"):
            columns = tiles(x0, x1, TERRAIN_TILE)
            # Rows from the top down, so the overlap of each row lies under the one below it.
            for top, bottom in ((y1 - (a - y0), y1 - (b - y0)) for a, b in tiles(y0, y1, TERRAIN_TILE)):
                for left, right in columns:
                    piece("Face", left, max(y0, bottom), right, top)
            for left, right in columns:
                piece("Top", left, max(y0, y1 - TERRAIN_TOP_HEIGHT), right, y1)
        elif kind == "oneway":
            for left, right in tiles(x0, x1, TERRAIN_LEDGE_TILE):
                piece("Ledge", left, y0, right, y1)
        elif kind == "trap":
            for left, right in tiles(x0, x1, TERRAIN_TRAP_TILE):
                piece("Trap", left, y0, right, y1)


def read_event(level, line):
    order = int(line.number_at(0))
    if order == 0:
        line.fail("an event's order is not 0")
    what = line.word_at(1, {"foxsneak", "foxattack", "exit", "prompt", "cutscene", "bars"})
    values = {"Order": order}
    position = (0.0, 0.0, 0.0)
    if what in ("foxsneak", "foxattack"):
        line.expect_args(5)
        position = (line.number_at(2), line.number_at(3), line.number_at(4))
        values["GoingLeft"] = line.option("left", to_bool)
    if what == "foxsneak":
        values.update(Flag=1, InBackground=line.option("background", to_bool), AnimationSpeed=line.option("speed", float, 1.0))
    elif what == "foxattack":
        values.update(Flag=2, Speed=line.option("speed", float), Duration=line.option("duration", float), Delay=line.option("delay", float))
        if not values["Speed"] or not values["Duration"]:
            line.fail("a fox attack needs speed= and duration=")
    elif what == "exit":
        line.expect_args(3)
        values.update(Flag=3, LevelPath=line.word_at(2))
    elif what == "prompt":
        line.expect_args(3)
        values.update(Flag=4, Ability=PROMPTS[line.word_at(2, PROMPTS)])
    elif what == "cutscene":
        line.expect_args(3)
        values.update(Flag=5, Cutscene=CUTSCENES[line.word_at(2, CUTSCENES)])
    elif what == "bars":
        line.expect_args(2)
        values.update(Flag=6, Duration=line.option("slide", float, 0.5))
    level.add("event", "Event %d %s" % (order, what), "O_Event", position, values=values)


def check_level(level):
    """What a level needs to be played: one bird, one camera area, triggers for its events."""
    definitions = [obj["object-definition"] for _, obj in level.objects]
    for needed in ("O_Player", "O_Camera"):
        if definitions.count(needed) != 1:
            raise SourceError("%s: needs exactly one %s object" % (level.source, needed))
    orders = lambda definition: {own["value"] for _, obj in level.objects if obj["object-definition"] == definition
                                 for own in obj["properties"] if own["name"] == "Order"}
    missing = orders("O_Event") - orders("O_Trigger")
    if missing:
        raise SourceError("%s: events without a trigger box: %s" % (level.source, sorted(missing)))


def write_definitions(game_folder):
    folder = os.path.join(game_folder, "definitions")
    os.makedirs(folder, exist_ok=True)
    for name, properties in DEFINITIONS.items():
        entries = [dict(entry, **{"description": "", "is-dynamic": False, "is-per-instance": True}) for entry in properties]
        write_json(os.path.join(folder, name + ".vro"), {"parent-object-definition": "", "properties": entries})


def write_level(game_folder, level):
    folder = os.path.join(game_folder, os.path.splitext(level.scene)[0] + ".leveldata")
    # Objects dropped from the source must not linger from an earlier run.
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    for key, obj in level.objects:
        write_json(os.path.join(folder, str(uuid.uuid5(UUID_NAMESPACE, key)).upper()), obj)


def write_json(path, value):
    with open(path, "w", encoding="utf-8") as file:
        json.dump(value, file, indent=1)
        file.write("\n")


def main(arguments):
    source_folder = HERE
    if arguments[:1] == ["--sources"] and len(arguments) > 1:
        source_folder = arguments[1]
        arguments = arguments[2:]
    if len(arguments) not in (1, 2):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    game_folder = arguments[0]
    sources = sorted(os.path.join(source_folder, name) for name in os.listdir(source_folder) if name.endswith(".level"))
    try:
        levels = [read_level(source) for source in sources]
    except SourceError as error:
        print("make_levels: " + str(error), file=sys.stderr)
        return 1
    write_definitions(game_folder)
    for level in levels:
        write_level(game_folder, level)
    if len(arguments) == 2:
        with open(arguments[1], "w", encoding="utf-8") as stamp:
            for level in levels:
                stamp.write("%s %d objects\n" % (level.scene, len(level.objects)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
