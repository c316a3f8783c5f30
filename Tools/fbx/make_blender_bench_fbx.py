# Writes the FBX import benchmark's second file through Blender's own exporter: a flat grid of
# 316 x 316 quads (199,712 triangles) skinned to a chain of 60 bones, with a 300-frame take in
# which a wave runs down the chain. Made as Tools/rigs makes the game's models (centimetres, the
# same export settings), so it is laid out as the files the game ships.
#
#   blender -b --factory-startup --python Tools/fbx/make_blender_bench_fbx.py -- <output file>
#
# The file is tens of megabytes and Blender is not needed to build the project: the benchmark
# runs this when Blender is there and the file is not.
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "rigs"))

import bpy  # noqa: E402
import rigkit  # noqa: E402

QUADS = 316                 # quads along each side of the grid
SIZE = 600.0                # centimetres along each side
BONES = 60                  # a chain along x, one bone per SIZE / BONES
LAST_FRAME = 299            # frames 0 to 299


def grid():
    step = SIZE / QUADS
    positions = [(-SIZE / 2 + step * column, -SIZE / 2 + step * row, 0.0)
                 for row in range(QUADS + 1) for column in range(QUADS + 1)]
    faces = []
    for row in range(QUADS):
        for column in range(QUADS):
            first = row * (QUADS + 1) + column
            faces.append((first, first + 1, first + QUADS + 2, first + QUADS + 1))
    mesh = bpy.data.meshes.new("Grid")
    mesh.from_pydata(positions, [], faces)
    uv_layer = mesh.uv_layers.new(name="UVMap")
    for polygon in mesh.polygons:
        for loop in polygon.loop_indices:
            x, y, _ = positions[mesh.loops[loop].vertex_index]
            uv_layer.data[loop].uv = (x / SIZE + 0.5, y / SIZE + 0.5)
    mesh.update()
    mesh.materials.append(bpy.data.materials.new("Grid"))
    obj = bpy.data.objects.new("Grid", mesh)
    bpy.context.collection.objects.link(obj)
    return obj, positions


def chain():
    length = SIZE / BONES
    bones = []
    for index in range(BONES):
        head = (-SIZE / 2 + length * index, 0.0, 0.0)
        tail = (head[0] + length, 0.0, 0.0)
        bones.append(("Chain%02d" % index, "Chain%02d" % (index - 1) if index else None, head, tail))
    return bones


def influences(positions):
    # Each vertex between the two bones nearest to it along the chain.
    length = SIZE / BONES
    skin = []
    for x, _, _ in positions:
        along = min(max((x + SIZE / 2) / length - 0.5, 0.0), BONES - 1.0)
        lower = min(int(along), BONES - 2)
        blend = along - lower
        skin.append([("Chain%02d" % lower, 1.0 - blend), ("Chain%02d" % (lower + 1), blend)])
    return skin


def pose_at(frame):
    pose = rigkit.Pose()
    for index in range(BONES):
        pose.set("Chain%02d" % index, rot=(0.0, 6.0 * math.sin(2 * math.pi * (frame / 100.0 - index / 20.0)), 0.0))
    return pose


def main():
    arguments = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
    if len(arguments) != 1:
        raise SystemExit("usage: blender -b --factory-startup --python make_blender_bench_fbx.py -- <output file>")
    output = os.path.abspath(arguments[0])
    rigkit.reset_scene()
    obj, positions = grid()
    rig = rigkit.make_armature("Chain", chain())
    rigkit.skin_to(obj, influences(positions), rig)
    rigkit.key_clip(rig, "Wave", LAST_FRAME, pose_at)
    rigkit.export_fbx(output, [rig, obj], animated=True)


main()
