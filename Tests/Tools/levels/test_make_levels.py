#!/usr/bin/env python3
"""The level maker's terrain: every box gets its pictures, edge to edge, and they follow the box."""

import json
import os
import subprocess
import sys
import tempfile
import unittest

MAKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "Tools", "levels", "make_levels.py")
EDGE = 2.0  # how far a picture's outer edge may lie from its box's


def make(source_text):
    """Runs the maker on one source; returns (status, stderr, objects of the level)."""
    with tempfile.TemporaryDirectory() as folder:
        sources = os.path.join(folder, "sources")
        os.makedirs(sources)
        with open(os.path.join(sources, "test.level"), "w", encoding="utf-8") as file:
            file.write(source_text)
        game = os.path.join(folder, "game")
        run = subprocess.run([sys.executable, MAKER, "--sources", sources, game], capture_output=True, text=True)
        objects = []
        level = os.path.join(game, "levels", "test.leveldata")
        if run.returncode == 0:
            for name in sorted(os.listdir(level)):
                with open(os.path.join(level, name), encoding="utf-8") as file:
                    objects.append(json.load(file))
        return run.returncode, run.stderr, objects


def pieces(objects, part):
    """The (x0, y0, x1, y1, z) of every terrain sprite of that part, in world units."""
    found = []
    for obj in objects:
        sprite = next((own["value"] for own in obj["properties"] if own["name"] == "Sprite"), None)
        if sprite and sprite["texturePath"].startswith("sprites/terrain/") and sprite["texturePath"].endswith("_%s.dds" % part):
            x, top, z = obj["translation"]
            width, height = sprite["size"]
            tag = next(own["value"] for own in obj["properties"] if own["name"] == "Tag")
            assert tag == "LG", tag
            found.append((x, top - height, x + width, top, z, sprite["texturePath"]))
    return found


HEAD = """scene levels/test.vrs
camera -1000 -1000 3000 2000
player 0 100
"""
BOXES = """wall    {x0} {y0} {x1} {y1}
oneway  1200 400 1500 440
trap    1600 -100 1900 0
"""


def source(style="forest", x0=-500.0, y0=-400.0, x1=1000.0, y1=0.0):
    return HEAD + ("terrain %s\n" % style if style else "") + BOXES.format(x0=x0, y0=y0, x1=x1, y1=y1)


def bounds(boxes):
    return (min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes), max(b[3] for b in boxes))


def covered(boxes, x, y):
    return any(b[0] <= x <= b[2] and b[1] <= y <= b[3] for b in boxes)


class TerrainTests(unittest.TestCase):
    def assertEdges(self, found, expected):
        for got, want in zip(found, expected):
            self.assertLessEqual(abs(got - want), EDGE, "%s against the box %s" % (found, expected))

    def test_every_box_kind_has_its_pictures_edge_to_edge(self):
        status, error, objects = make(source())
        self.assertEqual(status, 0, error)
        faces = pieces(objects, "Face")
        self.assertGreater(len(faces), 1)
        self.assertEdges(bounds(faces), (-500, -400, 1000, 0))
        # No hole: every point of the box lies under some tile.
        for i in range(31):
            for j in range(9):
                self.assertTrue(covered(faces, -500 + 1500 * i / 30, -400 + 400 * j / 8), (i, j))
        tops = pieces(objects, "Top")
        self.assertEdges(bounds(tops), (-500, -64, 1000, 0))
        self.assertTrue(all(t[4] < f[4] for t in tops for f in faces), "the top lies in front of the face")
        self.assertTrue(all(f[4] > 50 for f in faces + tops), "the bird at z 50 stays in front")
        ledges = pieces(objects, "Ledge")
        self.assertEqual(len(ledges), 1)
        self.assertEdges(ledges[0][:4], (1200, 400, 1500, 440))
        traps = pieces(objects, "Trap")
        self.assertEdges(bounds(traps), (1600, -100, 1900, 0))
        self.assertTrue(all("S_TR_Forest_" in p[5] for p in faces + tops + ledges + traps))

    def test_the_style_picks_the_pictures(self):
        for style, name in (("cave", "Cave"), ("final", "Final")):
            status, error, objects = make(source(style))
            self.assertEqual(status, 0, error)
            paths = {p[5] for part in ("Face", "Top", "Ledge", "Trap") for p in pieces(objects, part)}
            self.assertEqual(paths, {"sprites/terrain/S_TR_%s_%s.dds" % (name, part) for part in ("Face", "Top", "Ledge", "Trap")})

    def test_a_moved_box_takes_its_art_along(self):
        _, _, before = make(source())
        _, _, after = make(source(x0=0.0, y0=-300.0, x1=1500.0, y1=100.0))
        moved = [(p[0] + 500, p[1] + 100, p[2] + 500, p[3] + 100) for p in pieces(before, "Face") + pieces(before, "Top")]
        now = [p[:4] for p in pieces(after, "Face") + pieces(after, "Top")]
        self.assertEqual(len(moved), len(now))
        for old, new in zip(moved, now):
            self.assertEdges(new, old)

    def test_a_level_with_boxes_names_its_style(self):
        status, error, _ = make(source(style=None))
        self.assertNotEqual(status, 0)
        self.assertIn("test.level: a level with boxes names its terrain style", error)
        status, error, _ = make(source(style="jungle"))
        self.assertNotEqual(status, 0)
        self.assertIn("test.level:4: terrain: jungle is not one of cave, final, forest", error)


if __name__ == "__main__":
    unittest.main()
