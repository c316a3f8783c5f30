# Writes FBX test files (binary FBX 7.4) and a JSON file of the values the tests compare against,
# read back from Blender after building each scene. Two sets: the import library's files and the
# engine's model files.
#
#   blender -b --factory-startup --python Tools/fbx/make_test_fbx.py -- [<output folder>]
#   blender -b --factory-startup --python Tools/fbx/make_test_fbx.py -- models [<output folder>]
#
# Blender is needed only to regenerate the files; the files themselves are committed.
import json
import math
import os
import sys

import bpy
from mathutils import Matrix, Vector

ARGUMENTS = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
SET = ARGUMENTS.pop(0) if ARGUMENTS and ARGUMENTS[0] in ("importer", "models") else "importer"
DEFAULT_OUT = {"importer": "Tests/External/VRAFBXImporter/data", "models": "Tests/Engine/model/data"}[SET]
OUT = os.path.abspath(ARGUMENTS[0] if ARGUMENTS else DEFAULT_OUT)
TEXTURES = os.path.join(OUT, "textures")
FPS = 30
FIRST_FRAME, LAST_FRAME = 0, 30


def reset(scale_length):
    bpy.ops.wm.read_factory_settings(use_empty=True)
    scene = bpy.context.scene
    scene.unit_settings.system = 'METRIC'
    scene.unit_settings.scale_length = scale_length
    scene.render.fps = FPS
    scene.render.fps_base = 1.0
    scene.frame_start = FIRST_FRAME
    scene.frame_end = LAST_FRAME
    return scene


def export(name, **options):
    settings = dict(filepath=os.path.join(OUT, name), use_selection=False, add_leaf_bones=False,
                    bake_anim_use_all_actions=False, bake_anim_use_nla_strips=False,
                    bake_anim_simplify_factor=0.0, path_mode='RELATIVE', embed_textures=False,
                    mesh_smooth_type='FACE', use_tspace=False)
    settings.update(options)
    bpy.ops.export_scene.fbx(**settings)


def v3(vector):
    return [round(c, 5) for c in vector]


def texture(name, colour):
    os.makedirs(TEXTURES, exist_ok=True)
    image = bpy.data.images.new(name, 4, 4)
    image.pixels = list(colour) * 16
    image.filepath_raw = os.path.join(TEXTURES, name + ".png")
    image.file_format = 'PNG'
    image.save()
    return image


def material(name, colour, normal_map=False):
    mat = bpy.data.materials.new(name)
    mat.use_nodes = True
    nodes = mat.node_tree.nodes
    bsdf = nodes["Principled BSDF"]
    image_node = nodes.new("ShaderNodeTexImage")
    image_node.image = texture(name + "_D", colour)
    mat.node_tree.links.new(image_node.outputs["Color"], bsdf.inputs["Base Color"])
    if normal_map:
        normal_node = nodes.new("ShaderNodeTexImage")
        normal_node.image = texture(name + "_N", (0.5, 0.5, 1.0, 1.0))
        normal_node.image.colorspace_settings.name = 'Non-Color'
        map_node = nodes.new("ShaderNodeNormalMap")
        mat.node_tree.links.new(normal_node.outputs["Color"], map_node.inputs["Color"])
        mat.node_tree.links.new(map_node.outputs["Normal"], bsdf.inputs["Normal"])
    return mat


def cube(name, size, location=(0, 0, 0), stretch=None):
    bpy.ops.mesh.primitive_cube_add(size=size, location=location)
    obj = bpy.context.active_object
    obj.name = name
    obj.data.name = name
    if stretch:
        # Moves and stretches the mesh data itself, so that every axis has its own extent.
        scale, offset = stretch
        for vertex in obj.data.vertices:
            vertex.co = Vector([vertex.co[i] * scale[i] + offset[i] for i in range(3)])
    return obj


def mesh_facts(obj):
    mesh = obj.data
    return {"control_points": len(mesh.vertices), "polygons": len(mesh.polygons),
            "triangles": sum(len(p.vertices) - 2 for p in mesh.polygons),
            "local_min": v3([min(v.co[i] for v in mesh.vertices) for i in range(3)]),
            "local_max": v3([max(v.co[i] for v in mesh.vertices) for i in range(3)]),
            "world_min": v3([min((obj.matrix_world @ v.co)[i] for v in mesh.vertices) for i in range(3)]),
            "world_max": v3([max((obj.matrix_world @ v.co)[i] for v in mesh.vertices) for i in range(3)])}


def make_cubes(facts):
    # The same box three times: centimetres Y-up, metres Y-up, centimetres Z-up. Its mesh data spans
    # x -10..30, y -25..35, z 0..100 cm, so that each axis can be told apart after conversion.
    reset(0.01)
    cube("Cube", 1.0, stretch=((40, 60, 100), (10, 5, 50)))
    facts["cube"] = mesh_facts(bpy.data.objects["Cube"])
    export("cube_cm.fbx", bake_anim=False)
    export("cube_zup.fbx", bake_anim=False, axis_forward='Y', axis_up='Z')

    reset(1.0)
    cube("Cube", 1.0, stretch=((0.4, 0.6, 1.0), (0.1, 0.05, 0.5)))
    export("cube_m.fbx", bake_anim=False, apply_scale_options='FBX_SCALE_UNITS')


def make_two_materials(facts):
    reset(0.01)
    obj = cube("Crate", 100.0)
    red = material("Red", (1.0, 0.0, 0.0, 1.0))
    blue = material("Blue", (0.0, 0.0, 1.0, 1.0), normal_map=True)
    obj.data.materials.append(red)
    obj.data.materials.append(blue)
    # Top and bottom faces blue, the four sides red.
    for polygon in obj.data.polygons:
        polygon.material_index = 1 if abs(polygon.normal.z) > 0.5 else 0
    facts["materials"] = dict(mesh_facts(obj), names=["Red", "Blue"],
                              polygons_per_material=[sum(1 for p in obj.data.polygons if p.material_index == i)
                                                     for i in range(2)])
    export("two_materials.fbx", bake_anim=False)


BONES = [  # name, parent, head, tail (centimetres, Blender's Z-up)
    ("Rig:Hips", None, (0, 0, 100), (0, 0, 120)),
    ("Rig:Spine", "Rig:Hips", (0, 0, 120), (0, 0, 160)),
    ("Rig:Head", "Rig:Spine", (0, 0, 160), (0, 0, 180)),
    ("Rig:Arm_L", "Rig:Spine", (10, 0, 150), (40, 0, 150)),
    ("Rig:Arm_R", "Rig:Spine", (-10, 0, 150), (-40, 0, 150)),
]
SAMPLED_FRAMES = [0, 9, 10, 15, 19, 20, 30]


def column(name, radius, bottom, top, around, rings):
    # An open tube with a UV layer: dense enough to give the benchmark real work.
    vertices, faces = [], []
    for ring in range(rings + 1):
        z = bottom + (top - bottom) * ring / rings
        for step in range(around):
            angle = 2 * math.pi * step / around
            vertices.append((radius * math.cos(angle), radius * math.sin(angle), z))
    for ring in range(rings):
        for step in range(around):
            a, b = ring * around + step, ring * around + (step + 1) % around
            faces.append((a, b, b + around, a + around))
    mesh = bpy.data.meshes.new(name)
    mesh.from_pydata(vertices, [], faces)
    uv_layer = mesh.uv_layers.new(name="UVMap")
    for polygon in mesh.polygons:
        for loop_index in polygon.loop_indices:
            vertex = mesh.vertices[mesh.loops[loop_index].vertex_index]
            angle = math.atan2(vertex.co.y, vertex.co.x) % (2 * math.pi)
            uv_layer.data[loop_index].uv = (angle / (2 * math.pi), (vertex.co.z - bottom) / (top - bottom))
    mesh.update()
    obj = bpy.data.objects.new(name, mesh)
    bpy.context.collection.objects.link(obj)
    return obj


def make_armature(bones):
    armature_data = bpy.data.armatures.new("Rig")
    rig = bpy.data.objects.new("Rig", armature_data)
    bpy.context.collection.objects.link(rig)
    bpy.context.view_layer.objects.active = rig
    bpy.ops.object.mode_set(mode='EDIT')
    for name, parent, head, tail in bones:
        bone = armature_data.edit_bones.new(name)
        bone.head, bone.tail = head, tail
        if parent:
            bone.parent = armature_data.edit_bones[parent]
            bone.use_connect = False
    bpy.ops.object.mode_set(mode='OBJECT')
    return rig


def build_character():
    reset(0.01)
    rig = make_armature(BONES)

    body = column("Body", radius=15, bottom=100, top=180, around=48, rings=40)
    body.data.materials.append(material("Skin", (0.8, 0.6, 0.4, 1.0)))
    body.parent = rig
    modifier = body.modifiers.new("Armature", 'ARMATURE')
    modifier.object = rig
    groups = {name: body.vertex_groups.new(name=name) for name, *_ in BONES}
    for vertex in body.data.vertices:
        z = (body.matrix_world @ vertex.co).z
        if z < 120:
            groups["Rig:Hips"].add([vertex.index], 1.0, 'REPLACE')
        elif z < 160:
            t = (z - 120) / 40
            groups["Rig:Spine"].add([vertex.index], 1.0 - 0.5 * t, 'REPLACE')
            groups["Rig:Head"].add([vertex.index], 0.5 * t, 'REPLACE')
        else:
            groups["Rig:Head"].add([vertex.index], 1.0, 'REPLACE')

    # A socket on the left arm and an event that is raised from frame 10 to frame 19.
    socket = bpy.data.objects.new("Hand_skt", None)
    bpy.context.collection.objects.link(socket)
    socket.parent = rig
    socket.parent_type = 'BONE'
    socket.parent_bone = "Rig:Arm_L"
    socket.location = (0, 0, 0)
    event = bpy.data.objects.new("Step_evt", None)
    bpy.context.collection.objects.link(event)
    for frame, height in ((0, 0.0), (9, 0.0), (10, 1.0), (19, 1.0), (20, 0.0)):
        event.location = (0, 0, height)
        event.keyframe_insert("location", frame=frame)
    for curve in event.animation_data.action.fcurves:
        for key in curve.keyframe_points:
            key.interpolation = 'CONSTANT'

    # The take: the hips rise by 10 cm and the spine bends 90 degrees about its X axis.
    bpy.context.view_layer.objects.active = rig
    bpy.ops.object.mode_set(mode='POSE')
    hips, spine = rig.pose.bones["Rig:Hips"], rig.pose.bones["Rig:Spine"]
    for frame, rise, bend in ((0, 0.0, 0.0), (30, 10.0, 90.0)):
        hips.location = (0, rise, 0)  # bone space: Y runs along the bone, i.e. up
        spine.rotation_mode = 'XYZ'
        spine.rotation_euler = (math.radians(bend), 0, 0)
        hips.keyframe_insert("location", frame=frame)
        spine.keyframe_insert("rotation_euler", frame=frame)
    for curve in rig.animation_data.action.fcurves:
        for key in curve.keyframe_points:
            key.interpolation = 'LINEAR'
    bpy.ops.object.mode_set(mode='OBJECT')
    return rig, body, socket, event


def character_facts(rig, body, socket, event):
    scene = bpy.context.scene
    facts = {"mesh": mesh_facts(body), "joints": [], "frames": {}}
    for name, parent, head, tail in BONES:
        facts["joints"].append({"name": name, "parent": parent, "head": v3(rig.matrix_world @ Vector(head))})
    for frame in SAMPLED_FRAMES:
        scene.frame_set(frame)
        bpy.context.view_layer.update()
        facts["frames"][str(frame)] = {
            "heads": {name: v3(rig.matrix_world @ rig.pose.bones[name].head) for name, *_ in BONES},
            "tails": {name: v3(rig.matrix_world @ rig.pose.bones[name].tail) for name, *_ in BONES},
            "socket": v3(socket.matrix_world.translation),
            "event": v3(event.matrix_world.translation),
        }
    scene.frame_set(0)
    return facts


def make_character(facts):
    rig, body, socket, event = build_character()
    facts["character"] = character_facts(rig, body, socket, event)
    export("character.fbx", bake_anim=True)
    # The bare skeleton without a take.
    for obj in bpy.data.objects:
        obj.select_set(obj == rig)
    export("skeleton_noanim.fbx", bake_anim=False, use_selection=True)


# ---- The engine's model files ----------------------------------------------------------------
# Static meshes are exported with their axis change baked into the vertices (y up in the file),
# so that they stand upright when drawn from their control points; skinned ones keep Blender's
# default, their joints carry the axis change.

def matrix_rows(matrix):
    return [[round(matrix[row][column], 6) for column in range(4)] for row in range(4)]


def mesh_from_boxes(name, boxes):
    # One mesh object made of closed boxes (lo, hi corners, Blender axes), with a UV layer.
    vertices, faces = [], []
    for lo, hi in boxes:
        base = len(vertices)
        for corner in range(8):
            vertices.append(tuple(hi[i] if corner >> i & 1 else lo[i] for i in range(3)))
        # Outward-facing quads (counter-clockwise seen from outside, as Blender expects).
        for quad in ((0, 2, 3, 1), (4, 5, 7, 6), (0, 1, 5, 4), (2, 6, 7, 3), (0, 4, 6, 2), (1, 3, 7, 5)):
            faces.append(tuple(base + index for index in quad))
    mesh = bpy.data.meshes.new(name)
    mesh.from_pydata(vertices, [], faces)
    mesh.update()
    uv_layer = mesh.uv_layers.new(name="UVMap")
    corners = ((0.0, 0.0), (1.0, 0.0), (1.0, 1.0), (0.0, 1.0))
    for polygon in mesh.polygons:
        for corner, loop_index in enumerate(polygon.loop_indices):
            uv_layer.data[loop_index].uv = corners[corner]
    obj = bpy.data.objects.new(name, mesh)
    bpy.context.collection.objects.link(obj)
    return obj


def static_facts(objects):
    return [dict(mesh_facts(obj), name=obj.name, material=obj.data.materials[0].name) for obj in objects]


def make_box(facts):
    reset(0.01)
    box = mesh_from_boxes("Box", [((-50, -50, -50), (50, 50, 50))])
    box.data.materials.append(bpy.data.materials.new("Box"))
    facts["box"] = static_facts([box])
    export("box.fbx", bake_anim=False, bake_space_transform=True)


def make_two_meshes(facts):
    # Two objects side by side, each with its own material; their textures are written by the
    # engine's texture tool.
    reset(0.01)
    left = mesh_from_boxes("Left", [((-100, -20, 0), (-20, 20, 80))])
    left.data.materials.append(bpy.data.materials.new("LeftPaint"))
    right = mesh_from_boxes("Right", [((20, -20, 0), (100, 20, 40))])
    right.data.materials.append(bpy.data.materials.new("RightPaint"))
    facts["two_meshes"] = static_facts([left, right])
    export("two_meshes.fbx", bake_anim=False, bake_space_transform=True)


def make_five_meshes(facts):
    # One mesh more than a model holds.
    reset(0.01)
    objects = []
    for index in range(5):
        x = index * 30
        box = mesh_from_boxes("Part%d" % index, [((x, 0, 0), (x + 20, 20, 20))])
        box.data.materials.append(bpy.data.materials.new("Part%d" % index))
        objects.append(box)
    facts["five_meshes"] = static_facts(objects)
    export("five_meshes.fbx", bake_anim=False, bake_space_transform=True)


def bind(body, rig, weight_of_vertex):
    # Skins every vertex to the one bone weight_of_vertex names.
    body.parent = rig
    modifier = body.modifiers.new("Armature", 'ARMATURE')
    modifier.object = rig
    groups = {}
    for vertex in body.data.vertices:
        name = weight_of_vertex(vertex)
        if name not in groups:
            groups[name] = body.vertex_groups.new(name=name)
        groups[name].add([vertex.index], 1.0, 'REPLACE')


def key_rotations(rig, keys):
    # keys: frame -> {bone: (x, y, z) Euler degrees in the bone's own axes}; linear in between.
    bpy.context.view_layer.objects.active = rig
    bpy.ops.object.mode_set(mode='POSE')
    for frame, rotations in keys.items():
        for name, degrees in rotations.items():
            bone = rig.pose.bones[name]
            bone.rotation_mode = 'XYZ'
            bone.rotation_euler = [math.radians(d) for d in degrees]
            bone.keyframe_insert("rotation_euler", frame=frame)
    for curve in rig.animation_data.action.fcurves:
        for key in curve.keyframe_points:
            key.interpolation = 'LINEAR'
    bpy.ops.object.mode_set(mode='OBJECT')


ARM_BONES = [  # name, parent, head, tail (centimetres, Blender's Z-up)
    ("Rig:Base", None, (0, 0, 0), (0, 0, 90)),
    ("Rig:Arm", "Rig:Base", (10, 0, 95), (80, 0, 95)),
]
ARM_FRAMES = [0, 10, 15, 30]


def make_skinned(facts):
    # A post that stands still and an arm that swings 60 degrees in the x-z plane (Blender axes)
    # about its shoulder over the take.
    reset(0.01)
    rig = make_armature(ARM_BONES)
    body = mesh_from_boxes("Body", [((-10, -10, 0), (10, 10, 90)), ((10, -5, 90), (80, 5, 100))])
    body.data.materials.append(bpy.data.materials.new("Body"))
    bind(body, rig, lambda vertex: "Rig:Arm" if vertex.index >= 8 else "Rig:Base")
    key_rotations(rig, {0: {"Rig:Arm": (0, 0, 0)}, 30: {"Rig:Arm": (60, 0, 0)}})

    scene = bpy.context.scene
    result = {"joints": [{"name": name, "parent": parent, "rest_head": v3(rig.matrix_world @ Vector(head))}
                         for name, parent, head, tail in ARM_BONES],
              "rest_vertices": [v3(body.matrix_world @ v.co) for v in body.data.vertices],
              "frames": {}}
    for frame in ARM_FRAMES:
        scene.frame_set(frame)
        bpy.context.view_layer.update()
        depsgraph = bpy.context.evaluated_depsgraph_get()
        evaluated = body.evaluated_get(depsgraph)
        deformed = evaluated.to_mesh()
        skins = {}
        for name, *_ in ARM_BONES:
            # Blender's own skinning matrix: rest world space to posed world space (column vectors).
            pose_bone = rig.pose.bones[name]
            skin = rig.matrix_world @ pose_bone.matrix @ pose_bone.bone.matrix_local.inverted() @ rig.matrix_world.inverted()
            skins[name] = matrix_rows(skin)
        result["frames"][str(frame)] = {
            "skin": skins,
            "heads": {name: v3(rig.matrix_world @ rig.pose.bones[name].head) for name, *_ in ARM_BONES},
            "vertices": [v3(evaluated.matrix_world @ v.co) for v in deformed.vertices],
        }
        evaluated.to_mesh_clear()
    scene.frame_set(0)
    facts["skinned"] = result
    export("skinned.fbx", bake_anim=True)


def make_arm_take(facts):
    # A take for the arm alone, on a rig that has a joint the skinned model lacks and lacks the
    # model's post: names the model does not know are skipped, the post keeps its rest.
    reset(0.01)
    scene = bpy.context.scene
    scene.frame_end = 10
    rig = make_armature([("Rig:Arm", None, (10, 0, 95), (80, 0, 95)), ("Rig:Tail", "Rig:Arm", (80, 0, 95), (90, 0, 95))])
    key_rotations(rig, {0: {"Rig:Arm": (0, 0, 0), "Rig:Tail": (0, 0, 0)}, 10: {"Rig:Arm": (30, 0, 0), "Rig:Tail": (0, 0, 45)}})
    facts["arm_take"] = {"frames": 11, "joints": ["Rig:Arm", "Rig:Tail"]}
    export("arm_take.fbx", bake_anim=True)


def make_long_chain(facts, count):
    # A straight chain of more joints than the engine takes, beside a small unskinned tube (a
    # model needs a mesh); unskinned, so the file holds no skin cluster per joint.
    reset(0.01)
    length = 2.0
    make_armature([("Chain:Bone%03d" % i, "Chain:Bone%03d" % (i - 1) if i else None, (0, 0, i * length),
                    (0, 0, (i + 1) * length)) for i in range(count)])
    tube = column("Tube", radius=3, bottom=0, top=length, around=8, rings=1)
    tube.data.materials.append(bpy.data.materials.new("Tube"))
    facts["joints%d" % count] = {"joints": count}
    export("joints%d.fbx" % count, bake_anim=False)


def make_models(facts):
    make_box(facts)
    make_two_meshes(facts)
    make_five_meshes(facts)
    make_skinned(facts)
    make_arm_take(facts)
    make_long_chain(facts, 129)

def main():
    os.makedirs(OUT, exist_ok=True)
    facts = {"fps": FPS, "first_frame": FIRST_FRAME, "last_frame": LAST_FRAME}
    if SET == "models":
        make_models(facts)
    else:
        make_cubes(facts)
        make_two_materials(facts)
        make_character(facts)
    with open(os.path.join(OUT, "expected.json"), "w") as handle:
        json.dump(facts, handle, indent=1, sort_keys=True)


main()
