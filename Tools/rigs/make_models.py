# Builds the game's characters and props in Blender and writes them into the game asset folder:
# binary FBX models and clips, and their DDS colour textures.
#
#   blender -b --factory-startup --python Tools/rigs/make_models.py -- [--only bird,fox,beetle,props] [--preview <folder> [--clips A_bird_idle,...]]
#
# Blender is needed only to remake the files; they are committed. The values the content tests
# compare against go to Tests/Game/content/rig_facts.json.
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import beetle  # noqa: E402
import bird  # noqa: E402
import props  # noqa: E402
import fox  # noqa: E402
import rigkit  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(HERE))
CONTENT = os.path.join(ROOT, "Content", "Game")
FACTS = os.path.join(ROOT, "Tests", "Game", "content", "rig_facts.json")

CHARACTERS = {"bird": bird, "fox": fox, "beetle": beetle}


def arguments():
    args = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
    options = {"only": None, "preview": None, "clips": None}
    while args:
        flag = args.pop(0)
        if flag == "--only":
            options["only"] = args.pop(0).split(",")
        elif flag == "--preview":
            options["preview"] = os.path.abspath(args.pop(0))
        elif flag == "--clips":
            options["clips"] = args.pop(0).split(",")
        else:
            raise SystemExit("unknown argument " + flag)
    return options


def layout(value, depth=0):
    """JSON with one line per clip or prop: readable in a diff, a fraction of the fully indented size."""
    if depth >= 4 or not isinstance(value, (dict, list)):
        return json.dumps(value, sort_keys=True, separators=(",", ":"))
    pad = " " * (depth + 1)
    if isinstance(value, dict):
        items = [pad + json.dumps(key) + ": " + layout(value[key], depth + 1) for key in sorted(value)]
        return "{\n" + ",\n".join(items) + "\n" + " " * depth + "}"
    return "[\n" + ",\n".join(pad + layout(item, depth + 1) for item in value) + "\n" + " " * depth + "]"


def rerun_with_fixed_hashes():
    """The FBX exporter numbers objects by Python's string hash; a fixed seed gives the same files
    on every run. Blender reads the seed only at start, so the maker starts it again with one."""
    if os.environ.get("PYTHONHASHSEED") == "0":
        return
    import subprocess
    import bpy
    result = subprocess.run([bpy.app.binary_path] + sys.argv[1:], env=dict(os.environ, PYTHONHASHSEED="0"))
    os._exit(result.returncode)


def main():
    rerun_with_fixed_hashes()
    options = arguments()
    facts = {}
    if os.path.exists(FACTS):
        with open(FACTS) as handle:
            facts = json.load(handle)
    for key, spec in CHARACTERS.items():
        if options["only"] and key not in options["only"]:
            continue
        character = rigkit.Character(spec, CONTENT)
        if options["preview"]:
            import preview
            preview.render_character(character, options["preview"], options["clips"])
            continue
        character.write()
        facts.setdefault("characters", {})[key] = character.facts()
        print("%s: %d triangles, %d joints, %d clips" % (key, character.triangles, len(spec.BONES), len(spec.CLIPS)))
    if not options["only"] or "props" in options["only"]:
        if options["preview"]:
            import preview
            preview.render_props(options["preview"])
        else:
            facts["props"] = props.write(CONTENT)
    if not options["preview"]:
        os.makedirs(os.path.dirname(FACTS), exist_ok=True)
        with open(FACTS, "w") as handle:
            handle.write(layout(facts) + "\n")


main()
