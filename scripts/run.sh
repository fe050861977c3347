#!/usr/bin/env bash
# Builds the program and starts it against local stand-ins for the real services:
#   - the web-service emulator (https://127.0.0.1:8443) with the demo account,
#   - the voice service (Prosody on 127.0.0.1:5223, one CA shared with the emulator) and the
#     telephone gateway that answers the test numbers,
#   - a private PulseAudio when no sound server answers.
# Services already running are reused; they keep running after the program ends (stop them with
# scripts/run.sh --stop). State lives in ~/.local/state/talkvane-local.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
state="${TALKVANE_LOCAL_STATE:-${XDG_STATE_HOME:-$HOME/.local/state}/talkvane-local}"
web="$state/web"
voice="$state/voice"
audio="$state/audio"

stop_all() {
    if [ -s "$voice/gateway.pid" ]; then
        kill "$(cat "$voice/gateway.pid")" 2>/dev/null || true
        rm -f "$voice/gateway.pid"
    fi
    bash "$root/tools/voiceservice/stop.sh" "$voice" || true
    bash "$root/tools/webservice/stop.sh" "$web" || true
    if [ -s "$audio/pulse.env" ] && [ -x "$root/tools/audio/stop-pulse.sh" ]; then
        bash "$root/tools/audio/stop-pulse.sh" "$audio" || true
    fi
}

if [ "${1:-}" = "--stop" ]; then
    stop_all
    echo "local services stopped"
    exit 0
fi

bash "$root/scripts/build.sh"
mkdir -p "$web" "$voice" "$audio"

# The web service first: it creates the CA that the voice service shares.
bash "$root/tools/webservice/start.sh" "$web" 8443 >/dev/null
ca_file="$web/ca.pem"

if [ -s "$voice/prosody.pid" ] && kill -0 "$(cat "$voice/prosody.pid")" 2>/dev/null; then
    echo "voice service already running"
else
    TALKVANE_CA_DIR="$web" bash "$root/tools/voiceservice/start.sh" "$voice" --port 5223 >/dev/null
fi

gateway="$build/bin/gateway"
if [ -x "$gateway" ]; then
    if [ -s "$voice/gateway.pid" ] && kill -0 "$(cat "$voice/gateway.pid")" 2>/dev/null; then
        echo "telephone gateway already running"
    else
        TALKVANE_CA_FILE="$ca_file" setsid "$gateway" "$voice/voiceservice.env" \
            >>"$voice/gateway.log" 2>&1 </dev/null &
        echo $! >"$voice/gateway.pid"
    fi
else
    echo "no telephone gateway built ($gateway): calls will find nobody to answer" >&2
fi

# Sound: use the desktop's server when one answers, otherwise a private one with null devices.
if ! pactl info >/dev/null 2>&1; then
    bash "$root/tools/audio/start-pulse.sh" "$audio" >/dev/null
    set -a
    # shellcheck disable=SC1091
    . "$audio/pulse.env"
    set +a
fi

cat <<TEXT

Talkvane runs against the local services.
  Sign in with user "demo" and password "demo" (credit 12.50 EUR).
  Test numbers:
    +15550100  echo: you hear yourself
    +15550101  plays a tone
    +15550102  busy
    +15550103  does not answer
    +15550104  answers and hangs up after 3 s
    +15550105  declines, then calls you back 2 s later
  Stop the services afterwards with: bash scripts/run.sh --stop

TEXT

export TALKVANE_BRAND=Local
export TALKVANE_CA_FILE="$ca_file"
exec "$build/bin/talkvane" "$@"
