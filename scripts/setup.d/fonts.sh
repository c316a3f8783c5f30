#!/usr/bin/env bash
# Fetches the game's fonts into a cache outside the build; the build copies them beside the
# executable under the names the game asks for. Safe to run again: present files are kept.
#   Text/Cinzel-Bold.ttf            npm @expo-google-fonts/cinzel (700 Bold)
#   Text/CinzelDecorative-Bold.ttf  npm @expo-google-fonts/cinzel-decorative (700 Bold)
#   Text/arial.ttf                  Debian fonts-liberation, Liberation Sans Regular
set -euo pipefail

cache=${VRA_FONT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vra-fonts}
fonts=$cache/Text
mkdir -p "$fonts"

cinzel_version=0.4.2
decorative_version=0.4.1
packages=$cache/npm
cinzel=$packages/node_modules/@expo-google-fonts/cinzel/700Bold/Cinzel_700Bold.ttf
decorative=$packages/node_modules/@expo-google-fonts/cinzel-decorative/700Bold/CinzelDecorative_700Bold.ttf

if [ ! -s "$fonts/Cinzel-Bold.ttf" ] || [ ! -s "$fonts/CinzelDecorative-Bold.ttf" ]; then
    if [ ! -s "$cinzel" ] || [ ! -s "$decorative" ]; then
        if ! command -v npm >/dev/null; then
            # A bare machine: Debian's own Node.js and npm are enough to fetch two packages.
            echo "fonts: installing npm to fetch the Cinzel fonts"
            sudo_cmd=()
            if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
            DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends npm
        fi
        echo "Fetching the Cinzel fonts into $packages"
        mkdir -p "$packages"
        npm install --prefix "$packages" --no-save --no-audit --no-fund --loglevel=error \
            "@expo-google-fonts/cinzel@$cinzel_version" \
            "@expo-google-fonts/cinzel-decorative@$decorative_version"
    fi
    cp "$cinzel" "$fonts/Cinzel-Bold.ttf.part" && mv "$fonts/Cinzel-Bold.ttf.part" "$fonts/Cinzel-Bold.ttf"
    cp "$decorative" "$fonts/CinzelDecorative-Bold.ttf.part" && mv "$fonts/CinzelDecorative-Bold.ttf.part" "$fonts/CinzelDecorative-Bold.ttf"
fi

liberation=/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
if [ ! -s "$liberation" ]; then
    echo "Missing $liberation: install the Debian package fonts-liberation (scripts/setup does)" >&2
    exit 1
fi
if ! cmp -s "$liberation" "$fonts/arial.ttf"; then
    cp "$liberation" "$fonts/arial.ttf"
fi
