#!/usr/bin/env bash
# Starts a private PulseAudio for tests and headless runs: a null sink "spk" (the speaker, record it
# from spk.monitor), a null sink "micfeed" and a source "mic" remapped from its monitor (the
# microphone: whatever is played into micfeed is heard on mic).
# Works as root with no systemd and no other sound server. Writes STATE_DIR/pulse.env for callers.
# The server ends by itself after TALKVANE_PULSE_IDLE seconds without clients (default 120, -1 for
# never), so a test that is killed before it can stop it leaves nothing behind for long.
#   usage: start-pulse.sh STATE_DIR
set -euo pipefail
state="${1:?usage: start-pulse.sh STATE_DIR}"
mkdir -p "$state"
state="$(cd "$state" && pwd)"
runtime="$state/runtime"
mkdir -p "$runtime" "$state/home" "$state/config"
chmod 700 "$runtime"

export XDG_RUNTIME_DIR="$runtime"
export PULSE_RUNTIME_PATH="$runtime/pulse"
export PULSE_STATE_PATH="$state/config"
export PULSE_CONFIG_PATH="$state/config"
export HOME="$state/home"
export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
unset DBUS_SESSION_BUS_ADDRESS

if pactl info >/dev/null 2>&1; then
    echo "start-pulse: already running in $state"
else
    pulseaudio -D -n --exit-idle-time="${TALKVANE_PULSE_IDLE:-120}" --system=false --use-pid-file=yes \
        --log-target=file:"$state/pulse.log" \
        --load="module-native-protocol-unix" \
        --load="module-null-sink sink_name=spk rate=48000 channels=1 sink_properties=device.description=TestSpeaker" \
        --load="module-null-sink sink_name=micfeed rate=48000 channels=1 sink_properties=device.description=TestMicFeed" \
        --load="module-remap-source source_name=mic master=micfeed.monitor channels=1 source_properties=device.description=TestMic" \
        --load="module-always-sink" 2>>"$state/pulse.log"
    for _ in $(seq 1 100); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl info >/dev/null 2>&1 || { echo "start-pulse: server did not come up, see $state/pulse.log" >&2; exit 1; }
fi
pactl set-default-sink spk
pactl set-default-source mic

cat >"$state/pulse.env" <<ENV
XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR
PULSE_RUNTIME_PATH=$PULSE_RUNTIME_PATH
PULSE_SERVER=$PULSE_SERVER
ENV
echo "start-pulse: running, environment in $state/pulse.env"
