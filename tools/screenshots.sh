#!/bin/sh
# Photographs every page and dialog: runs the GUI tests that walk through them on a private X server
# (Xvfb) with TALKVANE_SCREENSHOT_DIR set; each saves a PNG of the window at the interesting moments.
#
#   tools/screenshots.sh [out-dir] [build-dir]
#
# out-dir defaults to ./screenshots, build-dir to ./build (built by scripts/build.sh). The tests start the
# local services they need themselves.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-screenshots}
build=${2:-$here/build}
case "$out" in /*) ;; *) out="$(pwd)/$out" ;; esac
case "$build" in /*) ;; *) build="$(pwd)/$build" ;; esac
mkdir -p "$out"

tests="tst_contentpages tst_uisession tst_mainwindowdialogs tst_importcontactsdialog tst_callswitchdialog"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

status=0
for t in $tests; do
    exe="$build/bin/$t"
    if [ ! -x "$exe" ]; then
        echo "screenshots: $t is not built, skipped" >&2
        continue
    fi
    mkdir -p "$home/$t"
    echo "screenshots: $t"
    if ! env HOME="$home/$t" XDG_DATA_HOME="$home/$t/.local/share" XDG_CONFIG_HOME="$home/$t/.config" \
        XDG_CACHE_HOME="$home/$t/.cache" TALKVANE_SOURCE_DIR="$here" TALKVANE_BINARY_DIR="$build" \
        TALKVANE_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=xcb \
        xvfb-run -a -s "-screen 0 1280x1024x24 +extension RANDR" "$exe" -silent; then
        echo "screenshots: $t failed" >&2
        status=1
    fi
done
ls -1 "$out"/*.png 2>/dev/null | sed 's/^/saved /'
exit $status
