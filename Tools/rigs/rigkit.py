# Shared pieces of the model makers: a clean scene in centimetres, low-poly parts built from code,
# palette textures written as DDS, armatures, skinning, clips keyed frame by frame, and the FBX
# export the game's importer reads.
#
# Conventions (Blender's axes, one unit = one centimetre): z is up, characters face +x and are
# seen from -y, which is the game's side view once the importer turns z-up right-handed files into
# its y-up left-handed axes (Blender x, y, z become the game's x, z, y).
import datetime
import math
import os
import struct

import bpy
from mathutils import Euler, Matrix, Quaternion, Vector

FPS = 30
CELLS = 8            # palette cells per texture side
CELL_PIXELS = 8      # pixels per cell side at the top mip
TEXTURE_SIZE = CELLS * CELL_PIXELS
MIP_COUNT = 4        # down to one pixel per cell, so no mip mixes two cells


def reset_scene():
    bpy.ops.wm.read_factory_settings(use_empty=True)
    scene = bpy.context.scene
    scene.unit_settings.system = 'METRIC'
    scene.unit_settings.scale_length = 0.01  # the file unit is the centimetre, as the importer wants it
    scene.render.fps = FPS
    scene.render.fps_base = 1.0
    scene.frame_start = 0
    scene.frame_end = 0
    return scene


# ---------------------------------------------------------------------------------------------
# Palette textures

class Palette:
    """Named colours, one cell of the texture each; a cell may hold a top-to-bottom gradient."""

    def __init__(self, entries):
        if len(entries) > CELLS * CELLS:
            raise ValueError("too many palette cells")
        self.entries = [(name, tuple(top), tuple(rest[0]) if rest else tuple(top)) for name, top, *rest in entries]
        self.index = {name: i for i, (name, _, _) in enumerate(self.entries)}

    def uv(self, name, along=0.0):
        """The texture coordinate of a cell's centre; along (-1 top .. 1 bottom) walks its gradient."""
        i = self.index[name]
        column, row = i % CELLS, i // CELLS
        u = (column + 0.5) / CELLS
        from_top = (row + 0.5 + 0.35 * along) / CELLS
        return (u, 1.0 - from_top)  # Blender's v runs up from the image's bottom row

    def mip_pixels(self, size):
        cell = size // CELLS
        rows = []
        for y in range(size):
            row = bytearray()
            for x in range(size):
                i = (y // cell) * CELLS + x // cell
                if i < len(self.entries):
                    _, top, bottom = self.entries[i]
                    t = ((y % cell) + 0.5) / cell
                    colour = [round(top[c] + (bottom[c] - top[c]) * t) for c in range(3)]
                else:
                    colour = [255, 0, 255]
                row += bytes(colour + [255])
            rows.append(bytes(row))
        return b"".join(rows)


def write_dds_rgba(path, palette):
    """An uncompressed RGBA8 DDS (legacy header with channel masks) with its first mips."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    size = TEXTURE_SIZE
    flags = 0x1 | 0x2 | 0x4 | 0x8 | 0x1000 | 0x20000  # caps, height, width, pitch, pixel format, mip count
    pixel_format = struct.pack("<8I", 32, 0x41, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000)
    caps = 0x1000 | 0x8 | 0x400000  # texture, complex, mipmap
    header = struct.pack("<7I", 124, flags, size, size, size * 4, 0, MIP_COUNT) + b"\0" * 44 + pixel_format
    header += struct.pack("<5I", caps, 0, 0, 0, 0)
    data = b"".join(palette.mip_pixels(size >> level) for level in range(MIP_COUNT))
    temporary = path + ".part"
    with open(temporary, "wb") as handle:
        handle.write(b"DDS " + header + data)
    os.replace(temporary, path)


# ---------------------------------------------------------------------------------------------
# Low-poly parts

def _newell(points):
    normal = Vector((0.0, 0.0, 0.0))
    for i, a in enumerate(points):
        b = points[(i + 1) % len(points)]
        normal.x += (a.y - b.y) * (a.z + b.z)
        normal.y += (a.z - b.z) * (a.x + b.x)
        normal.z += (a.x - b.x) * (a.y + b.y)
    return normal


def ellipsoid(radii, segments=8, rings=6):
    """A UV sphere scaled by radii, poles on z."""
    rx, ry, rz = radii
    vertices = [(0.0, 0.0, -rz)]
    for ring in range(1, rings):
        polar = math.pi * ring / rings
        for step in range(segments):
            azimuth = 2 * math.pi * step / segments
            vertices.append((rx * math.sin(polar) * math.cos(azimuth), ry * math.sin(polar) * math.sin(azimuth),
                             -rz * math.cos(polar)))
    vertices.append((0.0, 0.0, rz))
    top = len(vertices) - 1
    faces = []
    for step in range(segments):
        faces.append((0, 1 + (step + 1) % segments, 1 + step))
    for ring in range(rings - 2):
        base = 1 + ring * segments
        for step in range(segments):
            a, b = base + step, base + (step + 1) % segments
            faces.append((a, b, b + segments, a + segments))
    base = 1 + (rings - 2) * segments
    for step in range(segments):
        faces.append((base + step, base + (step + 1) % segments, top))
    return vertices, faces


def box(minimum, maximum):
    x0, y0, z0 = minimum
    x1, y1, z1 = maximum
    vertices = [(x0, y0, z0), (x1, y0, z0), (x1, y1, z0), (x0, y1, z0),
                (x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)]
    faces = [(0, 3, 2, 1), (4, 5, 6, 7), (0, 1, 5, 4), (1, 2, 6, 5), (2, 3, 7, 6), (3, 0, 4, 7)]
    return vertices, faces


def frustum(start, end, start_radius, end_radius, segments=6, start_cap=True, end_cap=True, squash=1.0):
    """A tapered tube from start to end; a radius of 0 closes that end in a point."""
    start, end = Vector(start), Vector(end)
    axis = (end - start).normalized()
    side = axis.orthogonal().normalized()
    other = axis.cross(side)
    vertices, faces = [], []
    rings = []
    for centre, radius in ((start, start_radius), (end, end_radius)):
        if radius <= 0.0:
            rings.append([len(vertices)])
            vertices.append(tuple(centre))
            continue
        ring = []
        for step in range(segments):
            angle = 2 * math.pi * step / segments
            ring.append(len(vertices))
            vertices.append(tuple(centre + (side * math.cos(angle) + other * math.sin(angle) * squash) * radius))
        rings.append(ring)
    a, b = rings
    if len(a) == 1:
        faces += [(a[0], b[(i + 1) % segments], b[i]) for i in range(segments)]
    elif len(b) == 1:
        faces += [(a[i], a[(i + 1) % segments], b[0]) for i in range(segments)]
    else:
        faces += [(a[i], a[(i + 1) % segments], b[(i + 1) % segments], b[i]) for i in range(segments)]
        if start_cap:
            faces.append(tuple(reversed(a)))
        if end_cap:
            faces.append(tuple(b))
    return vertices, faces


def dome(radii, segments=10, rings=4):
    """The upper half of an ellipsoid on a flat floor at z = 0."""
    rx, ry, rz = radii
    vertices = [(0.0, 0.0, 0.0)]
    for ring in range(rings):
        polar = math.pi / 2 * (1 - ring / rings)
        for step in range(segments):
            azimuth = 2 * math.pi * step / segments
            vertices.append((rx * math.sin(polar) * math.cos(azimuth), ry * math.sin(polar) * math.sin(azimuth),
                             rz * math.cos(polar)))
    vertices.append((0.0, 0.0, rz))
    top = len(vertices) - 1
    faces = [(0, 1 + (step + 1) % segments, 1 + step) for step in range(segments)]
    for ring in range(rings - 1):
        base = 1 + ring * segments
        faces += [(base + step, base + (step + 1) % segments, base + segments + (step + 1) % segments,
                   base + segments + step) for step in range(segments)]
    base = 1 + (rings - 1) * segments
    faces += [(base + step, base + (step + 1) % segments, top) for step in range(segments)]
    return vertices, faces


def ring(radius, tube, segments=12, sides=4):
    """A torus in the xz plane round the origin."""
    vertices, faces = [], []
    for step in range(segments):
        angle = 2 * math.pi * step / segments
        centre = Vector((radius * math.cos(angle), 0.0, radius * math.sin(angle)))
        outward = centre.normalized()
        for side in range(sides):
            turn = 2 * math.pi * side / sides
            vertices.append(tuple(centre + (outward * math.cos(turn) + Vector((0, 1, 0)) * math.sin(turn)) * tube))
    for step in range(segments):
        for side in range(sides):
            a = step * sides + side
            b = step * sides + (side + 1) % sides
            c = ((step + 1) % segments) * sides + (side + 1) % sides
            d = ((step + 1) % segments) * sides + side
            faces.append((a, b, c, d))
    return vertices, faces


def slab(outline, thickness):
    """A flat plate: an outline in the xz plane (counter-clockwise with x right and z up),
    extruded by thickness along y."""
    half = thickness / 2.0
    n = len(outline)
    vertices = [(a, offset, b) for offset in (-half, half) for a, b in outline]
    faces = [tuple(range(n)), tuple(range(2 * n - 1, n - 1, -1))]
    faces += [(i, n + i, n + (i + 1) % n, (i + 1) % n) for i in range(n)]
    return vertices, faces


def _outward(points, faces):
    """The faces, all turned outward whatever the shape and its placement (a mirror turns faces
    inside out); a part whose faces disagree on their winding is a mistake in its shape."""
    faces = [tuple(f) for f in faces]
    volume = 0.0
    for face in faces:
        for k in range(1, len(face) - 1):
            volume += points[face[0]].dot(points[face[k]].cross(points[face[k + 1]]))
    if volume < 0.0:
        faces = [tuple(reversed(f)) for f in faces]
    edges = set()
    for face in faces:
        for k, i in enumerate(face):
            edge = (i, face[(k + 1) % len(face)])
            if edge in edges:
                raise ValueError("a part's faces do not agree on their winding")
            edges.add(edge)
    return faces


class Part:
    def __init__(self, vertices, faces, colour, weights, smooth, along):
        self.vertices = vertices
        self.faces = faces
        self.colour = colour
        self.weights = weights
        self.smooth = smooth
        self.along = along


class MeshBuilder:
    """Collects parts; each part keeps its own vertices, colour cell and skin weights."""

    def __init__(self, palette, turn=None):
        self.palette = palette
        self.turn = turn.to_4x4() if turn is not None else Matrix.Identity(4)
        self.parts = []

    def add(self, shape, colour, bone=None, transform=None, smooth=True, weights=None, along=None):
        """One part: colour a palette cell (or a choice by face normal), bound wholly to bone or
        by weights(point) -> [(bone, weight)]; along(point) walks the cell's gradient."""
        vertices, faces = shape
        matrix = self.turn @ (transform if transform is not None else Matrix.Identity(4))
        points = [matrix @ Vector(v) for v in vertices]
        if weights is None:
            weights = lambda _point, name=bone: [(name, 1.0)]
        else:
            weights = self._in_authored_axes(weights)
        if along is not None:
            along = self._in_authored_axes(along)
        self.parts.append(Part(points, _outward(points, faces), colour, weights, smooth, along))
        return self

    def _in_authored_axes(self, function):
        """A function of a point as authored, for the point as turned."""
        back = self.turn.inverted()
        return lambda point: function(back @ point)

    def triangle_count(self):
        return sum(len(f) - 2 for part in self.parts for f in part.faces)

    def build(self, name, material_name):
        """A mesh whose faces wind clockwise seen from outside in the game's left-handed axes.

        The importer keeps the polygon order while it mirrors the axes, so the counter-clockwise
        faces Blender makes would reach the renderer back to front; each face is written reversed
        and keeps the outward normals as custom normals.
        """
        positions, polygons, loop_normals, loop_uvs, skin = [], [], [], [], []
        for part in self.parts:
            base = len(positions)
            positions += [tuple(p) for p in part.vertices]
            face_normals = [_newell([part.vertices[i] for i in f]) for f in part.faces]
            vertex_normals = [Vector((0.0, 0.0, 0.0)) for _ in part.vertices]
            for face, normal in zip(part.faces, face_normals):
                for i in face:
                    vertex_normals[i] += normal
            for face, normal in zip(part.faces, face_normals):
                order = list(reversed(face))
                polygons.append(tuple(base + i for i in order))
                # A part's colour is a cell name, or a choice made from each face's outward normal.
                colour = part.colour(normal.normalized()) if callable(part.colour) else part.colour
                for i in order:
                    chosen = vertex_normals[i] if part.smooth else normal
                    loop_normals.append(tuple(chosen.normalized()))
                    along = part.along(part.vertices[i]) if part.along else 0.0
                    loop_uvs.append(self.palette.uv(colour, along))
            skin += [part.weights(p) for p in part.vertices]

        mesh = bpy.data.meshes.new(name)
        mesh.from_pydata(positions, [], polygons)
        uv_layer = mesh.uv_layers.new(name="UVMap")
        for loop_index, uv in enumerate(loop_uvs):
            uv_layer.data[loop_index].uv = uv
        for polygon in mesh.polygons:
            polygon.use_smooth = True
        mesh.use_auto_smooth = True
        mesh.normals_split_custom_set(loop_normals)
        mesh.update()
        material = bpy.data.materials.get(material_name) or bpy.data.materials.new(material_name)
        mesh.materials.append(material)
        obj = bpy.data.objects.new(name, mesh)
        bpy.context.collection.objects.link(obj)
        return obj, skin


# ---------------------------------------------------------------------------------------------
# Armatures, skinning and clips

def make_armature(name, bones, turn=None):
    """bones: (name, parent, head, tail) in centimetres; the first one is the single root.
    turn (a 3x3 rotation) turns the authored character to the facing its file needs."""
    turn = turn if turn is not None else Matrix.Identity(3)
    data = bpy.data.armatures.new(name)
    rig = bpy.data.objects.new(name, data)
    bpy.context.collection.objects.link(rig)
    bpy.context.view_layer.objects.active = rig
    bpy.ops.object.mode_set(mode='EDIT')
    for bone_name, parent, head, tail in bones:
        bone = data.edit_bones.new(bone_name)
        bone.head, bone.tail = turn @ Vector(head), turn @ Vector(tail)
        bone.roll = 0.0
        if parent:
            bone.parent = data.edit_bones[parent]
            bone.use_connect = False
    bpy.ops.object.mode_set(mode='OBJECT')
    return rig


def skin_to(obj, skin, rig):
    obj.parent = rig
    modifier = obj.modifiers.new("Armature", 'ARMATURE')
    modifier.object = rig
    groups = {bone.name: obj.vertex_groups.new(name=bone.name) for bone in rig.data.bones}
    for index, influences in enumerate(skin):
        total = sum(w for _, w in influences)
        for bone_name, weight in influences:
            if weight > 0.0:
                groups[bone_name].add([index], weight / total, 'REPLACE')


class Pose(dict):
    """bone name -> dict(rot=(x, y, z) degrees, loc=(x, y, z) cm, scale=(x, y, z)).

    All three are given in the armature's axes as they stand at the bone's parent: rotations
    turn about the bone's head (Euler XYZ), scale stretches along those axes (only for bones
    whose rest axes lie along the armature's).
    """

    def add(self, bone, rot=(0, 0, 0), loc=(0, 0, 0)):
        """Turns and moves a bone further than the pose has it already."""
        entry = self.setdefault(bone, {})
        entry["rot"] = tuple(a + b for a, b in zip(entry.get("rot", (0, 0, 0)), rot))
        entry["loc"] = tuple(a + b for a, b in zip(entry.get("loc", (0, 0, 0)), loc))
        return self

    def set(self, bone, rot=None, loc=None, scale=None):
        entry = self.setdefault(bone, {})
        if rot is not None:
            entry["rot"] = tuple(rot)
        if loc is not None:
            entry["loc"] = tuple(loc)
        if scale is not None:
            entry["scale"] = tuple(scale)
        return self


def blend(a, b, t):
    """Pose a turned toward pose b by t, channel by channel."""
    out = Pose()
    for bone in set(a) | set(b):
        ea, eb = a.get(bone, {}), b.get(bone, {})
        for key, identity in (("rot", (0, 0, 0)), ("loc", (0, 0, 0)), ("scale", (1, 1, 1))):
            va, vb = ea.get(key, identity), eb.get(key, identity)
            if va != identity or vb != identity:
                out.setdefault(bone, {})[key] = mix(va, vb, t)
    return out


def sequence(frame, keys):
    """Eases from pose to pose through keys, a list of (frame, pose) in frame order."""
    for (start, first), (end, second) in zip(keys, keys[1:]):
        if frame <= end:
            return blend(first, second, smooth((frame - start) / (end - start)) if frame > start else 0.0)
    return keys[-1][1]


def cycle_phases(frame, period, offsets):
    """(name, phase in radians) for limbs that take turns through one cycle of period frames."""
    base = 2 * math.pi * frame / period
    return [(name, base + 2 * math.pi * offset) for name, offset in offsets]


def _rest_rotations(rig):
    return {bone.name: bone.matrix_local.to_quaternion() for bone in rig.data.bones}


def _bone_scale(rest_rotation, turn_q, scale):
    """A scale along the authored armature axes, carried to the bone's own axes."""
    if tuple(scale) == (1.0, 1.0, 1.0):
        return (1.0, 1.0, 1.0)
    to_bone = (rest_rotation.inverted() @ turn_q).to_matrix()
    result = [0.0, 0.0, 0.0]
    for row in range(3):
        axis = max(range(3), key=lambda column: abs(to_bone[row][column]))
        if abs(abs(to_bone[row][axis]) - 1.0) > 1e-4:
            raise ValueError("scale on a bone whose axes are not the armature's")
        result[row] = scale[axis]
    return tuple(result)


def key_clip(rig, name, last_frame, pose_at, turn=None):
    """Keys every bone on every frame 0..last_frame from pose_at(frame) and makes it the rig's action.
    Poses are authored for the unturned character; turn carries them to the built one."""
    rest = _rest_rotations(rig)
    turn_q = turn.to_quaternion() if turn is not None else Quaternion()
    action = bpy.data.actions.new(name)
    rig.animation_data_create()
    rig.animation_data.action = action
    samples = {bone: {"loc": [], "rot": [], "scale": []} for bone in rest}
    for frame in range(last_frame + 1):
        pose = pose_at(frame)
        for bone, rest_rotation in rest.items():
            entry = pose.get(bone, {})
            rot = entry.get("rot", (0.0, 0.0, 0.0))
            delta = turn_q @ Euler([math.radians(a) for a in rot], 'XYZ').to_quaternion() @ turn_q.inverted()
            local = rest_rotation.inverted() @ delta @ rest_rotation
            previous = samples[bone]["rot"]
            if previous and Quaternion(previous[-1]).dot(local) < 0.0:
                local.negate()
            samples[bone]["rot"].append(tuple(local))
            moved = turn_q @ Vector(entry.get("loc", (0.0, 0.0, 0.0)))
            samples[bone]["loc"].append(tuple(rest_rotation.inverted() @ moved))
            samples[bone]["scale"].append(_bone_scale(rest_rotation, turn_q, entry.get("scale", (1.0, 1.0, 1.0))))
    for bone, channels in samples.items():
        for channel, path, width in (("loc", "location", 3), ("rot", "rotation_quaternion", 4), ("scale", "scale", 3)):
            for component in range(width):
                curve = action.fcurves.new('pose.bones["%s"].%s' % (bone, path), index=component, action_group=bone)
                values = channels[channel]
                curve.keyframe_points.add(len(values))
                coordinates = []
                for frame, value in enumerate(values):
                    coordinates += [float(frame), value[component]]
                curve.keyframe_points.foreach_set("co", coordinates)
                for point in curve.keyframe_points:
                    point.interpolation = 'LINEAR'
                curve.update()
    for pose_bone in rig.pose.bones:
        pose_bone.rotation_mode = 'QUATERNION'
    scene = bpy.context.scene
    scene.frame_start, scene.frame_end = 0, last_frame
    scene.frame_set(0)
    return action


def clear_pose(rig):
    if rig.animation_data:
        rig.animation_data.action = None
    for pose_bone in rig.pose.bones:
        pose_bone.rotation_mode = 'QUATERNION'
        pose_bone.location = (0.0, 0.0, 0.0)
        pose_bone.rotation_quaternion = (1.0, 0.0, 0.0, 0.0)
        pose_bone.scale = (1.0, 1.0, 1.0)
    bpy.context.scene.frame_set(0)


def _repeatable_exports():
    """The exporter stamps each file with the time and numbers its objects by Python's string hash
    (random per run unless PYTHONHASHSEED is set, see make_models.py) counted on across exports;
    a fixed stamp and a fresh count per file make the same scene give the same bytes."""
    from io_scene_fbx import export_fbx_bin, fbx_utils
    if not getattr(export_fbx_bin, "_fixed_time", False):
        header = export_fbx_bin.fbx_header_elements
        stamp = datetime.datetime(2024, 1, 1)
        export_fbx_bin.fbx_header_elements = lambda root, scene_data, time=None: header(root, scene_data, stamp)
        export_fbx_bin._fixed_time = True
    fbx_utils._keys_to_uuids.clear()
    fbx_utils._uuids_to_keys.clear()


def export_fbx(path, objects, animated, step=1.0):
    """Binary FBX 7.4, z up and +y forward as authored (no axis change baked in), centimetres."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    _repeatable_exports()
    for obj in bpy.context.scene.objects:
        obj.select_set(obj in objects)
    bpy.context.view_layer.objects.active = objects[0]
    bpy.ops.export_scene.fbx(
        filepath=path, use_selection=True, object_types={'ARMATURE', 'MESH'},
        axis_forward='Y', axis_up='Z', apply_unit_scale=True, apply_scale_options='FBX_SCALE_NONE',
        use_mesh_modifiers=False, mesh_smooth_type='OFF', use_tspace=False, use_custom_props=False,
        add_leaf_bones=False, primary_bone_axis='Y', secondary_bone_axis='X', armature_nodetype='NULL',
        bake_anim=animated, bake_anim_use_all_bones=False, bake_anim_use_nla_strips=False,
        bake_anim_use_all_actions=False, bake_anim_force_startend_keying=True, bake_anim_step=step,
        bake_anim_simplify_factor=1.0, path_mode='STRIP', embed_textures=False)


# ---------------------------------------------------------------------------------------------
# Small helpers for poses and shapes

def wave(frame, period, phase=0.0):
    """sin over a loop of period frames: the same value at frame 0 and frame period."""
    return math.sin(2.0 * math.pi * (frame / period + phase))


def smooth(t):
    t = min(max(t, 0.0), 1.0)
    return t * t * (3.0 - 2.0 * t)


def ramp(frame, start, end):
    """0 before start, 1 after end, eased in between."""
    if end <= start:
        return 1.0 if frame >= end else 0.0
    return smooth((frame - start) / (end - start))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def placed(location=(0, 0, 0), rotation=(0, 0, 0), scale=(1, 1, 1)):
    """A transform: scale, then rotate (degrees, XYZ), then move."""
    return (Matrix.Translation(location) @ Euler([math.radians(a) for a in rotation], 'XYZ').to_matrix().to_4x4()
            @ Matrix.Diagonal((scale[0], scale[1], scale[2], 1.0)))


def mirrored_y(matrix):
    """The same placement on the character's other side (y negated)."""
    flip = Matrix.Diagonal((1.0, -1.0, 1.0, 1.0))
    return flip @ matrix


# ---------------------------------------------------------------------------------------------
# A whole character: mesh, rig, texture, model file and clip files

class Character:
    def __init__(self, spec, content):
        """spec: a character module (NAME, MODEL, TEXTURES, MATERIAL, PALETTE, BONES, build_mesh,
        CLIPS, optional TURN); content: the game asset folder."""
        self.spec = spec
        self.content = content
        self.turn = getattr(spec, "TURN", None)
        reset_scene()
        self.rig = make_armature(spec.NAME, spec.BONES, self.turn)
        builder = MeshBuilder(spec.PALETTE, self.turn)
        spec.build_mesh(builder)
        self.triangles = builder.triangle_count()
        self.mesh, skin = builder.build(spec.MESH, spec.MATERIAL)
        skin_to(self.mesh, skin, self.rig)
        self.folder = os.path.dirname(spec.MODEL)

    def clip_path(self, clip_name):
        return self.folder + "/" + clip_name + ".fbx"

    def pose(self, clip):
        name, last_frame, _, pose_at = clip
        return key_clip(self.rig, name, last_frame, pose_at, self.turn)

    def write(self):
        for texture, palette in self.spec.TEXTURES:
            write_dds_rgba(os.path.join(self.content, texture), palette)
        clear_pose(self.rig)
        export_fbx(os.path.join(self.content, self.spec.MODEL), [self.rig, self.mesh], animated=False)
        self.samples = {}
        for clip in self.spec.CLIPS:
            self.pose(clip)
            # Long clips keep a key every other frame; the importer's linear keys fill the rest.
            export_fbx(os.path.join(self.content, self.clip_path(clip[0])), [self.rig], animated=True,
                       step=2.0 if clip[1] > 100 else 1.0)
            self.samples[clip[0]] = self.joint_heads(sorted({0, clip[1] // 2 + 1, clip[1]}))
        clear_pose(self.rig)

    def joint_heads(self, frames):
        """Where Blender puts each joint on the given frames (centimetres, Blender's axes)."""
        scene = bpy.context.scene
        heads = {}
        for frame in frames:
            scene.frame_set(frame)
            heads[str(frame)] = {bone.name.split(":")[-1]: [round(c, 1) for c in self.rig.matrix_world @ bone.head]
                                 for bone in self.rig.pose.bones}
        scene.frame_set(0)
        return heads

    def facts(self):
        return {
            "model": self.spec.MODEL,
            "textures": [texture for texture, _ in self.spec.TEXTURES],
            "joints": [name.split(":")[-1] for name, *_ in self.spec.BONES],
            "triangles": self.triangles,
            "clips": [{"name": name, "path": self.clip_path(name), "last_frame": last, "loops": loops, "fps": FPS,
                       "joint_heads": self.samples[name]}
                      for name, last, loops, _ in self.spec.CLIPS],
        }
