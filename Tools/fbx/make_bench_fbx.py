#!/usr/bin/env python3
# Writes the FBX file the import benchmark reads: a skinned character-like mesh of 200,000
# triangles (100,000 quads on a cylinder) bound to 60 bones, with a two-second take baked at
# 30 frames per second, laid out the way Blender's exporter writes binary FBX 7.4 (deflated
# arrays, normals by polygon vertex, indexed UVs, smoothing, edges, clusters, a take).
#   python3 Tools/fbx/make_bench_fbx.py <output file>
import math
import struct
import sys
import zlib
from array import array

RINGS, SEGMENTS = 400, 250           # quads up and around: 100,000 quads
RADIUS, HEIGHT = 20.0, 180.0          # centimetres
SPINE, LIMBS, LIMB_BONES = 20, 4, 10  # 20 + 4 x 10 = 60 bones
FRAMES = 61                           # frames 0 to 60
KTIME_PER_SECOND = 46186158000


def ids():
    next_id = 100000
    while True:
        next_id += 1
        yield next_id


new_id = ids()


class Record:
    # A scope record ends its (possibly empty) list of children with an empty record; readers
    # tell scopes from plain values by it.
    def __init__(self, name, *values):
        self.name, self.values, self.children, self.scope = name, [encode(v) for v in values], [], False

    def add(self, name, *values):
        child = Record(name, *values)
        self.children.append(child)
        return child

    def encode(self, offset):
        values = b"".join(self.values)
        body = self.name.encode() + values
        position = offset + 13 + len(body)
        for child in self.children:
            encoded = child.encode(position)
            body += encoded
            position += len(encoded)
        if self.children or self.scope:
            body += bytes(13)
            position += 13
        return struct.pack("<III", position, len(self.values), len(values)) + bytes([len(self.name)]) + body


class Raw(bytes):
    pass


def encode(value):
    if isinstance(value, Raw):
        return bytes(value)
    if isinstance(value, bool):
        return b"C" + struct.pack("<B", value)
    if isinstance(value, int):
        return b"I" + struct.pack("<i", value) if -2**31 <= value < 2**31 else b"L" + struct.pack("<q", value)
    if isinstance(value, float):
        return b"D" + struct.pack("<d", value)
    if isinstance(value, str):
        value = value.encode()
    if isinstance(value, bytes):
        return b"S" + struct.pack("<I", len(value)) + value
    if isinstance(value, array):
        code = {"d": "d", "f": "f", "i": "i", "q": "l"}[value.typecode]
        data = value.tobytes()
        packed = zlib.compress(data) if len(data) > 128 else data
        return code.encode() + struct.pack("<III", len(value), 1 if len(data) > 128 else 0, len(packed)) + packed
    raise TypeError(value)


def long(value):
    return Raw(b"L" + struct.pack("<q", value))


def name(text, kind):
    return text.encode() + b"\x00\x01" + kind.encode()


def properties(record, entries):
    table = record.add("Properties70")
    table.scope = True
    for entry in entries:
        table.add("P", *entry)


def vector(key, kind, flags, x, y, z):
    return (key, kind, "", flags, float(x), float(y), float(z))


def mesh():
    points = array("d")
    for ring in range(RINGS + 1):
        y = HEIGHT * ring / RINGS
        for segment in range(SEGMENTS):
            angle = 2 * math.pi * segment / SEGMENTS
            points.extend((RADIUS * math.cos(angle), y, RADIUS * math.sin(angle)))
    uvs = array("d")
    for ring in range(RINGS + 1):
        for segment in range(SEGMENTS + 1):
            uvs.extend((segment / SEGMENTS, ring / RINGS))
    polygons, uv_index, normals, edges = array("i"), array("i"), array("d"), array("i")
    for ring in range(RINGS):
        for segment in range(SEGMENTS):
            corners = [(ring, segment), (ring, segment + 1), (ring + 1, segment + 1), (ring + 1, segment)]
            for at, (r, s) in enumerate(corners):
                point = r * SEGMENTS + s % SEGMENTS
                polygons.append(point if at < 3 else ~point)
                uv_index.append(r * (SEGMENTS + 1) + s)
                angle = 2 * math.pi * s / SEGMENTS
                normals.extend((math.cos(angle), 0.0, math.sin(angle)))
            edges.extend((len(polygons) - 4, len(polygons) - 3))
    geometry = Record("Geometry", long(next(new_id)), name("Body", "Geometry"), "Mesh")
    properties(geometry, [])
    geometry.add("GeometryVersion", 124)
    geometry.add("Vertices", points)
    geometry.add("PolygonVertexIndex", polygons)
    geometry.add("Edges", edges)
    smoothing = geometry.add("LayerElementSmoothing", 0)
    smoothing.add("Version", 102)
    smoothing.add("Name", "")
    smoothing.add("MappingInformationType", "ByPolygon")
    smoothing.add("ReferenceInformationType", "Direct")
    smoothing.add("Smoothing", array("i", [0] * (RINGS * SEGMENTS)))
    normal = geometry.add("LayerElementNormal", 0)
    normal.add("Version", 101)
    normal.add("Name", "")
    normal.add("MappingInformationType", "ByPolygonVertex")
    normal.add("ReferenceInformationType", "Direct")
    normal.add("Normals", normals)
    uv = geometry.add("LayerElementUV", 0)
    uv.add("Version", 101)
    uv.add("Name", "UVMap")
    uv.add("MappingInformationType", "ByPolygonVertex")
    uv.add("ReferenceInformationType", "IndexToDirect")
    uv.add("UV", uvs)
    uv.add("UVIndex", uv_index)
    material = geometry.add("LayerElementMaterial", 0)
    material.add("Version", 101)
    material.add("Name", "")
    material.add("MappingInformationType", "AllSame")
    material.add("ReferenceInformationType", "IndexToDirect")
    material.add("Materials", array("i", [0]))
    layer = geometry.add("Layer", 0)
    layer.add("Version", 100)
    for kind in ("LayerElementNormal", "LayerElementUV", "LayerElementSmoothing", "LayerElementMaterial"):
        element = layer.add("LayerElement")
        element.add("Type", kind)
        element.add("TypedIndex", 0)
    return geometry


def bones():
    # (name, parent index or None, offset from the parent, bind position)
    result = []
    for index in range(SPINE):
        offset = (0.0, 0.0 if index == 0 else HEIGHT / SPINE, 0.0)
        result.append(("Rig:Spine%02d" % index, index - 1 if index else None, offset))
    for limb in range(LIMBS):
        angle = 2 * math.pi * (limb + 0.5) / LIMBS
        for index in range(LIMB_BONES):
            parent = (SPINE // 2 + limb * 2) if index == 0 else len(result) - 1
            offset = (RADIUS * math.cos(angle), 0.0, RADIUS * math.sin(angle)) if index == 0 else (0.0, 6.0, 0.0)
            result.append(("Rig:Limb%d_%02d" % (limb, index), parent, offset))
    positions = []
    for bone_name, parent, offset in result:
        base = positions[parent] if parent is not None else (0.0, 0.0, 0.0)
        positions.append(tuple(b + o for b, o in zip(base, offset)))
    return result, positions


def influences():
    # Each control point: two spine bones by height and one bone of the limb facing it.
    weights = {}
    for ring in range(RINGS + 1):
        height = ring / RINGS * (SPINE - 1)
        lower = min(int(height), SPINE - 2)
        blend = height - lower
        for segment in range(SEGMENTS):
            point = ring * SEGMENTS + segment
            limb = segment * LIMBS // SEGMENTS
            limb_bone = SPINE + limb * LIMB_BONES + min(ring * LIMB_BONES // (RINGS + 1), LIMB_BONES - 1)
            for bone, weight in ((lower, 0.7 * (1 - blend)), (lower + 1, 0.7 * blend), (limb_bone, 0.3)):
                if weight > 0:
                    weights.setdefault(bone, ([], []))
                    weights[bone][0].append(point)
                    weights[bone][1].append(weight)
    return weights


def translation_matrix(x, y, z):
    return array("d", [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1])


def main():
    output = sys.argv[1]
    objects, connections = Record("Objects"), Record("Connections")
    geometry = mesh()
    geometry_id = struct.unpack("<q", geometry.values[0][1:])[0]
    objects.children.append(geometry)

    mesh_model = next(new_id)
    model = objects.add("Model", long(mesh_model), name("Body", "Model"), "Mesh")
    model.add("Version", 232)
    properties(model, [("DefaultAttributeIndex", "int", "Integer", "", 0), ("InheritType", "enum", "", "", 1)])
    connections.add("C", "OO", long(mesh_model), long(0))
    connections.add("C", "OO", long(geometry_id), long(mesh_model))

    material = next(new_id)
    material_record = objects.add("Material", long(material), name("Skin", "Material"), "")
    material_record.add("ShadingModel", "Phong")
    properties(material_record, [])
    connections.add("C", "OO", long(material), long(mesh_model))

    rig = next(new_id)
    rig_attribute = next(new_id)
    rig_attribute_record = objects.add("NodeAttribute", long(rig_attribute), name("Rig", "NodeAttribute"), "Null")
    rig_attribute_record.add("TypeFlags", "Null")
    properties(rig_attribute_record, [])
    rig_model = objects.add("Model", long(rig), name("Rig", "Model"), "Null")
    rig_model.add("Version", 232)
    properties(rig_model, [("InheritType", "enum", "", "", 1)])
    connections.add("C", "OO", long(rig), long(0))
    connections.add("C", "OO", long(rig_attribute), long(rig))

    skin = next(new_id)
    deformer = objects.add("Deformer", long(skin), name("Rig", "Deformer"), "Skin")
    deformer.add("Version", 101)
    deformer.add("Link_DeformAcuracy", 50.0)
    properties(deformer, [])
    connections.add("C", "OO", long(skin), long(geometry_id))

    stack, layer = next(new_id), next(new_id)
    stop = KTIME_PER_SECOND * (FRAMES - 1) // 30
    stack_record = objects.add("AnimationStack", long(stack), name("Take", "AnimStack"), "")
    properties(stack_record, [("LocalStop", "KTime", "Time", "", long(stop)), ("ReferenceStop", "KTime", "Time", "", long(stop))])
    properties(objects.add("AnimationLayer", long(layer), name("Take", "AnimLayer"), ""), [])
    connections.add("C", "OO", long(layer), long(stack))
    key_times = array("q", [KTIME_PER_SECOND * frame // 30 for frame in range(FRAMES)])

    skeleton, positions = bones()
    weights = influences()
    bone_ids = []
    for index, (bone_name, parent, offset) in enumerate(skeleton):
        bone, attribute, cluster = next(new_id), next(new_id), next(new_id)
        bone_ids.append(bone)
        attribute_record = objects.add("NodeAttribute", long(attribute), name(bone_name, "NodeAttribute"), "LimbNode")
        attribute_record.add("TypeFlags", "Skeleton")
        properties(attribute_record, [("Size", "double", "Number", "", 3.3)])
        bone_model = objects.add("Model", long(bone), name(bone_name, "Model"), "LimbNode")
        bone_model.add("Version", 232)
        properties(bone_model, [vector("Lcl Translation", "Lcl Translation", "A+", *offset),
                                vector("Lcl Rotation", "Lcl Rotation", "A+", 0, 0, 0),
                                vector("Lcl Scaling", "Lcl Scaling", "A+", 1, 1, 1),
                                ("DefaultAttributeIndex", "int", "Integer", "", 0), ("InheritType", "enum", "", "", 1)])
        connections.add("C", "OO", long(bone), long(bone_ids[parent] if parent is not None else rig))
        connections.add("C", "OO", long(attribute), long(bone))

        indexes, values = weights.get(index, ([], []))
        sub = objects.add("Deformer", long(cluster), name(bone_name, "SubDeformer"), "Cluster")
        sub.add("Version", 100)
        sub.add("UserData", "", "")
        if indexes:
            sub.add("Indexes", array("i", indexes))
            sub.add("Weights", array("d", values))
        sub.add("Transform", translation_matrix(0, 0, 0))
        sub.add("TransformLink", translation_matrix(*positions[index]))
        sub.add("TransformAssociateModel", translation_matrix(0, 0, 0))
        connections.add("C", "OO", long(cluster), long(skin))
        connections.add("C", "OO", long(bone), long(cluster))

        channels = {"T": offset, "R": None, "S": (1.0, 1.0, 1.0)}
        for short, target in (("T", "Lcl Translation"), ("R", "Lcl Rotation"), ("S", "Lcl Scaling")):
            node = next(new_id)
            curve_node = objects.add("AnimationCurveNode", long(node), name(short, "AnimCurveNode"), "")
            properties(curve_node, [("d|" + axis, "Number", "", "A", 0.0) for axis in "XYZ"])
            connections.add("C", "OO", long(node), long(layer))
            connections.add("C", "OP", long(node), long(bone), target)
            for axis_index, axis in enumerate("XYZ"):
                if channels[short] is None:
                    keys = [15.0 * math.sin(2 * math.pi * frame / (FRAMES - 1) + index * 0.3 + axis_index) for frame in range(FRAMES)]
                else:
                    keys = [channels[short][axis_index]] * FRAMES
                curve = next(new_id)
                record = objects.add("AnimationCurve", long(curve), name("", "AnimCurve"), "")
                record.add("Default", 0.0)
                record.add("KeyVer", 4008)
                record.add("KeyTime", key_times)
                record.add("KeyValueFloat", array("f", keys))
                record.add("KeyAttrFlags", array("i", [24836]))
                record.add("KeyAttrDataFloat", array("f", [0.0, 0.0, 0.0, 0.0]))
                record.add("KeyAttrRefCount", array("i", [FRAMES]))
                connections.add("C", "OP", long(curve), long(node), "d|" + axis)

    header = Record("FBXHeaderExtension")
    header.add("FBXHeaderVersion", 1003)
    header.add("FBXVersion", 7400)
    header.add("Creator", "make_bench_fbx")
    settings = Record("GlobalSettings")
    settings.add("Version", 1000)
    properties(settings, [("UpAxis", "int", "Integer", "", 1), ("UpAxisSign", "int", "Integer", "", 1),
                          ("FrontAxis", "int", "Integer", "", 2), ("FrontAxisSign", "int", "Integer", "", 1),
                          ("CoordAxis", "int", "Integer", "", 0), ("CoordAxisSign", "int", "Integer", "", 1),
                          ("UnitScaleFactor", "double", "Number", "", 1.0), ("TimeMode", "enum", "", "", 6),
                          ("TimeSpanStart", "KTime", "Time", "", long(0)), ("TimeSpanStop", "KTime", "Time", "", long(stop)),
                          ("CustomFrameRate", "double", "Number", "", 30.0)])
    takes = Record("Takes")
    takes.add("Current", "")
    take = takes.add("Take", "Take")
    take.add("FileName", "Take.tak")
    take.add("LocalTime", long(0), long(stop))
    take.add("ReferenceTime", long(0), long(stop))

    data = b"Kaydara FBX Binary  \x00\x1a\x00" + struct.pack("<I", 7400)
    for record in (header, settings, objects, connections, takes):
        data += record.encode(len(data))
    data += bytes(13)
    with open(output, "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
