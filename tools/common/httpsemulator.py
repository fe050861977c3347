"""The server side every local HTTPS emulator shares (tools/webservice, tools/importers): the command line,
TLS on 127.0.0.1 with the local CA's certificate, the port file, stopping on a signal or with the parent
process, the request log lines, the admin requests' checks and the injected faults.

An emulator subclasses Handler (service(), admin_request()) and Server, and calls serve() from main()."""

import argparse
import json
import os
import signal
import socket
import ssl
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "localca"))
import localservice  # noqa: E402


def logger(name):
    """A log function whose lines start with [name], flushed at once: the log file is read while running."""

    def log(text):
        print("[%s] %s" % (name, text), flush=True)

    return log


class HttpError(Exception):
    """Ends a request with this status; how the text goes out is the emulator's (Handler.send_error_reply)."""

    def __init__(self, status, text, content_type="text/plain;charset=UTF-8", headers=None):
        super().__init__(text)
        self.status = status
        self.text = text
        self.content_type = content_type
        self.headers = headers or {}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Headers and body go out in separate writes; without TCP_NODELAY every reply on a kept-alive
    # connection waits for the peer's delayed acknowledgement (~40 ms).
    disable_nagle_algorithm = True
    timeout = 60
    max_body = None  # the largest request body taken, in bytes; None takes any
    # What the "500" and "malformed" faults answer.
    fault_error_page = "<html><body><h1>500 Internal Server Error</h1></body></html>"
    fault_malformed_page = "<html><body>Temporarily unavailable</body></html>"

    def setup(self):
        super().setup()
        # The TLS handshake runs here, on the connection's own thread, so a slow client blocks no one.
        self.connection.do_handshake()

    # BaseHTTPRequestHandler would log the request line, which may hold a password.
    def log_request(self, code="-", size="-"):
        pass

    def log_error(self, fmt, *args):
        self.server.log("protocol error %s from %s" % (args[0] if args else "?", self.client_address[0]))

    def do_GET(self):
        self.dispatch("GET")

    def do_POST(self):
        self.dispatch("POST")

    def do_DELETE(self):
        self.dispatch("DELETE")

    def read_body(self):
        length = self.headers.get("Content-Length")
        if not length:
            return b""
        try:
            n = int(length)
        except ValueError:
            raise HttpError(400, "bad Content-Length")
        if self.max_body is not None and n > self.max_body:
            raise HttpError(413, "body too large")
        return self.rfile.read(n) if n > 0 else b""

    def send(self, status, body, content_type="text/plain;charset=UTF-8", headers=None):
        """Sends a whole reply (body: text or bytes); returns the status."""
        data = body.encode("utf-8") if isinstance(body, str) else body
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        if status != 204:  # no content, so no length either
            self.send_header("Content-Length", str(len(data)))
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        self.end_headers()
        if status != 204:
            self.wfile.write(data)
        return status

    def send_error_reply(self, error):
        return self.send(error.status, error.text, error.content_type, error.headers)

    def dispatch(self, method):
        started = time.monotonic()
        raw_path, _, raw_query = self.path.partition("?")
        status = self.answer(method, raw_path, raw_query)
        # Path only: the query may carry a password.
        self.server.log("%s %s %s %.0fms" % (method, raw_path, status, (time.monotonic() - started) * 1000))

    def answer(self, method, raw_path, raw_query):
        """Answers one request; returns the status sent, 0 for none, -1 when the connection broke."""
        try:
            body = self.read_body()
            if raw_path.startswith("/_admin/"):
                return self.admin(method, raw_path, body)
            return self.service(method, raw_path, raw_query, body)
        except HttpError as e:
            return self.send_error_reply(e)
        except (ConnectionError, ssl.SSLError, socket.timeout):
            self.close_connection = True
            return -1

    def service(self, method, raw_path, raw_query, body):
        """Answers a request of the emulated service; returns the status sent."""
        raise HttpError(404, "Not found")

    def admin(self, method, raw_path, body):
        if self.client_address[0] not in ("127.0.0.1", "::1"):
            raise HttpError(403, "admin only from loopback")
        what = raw_path[len("/_admin/"):].rstrip("/")
        try:
            data = json.loads(body.decode("utf-8")) if body else None
        except (UnicodeDecodeError, json.JSONDecodeError):
            raise HttpError(400, "body is not JSON")
        try:
            return self.admin_request(method, what, data)
        except (ValueError, TypeError, KeyError) as e:
            raise HttpError(400, "bad admin request: %s" % e)

    def admin_request(self, method, what, data):
        """Carries out /_admin/<what> with its JSON body (None without one); returns the status sent."""
        raise HttpError(404, "unknown admin request")

    def apply_fault(self, fault):
        """Carries out a fault; returns the status sent, or None when the request goes on normally."""
        kind = fault["kind"]
        if kind == "delay":
            self.server.stopping.wait(fault["seconds"])
            return None
        if kind == "500":
            return self.send(500, self.fault_error_page, "text/html;charset=UTF-8")
        if kind == "malformed":
            return self.send(200, fault.get("body", self.fault_malformed_page), "application/json;charset=UTF-8")
        # drop: the connection ends without an answer.
        if fault["seconds"]:
            self.server.stopping.wait(fault["seconds"])
        self.close_connection = True
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        return 0


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, handler, context, log):
        super().__init__(address, handler)
        self.log = log
        self.stopping = threading.Event()
        self.socket = context.wrap_socket(self.socket, server_side=True, do_handshake_on_connect=False)

    def handle_error(self, request, client_address):
        self.log("connection from %s ended: %s" % (client_address[0], type(sys.exc_info()[1]).__name__))

    def close(self):
        """Releases what the emulator holds, once the server has stopped."""


def parse_args(argv, description, port, seed, state_help):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--state", required=True, help=state_help)
    parser.add_argument("--port", type=int, default=port, help="0 picks a free port")
    parser.add_argument("--port-file", help="written with the port once listening")
    parser.add_argument("--seed", default=seed)
    parser.add_argument("--ca-dir", help="folder of the local CA (default: the state folder)")
    parser.add_argument("--exit-with-parent", action="store_true", help="stop when the parent process ends")
    return parser.parse_args(argv)


def serve(args, make_server, root=""):
    """Serves until SIGTERM or SIGINT (or the parent's end with --exit-with-parent); returns the exit code.

    make_server(state folder, TLS context) makes the Server; root is the path the listening line names."""
    state = os.path.abspath(args.state)
    os.makedirs(state, exist_ok=True)
    ca_dir = os.path.abspath(args.ca_dir or state)
    context, ca_file = localservice.server_context(ca_dir)

    server = make_server(state, context)
    port = server.server_address[1]
    log = server.log

    def stop(signum, frame):
        server.stopping.set()
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    if args.exit_with_parent:
        threading.Thread(target=localservice.watch_parent, args=(server, log), daemon=True).start()

    log("CA file: %s" % ca_file)
    log("listening on https://127.0.0.1:%d/%s" % (port, root))
    if args.port_file:
        localservice.write_port_file(args.port_file, port)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.stopping.set()
        server.server_close()
        server.close()
        if args.port_file:
            try:
                os.remove(args.port_file)
            except OSError:
                pass
        log("stopped")
    return 0
