# Pictures of a character to look at while shaping it: each clip at a few frames, seen from the
# game's side view (Blender's -y), rendered by Blender's workbench and tiled into one sheet per
# character with ffmpeg.
#
#   blender -b --factory-startup --python Tools/rigs/make_models.py -- --only bird --preview /tmp/rigs
import math
import os
import shutil
import subprocess

import bpy

import rigkit

FRAMES_PER_CLIP = 4
SIZE = 300


def palette_image(palette):
    size = rigkit.TEXTURE_SIZE
    image = bpy.data.images.new("palette", size, size, alpha=True)
    raw = palette.mip_pixels(size)
    pixels = []
    for y in range(size - 1, -1, -1):  # Blender's rows run from the bottom
        row = raw[y * size * 4:(y + 1) * size * 4]
        pixels += [c / 255.0 for c in row]
    image.pixels = pixels
    return image


def dress(character):
    material = character.mesh.data.materials[0]
    material.use_nodes = True
    nodes = material.node_tree.nodes
    node = nodes.new("ShaderNodeTexImage")
    node.image = palette_image(character.spec.TEXTURES[0][1])
    node.interpolation = 'Closest'
    material.node_tree.links.new(node.outputs["Color"], nodes["Principled BSDF"].inputs["Base Color"])


def stage(extent, centre, azimuth=0.0, elevation=0.0):
    scene = bpy.context.scene
    camera = bpy.data.cameras.new("preview")
    camera.type = 'ORTHO'
    camera.ortho_scale = extent
    camera.clip_end = 10000
    obj = bpy.data.objects.new("preview", camera)
    scene.collection.objects.link(obj)
    turn, rise = math.radians(azimuth), math.radians(elevation)
    obj.location = (centre[0] + 3000 * math.sin(turn) * math.cos(rise), -3000 * math.cos(turn) * math.cos(rise),
                    centre[1] + 3000 * math.sin(rise))
    obj.rotation_euler = (math.pi / 2 - rise, 0, turn)
    scene.camera = obj
    scene.render.engine = 'BLENDER_WORKBENCH'
    scene.display.shading.light = 'FLAT'
    scene.display.shading.color_type = 'TEXTURE'
    scene.display.shading.show_backface_culling = False
    scene.render.resolution_x = scene.render.resolution_y = SIZE
    scene.render.film_transparent = False
    world = bpy.data.worlds.new("preview")
    world.color = (0.55, 0.62, 0.72)
    scene.world = world
    scene.display.shading.background_type = 'WORLD'
    scene.render.image_settings.file_format = 'PNG'


def render_character(character, folder, clips=None):
    spec = character.spec
    view = getattr(spec, "PREVIEW", (220, (-10, 50)))
    dress(character)
    stage(*view)
    frames_folder = os.path.join(folder, spec.NAME)
    shutil.rmtree(frames_folder, ignore_errors=True)
    os.makedirs(frames_folder)
    scene = bpy.context.scene
    index = 0
    chosen = [clip for clip in spec.CLIPS if not clips or clip[0] in clips]
    for clip in chosen:
        name, last_frame, _, _ = clip
        character.pose(clip)
        for k in range(FRAMES_PER_CLIP):
            frame = round(last_frame * k / (FRAMES_PER_CLIP - 1))
            scene.frame_set(frame)
            scene.render.filepath = os.path.join(frames_folder, "%03d.png" % index)
            bpy.ops.render.render(write_still=True)
            index += 1
    sheet = os.path.join(folder, spec.NAME + ".png")
    rows = len(chosen)
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-i", os.path.join(frames_folder, "%03d.png"),
                    "-vf", "tile=%dx%d" % (FRAMES_PER_CLIP * min(rows, 2), (rows + 1) // 2), sheet], check=True)
    print("preview sheet:", sheet, "(clips in reading order:", ", ".join(c[0] for c in chosen) + ")")


def render_props(folder):
    import props
    frames_folder = os.path.join(folder, "props")
    shutil.rmtree(frames_folder, ignore_errors=True)
    os.makedirs(frames_folder)
    for index, (path, material, build) in enumerate(props.PROPS):
        obj, _ = props.make(material, build)
        obj.data.materials[0].use_nodes = True
        nodes = obj.data.materials[0].node_tree.nodes
        node = nodes.new("ShaderNodeTexImage")
        node.image = palette_image(props.PALETTE)
        node.interpolation = 'Closest'
        obj.data.materials[0].node_tree.links.new(node.outputs["Color"], nodes["Principled BSDF"].inputs["Base Color"])
        tall = path.endswith("SM_Checkpoint.fbx")
        stage(560 if tall else 170, (50, 250) if tall else (40 if "Pickup" not in path else 0, 50), 20, 12)
        bpy.context.scene.render.filepath = os.path.join(frames_folder, "%03d.png" % index)
        bpy.ops.render.render(write_still=True)
    sheet = os.path.join(folder, "props.png")
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-i", os.path.join(frames_folder, "%03d.png"),
                    "-vf", "tile=%dx1" % len(props.PROPS), sheet], check=True)
    print("preview sheet:", sheet)
