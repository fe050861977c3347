#!/usr/bin/env python3
"""Local emulator of the calling-card JSON web service, for tests and for running Talkvane offline.

HTTPS on 127.0.0.1 with a certificate of the local CA (tools/localca/make-ca.sh); state in SQLite in the
state folder, seeded from a JSON file and kept across restarts.

    emulator.py --state DIR [--port N] [--port-file FILE] [--seed FILE] [--ca-dir DIR] [--exit-with-parent]

Service URLs: /webservice-5.0/<resource>/<user>[/<item>]?username=<user>&password=<pw>[&appid=<id>]
Admin (loopback only): /_admin/reset, /_admin/state, /_admin/faults, /_admin/config, /_admin/account.
Service errors travel as JSON objects with "errorMessage" (and "fieldErrors") under status 200.
"""

import datetime
import json
import math
import os
import re
import sqlite3
import sys
import threading
from urllib.parse import parse_qs, unquote

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "common"))
import httpsemulator  # noqa: E402
from httpsemulator import HttpError  # noqa: E402
DEFAULT_SEED = os.path.join(HERE, "seed.json")
SERVICE_ROOT = "webservice-5.0"
TAG_PREFIX = "com.zorvanglobe.phone.integration."

MSG_USER_NOT_FOUND = "User not found!"
MSG_INVALID = "Invalid parameters."
MSG_FOREIGN = "The account does not belong to the user."
MSG_SMS_TOO_LONG = "Max length exceeded"
MSG_SMS_PER_DAY = "Maximum number of messages per day reached"
MSG_NO_CREDIT = "Insufficient credit."
MSG_CONTACT_EXISTS = "Contact already exists."
MSG_CONTACT_MISSING = "Contact not found."
MSG_GROUP_EXISTS = "Group already exists."
MSG_GROUP_MISSING = "Group not found."
MSG_FOREIGN_RECORD = "The account does not belong to the user."

SMS_PART = 160
DEFAULT_LIMITS = {"smsMaxLength": 480, "smsPerDay": 20, "smsPartPrice": 0.05}

# Record tag of each resource; the other resources of the URL configuration are not served.
RESOURCE_TAGS = {
    "account": "Account",
    "balance": "Balance",
    "realTimeBalance": "Balance",
    "contact": "Contact",
    "group": "Group",
    "onlineNumber": "OnlineNumber",
    "invite": "Invite",
    "sms": "SMS",
}

# Pages of the brand's web shop (HomeUrls), answered with a stub page so links open somewhere.
SHOP_PREFIXES = ("/eshop/", "/myaccount/", "/contact.htm", "/recharge/")

ACCOUNT_PROFILE_KEYS = ("companyId", "country", "language", "lastName", "firstName")
CONTACT_TEXT_KEYS = (
    "nick",
    "groupName",
    "firstName",
    "lastName",
    "addressLine1",
    "addressLine2",
    "city",
    "state",
    "postalCode",
    "country",
    "sipUser",
)
INVITE_TEXT_KEYS = ("fromEmail", "fullName", "userSubject", "userMessage")
INVITE_FLAG_KEYS = (
    "showNumberOfContacts",
    "showCityOrCountry",
    "showPhoneNumber",
    "showVeskShopDetails",
    "showVeskNumbersDetails",
    "showCallForwardingDetails",
    "showVoicemailDetails",
)
EMAIL_RE = re.compile(r"^[^@\s]+@[^@\s]+\.[^@\s]+$")
DATE_RE = re.compile(r"^\d{4}-\d{2}-\d{2}$")
NUMBER_RE = re.compile(r"^\+?\d{3,20}$")


log = httpsemulator.logger("webservice")


def tag(name):
    return TAG_PREFIX + name


# ---------------------------------------------------------------------------------------------------
# JSON text


def _number_text(value):
    """Numbers with a fraction always carry a '.', never an exponent: the client's parser reads a
    number without '.' as an integer and turns '5e-05' into 0."""
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int):
        return str(value)
    if not math.isfinite(value):
        return "0.0"
    text = repr(float(value))
    if "e" in text or "E" in text:
        text = ("%.12f" % value).rstrip("0")
        if text.endswith("."):
            text += "0"
    elif "." not in text:
        text += ".0"
    return text


def json_text(value):
    if value is None:
        return "null"
    if isinstance(value, (bool, int, float)):
        return _number_text(value)
    if isinstance(value, str):
        return json.dumps(value, ensure_ascii=False)
    if isinstance(value, dict):
        return "{" + ", ".join(json_text(str(k)) + ": " + json_text(v) for k, v in value.items()) + "}"
    if isinstance(value, (list, tuple)):
        return "[" + ", ".join(json_text(v) for v in value) + "]"
    return json.dumps(str(value), ensure_ascii=False)


# ---------------------------------------------------------------------------------------------------
# Errors raised by the request handlers and turned into replies


class ServiceError(Exception):
    """A service-level refusal: JSON object with errorMessage (and fieldErrors), status 200."""

    def __init__(self, message, field_errors=None):
        super().__init__(message)
        self.message = message
        self.field_errors = field_errors or []


def field_error(field, code):
    return {"field": field, "errorCode": code}


def invalid(field=None, code="required"):
    return ServiceError(MSG_INVALID, [field_error(field, code)] if field else [])


# ---------------------------------------------------------------------------------------------------
# Date helpers


def date_to_millis(text):
    """Wire form of a date: milliseconds since the epoch at noon UTC, so the client's local date is the
    same day in every time zone from UTC-11 to UTC+11."""
    day = datetime.date.fromisoformat(text)
    moment = datetime.datetime(day.year, day.month, day.day, 12, tzinfo=datetime.timezone.utc)
    return int(moment.timestamp() * 1000)


def millis_to_date(millis):
    return datetime.datetime.fromtimestamp(millis / 1000, datetime.timezone.utc).date().isoformat()


def valid_date(text):
    if not DATE_RE.match(text):
        return False
    try:
        datetime.date.fromisoformat(text)
    except ValueError:
        return False
    return True


def sms_parts(text):
    return max(1, math.ceil(len(text) / SMS_PART))


# ---------------------------------------------------------------------------------------------------
# Body field readers (the client's codec may send numbers where text is expected)


def text_field(body, key, errors):
    value = body.get(key, "")
    if value is None:
        return ""
    if isinstance(value, bool):
        errors.append(field_error(key, "invalid"))
        return ""
    if isinstance(value, (int, float)):
        return _number_text(value)
    if not isinstance(value, str):
        errors.append(field_error(key, "invalid"))
        return ""
    return value


def text_list_field(body, key, errors):
    value = body.get(key, [])
    if value is None:
        return []
    if not isinstance(value, list) or not all(isinstance(v, str) for v in value):
        errors.append(field_error(key, "invalid"))
        return []
    return list(value)


def flag_field(body, key, errors):
    value = body.get(key, False)
    if value is None:
        return False
    if not isinstance(value, bool):
        errors.append(field_error(key, "invalid"))
        return False
    return value


# ---------------------------------------------------------------------------------------------------
# State


SCHEMA = """
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS accounts(
    username TEXT PRIMARY KEY, password TEXT NOT NULL, profile TEXT NOT NULL,
    credit REAL NOT NULL, currency TEXT NOT NULL, currency_symbol TEXT NOT NULL, last_appid TEXT);
CREATE TABLE IF NOT EXISTS groups(
    id INTEGER PRIMARY KEY, username TEXT NOT NULL, name TEXT NOT NULL, UNIQUE(username, name));
CREATE TABLE IF NOT EXISTS contacts(
    id INTEGER PRIMARY KEY, username TEXT NOT NULL, nick TEXT NOT NULL, record TEXT NOT NULL,
    UNIQUE(username, nick));
CREATE TABLE IF NOT EXISTS online_numbers(
    id INTEGER PRIMARY KEY, username TEXT NOT NULL, number TEXT NOT NULL, expiration_ms INTEGER NOT NULL,
    status TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS sms(
    id INTEGER PRIMARY KEY, username TEXT NOT NULL, sent_at TEXT NOT NULL, day TEXT NOT NULL,
    destinations TEXT NOT NULL, text TEXT NOT NULL, parts INTEGER NOT NULL, cost REAL NOT NULL);
CREATE TABLE IF NOT EXISTS invites(
    id INTEGER PRIMARY KEY, username TEXT NOT NULL, sent_at TEXT NOT NULL, record TEXT NOT NULL);
"""

TABLES = ("meta", "accounts", "groups", "contacts", "online_numbers", "sms", "invites")


class Store:
    """All state in one SQLite file; one connection, serialised by a lock (requests are small)."""

    def __init__(self, path, seed_file):
        self.seed_file = seed_file
        self.lock = threading.RLock()
        fresh = not os.path.exists(path)
        self.db = sqlite3.connect(path, check_same_thread=False, isolation_level=None)
        self.db.execute("PRAGMA journal_mode=WAL")
        self.db.executescript(SCHEMA)
        if fresh or self.db.execute("SELECT COUNT(*) FROM accounts").fetchone()[0] == 0:
            self.reset()

    def close(self):
        with self.lock:
            self.db.close()

    # --- seeding

    def reset(self):
        with open(self.seed_file, encoding="utf-8") as f:
            seed = json.load(f)
        with self.lock:
            self.db.execute("BEGIN")
            try:
                for table in TABLES:
                    self.db.execute("DELETE FROM " + table)
                limits = dict(DEFAULT_LIMITS)
                limits.update(seed.get("limits", {}))
                self._set_meta("limits", limits)
                for account in seed.get("accounts", []):
                    self._seed_account(account)
                self.db.execute("COMMIT")
            except BaseException:
                self.db.execute("ROLLBACK")
                raise

    def _seed_account(self, a):
        user = a["username"]
        self.db.execute(
            "INSERT INTO accounts VALUES(?,?,?,?,?,?,NULL)",
            (
                user,
                a["password"],
                json.dumps(self._profile_from_seed(a)),
                float(a.get("credit", 0.0)),
                a.get("currency", ""),
                a.get("currencySymbol", ""),
            ),
        )
        for n in a.get("onlineNumbers", []):
            self.db.execute(
                "INSERT INTO online_numbers(username, number, expiration_ms, status) VALUES(?,?,?,?)",
                (user, n["number"], date_to_millis(n["expirationDate"]), n.get("status", "ACTIVE")),
            )
        for g in a.get("groups", []):
            self.db.execute("INSERT INTO groups(username, name) VALUES(?,?)", (user, g))
        for c in a.get("contacts", []):
            record, errors = contact_record(c, c["nick"])
            if errors:
                raise ValueError("bad seed contact %r: %r" % (c.get("nick"), errors))
            self.db.execute(
                "INSERT INTO contacts(username, nick, record) VALUES(?,?,?)",
                (user, record["nick"], json.dumps(record)),
            )

    @staticmethod
    def _profile_from_seed(a):
        profile = {k: a.get(k, "") for k in ACCOUNT_PROFILE_KEYS}
        profile["emails"] = list(a.get("emails", []))
        # The account's PINs travel as its plain phone strings.
        profile["phones"] = list(a.get("pins", a.get("phones", [])))
        for k in ("sipDomain", "sipUser", "sipPassword"):
            profile[k] = a.get(k, "")
        return profile

    def _set_meta(self, key, value):
        self.db.execute("INSERT OR REPLACE INTO meta VALUES(?,?)", (key, json.dumps(value)))

    def _meta(self, key, default):
        row = self.db.execute("SELECT value FROM meta WHERE key=?", (key,)).fetchone()
        return json.loads(row[0]) if row else default

    # --- limits

    def limits(self):
        with self.lock:
            return self._meta("limits", dict(DEFAULT_LIMITS))

    def set_limits(self, changes):
        with self.lock:
            limits = self._meta("limits", dict(DEFAULT_LIMITS))
            for key, value in changes.items():
                if key not in DEFAULT_LIMITS or isinstance(value, bool) or not isinstance(value, (int, float)):
                    raise ValueError("unknown or invalid limit %r" % key)
                limits[key] = value
            self._set_meta("limits", limits)
            return limits

    # --- accounts

    def check_password(self, user, password):
        with self.lock:
            row = self.db.execute("SELECT password FROM accounts WHERE username=?", (user,)).fetchone()
        return row is not None and row[0] == password

    def account(self, user):
        with self.lock:
            row = self.db.execute(
                "SELECT password, profile, credit, currency, currency_symbol FROM accounts WHERE username=?",
                (user,),
            ).fetchone()
        if row is None:
            return None
        profile = json.loads(row[1])
        record = {"class": tag("Account")}
        for k in ACCOUNT_PROFILE_KEYS:
            record[k] = profile.get(k, "")
        record["emails"] = profile.get("emails", [])
        record["username"] = user
        record["password"] = row[0]
        for k in ("sipDomain", "sipUser", "sipPassword"):
            record[k] = profile.get(k, "")
        record["phones"] = profile.get("phones", [])
        return record

    def note_appid(self, user, appid):
        with self.lock:
            self.db.execute("UPDATE accounts SET last_appid=? WHERE username=?", (appid, user))

    def update_profile(self, user, changes):
        with self.lock:
            row = self.db.execute("SELECT profile FROM accounts WHERE username=?", (user,)).fetchone()
            profile = json.loads(row[0])
            profile.update(changes)
            self.db.execute("UPDATE accounts SET profile=? WHERE username=?", (json.dumps(profile), user))

    def patch_account(self, user, fields):
        """Admin change of an account: credit, currency, currencySymbol, password or profile keys."""
        with self.lock:
            if self.db.execute("SELECT 1 FROM accounts WHERE username=?", (user,)).fetchone() is None:
                raise KeyError(user)
            profile_changes = {}
            for key, value in fields.items():
                if key == "credit":
                    self.db.execute("UPDATE accounts SET credit=? WHERE username=?", (float(value), user))
                elif key == "currency":
                    self.db.execute("UPDATE accounts SET currency=? WHERE username=?", (str(value), user))
                elif key == "currencySymbol":
                    self.db.execute(
                        "UPDATE accounts SET currency_symbol=? WHERE username=?", (str(value), user)
                    )
                elif key == "password":
                    self.db.execute("UPDATE accounts SET password=? WHERE username=?", (str(value), user))
                elif key in ACCOUNT_PROFILE_KEYS + ("emails", "phones", "sipDomain", "sipUser", "sipPassword"):
                    profile_changes[key] = value
                elif key != "username":
                    raise ValueError("unknown account field %r" % key)
            if profile_changes:
                self.update_profile(user, profile_changes)

    def balance(self, user):
        with self.lock:
            row = self.db.execute(
                "SELECT credit, currency, currency_symbol FROM accounts WHERE username=?", (user,)
            ).fetchone()
        return {"class": tag("Balance"), "credit": float(row[0]), "currency": row[1], "currencySymbol": row[2]}

    # --- address book

    def groups(self, user):
        with self.lock:
            rows = self.db.execute("SELECT name FROM groups WHERE username=? ORDER BY id", (user,)).fetchall()
        return [{"class": tag("Group"), "name": r[0]} for r in rows]

    def add_group(self, user, name):
        with self.lock:
            try:
                self.db.execute("INSERT INTO groups(username, name) VALUES(?,?)", (user, name))
            except sqlite3.IntegrityError:
                raise ServiceError(MSG_GROUP_EXISTS, [field_error("name", "duplicate")])

    def rename_group(self, user, old, new):
        with self.lock:
            self.db.execute("BEGIN")
            try:
                if self.db.execute(
                    "SELECT 1 FROM groups WHERE username=? AND name=?", (user, old)
                ).fetchone() is None:
                    raise ServiceError(MSG_GROUP_MISSING)
                if new != old:
                    try:
                        self.db.execute(
                            "UPDATE groups SET name=? WHERE username=? AND name=?", (new, user, old)
                        )
                    except sqlite3.IntegrityError:
                        raise ServiceError(MSG_GROUP_EXISTS, [field_error("name", "duplicate")])
                    # Contacts refer to their group by name: they follow the rename.
                    rows = self.db.execute(
                        "SELECT id, record FROM contacts WHERE username=?", (user,)
                    ).fetchall()
                    for row_id, text in rows:
                        record = json.loads(text)
                        if record.get("groupName") == old:
                            record["groupName"] = new
                            self.db.execute(
                                "UPDATE contacts SET record=? WHERE id=?", (json.dumps(record), row_id)
                            )
                self.db.execute("COMMIT")
            except BaseException:
                self.db.execute("ROLLBACK")
                raise

    def delete_group(self, user, name):
        with self.lock:
            cursor = self.db.execute("DELETE FROM groups WHERE username=? AND name=?", (user, name))
        if cursor.rowcount == 0:
            raise ServiceError(MSG_GROUP_MISSING)

    def contacts(self, user):
        with self.lock:
            rows = self.db.execute(
                "SELECT record FROM contacts WHERE username=? ORDER BY id", (user,)
            ).fetchall()
        return [json.loads(r[0]) for r in rows]

    def contact(self, user, nick):
        with self.lock:
            row = self.db.execute(
                "SELECT record FROM contacts WHERE username=? AND nick=?", (user, nick)
            ).fetchone()
        if row is None:
            raise ServiceError(MSG_CONTACT_MISSING)
        return json.loads(row[0])

    def add_contact(self, user, record):
        with self.lock:
            try:
                self.db.execute(
                    "INSERT INTO contacts(username, nick, record) VALUES(?,?,?)",
                    (user, record["nick"], json.dumps(record)),
                )
            except sqlite3.IntegrityError:
                raise ServiceError(MSG_CONTACT_EXISTS, [field_error("nick", "duplicate")])

    def update_contact(self, user, record):
        with self.lock:
            cursor = self.db.execute(
                "UPDATE contacts SET record=? WHERE username=? AND nick=?",
                (json.dumps(record), user, record["nick"]),
            )
        if cursor.rowcount == 0:
            raise ServiceError(MSG_CONTACT_MISSING)

    def delete_contact(self, user, nick):
        with self.lock:
            cursor = self.db.execute("DELETE FROM contacts WHERE username=? AND nick=?", (user, nick))
        if cursor.rowcount == 0:
            raise ServiceError(MSG_CONTACT_MISSING)

    # --- numbers, SMS, invitations

    def online_numbers(self, user):
        with self.lock:
            rows = self.db.execute(
                "SELECT number, expiration_ms, status FROM online_numbers WHERE username=? ORDER BY id", (user,)
            ).fetchall()
        return [
            {"class": tag("OnlineNumber"), "number": r[0], "expirationDate": int(r[1]), "status": r[2]}
            for r in rows
        ]

    def send_sms(self, user, destinations, text):
        limits = self.limits()
        if len(text) > int(limits["smsMaxLength"]):
            raise ServiceError(MSG_SMS_TOO_LONG, [field_error("text", "maxLength")])
        parts = sms_parts(text)
        cost = round(parts * len(destinations) * float(limits["smsPartPrice"]), 6)
        now = datetime.datetime.now()
        today = now.date().isoformat()
        with self.lock:
            self.db.execute("BEGIN IMMEDIATE")
            try:
                sent = 0
                for (dest,) in self.db.execute(
                    "SELECT destinations FROM sms WHERE username=? AND day=?", (user, today)
                ):
                    sent += len(json.loads(dest))
                if sent + len(destinations) > int(limits["smsPerDay"]):
                    raise ServiceError(MSG_SMS_PER_DAY)
                credit = self.db.execute("SELECT credit FROM accounts WHERE username=?", (user,)).fetchone()[0]
                if credit + 1e-9 < cost:
                    raise ServiceError(MSG_NO_CREDIT)
                self.db.execute(
                    "UPDATE accounts SET credit=? WHERE username=?", (round(credit - cost, 6), user)
                )
                self.db.execute(
                    "INSERT INTO sms(username, sent_at, day, destinations, text, parts, cost) "
                    "VALUES(?,?,?,?,?,?,?)",
                    (user, now.isoformat(timespec="seconds"), today, json.dumps(destinations), text, parts, cost),
                )
                self.db.execute("COMMIT")
            except BaseException:
                self.db.execute("ROLLBACK")
                raise

    def add_invite(self, user, record):
        with self.lock:
            self.db.execute(
                "INSERT INTO invites(username, sent_at, record) VALUES(?,?,?)",
                (user, datetime.datetime.now().isoformat(timespec="seconds"), json.dumps(record)),
            )

    # --- dump for tests

    def dump(self):
        with self.lock:
            accounts = {}
            for user, profile, credit, currency, symbol, appid in self.db.execute(
                "SELECT username, profile, credit, currency, currency_symbol, last_appid FROM accounts "
                "ORDER BY username"
            ).fetchall():
                p = json.loads(profile)
                p.pop("sipPassword", None)
                p.update({"credit": credit, "currency": currency, "currencySymbol": symbol, "lastAppId": appid})
                p["groups"] = [g["name"] for g in self.groups(user)]
                p["contacts"] = self.contacts(user)
                p["onlineNumbers"] = self.online_numbers(user)
                p["sms"] = [
                    {"sentAt": r[0], "destinationNumbers": json.loads(r[1]), "text": r[2], "parts": r[3], "cost": r[4]}
                    for r in self.db.execute(
                        "SELECT sent_at, destinations, text, parts, cost FROM sms WHERE username=? ORDER BY id",
                        (user,),
                    ).fetchall()
                ]
                p["invites"] = [
                    json.loads(r[0])
                    for r in self.db.execute(
                        "SELECT record FROM invites WHERE username=? ORDER BY id", (user,)
                    ).fetchall()
                ]
                accounts[user] = p
            return {"accounts": accounts, "limits": self._meta("limits", dict(DEFAULT_LIMITS))}


# ---------------------------------------------------------------------------------------------------
# Record validation


def contact_record(body, nick):
    """The stored form of a contact: every key of the record, the nick taken from the URL."""
    errors = []
    record = {"class": tag("Contact")}
    for key in CONTACT_TEXT_KEYS:
        record[key] = text_field(body, key, errors)
    record["nick"] = nick
    record["emails"] = text_list_field(body, "emails", errors)
    birth = text_field(body, "birthDate", errors)
    if birth and not valid_date(birth):
        errors.append(field_error("birthDate", "invalid"))
    record["birthDate"] = birth
    phones = body.get("phones", [])
    record["phones"] = []
    if phones is None:
        phones = []
    if not isinstance(phones, list):
        errors.append(field_error("phones", "invalid"))
        phones = []
    for phone in phones:
        if not isinstance(phone, dict):
            errors.append(field_error("phones", "invalid"))
            continue
        number = text_field(phone, "number", errors)
        kind = text_field(phone, "type", errors) or "HOME"
        record["phones"].append({"class": tag("PhoneNumber"), "type": kind, "number": number})
    return record, errors


def invite_record(body):
    errors = []
    record = {"class": tag("Invite")}
    for key in INVITE_TEXT_KEYS:
        record[key] = text_field(body, key, errors)
    record["toEmails"] = text_list_field(body, "toEmails", errors)
    for key in INVITE_FLAG_KEYS:
        record[key] = flag_field(body, key, errors)
    count = body.get("numberOfContacts", 0)
    if isinstance(count, bool) or not isinstance(count, int):
        errors.append(field_error("numberOfContacts", "invalid"))
        count = 0
    record["numberOfContacts"] = count
    if not errors:
        if not record["toEmails"]:
            errors.append(field_error("toEmails", "required"))
        elif not all(EMAIL_RE.match(e) for e in record["toEmails"]):
            errors.append(field_error("toEmails", "invalid"))
        if record["fromEmail"] and not EMAIL_RE.match(record["fromEmail"]):
            errors.append(field_error("fromEmail", "invalid"))
    return record, errors


def sms_record(body):
    errors = []
    numbers = text_list_field(body, "destinationNumbers", errors)
    text = text_field(body, "text", errors)
    if errors:
        return None, errors
    if not numbers:
        errors.append(field_error("destinationNumbers", "required"))
    for number in numbers:
        if not NUMBER_RE.match(re.sub(r"[\s()\-]", "", number)):
            errors.append(field_error("destinationNumbers", "invalid"))
            break
    if not text:
        errors.append(field_error("text", "required"))
    return {"class": tag("SMS"), "destinationNumbers": numbers, "text": text}, errors


# ---------------------------------------------------------------------------------------------------
# Fault injection


class Faults:
    KINDS = ("500", "malformed", "delay", "drop")

    def __init__(self):
        self.lock = threading.Lock()
        self.pending = []

    def add(self, spec):
        if not isinstance(spec, dict):
            raise ValueError("a fault is a JSON object")
        kind = str(spec.get("kind", ""))
        if kind not in self.KINDS:
            raise ValueError("kind must be one of " + ", ".join(self.KINDS))
        count = spec.get("count", 1)
        if isinstance(count, bool) or not isinstance(count, int) or count < 1:
            raise ValueError("count must be a positive integer")
        seconds = spec.get("seconds", 0)
        if isinstance(seconds, bool) or not isinstance(seconds, (int, float)) or seconds < 0:
            raise ValueError("seconds must be a non-negative number")
        resource = spec.get("resource")
        if resource is not None and resource not in RESOURCE_TAGS:
            raise ValueError("unknown resource %r" % resource)
        method = spec.get("method")
        fault = {"kind": kind, "count": count, "seconds": seconds, "resource": resource, "method": method}
        if "body" in spec:
            fault["body"] = str(spec["body"])
        with self.lock:
            self.pending.append(fault)

    def take(self, resource, method):
        """The first pending fault matching this request, its count used up by one."""
        with self.lock:
            for fault in self.pending:
                if fault["resource"] not in (None, resource):
                    continue
                if fault["method"] not in (None, method):
                    continue
                fault["count"] -= 1
                if fault["count"] == 0:
                    self.pending.remove(fault)
                return dict(fault)
        return None

    def clear(self):
        with self.lock:
            self.pending.clear()

    def list(self):
        with self.lock:
            return [dict(f) for f in self.pending]


# ---------------------------------------------------------------------------------------------------
# HTTP


def redacted_query(query):
    return {k: ("********" if k == "password" else v) for k, v in query.items()}


class Handler(httpsemulator.Handler):
    server_version = "TalkvaneWebserviceEmulator/1.0"
    fault_error_page = "<html><body><h1>HTTP Status 500 - Internal Server Error</h1></body></html>"
    fault_malformed_page = "<html><body>Service temporarily unavailable</body></html>"

    def do_PUT(self):
        self.dispatch("PUT")

    # --- plumbing

    def send_json(self, value, status=200):
        self.send(status, json_text(value).encode("utf-8"), "application/json;charset=UTF-8")

    def send_error_reply(self, error):
        self.send_json({"errorMessage": error.text}, error.status)
        return error.status

    def service(self, method, raw_path, raw_query, body):
        if raw_path.startswith("/" + SERVICE_ROOT + "/"):
            return self.resource(method, raw_path, raw_query.partition("#")[0], body)
        if method == "GET" and raw_path.startswith(SHOP_PREFIXES):
            page = "<html><body><h1>Talkvane local shop</h1><p>%s</p></body></html>" % raw_path
            return self.send(200, page, "text/html;charset=UTF-8")
        raise HttpError(404, "Not found")

    # --- admin

    def admin_request(self, method, what, data):
        server = self.server
        if what == "reset" and method == "POST":
            server.store.reset()
            server.faults.clear()
            server.clear_requests()
            self.send_json({"ok": True})
        elif what == "state" and method == "GET":
            state = server.store.dump()
            state["faults"] = server.faults.list()
            state["requests"] = server.request_log()
            self.send_json(state)
        elif what == "faults" and method == "POST":
            for spec in data if isinstance(data, list) else [data]:
                server.faults.add(spec)
            self.send_json(server.faults.list())
        elif what == "faults" and method == "GET":
            self.send_json(server.faults.list())
        elif what == "faults" and method == "DELETE":
            server.faults.clear()
            self.send_json([])
        elif what == "config" and method == "POST":
            if not isinstance(data, dict):
                raise ValueError("limits are a JSON object")
            self.send_json(server.store.set_limits(data))
        elif what == "config" and method == "GET":
            self.send_json(server.store.limits())
        elif what == "account" and method == "POST":
            if not isinstance(data, dict) or not isinstance(data.get("username"), str):
                raise ValueError("give a JSON object with username")
            server.store.patch_account(data["username"], data)
            self.send_json({"ok": True})
        else:
            raise HttpError(404, "unknown admin request")
        return 200

    # --- service

    def resource(self, method, raw_path, raw_query, body):
        segments = [unquote(s, errors="replace") for s in raw_path.split("/")[2:]]
        resource = segments[0] if segments else ""
        rest = segments[1:]
        if resource not in RESOURCE_TAGS or len(rest) > 2:
            raise HttpError(404, "Not found")
        query = {k: v[0] for k, v in parse_qs(raw_query, keep_blank_values=True).items()}
        path_user = rest[0] if rest else ""
        item = rest[1] if len(rest) == 2 else None
        entry = {
            "method": method,
            "resource": resource,
            "pathUser": path_user,
            "item": item,
            "query": redacted_query(query),
            "body": body.decode("utf-8", errors="replace"),
        }
        fault = self.server.faults.take(resource, method)
        if fault:
            entry["fault"] = fault["kind"]
        self.server.note_request(entry)
        if fault:
            done = self.apply_fault(fault)
            if done is not None:
                entry["status"] = done
                return done
        try:
            status, reply = self.serve(method, resource, path_user, item, query, body)
        except ServiceError as e:
            status = 200
            reply = {
                "class": tag(RESOURCE_TAGS[resource]),
                "errorMessage": e.message,
                "fieldErrors": e.field_errors,
                "fieldHints": [],
            }
            entry["errorMessage"] = e.message
        entry["status"] = status
        if status == 204:
            self.send(204, b"", "application/json;charset=UTF-8")
        else:
            self.send_json(reply, status)
        return status

    def authenticate(self, path_user, query, sign_in=False):
        username = query.get("username")
        password = query.get("password")
        if not username or not password or not path_user:
            raise ServiceError(MSG_INVALID)
        if sign_in and not query.get("appid"):
            raise ServiceError(MSG_INVALID)
        if not self.server.store.check_password(username, password):
            raise ServiceError(MSG_USER_NOT_FOUND)
        if path_user != username:
            raise ServiceError(MSG_FOREIGN)
        return username

    @staticmethod
    def parse_body(body):
        if not body:
            raise invalid()
        try:
            value = json.loads(body.decode("utf-8"), strict=False)
        except (UnicodeDecodeError, json.JSONDecodeError):
            raise invalid()
        if not isinstance(value, dict):
            raise invalid()
        return value

    def serve(self, method, resource, path_user, item, query, body):
        route = ROUTES.get((resource, method, item is not None))
        if route is None:
            raise HttpError(405, "Method not allowed")
        user = self.authenticate(path_user, query, sign_in=(resource == "account" and method == "GET"))
        if item is not None and item == "":
            raise invalid("id")
        return route(self, user, item, query, body)

    # --- requests

    def account_fetch(self, user, item, query, body):
        self.server.store.note_appid(user, query["appid"])
        return 200, [self.server.store.account(user)]

    def account_update(self, user, item, query, body):
        data = self.parse_body(body)
        named = data.get("username")
        if isinstance(named, str) and named and named != user:
            raise ServiceError(MSG_FOREIGN_RECORD, [field_error("username", "invalid")])
        errors = []
        changes = {k: text_field(data, k, errors) for k in ACCOUNT_PROFILE_KEYS if k in data}
        if "emails" in data:
            changes["emails"] = text_list_field(data, "emails", errors)
            if not all(EMAIL_RE.match(e) for e in changes["emails"]):
                errors.append(field_error("emails", "invalid"))
        if errors:
            raise ServiceError(MSG_INVALID, errors)
        # Sign-in and voice credentials and the PINs are not changed through this request.
        self.server.store.update_profile(user, changes)
        return 200, self.server.store.account(user)

    def balance_fetch(self, user, item, query, body):
        return 200, [self.server.store.balance(user)]

    def contact_list(self, user, item, query, body):
        return 200, self.server.store.contacts(user)

    def contact_fetch(self, user, item, query, body):
        return 200, self.server.store.contact(user, item)

    def contact_create(self, user, item, query, body):
        record = self.checked_contact(body, item)
        self.server.store.add_contact(user, record)
        return 200, record

    def contact_update(self, user, item, query, body):
        record = self.checked_contact(body, item)
        self.server.store.update_contact(user, record)
        return 200, record

    def checked_contact(self, body, nick):
        record, errors = contact_record(self.parse_body(body), nick)
        if errors:
            raise ServiceError(MSG_INVALID, errors)
        return record

    def contact_delete(self, user, item, query, body):
        self.server.store.delete_contact(user, item)
        return 204, None

    def group_list(self, user, item, query, body):
        return 200, self.server.store.groups(user)

    def group_name(self, body):
        errors = []
        name = text_field(self.parse_body(body), "name", errors)
        if errors or not name.strip():
            raise ServiceError(MSG_INVALID, errors or [field_error("name", "required")])
        return name

    def group_create(self, user, item, query, body):
        name = self.group_name(body)
        self.server.store.add_group(user, name)
        return 200, {"class": tag("Group"), "name": name}

    def group_rename(self, user, item, query, body):
        name = self.group_name(body)
        self.server.store.rename_group(user, item, name)
        return 200, {"class": tag("Group"), "name": name}

    def group_delete(self, user, item, query, body):
        self.server.store.delete_group(user, item)
        return 204, None

    def online_numbers(self, user, item, query, body):
        return 200, self.server.store.online_numbers(user)

    def invite_send(self, user, item, query, body):
        record, errors = invite_record(self.parse_body(body))
        if errors:
            raise ServiceError(MSG_INVALID, errors)
        self.server.store.add_invite(user, record)
        return 200, record

    def sms_send(self, user, item, query, body):
        record, errors = sms_record(self.parse_body(body))
        if errors:
            raise ServiceError(MSG_INVALID, errors)
        self.server.store.send_sms(user, record["destinationNumbers"], record["text"])
        return 200, record


# (resource, method, has item id) -> handler
ROUTES = {
    ("account", "GET", False): Handler.account_fetch,
    ("account", "PUT", False): Handler.account_update,
    ("balance", "GET", False): Handler.balance_fetch,
    ("realTimeBalance", "GET", False): Handler.balance_fetch,
    ("contact", "GET", False): Handler.contact_list,
    ("contact", "GET", True): Handler.contact_fetch,
    ("contact", "PUT", True): Handler.contact_create,
    ("contact", "POST", True): Handler.contact_update,
    ("contact", "DELETE", True): Handler.contact_delete,
    ("group", "GET", False): Handler.group_list,
    ("group", "PUT", False): Handler.group_create,
    ("group", "POST", True): Handler.group_rename,
    ("group", "DELETE", True): Handler.group_delete,
    ("onlineNumber", "GET", False): Handler.online_numbers,
    ("invite", "PUT", False): Handler.invite_send,
    ("sms", "PUT", False): Handler.sms_send,
}


class Server(httpsemulator.Server):
    REQUEST_LOG_SIZE = 1000

    def __init__(self, address, store, context):
        super().__init__(address, Handler, context, log)
        self.store = store
        self.faults = Faults()
        self._requests = []
        self._requests_lock = threading.Lock()

    def close(self):
        self.store.close()

    def note_request(self, entry):
        with self._requests_lock:
            self._requests.append(entry)
            del self._requests[: -self.REQUEST_LOG_SIZE]

    def request_log(self):
        with self._requests_lock:
            return [dict(e) for e in self._requests]

    def clear_requests(self):
        with self._requests_lock:
            self._requests.clear()


def main(argv=None):
    args = httpsemulator.parse_args(argv, __doc__.splitlines()[0], port=8443, seed=DEFAULT_SEED,
                                    state_help="folder of the database (and of the CA by default)")

    def make_server(state, context):
        store = Store(os.path.join(state, "webservice.sqlite"), os.path.abspath(args.seed))
        return Server(("127.0.0.1", args.port), store, context)

    return httpsemulator.serve(args, make_server, SERVICE_ROOT + "/")


if __name__ == "__main__":
    sys.exit(main())
