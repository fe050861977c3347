"""What every local HTTPS stand-in shares: the local CA's server certificate, the port file that tells a
test where the service listens, and stopping when the process that started it goes away."""

import os
import ssl
import subprocess
import threading

MAKE_CA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "make-ca.sh")


def server_context(ca_dir):
    """Creates the CA and server certificate in ca_dir when missing; returns (TLS context, CA file)."""
    out = subprocess.run(["bash", MAKE_CA, ca_dir], check=True, capture_output=True, text=True)
    ca_file = out.stdout.strip().splitlines()[-1]
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(os.path.join(ca_dir, "server.pem"), os.path.join(ca_dir, "server.key"))
    return context, ca_file


def write_port_file(path, port):
    # Written whole or not at all: a test polls for it.
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d\n" % port)
    os.replace(tmp, path)


def watch_parent(server, log):
    """Shuts the server down once its parent process is gone (server.stopping: a threading.Event)."""
    parent = os.getppid()
    while not server.stopping.wait(0.5):
        if os.getppid() != parent:
            log("parent process gone, stopping")
            threading.Thread(target=server.shutdown, daemon=True).start()
            return
