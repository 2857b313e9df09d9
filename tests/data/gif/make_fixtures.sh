#!/bin/sh
# Regenerates the peer fixtures: GIFs written by independent tools (ImageMagick's
# convert, gifsicle) and, beside each, its structure and pixels as dumped by giflib's
# `gifbuild -d`. The tests read the committed files only; none of these tools is needed
# to run them. Debian packages: imagemagick, gifsicle, giflib-tools.
set -e
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 19x13 gradient:red-blue "$work/grad.ppm"
convert -size 19x13 gradient:yellow-green "$work/grad2.ppm"
convert -size 23x17 plasma:fractal -seed 7 +noise Random "$work/noise.ppm" 2>/dev/null ||
  convert -size 23x17 gradient:red-blue +noise Random "$work/noise.ppm"

convert -size 7x5 gradient:red-blue -colors 4 basic_4.gif
for n in 2 4 8 16 32 64 128 256; do
  convert "$work/noise.ppm" -colors $n +dither "table_$n.gif"
done
# Frames after the first get local tables of 4 up to 256 entries.
convert \( "$work/noise.ppm" -colors 2 \) \( "$work/noise.ppm" -colors 3 \) \( "$work/noise.ppm" -colors 7 \) \
  \( "$work/noise.ppm" -colors 13 \) \( "$work/noise.ppm" -colors 30 \) \( "$work/noise.ppm" -colors 60 \) \
  \( "$work/noise.ppm" -colors 120 \) \( "$work/noise.ppm" +dither -colors 250 \) local_tables.gif
convert "$work/noise.ppm" -colors 60 -interlace GIF interlaced_23x17.gif
for h in 1 2 3 5; do
  convert -size 3x$h gradient:red-blue -colors 8 "$work/small.gif"
  gifsicle --interlace "$work/small.gif" > "interlaced_3x$h.gif"
done
convert -size 1x1 xc:red one_pixel.gif
convert "$work/noise.ppm" -resize 257x3! -colors 16 odd_257x3.gif
convert "$work/grad.ppm" -colors 8 -transparent "$(convert "$work/grad.ppm" -colors 8 -format '%[pixel:p{0,0}]' info:)" transparent.gif
convert -delay 7 -dispose Background "$work/grad.ppm" -colors 5 -delay 12 -dispose Previous \
  "$work/grad2.ppm" -colors 9 -delay 1 -dispose None "$work/noise.ppm" -resize 19x13! -colors 33 \
  -loop 3 anim_local.gif
gifsicle --comment "first line" --app-extension VELMORA1.0 "any bytes, kept as they are" \
  --loopcount=0 -d 20 basic_4.gif basic_4.gif > comment_app.gif
gifsicle -O2 --colors 32 anim_local.gif > optimized.gif

for f in *.gif; do
  gifbuild -d "$f" > "${f%.gif}.dump"
done
