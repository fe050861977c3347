#!/bin/sh
# Regenerates the artwork: SVG sources from make-gfx.py, then PNG (1x and @2x), the ICO and the
# spinner GIF. Needs the Qt 5 SVG development package, g++ and ImageMagick.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
gfx="$root/gfx"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$here/make-gfx.py"
g++ -std=c++17 -O1 -fPIC -o "$work/svgrender" "$here/svgrender.cpp" \
    $(pkg-config --cflags --libs Qt5Svg Qt5Gui)

jobs="$work/jobs.txt"
: > "$jobs"
while read -r name w h kind; do
    [ -n "$name" ] || continue
    src="$gfx/svg/$name.svg"
    case "$kind" in
    png)
        echo "$src $gfx/$name.png $w $h" >> "$jobs"
        echo "$src $gfx/$name@2x.png $((w * 2)) $((h * 2))" >> "$jobs"
        ;;
    png1)
        echo "$src $gfx/$name.png $w $h" >> "$jobs"
        ;;
    ico)
        for s in 16 24 32 48 64 128 256; do
            echo "$src $work/ico/$name-$s.png $s $s" >> "$jobs"
        done
        echo "$src $gfx/$name.png $w $h" >> "$jobs"
        ;;
    gif)
        echo "$src $work/gif/$name.png $w $h" >> "$jobs"
        ;;
    esac
done < "$gfx/svg/manifest.txt"
"$work/svgrender" "$root/fonts" < "$jobs"

for name in $(awk '$4 == "ico" { print $1 }' "$gfx/svg/manifest.txt"); do
    convert $(for s in 16 24 32 48 64 128 256; do echo "$work/ico/$name-$s.png"; done) "$gfx/$name.ico"
done
# Animations: frames named <base>-NN become <base>.gif (flattened on white: GIF has no alpha).
for base in $(awk '$4 == "gif" { sub(/-[0-9]+$/, "", $1); print $1 }' "$gfx/svg/manifest.txt" | sort -u); do
    mkdir -p "$(dirname "$gfx/$base.gif")"
    convert -delay 8 -loop 0 -dispose previous "$work/gif/$base"-[0-9][0-9].png -layers optimize "$gfx/$base.gif"
done
echo "artwork rendered into $gfx"
