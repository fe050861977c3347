#!/usr/bin/env bash
# Starts the local voice service: a private Prosody on loopback with TLS required, its own ports,
# data folder and configuration, and the accounts the program and the gateway peer sign in with.
#
#   start.sh STATE_DIR [--port N] [--user NAME:PASSWORD]... [--watch PID] [--gateway BIN]
#
# --port 0 or no --port picks a free port. --watch stops the service by itself once process PID
# has gone (a test that crashed must not leave Prosody behind). --gateway starts the telephone
# gateway peer (the built "gateway" program) too and waits until all its numbers are signed in. Writes STATE_DIR/voiceservice.env (VOICE_HOST,
# VOICE_PORT, VOICE_DOMAIN, TALKVANE_CA_FILE, the accounts) and leaves Prosody running in the
# background; stop.sh STATE_DIR stops it. The CA is shared with the other local services through
# TALKVANE_CA_DIR (default STATE_DIR/ca).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
state="${1:?usage: start.sh STATE_DIR [--port N] [--user NAME:PASSWORD]...}"
shift
port=0
watch=""
gateway=""
users=()
while [ $# -gt 0 ]; do
    case "$1" in
    --port) port="${2:?--port needs a value}"; shift 2 ;;
    --user) users+=("${2:?--user needs NAME:PASSWORD}"); shift 2 ;;
    --watch) watch="${2:?--watch needs a PID}"; shift 2 ;;
    --gateway) gateway="${2:?--gateway needs the gateway program}"; shift 2 ;;
    *) echo "start.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

domain=localhost
demo_user=demo
demo_password=demo-voice-secret
gateway_user=gateway
gateway_password=gateway-voice-secret
# The telephone gateway answers for these numbers: each is an account it signs in to.
numbers=(+15550100 +15550101 +15550102 +15550103 +15550104 +15550105)

mkdir -p "$state"
state="$(cd "$state" && pwd)"
pidfile="$state/prosody.pid"
if [ -s "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
    echo "start.sh: the voice service in $state is already running (pid $(cat "$pidfile"))" >&2
    exit 1
fi

free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}
if [ "$port" = 0 ]; then
    port="$(free_port)"
fi

ca_dir="${TALKVANE_CA_DIR:-$state/ca}"
ca_file="$("$here/../localca/make-ca.sh" "$ca_dir")"

# Prosody reads the key as the user it runs as: give it its own copy.
mkdir -p "$state/certs" "$state/data"
install -m 600 "$ca_dir/server.key" "$state/certs/localhost.key"
install -m 644 "$ca_dir/server.pem" "$state/certs/localhost.crt"

cfg="$state/prosody.cfg.lua"
{
    if [ "$(id -u)" = 0 ]; then
        # CI runs everything as root; this instance only ever listens on loopback.
        echo 'run_as_root = true'
    fi
    cat <<CFG
pidfile = "$pidfile"
data_path = "$state/data"
certificates = "$state/certs"
log = { { levels = { min = "info" }, to = "file", filename = "$state/prosody.log" } }
interfaces = { "127.0.0.1" }
local_interfaces = { "127.0.0.1" }
c2s_ports = { $port }
c2s_interfaces = { "127.0.0.1" }
c2s_direct_tls_ports = { }
legacy_ssl_ports = { }
http_ports = { }
https_ports = { }
c2s_require_encryption = true
authentication = "internal_hashed"
allow_registration = false
storage = "internal"
modules_enabled = { "roster", "saslauth", "tls", "disco", "ping", "presence" }
modules_disabled = { "s2s", "offline", "register" }
VirtualHost "$domain"
ssl = { certificate = "$state/certs/localhost.crt", key = "$state/certs/localhost.key" }
CFG
} >"$cfg"

register() {
    if ! prosodyctl --config "$cfg" register "$1" "$domain" "$2" >"$state/prosodyctl.log" 2>&1; then
        echo "start.sh: could not register $1" >&2
        cat "$state/prosodyctl.log" >&2
        exit 1
    fi
}
register "$demo_user" "$demo_password"
register "$gateway_user" "$gateway_password"
for n in "${numbers[@]}"; do
    register "$n" "$gateway_password"
done
for u in "${users[@]+"${users[@]}"}"; do
    register "${u%%:*}" "${u#*:}"
done

# Foreground mode keeps Prosody free of daemonising; setsid detaches it from our terminal.
setsid prosody --config "$cfg" -F >"$state/prosody.out" 2>&1 </dev/null &
pid=$!
echo "$pid" >"$pidfile"

for _ in $(seq 1 200); do
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "start.sh: Prosody exited during start-up" >&2
        tail -n 20 "$state/prosody.log" "$state/prosody.out" >&2 || true
        exit 1
    fi
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
        break
    fi
    sleep 0.1
done
if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
    echo "start.sh: Prosody does not listen on port $port" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi
if grep -q 'port is in use' "$state/prosody.log" 2>/dev/null; then
    echo "start.sh: port $port is taken by another program" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi

if [ -n "$watch" ]; then
    setsid bash -c 'while kill -0 "$1" 2>/dev/null && kill -0 "$2" 2>/dev/null; do sleep 1; done
                    "$3/stop.sh" "$4"' watcher "$watch" "$pid" "$here" "$state" \
        >/dev/null 2>&1 </dev/null &
fi

env_file="$state/voiceservice.env"
cat >"$env_file" <<ENV
VOICE_HOST=127.0.0.1
VOICE_PORT=$port
VOICE_DOMAIN=$domain
TALKVANE_CA_FILE=$ca_file
VOICE_DEMO_USER=$demo_user
VOICE_DEMO_PASSWORD=$demo_password
VOICE_GATEWAY_USER=$gateway_user
VOICE_GATEWAY_PASSWORD=$gateway_password
VOICE_GATEWAY_NUMBERS="${numbers[*]}"
VOICE_PROSODY_PID=$pid
ENV

if [ -n "$gateway" ]; then
    setsid "$gateway" "$env_file" >"$state/gateway.out" 2>"$state/gateway.err" </dev/null &
    gateway_pid=$!
    echo "$gateway_pid" >"$state/gateway.pid"
    for _ in $(seq 1 600); do
        grep -q '^READY all' "$state/gateway.out" 2>/dev/null && break
        if ! kill -0 "$gateway_pid" 2>/dev/null; then
            echo "start.sh: the gateway exited during start-up" >&2
            cat "$state/gateway.err" >&2 || true
            "$here/stop.sh" "$state"
            exit 1
        fi
        sleep 0.1
    done
    if ! grep -q '^READY all' "$state/gateway.out"; then
        echo "start.sh: the gateway did not sign in its numbers" >&2
        "$here/stop.sh" "$state"
        exit 1
    fi
    echo "VOICE_GATEWAY_PID=$gateway_pid" >>"$env_file"
fi
echo "$env_file"
