#!/bin/sh
# Makes the videos the video tests and the video benchmark read:
#   make_test_videos.sh <ffmpeg> <output folder>
# frames.mp4:        80x46, 10 frames per second, 12 frames, H.264 with B-frames; frame n is flat
#                    grey at luma 16 + 18 n, so a test can tell which frame it sees; a 48 kHz
#                    stereo AAC tone for its sound.
# frames_silent.mp4: the same pictures without a sound track.
# clip_720p.mp4:     1280x720, 30 frames per second, 90 frames of a moving test pattern.
# wide_16400.mkv:    16400x8, 2 flat grey frames in FFV1 (H.264 stops at 16384): a picture whose
#                    texture would pass the largest a texture may be.
# All are written with the index first, so a copy cut short keeps a readable header.
set -eu
ffmpeg=$1
out=$2
mkdir -p "$out"
common="-hide_banner -loglevel error -y -nostdin"
pictures="nullsrc=s=80x46:r=10:d=1.2,format=yuv420p,geq=lum='16+N*18':cb=128:cr=128"

$ffmpeg $common -f lavfi -i "$pictures" -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=1.2" \
    -c:v libx264 -preset medium -crf 4 -pix_fmt yuv420p -bf 2 \
    -c:a aac -ac 2 -b:a 96k -movflags +faststart "$out/frames.mp4"
$ffmpeg $common -f lavfi -i "$pictures" \
    -c:v libx264 -preset medium -crf 4 -pix_fmt yuv420p -bf 2 \
    -an -movflags +faststart "$out/frames_silent.mp4"
$ffmpeg $common -f lavfi -i "testsrc2=s=1280x720:r=30" \
    -frames:v 90 -c:v libx264 -preset fast -crf 23 -pix_fmt yuv420p \
    -an -movflags +faststart "$out/clip_720p.mp4"
$ffmpeg $common -f lavfi -i "color=c=gray:s=16400x8:r=10:d=0.2" -c:v ffv1 -pix_fmt yuv420p "$out/wide_16400.mkv"
echo "frames.mp4 frames_silent.mp4 clip_720p.mp4 wide_16400.mkv" > "$out/manifest.txt"
