#!/usr/bin/env bash
# Creates, once, the local certificate authority shared by the local web service and the local voice
# service, and a server certificate it signs for localhost, 127.0.0.1 and ::1.
#
#   make-ca.sh STATE_DIR
#
# Leaves in STATE_DIR: ca.pem (trust this: TALKVANE_CA_FILE), ca.key, server.pem, server.key.
# Existing files are kept, so every service started over the same folder shares one CA.
set -euo pipefail
dir="${1:?usage: make-ca.sh STATE_DIR}"
mkdir -p "$dir"
cd "$dir"
umask 077
(
    # Two services may start at once over the same folder: one of them creates the files.
    exec 9>"$dir/.ca.lock"
    flock 9
    if [ ! -s ca.pem ] || [ ! -s ca.key ]; then
        openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -sha256 \
            -subj "/CN=Talkvane Local Test CA" \
            -addext "basicConstraints=critical,CA:TRUE" \
            -addext "keyUsage=critical,keyCertSign,cRLSign" \
            -keyout ca.key -out ca.pem 2>/dev/null
        rm -f server.pem server.key
    fi
    if [ ! -s server.pem ] || [ ! -s server.key ]; then
        cat > server.ext <<EXT
basicConstraints=CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1
EXT
        openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" -keyout server.key -out server.csr 2>/dev/null
        openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 3650 -sha256 \
            -extfile server.ext -out server.pem 2>/dev/null
        rm -f server.csr server.ext
    fi
    chmod 644 ca.pem server.pem
)
echo "$dir/ca.pem"
