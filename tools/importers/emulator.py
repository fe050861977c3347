#!/usr/bin/env python3
"""Local emulator of the two web-mail address-book services the contact importers talk to.

HTTPS on 127.0.0.1 with a certificate of the local CA (tools/localca/make-ca.sh). State lives in memory,
loaded from a seed file; /_admin/reset goes back to it.

    emulator.py --state DIR [--port N] [--port-file FILE] [--seed FILE] [--ca-dir DIR] [--exit-with-parent]

Google: POST /accounts/ClientLogin (form: Email, Passwd, accountType, source, service) answers
"Auth=<token>" lines, or status 403 with "Error=BadAuthentication"; GET /m8/feeds/contacts/default/full
with "Authorization: GoogleLogin auth=<token>" answers the contacts feed (JSON with alt=json).

Yahoo (OAuth 1.0): POST /oauth/v2/get_request_token (PLAINTEXT) -> GET /oauth/v2/request_auth redirects
to the HTML login page /login -> POST /login sets a session cookie and redirects back -> the consent
form -> POST /oauth/v2/request_auth shows the verifier in <span id="shortCode"> -> POST /oauth/v2/get_token
(PLAINTEXT) -> GET /v1/user/<guid>/contacts;count=max?format=json signed with HMAC-SHA1. Signatures,
timestamps and nonces are checked for real; a bad one is refused with 401.

Admin (loopback only): POST /_admin/reset, GET /_admin/requests, POST|DELETE /_admin/faults,
POST /_admin/yahoo/token ({"login": ...} -> an access token for signing tests).
"""

import base64
import hashlib
import hmac
import html
import json
import os
import re
import secrets
import string
import sys
import threading
import time
from urllib.parse import parse_qsl, quote, unquote, urlencode

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "common"))
import httpsemulator  # noqa: E402
from httpsemulator import HttpError  # noqa: E402
DEFAULT_SEED = os.path.join(HERE, "seed.json")

# Applications registered with the Yahoo emulator: consumer key -> consumer secret.
CONSUMERS = {
    "NHFhe2F7i4CH34YwfKUAMYYcWMtNt5JTak759gB0cgB1C5cEYGBzY5XRU9D7OXA0BM5IoCBQyGBMpD3QisDNcgi4oXXau5CNGja9":
        "6826330d0a98e6a16b58dc0f3b93c61f8766fdfe",
}
TIMESTAMP_WINDOW = 600  # seconds of clock difference accepted
GOOGLE_DEFAULT_MAX_RESULTS = 25
REALM = "yahooapis.com"
SESSION_COOKIE = "Y"


log = httpsemulator.logger("importers")


def enc(text):
    """RFC 3986 percent-encoding, as OAuth 1.0 wants it."""
    return quote(text, safe="-._~")


def token_text(n=16):
    alphabet = string.ascii_letters + string.digits
    return "".join(secrets.choice(alphabet) for _ in range(n))


def oauth_problem(problem, status=401):
    return HttpError(status, "oauth_problem=" + problem, "application/x-www-form-urlencoded")


# ---------------------------------------------------------------------------------------------------
# State


class State:
    def __init__(self, seed_file):
        self.seed_file = seed_file
        self.lock = threading.Lock()
        self.reset()

    def reset(self):
        with open(self.seed_file, encoding="utf-8") as f:
            seed = json.load(f)
        with self.lock:
            self.google = {a["email"].lower(): a for a in seed.get("google", [])}
            self.yahoo = {a["login"].lower(): a for a in seed.get("yahoo", [])}
            self.google_tokens = {}  # Auth token -> account e-mail
            self.request_tokens = {}  # oauth_token -> {secret, consumer, login, verifier, crumb, used}
            self.access_tokens = {}  # oauth_token -> {secret, consumer, login}
            self.sessions = {}  # session cookie -> login
            self.challenges = set()  # login-form challenges handed out
            self.nonces = set()
            self.faults = []
            self.requests = []

    def note(self, entry):
        with self.lock:
            self.requests.append(entry)
            del self.requests[:-1000]

    def take_fault(self, method, path):
        with self.lock:
            for fault in self.faults:
                if not path.startswith(fault["path"]) or fault["method"] not in (None, method):
                    continue
                if fault["count"] > 0:
                    fault["count"] -= 1
                    if fault["count"] == 0:
                        self.faults.remove(fault)
                return dict(fault)
        return None

    def add_fault(self, spec):
        if not isinstance(spec, dict) or spec.get("kind") not in ("drop", "500", "delay", "malformed"):
            raise ValueError("kind must be drop, 500, delay or malformed")
        count = spec.get("count", 1)
        if isinstance(count, bool) or not isinstance(count, int) or count == 0 or count < -1:
            raise ValueError("count is a positive integer, or -1 for every request")
        seconds = spec.get("seconds", 0)
        if isinstance(seconds, bool) or not isinstance(seconds, (int, float)) or seconds < 0:
            raise ValueError("seconds is a non-negative number")
        fault = {"kind": spec["kind"], "path": str(spec.get("path", "/")), "count": count, "seconds": seconds,
                 "method": spec.get("method")}
        if "body" in spec:
            fault["body"] = str(spec["body"])
        with self.lock:
            self.faults.append(fault)

    def check_nonce(self, key):
        with self.lock:
            if key in self.nonces:
                return False
            self.nonces.add(key)
            return True


# ---------------------------------------------------------------------------------------------------
# Pages


def page(title, body):
    return (
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>%s</title>\n"
        "<script type=\"text/javascript\">\nvar conf = {lang: \"en-US\", beacon: true};\n"
        "function track(e) { return e && conf.beacon; }\n</script>\n</head>\n<body>\n%s\n</body>\n</html>\n"
        % (html.escape(title), body)
    )


def login_page(host, done, challenge, error=False):
    hidden = [
        (".tries", "1"), (".src", "oauth"), (".md5", ""), (".hash", ""), (".js", ""), (".last", ""),
        ("promo", ""), (".intl", "us"), (".lang", "en-US"), (".bypass", ""), (".partner", ""),
        (".u", token_text(12)), (".v", "0"), (".challenge", challenge), (".yplus", ""), (".emailCode", ""),
        ("pkg", ""), ("stepid", ""), (".ev", ""), ("hasMsgr", "0"), (".chkP", "Y"), (".done", done),
        (".pd", "_ver=0&c=&ivt=&sg="), (".ws", "1"), (".cp", "0"), ("nr", "0"), ("pad", "6"), ("aad", "6"),
    ]
    inputs = "\n".join(
        '  <input type="hidden" name="%s" value="%s">' % (html.escape(n), html.escape(v)) for n, v in hidden
    )
    message = '<div class="yregertxt">Invalid ID or password.<br>Please try again.</div>\n' if error else ""
    body = (
        '<div id="hd"><form action="https://%s/search" method="get" name="sf"><input type="text" name="p">'
        '<input type="submit" value="Search"></form></div>\n'
        '<div id="bd">\n<h1>Sign in</h1>\n%s'
        '<form method="post" action="https://%s/login?.src=oauth" autocomplete="off" name="login_form"'
        ' id="login_form">\n%s\n'
        '  <label for="username">Yahoo! ID</label>\n'
        '  <input name="login" id="username" value="" size="17" class="yreg_ipt" type="text">\n'
        '  <label for="passwd">Password</label>\n'
        '  <input name="passwd" id="passwd" value="" size="17" class="yreg_ipt" type="password">\n'
        '  <input type="checkbox" id="persistent" name=".persistent" value="y" checked>\n'
        '  <input type="checkbox" id="offers" name="offers" value="y">\n'
        '  <input type="submit" id=".save" name=".save" value="Sign In">\n'
        '</form>\n</div>' % (host, message, host, inputs)
    )
    return page("Sign in to Yahoo!", body)


def consent_page(token, crumb):
    body = (
        '<div id="bd">\n<h1>Allow access?</h1>\n'
        '<p>The application <b>Talkvane</b> would like to read your <span class="scope">Contacts</span>.</p>\n'
        '<form action="/oauth/v2/request_auth" method="post" name="rcForm" id="rcForm">\n'
        '  <input type="hidden" name="oauth_token" value="%s">\n'
        '  <input type="hidden" name="crumb" value="%s">\n'
        '  <input type="hidden" name=".scrumb" value="0">\n'
        '  <input type="submit" name="agree" id="agree" value="Agree">\n'
        '  <input type="submit" name="cancel" id="cancel" value="Cancel">\n'
        '</form>\n</div>' % (html.escape(token), html.escape(crumb))
    )
    return page("Allow access", body)


def verifier_page(code):
    body = (
        '<div id="bd">\n<h1>Almost done</h1>\n<p>Enter this code in the application:</p>\n'
        '<p class="code"><span id="shortCode">%s</span></p>\n'
        '<p><span class="hint">The code is valid for 10 minutes.</span></p>\n</div>' % code
    )
    return page("Code", body)


# ---------------------------------------------------------------------------------------------------
# Replies of the contact services


def google_feed(account, max_results):
    entries = []
    for i, c in enumerate(account["contacts"][:max_results]):
        entry = {
            "id": {"$t": "http://www.google.com/m8/feeds/contacts/%s/base/%x" % (account["email"], 1000 + i)},
            "updated": {"$t": "2012-03-01T10:00:00.000Z"},
            "category": [{"scheme": "http://schemas.google.com/g/2005#kind",
                          "term": "http://schemas.google.com/contact/2008#contact"}],
            "title": {"$t": " ".join(filter(None, (c.get("givenName"), c.get("familyName"))))},
            "link": [],
        }
        name = {}
        for key in ("givenName", "additionalName", "familyName"):
            if c.get(key):
                name["gd$" + key] = {"$t": c[key]}
        if name:
            name["gd$fullName"] = {"$t": entry["title"]["$t"]}
            entry["gd$name"] = name
        if c.get("emails"):
            entry["gd$email"] = [
                dict({"rel": "http://schemas.google.com/g/2005#other", "address": e},
                     **({"primary": "true"} if n == 0 else {}))
                for n, e in enumerate(c["emails"])
            ]
        if c.get("phones"):
            entry["gd$phoneNumber"] = [
                {"rel": "http://schemas.google.com/g/2005#mobile", "uri": "tel:" + p.replace(" ", "-"), "$t": p}
                for p in c["phones"]
            ]
        entries.append(entry)
    feed = {
        "xmlns": "http://www.w3.org/2005/Atom",
        "id": {"$t": account["email"]},
        "updated": {"$t": "2012-03-01T10:00:00.000Z"},
        "title": {"$t": account["name"] + "'s Contacts"},
        "author": [{"name": {"$t": account["name"]}, "email": {"$t": account["email"]}}],
        "openSearch$totalResults": {"$t": str(len(account["contacts"]))},
        "openSearch$startIndex": {"$t": "1"},
        "openSearch$itemsPerPage": {"$t": str(max_results)},
    }
    if entries:
        feed["entry"] = entries
    return {"version": "1.0", "encoding": "UTF-8", "feed": feed}


def yahoo_contacts(account, host):
    contacts = []
    for i, c in enumerate(account["contacts"]):
        fields = []

        def add(kind, value, flags=()):
            fields.append({"uri": "http://%s/v1/user/%s/contact/%d/%s/%d" % (host, account["guid"], i + 1, kind,
                                                                             len(fields) + 1),
                           "id": len(fields) + 1, "type": kind, "value": value, "editedBy": "OWNER",
                           "flags": list(flags), "categories": [], "created": "2011-05-02T08:00:00Z",
                           "updated": "2011-05-02T08:00:00Z"})

        if c.get("name"):
            add("name", dict(c["name"], prefix="", suffix="", givenNameSound="", familyNameSound=""))
        if c.get("nickname"):
            add("nickname", c["nickname"])
        for e in c.get("emails", []):
            add("email", e)
        for y in c.get("yahooids", []):
            add("yahooid", y)
        for p in c.get("phones", []):
            add("phone", p, ("MOBILE",))
        if c.get("address"):
            add("address", c["address"], ("HOME",))
        contacts.append({"uri": "http://%s/v1/user/%s/contact/%d" % (host, account["guid"], i + 1), "id": i + 1,
                         "isConnection": False, "created": "2011-05-02T08:00:00Z",
                         "updated": "2011-05-02T08:00:00Z", "fields": fields})
    return {"contacts": {"start": 0, "count": len(contacts), "total": len(contacts),
                         "uri": "http://%s/v1/user/%s/contacts" % (host, account["guid"]), "contact": contacts}}


# ---------------------------------------------------------------------------------------------------
# OAuth checks


def parse_authorization(header):
    if not header or not header.startswith("OAuth "):
        return None
    return {name: unquote(value) for name, value in re.findall(r'([A-Za-z0-9_]+)\s*=\s*"([^"]*)"', header[6:])}


def base_string(method, scheme, host, raw_path, params):
    host = host.lower()
    if (scheme == "https" and host.endswith(":443")) or (scheme == "http" and host.endswith(":80")):
        host = host.rsplit(":", 1)[0]
    uri = "%s://%s%s" % (scheme, host, raw_path)
    pairs = sorted((enc(k), enc(v)) for k, v in params)
    normalized = "&".join("%s=%s" % kv for kv in pairs)
    return "&".join((method.upper(), enc(uri), enc(normalized)))


def hmac_sha1(text, consumer_secret, token_secret):
    key = (enc(consumer_secret) + "&" + enc(token_secret)).encode("utf-8")
    return base64.b64encode(hmac.new(key, text.encode("utf-8"), hashlib.sha1).digest()).decode("ascii")


# ---------------------------------------------------------------------------------------------------
# HTTP


class Handler(httpsemulator.Handler):
    server_version = "TalkvaneImporterEmulator/1.0"
    max_body = 1 << 20

    @property
    def state(self):
        return self.server.state

    def host(self):
        return self.headers.get("Host") or "127.0.0.1:%d" % self.server.server_address[1]

    def send_json(self, value, status=200, ascii_only=False):
        return self.send(status, json.dumps(value, ensure_ascii=ascii_only), "application/json;charset=UTF-8")

    def redirect(self, location, headers=None):
        all_headers = {"Location": location}
        all_headers.update(headers or {})
        return self.send(302, "", "text/html;charset=UTF-8", all_headers)

    def form(self, body):
        content_type = self.headers.get("Content-Type", "")
        if not content_type.lower().startswith("application/x-www-form-urlencoded"):
            raise HttpError(415, "expected a form body")
        try:
            return parse_qsl(body.decode("ascii"), keep_blank_values=True, strict_parsing=False,
                             encoding="utf-8", errors="strict")
        except (UnicodeDecodeError, ValueError):
            raise HttpError(400, "the form body is not form-encoded UTF-8")

    def answer(self, method, raw_path, raw_query):
        # What each service request did, for /_admin/requests.
        self.entry = {"method": method, "path": raw_path}
        status = super().answer(method, raw_path, raw_query)
        if not raw_path.startswith("/_admin/"):
            self.entry["status"] = status
            self.state.note(self.entry)
        return status

    # --- admin

    def admin_request(self, method, what, data):
        if what == "reset" and method == "POST":
            self.state.reset()
            return self.send_json({"ok": True})
        if what == "requests" and method == "GET":
            with self.state.lock:
                return self.send_json(list(self.state.requests))
        if what == "faults" and method == "POST":
            for spec in data if isinstance(data, list) else [data]:
                self.state.add_fault(spec)
            return self.send_json({"ok": True})
        if what == "faults" and method == "DELETE":
            with self.state.lock:
                self.state.faults.clear()
            return self.send_json({"ok": True})
        if what == "yahoo/token" and method == "POST":
            login = str(data["login"]).lower()
            if login not in self.state.yahoo:
                raise HttpError(404, "no such Yahoo account")
            token, secret = self.new_access_token(next(iter(CONSUMERS)), login)
            return self.send_json({"token": token, "secret": secret,
                                   "guid": self.state.yahoo[login]["guid"],
                                   "consumerKey": next(iter(CONSUMERS))})
        raise HttpError(404, "unknown admin request")

    # --- services

    def service(self, method, raw_path, raw_query, body):
        fault = self.state.take_fault(method, raw_path)
        status = self.apply_fault(fault) if fault else None
        if status is None:
            status = self.route(method, raw_path, raw_query, body, self.entry)
        return status

    def route(self, method, raw_path, raw_query, body, entry):
        routes = {
            ("POST", "/accounts/ClientLogin"): self.google_client_login,
            ("GET", "/m8/feeds/contacts/default/full"): self.google_feed,
            ("POST", "/oauth/v2/get_request_token"): self.yahoo_request_token,
            ("GET", "/oauth/v2/request_auth"): self.yahoo_request_auth,
            ("POST", "/oauth/v2/request_auth"): self.yahoo_consent,
            ("GET", "/login"): self.yahoo_login_page,
            ("POST", "/login"): self.yahoo_login,
            ("POST", "/oauth/v2/get_token"): self.yahoo_access_token,
        }
        handler = routes.get((method, raw_path))
        if handler:
            return handler(raw_query, body, entry)
        if method == "GET" and re.fullmatch(r"/v1/user/[^/]+/contacts(;[^/]*)?", raw_path):
            return self.yahoo_contacts(raw_path, raw_query, entry)
        raise HttpError(404, "Not found")

    # Google

    def google_client_login(self, raw_query, body, entry):
        params = self.form(body)
        entry["params"] = [k for k, _ in params]
        values = dict(params)
        email = values.get("Email", "").lower()
        account = self.state.google.get(email)
        ok = account is not None and hmac.compare_digest(
            values.get("Passwd", "").encode("utf-8"), account["password"].encode("utf-8"))
        entry["passwordMatched"] = ok
        if len(params) != len(values):
            return self.send(400, "Error=BadRequest\n")
        for key in ("accountType", "source", "service"):
            if not values.get(key):
                return self.send(400, "Error=BadRequest\nInfo=missing %s\n" % key)
        if values["service"] != "cp":
            return self.send(400, "Error=BadRequest\nInfo=unknown service\n")
        if not ok:
            return self.send(403, "Error=BadAuthentication\n")
        token = token_text(40)
        with self.state.lock:
            self.state.google_tokens[token] = email
        return self.send(200, "SID=%s\nLSID=%s\nAuth=%s\n" % (token_text(24), token_text(24), token))

    def google_feed(self, raw_query, body, entry):
        query = dict(parse_qsl(raw_query, keep_blank_values=True))
        auth = self.headers.get("Authorization", "")
        token = auth[len("GoogleLogin auth="):] if auth.startswith("GoogleLogin auth=") else ""
        with self.state.lock:
            email = self.state.google_tokens.get(token)
        if not email:
            raise HttpError(401, "<HTML><HEAD><TITLE>Token invalid</TITLE></HEAD><BODY>Token invalid</BODY></HTML>",
                            "text/html;charset=UTF-8", {"WWW-Authenticate": 'GoogleLogin realm="x"'})
        if self.headers.get("GData-Version") != "3.0":
            raise HttpError(400, "GData-Version 3.0 is required")
        try:
            max_results = int(query.get("max-results", GOOGLE_DEFAULT_MAX_RESULTS))
        except ValueError:
            raise HttpError(400, "Invalid value for max-results parameter")
        feed = google_feed(self.state.google[email], max(0, max_results))
        entry["entries"] = len(feed["feed"].get("entry", []))
        if query.get("alt") != "json":
            return self.send(200, "<?xml version='1.0' encoding='UTF-8'?><feed/>", "application/atom+xml")
        return self.send_json(feed)

    # Yahoo

    def check_plaintext(self, params, token_secret):
        values = dict(params)
        secret = CONSUMERS.get(values.get("oauth_consumer_key", ""))
        if secret is None:
            raise oauth_problem("consumer_key_unknown")
        if values.get("oauth_signature_method", "").upper() != "PLAINTEXT":
            raise oauth_problem("signature_method_rejected")
        if values.get("oauth_version", "1.0") != "1.0":
            raise oauth_problem("version_rejected")
        self.check_timestamp(values)
        expected = enc(secret) + "&" + enc(token_secret)
        if not hmac.compare_digest(values.get("oauth_signature", "").encode("utf-8"), expected.encode("utf-8")):
            raise oauth_problem("signature_invalid")
        return values

    def check_timestamp(self, values):
        try:
            stamp = int(values.get("oauth_timestamp", ""))
        except ValueError:
            raise oauth_problem("parameter_absent")
        if abs(time.time() - stamp) > TIMESTAMP_WINDOW:
            raise oauth_problem("timestamp_refused")
        if not values.get("oauth_nonce"):
            raise oauth_problem("parameter_absent")
        key = (values.get("oauth_consumer_key"), values.get("oauth_token", ""), values["oauth_nonce"], stamp)
        if not self.state.check_nonce(key):
            raise oauth_problem("nonce_used")

    def yahoo_request_token(self, raw_query, body, entry):
        values = self.check_plaintext(self.form(body), "")
        if not values.get("oauth_callback"):
            raise oauth_problem("parameter_absent")
        token = "rt" + token_text(6).lower()
        secret = secrets.token_hex(20)
        with self.state.lock:
            self.state.request_tokens[token] = {"secret": secret, "consumer": values["oauth_consumer_key"],
                                                "login": None, "verifier": None, "crumb": token_text(11),
                                                "used": False}
        auth_url = "https://%s/oauth/v2/request_auth?oauth_token=%s" % (self.host(), token)
        reply = urlencode([("oauth_token", token), ("oauth_token_secret", secret), ("oauth_expires_in", "3600"),
                           ("xoauth_request_auth_url", auth_url), ("oauth_callback_confirmed", "true")],
                          quote_via=quote)
        return self.send(200, reply, "application/x-www-form-urlencoded")

    def session_login(self):
        cookies = self.headers.get("Cookie", "")
        for part in cookies.split(";"):
            name, _, value = part.strip().partition("=")
            if name == SESSION_COOKIE:
                with self.state.lock:
                    login = self.state.sessions.get(value)
                if login:
                    return login
        return None

    def request_token(self, token):
        with self.state.lock:
            record = self.state.request_tokens.get(token)
        if record is None:
            raise HttpError(400, page("Error", "<p>The request token is not valid.</p>"), "text/html;charset=UTF-8")
        return record

    def yahoo_request_auth(self, raw_query, body, entry):
        token = dict(parse_qsl(raw_query)).get("oauth_token", "")
        record = self.request_token(token)
        login = self.session_login()
        if not login:
            done = "https://%s/oauth/v2/request_auth?oauth_token=%s&.scrumb=0" % (self.host(), token)
            return self.redirect("/login?.src=oauth&.lang=en-US&.done=" + quote(done, safe=""))
        record["login"] = login
        return self.send(200, consent_page(token, record["crumb"]), "text/html;charset=UTF-8")

    def yahoo_login_page(self, raw_query, body, entry):
        done = dict(parse_qsl(raw_query)).get(".done", "")
        challenge = token_text(20)
        with self.state.lock:
            self.state.challenges.add(challenge)
        return self.send(200, login_page(self.host(), done, challenge), "text/html;charset=UTF-8")

    def yahoo_login(self, raw_query, body, entry):
        params = self.form(body)
        values = dict(params)
        entry["params"] = sorted(k for k, _ in params)
        with self.state.lock:
            known = values.get(".challenge") in self.state.challenges
        if not known or not values.get(".done"):
            raise HttpError(400, page("Error", "<p>Your session has expired.</p>"), "text/html;charset=UTF-8")
        login = values.get("login", "").lower()
        account = self.state.yahoo.get(login)
        ok = account is not None and hmac.compare_digest(
            values.get("passwd", "").encode("utf-8"), account["password"].encode("utf-8"))
        entry["passwordMatched"] = ok
        if not ok:
            challenge = token_text(20)
            with self.state.lock:
                self.state.challenges.add(challenge)
            return self.send(200, login_page(self.host(), values[".done"], challenge, error=True),
                             "text/html;charset=UTF-8")
        session = token_text(32)
        with self.state.lock:
            self.state.sessions[session] = login
            self.state.challenges.discard(values[".challenge"])
        return self.redirect(values[".done"], {"Set-Cookie": "%s=%s; Path=/; Secure; HttpOnly" % (SESSION_COOKIE,
                                                                                                   session)})

    def yahoo_consent(self, raw_query, body, entry):
        values = dict(self.form(body))
        entry["params"] = sorted(values)
        login = self.session_login()
        record = self.request_token(values.get("oauth_token", ""))
        if not login or record["login"] != login or values.get("crumb") != record["crumb"]:
            raise HttpError(400, page("Error", "<p>Invalid crumb.</p>"), "text/html;charset=UTF-8")
        if "agree" not in values:
            return self.send(200, page("Declined", "<p>You declined access.</p>"), "text/html;charset=UTF-8")
        record["verifier"] = token_text(6).lower()
        return self.send(200, verifier_page(record["verifier"]), "text/html;charset=UTF-8")

    def new_access_token(self, consumer, login):
        token = "A=" + base64.b64encode(secrets.token_bytes(48)).decode("ascii")
        secret = secrets.token_hex(20)
        with self.state.lock:
            self.state.access_tokens[token] = {"secret": secret, "consumer": consumer, "login": login}
        return token, secret

    def yahoo_access_token(self, raw_query, body, entry):
        params = self.form(body)
        values = dict(params)
        record = self.request_token(values.get("oauth_token", ""))
        self.check_plaintext(params, record["secret"])
        if record["used"] or not record["verifier"] or values.get("oauth_verifier") != record["verifier"]:
            raise oauth_problem("permission_denied")
        record["used"] = True
        token, secret = self.new_access_token(values["oauth_consumer_key"], record["login"])
        guid = self.state.yahoo[record["login"]]["guid"]
        reply = urlencode([("oauth_token", token), ("oauth_token_secret", secret), ("oauth_expires_in", "3600"),
                           ("oauth_session_handle", token_text(30)), ("oauth_authorization_expires_in", "770000000"),
                           ("xoauth_yahoo_guid", guid)], quote_via=quote)
        return self.send(200, reply, "application/x-www-form-urlencoded")

    def refuse_signature(self, problem):
        description = 'Please provide valid credentials. OAuth oauth_problem="%s", realm="%s"' % (problem, REALM)
        raise HttpError(401, json.dumps({"error": {"lang": "en-US", "description": description}}),
                        "application/json;charset=UTF-8",
                        {"WWW-Authenticate": 'OAuth oauth_problem="%s", realm="%s"' % (problem, REALM)})

    def yahoo_contacts(self, raw_path, raw_query, entry):
        oauth = parse_authorization(self.headers.get("Authorization"))
        if oauth is None:
            self.refuse_signature("parameter_absent")
        entry["signed"] = True
        consumer_secret = CONSUMERS.get(oauth.get("oauth_consumer_key", ""))
        if consumer_secret is None:
            self.refuse_signature("consumer_key_unknown")
        if oauth.get("oauth_signature_method") != "HMAC-SHA1" or oauth.get("oauth_version", "1.0") != "1.0":
            self.refuse_signature("signature_method_rejected")
        with self.state.lock:
            token = self.state.access_tokens.get(oauth.get("oauth_token", ""))
        if token is None:
            self.refuse_signature("token_rejected")
        query = parse_qsl(raw_query, keep_blank_values=True)
        params = [(k, v) for k, v in oauth.items() if k not in ("oauth_signature", "realm")] + query
        expected = hmac_sha1(base_string("GET", "https", self.host(), raw_path, params), consumer_secret,
                             token["secret"])
        if not hmac.compare_digest(oauth.get("oauth_signature", "").encode("utf-8"), expected.encode("utf-8")):
            entry["signatureValid"] = False
            self.refuse_signature("signature_invalid")
        entry["signatureValid"] = True
        try:
            self.check_timestamp(oauth)
        except HttpError as e:
            self.refuse_signature(e.text.partition("=")[2])
        account = self.state.yahoo[token["login"]]
        guid = raw_path.split("/")[3]
        if guid != account["guid"]:
            raise HttpError(403, json.dumps({"error": {"lang": "en-US", "description": "Access denied"}}),
                            "application/json;charset=UTF-8")
        if dict(query).get("format") != "json":
            return self.send(200, "<?xml version='1.0' encoding='utf-8'?><contacts/>", "application/xml")
        # The service writes non-ASCII text as \u escapes.
        return self.send_json(yahoo_contacts(account, self.host()), ascii_only=True)


class Server(httpsemulator.Server):
    def __init__(self, address, state, context):
        super().__init__(address, Handler, context, log)
        self.state = state


def main(argv=None):
    args = httpsemulator.parse_args(argv, __doc__.splitlines()[0], port=8444, seed=DEFAULT_SEED,
                                    state_help="folder of the CA by default and of the logs")
    return httpsemulator.serve(
        args, lambda state, context: Server(("127.0.0.1", args.port), State(os.path.abspath(args.seed)), context))


if __name__ == "__main__":
    sys.exit(main())
