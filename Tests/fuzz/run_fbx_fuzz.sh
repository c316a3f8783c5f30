#!/usr/bin/env bash
# Builds the FBX reader's libFuzzer target with clang (ASan + UBSan) and runs it.
#   Tests/fuzz/run_fbx_fuzz.sh [seconds] [extra libFuzzer arguments...]
# The build lives in build/fuzz; the corpus grows in build/fuzz/corpus, seeded from
# Tests/fuzz/corpus/fbx and the FBX files under Tests/.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
shift || true
out="$root/build/fuzz"
mkdir -p "$out/obj" "$out/corpus"

flags=(-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
       -I"$root/Source/Platform" -I"$root/Source/CommonUtilities/source")
objects=()
for source in "$root"/Source/Platform/fbx/*.cpp "$root"/Source/Platform/fbx/impl/*.cpp \
              "$root"/Source/CommonUtilities/source/Assert.cpp "$root"/Tests/fuzz/fbx_reader_fuzz.cpp; do
    object="$out/obj/$(echo "${source#$root/}" | tr '/' '_').o"
    if [ ! -f "$object" ] || [ "$source" -nt "$object" ] || [ -n "$(find "$root/Source/Platform/fbx" -name '*.h' -newer "$object")" ]; then
        clang++ "${flags[@]}" -c "$source" -o "$object"
    fi
    objects+=("$object")
done
clang++ -fsanitize=fuzzer,address,undefined "${objects[@]}" -lz -o "$out/fbx_reader_fuzz"

seeds=("$root/Tests/fuzz/corpus/fbx")
while IFS= read -r -d '' file; do
    cp -n "$file" "$out/corpus/" 2>/dev/null || true
done < <(find "$root/Tests" -name '*.fbx' -size -2M -print0)

cd "$out"
exec ./fbx_reader_fuzz "$out/corpus" "${seeds[@]}" -max_total_time="$seconds" -max_len=262144 \
    -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 "$@"
