#!/usr/bin/env python3
"""Cooks one HLSL shader into the file the GPU layer loads.

HLSL is compiled to SPIR-V by glslangValidator, the stage varyings are given fixed locations by
semantic (HLSL matches a vertex shader's outputs to a pixel shader's inputs by semantic, GL by
location), and spirv-cross writes GLSL 4.50. The cooked file is a short text header of what
binding needs (vertex inputs by semantic, constant-buffer slots, the sampler slot each texture
slot is read with) followed by the GLSL.

usage: cook_shader.py <glslangValidator> <spirv-cross> <input.hlsl> <output.cso> <vertex|pixel>
"""
import os
import re
import struct
import subprocess
import sys
import tempfile

OP_NAME = 5
OP_ENTRY_POINT = 15
OP_TYPE_INT = 21
OP_TYPE_FLOAT = 22
OP_TYPE_VECTOR = 23
OP_TYPE_IMAGE = 25
OP_TYPE_SAMPLER = 26
OP_TYPE_POINTER = 32
OP_VARIABLE = 59
OP_LOAD = 61
OP_DECORATE = 71
OP_SAMPLED_IMAGE = 86
OP_DECORATE_STRING = 5632

DECORATION_BLOCK = 2
DECORATION_BUILTIN = 11
DECORATION_LOCATION = 30
DECORATION_BINDING = 33
DECORATION_USER_SEMANTIC = 5635

STORAGE_UNIFORM_CONSTANT = 0
STORAGE_INPUT = 1
STORAGE_UNIFORM = 2
STORAGE_OUTPUT = 3

# Locations of the values passed from the vertex to the pixel stage, by semantic.
VARYING_BASES = {
    "TEXCOORD": (0, 16),
    "COLOR": (16, 4),
    "NORMAL": (20, 2),
    "TANGENT": (22, 2),
    "BINORMAL": (24, 2),
    "POSITION": (26, 2),
    "BONES": (28, 1),
    "BLENDINDICES": (28, 1),
    "WEIGHTS": (29, 1),
    "BLENDWEIGHT": (29, 1),
}


class CookError(Exception):
    pass


def read_string(words):
    raw = b"".join(struct.pack("<I", word) for word in words)
    return raw.split(b"\0", 1)[0].decode("utf-8")


def string_word_count(text):
    return len(text.encode("utf-8")) // 4 + 1


def split_semantic(semantic):
    match = re.fullmatch(r"(.*?)(\d*)", semantic.upper())
    return match.group(1), int(match.group(2) or 0)


class Module:
    def __init__(self, data):
        if len(data) % 4 != 0:
            raise CookError("SPIR-V size is not a multiple of 4")
        self.words = list(struct.unpack("<%dI" % (len(data) // 4), data))
        if self.words[0] != 0x07230203:
            raise CookError("not a SPIR-V module")
        self.interface = []
        self.variables = {}  # id -> (type id, storage class)
        self.pointers = {}  # id -> (storage class, pointee)
        self.types = {}  # id -> (opcode, operands)
        self.decorations = {}  # id -> {decoration: [(word index of first literal, literals)]}
        self.semantics = {}
        self.loads = {}  # result id -> pointer id
        self.sampled = []  # (image load id, sampler load id)
        index = 5
        while index < len(self.words):
            count = self.words[index] >> 16
            opcode = self.words[index] & 0xFFFF
            if count == 0:
                raise CookError("malformed SPIR-V instruction")
            operands = self.words[index + 1:index + count]
            self.read(opcode, operands, index + 1)
            index += count

    def read(self, opcode, operands, first):
        if opcode == OP_ENTRY_POINT:
            name_words = string_word_count(read_string(operands[2:]))
            self.interface = operands[2 + name_words:]
        elif opcode == OP_VARIABLE:
            self.variables[operands[1]] = (operands[0], operands[2])
        elif opcode == OP_TYPE_POINTER:
            self.pointers[operands[0]] = (operands[1], operands[2])
        elif opcode in (OP_TYPE_INT, OP_TYPE_FLOAT, OP_TYPE_VECTOR, OP_TYPE_IMAGE, OP_TYPE_SAMPLER):
            self.types[operands[0]] = (opcode, operands[1:])
        elif opcode == OP_DECORATE:
            target, decoration = operands[0], operands[1]
            self.decorations.setdefault(target, {}).setdefault(decoration, []).append((first + 2, operands[2:]))
        elif opcode == OP_DECORATE_STRING and operands[1] == DECORATION_USER_SEMANTIC:
            self.semantics[operands[0]] = read_string(operands[2:])
        elif opcode == OP_LOAD:
            self.loads[operands[1]] = operands[2]
        elif opcode == OP_SAMPLED_IMAGE:
            self.sampled.append((operands[2], operands[3]))

    def decoration(self, target, decoration):
        entries = self.decorations.get(target, {}).get(decoration)
        return entries[0] if entries else None

    def pointee(self, variable):
        pointer = self.variables[variable][0]
        return self.pointers[pointer][1]

    def is_integer(self, type_id):
        opcode, operands = self.types.get(type_id, (None, []))
        if opcode == OP_TYPE_VECTOR:
            return self.is_integer(operands[0])
        return opcode == OP_TYPE_INT

    def binding(self, variable):
        entry = self.decoration(variable, DECORATION_BINDING)
        return entry[1][0] if entry else 0

    def to_bytes(self):
        return struct.pack("<%dI" % len(self.words), *self.words)


def interface_variables(module, storage, what):
    """Yields (variable, location decoration, semantic) for the stage's interface variables of the
    storage class, built-ins left out; each must carry a location and a semantic."""
    for variable in module.interface:
        if module.variables.get(variable, (0, -1))[1] != storage:
            continue
        if module.decoration(variable, DECORATION_BUILTIN):
            continue
        location = module.decoration(variable, DECORATION_LOCATION)
        semantic = module.semantics.get(variable)
        if location is None or semantic is None:
            raise CookError("%s without location or semantic" % what)
        yield variable, location, semantic


def remap_varyings(module, storage, header):
    """Gives the stage's varyings (outputs of a vertex shader, inputs of a pixel shader) their
    locations by semantic."""
    for _, location, semantic in interface_variables(module, storage, "varying"):
        name, index = split_semantic(semantic)
        if name not in VARYING_BASES:
            raise CookError("unsupported varying semantic %s" % semantic)
        base, count = VARYING_BASES[name]
        if index >= count:
            raise CookError("semantic index too large: %s" % semantic)
        module.words[location[0]] = base + index


def vertex_inputs(module, header):
    for variable, location, semantic in interface_variables(module, STORAGE_INPUT, "vertex input"):
        name, index = split_semantic(semantic)
        kind = "int" if module.is_integer(module.pointee(variable)) else "float"
        header.append("input %d %s %d %s" % (location[1][0], name, index, kind))


def resources(module, header):
    for variable, (type_id, storage) in sorted(module.variables.items()):
        if storage == STORAGE_UNIFORM and module.decoration(module.pointers[type_id][1], DECORATION_BLOCK):
            header.append("cbuffer %d" % module.binding(variable))
    pairs = {}
    for image, sampler in module.sampled:
        image_variable = module.loads.get(image)
        sampler_variable = module.loads.get(sampler)
        if image_variable is None or sampler_variable is None:
            raise CookError("a texture or sampler is not read straight from its register")
        slot = module.binding(image_variable)
        sampler_slot = module.binding(sampler_variable)
        if pairs.get(slot, sampler_slot) != sampler_slot:
            raise CookError("texture slot %d is read with two samplers" % slot)
        pairs[slot] = sampler_slot
    for variable, (type_id, storage) in sorted(module.variables.items()):
        if storage != STORAGE_UNIFORM_CONSTANT:
            continue
        pointee = module.pointers[type_id][1]
        if module.types.get(pointee, (None,))[0] == OP_TYPE_IMAGE:
            slot = module.binding(variable)
            pairs.setdefault(slot, -1)
    for slot in sorted(pairs):
        header.append("texture %d %d" % (slot, pairs[slot]))


def run(command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        raise CookError(result.stdout.strip() or "%s failed" % command[0])
    return result.stdout


def cook(glslang, spirv_cross, source, output, stage):
    with tempfile.TemporaryDirectory() as folder:
        compiled = os.path.join(folder, "compiled.spv")
        remapped = os.path.join(folder, "remapped.spv")
        run([glslang, "-D", "-V", "-S", "vert" if stage == "vertex" else "frag", "-e", "main", "-fhlsl_functionality1",
             "--auto-map-locations", "--hlsl-offsets", "-o", compiled, source])
        with open(compiled, "rb") as file:
            module = Module(file.read())
        header = ["vra-shader 1", "stage " + stage]
        if stage == "vertex":
            vertex_inputs(module, header)
            remap_varyings(module, STORAGE_OUTPUT, header)
        else:
            remap_varyings(module, STORAGE_INPUT, header)
        resources(module, header)
        with open(remapped, "wb") as file:
            file.write(module.to_bytes())
        glsl = run([spirv_cross, remapped, "--version", "450", "--no-es", "--combined-samplers-inherit-bindings",
                    "--no-support-nonzero-baseinstance"])
    os.makedirs(os.path.dirname(output) or ".", exist_ok=True)
    with open(output, "w", encoding="utf-8") as file:
        file.write("\n".join(header) + "\nglsl\n" + glsl)


def main():
    if len(sys.argv) != 6 or sys.argv[5] not in ("vertex", "pixel"):
        sys.stderr.write(__doc__)
        return 2
    try:
        cook(*sys.argv[1:6])
    except CookError as error:
        sys.stderr.write("%s: %s\n" % (sys.argv[3], error))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
