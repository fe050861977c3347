#!/bin/sh
# Runs a program on a private X server (Xvfb) and saves a PNG of the screen or of one window.
#
#   tools/screenshot.sh [-o out.png] [-d seconds] [-g WxH] [-s scale] [-w window-name] -- program [args]
#
#   -o  output file (default screenshot.png)
#   -d  seconds to wait before the shot (default 3)
#   -g  screen size (default 1024x768)
#   -s  Qt scale factor, e.g. 2 to look at the high-density pictures (default 1)
#   -w  capture only the top-level window with this title (default: the whole screen)
#
# The program is ended after the shot. Needs xvfb-run (package xvfb) and ImageMagick's import.
set -eu

out=screenshot.png
delay=3
geometry=1024x768
scale=1
window=
while getopts o:d:g:s:w: opt; do
    case "$opt" in
    o) out=$OPTARG ;;
    d) delay=$OPTARG ;;
    g) geometry=$OPTARG ;;
    s) scale=$OPTARG ;;
    w) window=$OPTARG ;;
    *) sed -n '2,12p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ "${1:-}" = "--" ] && shift
if [ $# -eq 0 ]; then
    sed -n '2,12p' "$0" >&2
    exit 2
fi

case "$out" in
/*) ;;
*) out="$(pwd)/$out" ;;
esac

# The inner script runs on the private display; it starts the program, waits, shoots, stops it.
inner='
    "$@" &
    pid=$!
    sleep "$SHOT_DELAY"
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "screenshot: the program ended before the shot" >&2
        exit 1
    fi
    if [ -n "$SHOT_WINDOW" ]; then
        import -window "$SHOT_WINDOW" "$SHOT_OUT"
    else
        import -window root "$SHOT_OUT"
    fi
    status=$?
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    exit $status
'
SHOT_DELAY=$delay SHOT_WINDOW=$window SHOT_OUT=$out QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale \
    xvfb-run -a -s "-screen 0 ${geometry}x24 +extension RANDR" sh -c "$inner" screenshot "$@"
echo "saved $out"
