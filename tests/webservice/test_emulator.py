#!/usr/bin/env python3
"""Tests of the local web-service emulator over real HTTPS, certificate verification on."""

import http.client
import json
import os
import shutil
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.error
import urllib.request
from urllib.parse import quote

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
EMULATOR = os.path.join(ROOT, "tools", "webservice", "emulator.py")
sys.path.insert(0, os.path.dirname(EMULATOR))
import emulator  # noqa: E402

TAG = "com.zorvanglobe.phone.integration."
BOB_PASSWORD = "b&b #1+%41 x"
ACCOUNT_KEYS = {
    "class", "companyId", "country", "emails", "language", "lastName", "firstName", "username", "password",
    "sipDomain", "sipUser", "sipPassword", "phones",
}
CONTACT_KEYS = {
    "class", "nick", "groupName", "firstName", "lastName", "addressLine1", "addressLine2", "city", "state",
    "postalCode", "country", "emails", "birthDate", "phones", "sipUser",
}
INVITE_KEYS = {
    "class", "fromEmail", "toEmails", "fullName", "userSubject", "userMessage", "showNumberOfContacts",
    "numberOfContacts", "showCityOrCountry", "showPhoneNumber", "showVeskShopDetails",
    "showVeskNumbersDetails", "showCallForwardingDetails", "showVoicemailDetails",
}


class Emulator:
    """One emulator process over a state folder, on a free port."""

    def __init__(self, state):
        self.state = state
        self.port_file = os.path.join(state, "port")
        self.log_path = os.path.join(state, "emulator.log")
        self.proc = None

    def start(self):
        os.makedirs(self.state, exist_ok=True)
        if os.path.exists(self.port_file):
            os.remove(self.port_file)
        self.log = open(self.log_path, "a")
        self.proc = subprocess.Popen(
            [sys.executable, EMULATOR, "--state", self.state, "--port", "0", "--port-file", self.port_file,
             "--exit-with-parent"],
            stdout=self.log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        deadline = time.monotonic() + 60
        while not os.path.exists(self.port_file):
            if self.proc.poll() is not None:
                raise RuntimeError("emulator exited: " + open(self.log_path).read())
            if time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("emulator did not listen")
            time.sleep(0.05)
        with open(self.port_file) as f:
            self.port = int(f.read())
        self.ca = os.path.join(self.state, "ca.pem")
        self.context = ssl.create_default_context(cafile=self.ca)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.log.close()

    def raw(self, method, path, body=None, context=None):
        """(status, body bytes) of one request; the path includes its query."""
        data = None
        if body is not None:
            data = body if isinstance(body, bytes) else json.dumps(body).encode("utf-8")
        request = urllib.request.Request("https://127.0.0.1:%d%s" % (self.port, path), data=data, method=method)
        request.add_header("Accept", 'application/json;charset="utf-8"')
        request.add_header("Content-Type", 'application/json;charset="utf-8"')
        try:
            with urllib.request.urlopen(request, context=context or self.context, timeout=30) as reply:
                return reply.status, reply.read()
        except urllib.error.HTTPError as e:
            return e.code, e.read()

    def json(self, method, path, body=None):
        status, data = self.raw(method, path, body)
        return status, (json.loads(data.decode("utf-8")) if data else None)

    def admin(self, method, what, body=None):
        status, value = self.json(method, "/_admin/" + what, body)
        if status != 200:
            raise AssertionError("admin %s %s: %s %r" % (method, what, status, value))
        return value


def collection(resource, user, password, extra=""):
    return "/webservice-5.0/%s/%s?username=%s&password=%s%s" % (
        resource, quote(user, safe=""), quote(user, safe=""), quote(password, safe=""), extra)


def item(resource, user, password, ident):
    return "/webservice-5.0/%s/%s/%s?username=%s&password=%s" % (
        resource, quote(user, safe=""), quote(ident, safe=""), quote(user, safe=""), quote(password, safe=""))


def sign_in(user, password, appid="0123456789abcdef0123456789abcdef"):
    return collection("account", user, password, "&appid=" + appid)


class EmulatorCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="webservice-test-")
        cls.emu = Emulator(os.path.join(cls.tmp, "state"))
        cls.emu.start()

    @classmethod
    def tearDownClass(cls):
        cls.emu.stop()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.emu.admin("POST", "reset")

    def get(self, path):
        return self.emu.json("GET", path)

    def assertServiceError(self, reply, message, fields=None):
        status, value = reply
        self.assertEqual(status, 200)
        self.assertIsInstance(value, dict)
        self.assertEqual(value["errorMessage"], message)
        if fields is not None:
            self.assertEqual([e["field"] for e in value["fieldErrors"]], fields)

    def state(self, user="demo"):
        return self.emu.admin("GET", "state")["accounts"][user]


class TransportTest(EmulatorCase):
    def test_certificate_is_verified_against_the_local_ca(self):
        status, _ = self.emu.raw("GET", collection("balance", "demo", "demo"))
        self.assertEqual(status, 200)
        with self.assertRaises(urllib.error.URLError) as caught:
            self.emu.raw("GET", collection("balance", "demo", "demo"), context=ssl.create_default_context())
        self.assertIsInstance(caught.exception.reason, ssl.SSLCertVerificationError)

    def test_replies_are_utf8_json_text_not_escapes(self):
        status, data = self.emu.raw("GET", collection("contact", "demo", "demo"))
        self.assertEqual(status, 200)
        self.assertIn("Ren\u00e9".encode("utf-8"), data)
        self.assertNotIn(b"\\u00e9", data)

    def test_unknown_paths(self):
        self.assertEqual(self.emu.raw("GET", collection("voiceMail", "demo", "demo"))[0], 404)
        self.assertEqual(self.emu.raw("GET", "/webservice-5.0/contact/demo/a/b?username=demo&password=demo")[0], 404)
        self.assertEqual(self.emu.raw("GET", "/nowhere")[0], 404)

    def test_wrong_method_for_a_url_form(self):
        self.assertEqual(self.emu.raw("GET", item("group", "demo", "demo", "Work"))[0], 405)
        self.assertEqual(self.emu.raw("DELETE", collection("contact", "demo", "demo"))[0], 405)

    def test_shop_pages_answer(self):
        status, data = self.emu.raw("GET", "/eshop/talkvane/viewTalkvaneProduct.htm")
        self.assertEqual(status, 200)
        self.assertIn(b"<html>", data)

    def test_log_never_holds_a_password(self):
        self.get(sign_in("bob", BOB_PASSWORD))
        self.get(collection("balance", "demo", "wrong-secret"))
        with open(self.emu.log_path, encoding="utf-8") as f:
            text = f.read()
        self.assertIn("/webservice-5.0/account/bob", text)
        self.assertNotIn("password", text)
        self.assertNotIn("wrong-secret", text)
        self.assertNotIn(quote(BOB_PASSWORD, safe=""), text)

    def test_request_log_redacts_the_password(self):
        self.get(sign_in("demo", "demo"))
        requests = self.emu.admin("GET", "state")["requests"]
        self.assertEqual(requests[-1]["resource"], "account")
        self.assertEqual(requests[-1]["query"]["password"], "********")
        self.assertEqual(requests[-1]["query"]["appid"], "0123456789abcdef0123456789abcdef")

    def test_parallel_requests_are_served(self):
        results = []

        def fetch():
            results.append(self.get(collection("balance", "demo", "demo"))[0])

        threads = [threading.Thread(target=fetch) for _ in range(8)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        self.assertEqual(results, [200] * 8)


class CredentialsTest(EmulatorCase):
    def test_sign_in_answers_an_array_with_the_account(self):
        status, value = self.get(sign_in("demo", "demo"))
        self.assertEqual(status, 200)
        self.assertEqual(len(value), 1)
        account = value[0]
        self.assertEqual(set(account), ACCOUNT_KEYS)
        self.assertEqual(account["class"], TAG + "Account")
        self.assertEqual((account["sipUser"], account["sipDomain"], account["sipPassword"]),
                         ("demo", "localhost", "demo-voice-secret"))
        self.assertEqual(account["username"], "demo")
        self.assertEqual(account["phones"], ["52871934-01"])

    def test_sign_in_records_the_application_id(self):
        self.get(sign_in("demo", "demo", appid="ffffffffffffffffffffffffffffffff"))
        self.assertEqual(self.state()["lastAppId"], "ffffffffffffffffffffffffffffffff")

    def test_sign_in_without_application_id(self):
        self.assertServiceError(self.get(collection("account", "demo", "demo")), "Invalid parameters.")

    def test_missing_parameters(self):
        cases = [
            "/webservice-5.0/balance/demo?username=demo",
            "/webservice-5.0/balance/demo?password=demo",
            "/webservice-5.0/balance/demo?username=demo&password=",
            "/webservice-5.0/balance/?username=demo&password=demo",
            "/webservice-5.0/balance/demo",
        ]
        for path in cases:
            with self.subTest(path=path):
                self.assertServiceError(self.get(path), "Invalid parameters.")

    def test_wrong_password_and_unknown_user(self):
        for user, password in (("demo", "Demo"), ("nobody", "demo"), ("alice", "demo")):
            with self.subTest(user=user):
                reply = self.get(sign_in(user, password))
                self.assertServiceError(reply, "User not found!")
                self.assertEqual(reply[1]["class"], TAG + "Account")

    def test_foreign_user_in_the_path(self):
        self.assertServiceError(self.get(
            "/webservice-5.0/account/demo?username=alice&password=alice-secret&appid=1"),
            "The account does not belong to the user.")
        self.assertServiceError(self.get(
            "/webservice-5.0/contact/alice?username=demo&password=demo"),
            "The account does not belong to the user.")

    def test_percent_encoded_password_with_url_metacharacters(self):
        status, value = self.get(sign_in("bob", BOB_PASSWORD))
        self.assertEqual(status, 200)
        self.assertEqual(value[0]["password"], BOB_PASSWORD)

    def test_unencoded_password_does_not_sign_in(self):
        # Sent as typed: '&' splits the query and '#' starts a fragment, the server never sees it.
        raw = "/webservice-5.0/account/bob?username=bob&password=" + BOB_PASSWORD.replace(" ", "%20")
        self.assertServiceError(self.get(raw.split("#")[0] + "&appid=1"), "User not found!")

    def test_plus_in_a_query_value_is_a_blank(self):
        self.emu.admin("POST", "account", {"username": "alice", "password": "a+b c"})
        self.assertEqual(self.get(sign_in("alice", "a+b c"))[0], 200)
        raw = "/webservice-5.0/account/alice?username=alice&password=a+b+c&appid=1"
        self.assertServiceError(self.get(raw), "User not found!")

    def test_percent_sequence_in_a_password_is_decoded_once(self):
        # bob's password holds "%41": decoded once it stays "%41", never "A".
        wrong = sign_in("bob", BOB_PASSWORD.replace("%41", "A"))
        self.assertServiceError(self.get(wrong), "User not found!")


class AccountUpdateTest(EmulatorCase):
    def test_update_returns_and_keeps_the_stored_record(self):
        _, value = self.get(sign_in("demo", "demo"))
        account = value[0]
        account.update({"firstName": "Zo\u00eb", "lastName": "Doe", "sipPassword": "changed", "password": "x"})
        status, stored = self.emu.json("PUT", collection("account", "demo", "demo"), account)
        self.assertEqual(status, 200)
        self.assertEqual(stored["class"], TAG + "Account")
        self.assertEqual(stored["firstName"], "Zo\u00eb")
        # Credentials are not changed through this request.
        self.assertEqual(stored["sipPassword"], "demo-voice-secret")
        self.assertEqual(stored["password"], "demo")
        self.assertEqual(self.get(sign_in("demo", "demo"))[1][0]["lastName"], "Doe")

    def test_update_of_another_users_record(self):
        self.assertServiceError(
            self.emu.json("PUT", collection("account", "demo", "demo"), {"username": "alice", "firstName": "X"}),
            "The account does not belong to the user.", ["username"])

    def test_update_with_bad_bodies(self):
        for body in (b"", b"not json", b"[1, 2]", json.dumps({"emails": ["no-at-sign"]}).encode()):
            with self.subTest(body=body):
                self.assertServiceError(
                    self.emu.json("PUT", collection("account", "demo", "demo"), body), "Invalid parameters.")

    def test_update_needs_credentials(self):
        self.assertServiceError(
            self.emu.json("PUT", collection("account", "demo", "nope"), {"firstName": "X"}), "User not found!")


class BalanceTest(EmulatorCase):
    def test_balance_and_live_balance_are_arrays(self):
        for resource in ("balance", "realTimeBalance"):
            with self.subTest(resource=resource):
                status, value = self.get(collection(resource, "demo", "demo"))
                self.assertEqual(status, 200)
                self.assertEqual(value, [{"class": TAG + "Balance", "credit": 12.5, "currency": "EUR",
                                          "currencySymbol": "\u20ac"}])

    def test_credit_is_always_written_with_a_point(self):
        for credit, text in ((0.0, b'"credit": 0.0'), (3.0, b'"credit": 3.0'), (0.00005, b'"credit": 0.00005'),
                             (1e-7, b'"credit": 0.0000001')):
            with self.subTest(credit=credit):
                self.emu.admin("POST", "account", {"username": "demo", "credit": credit})
                status, data = self.emu.raw("GET", collection("balance", "demo", "demo"))
                self.assertIn(text, data)

    def test_balance_errors_are_objects(self):
        status, value = self.get(collection("balance", "demo", "bad"))
        self.assertIsInstance(value, dict)
        self.assertEqual(value["class"], TAG + "Balance")
        self.assertEqual(value["errorMessage"], "User not found!")


class ContactTest(EmulatorCase):
    def contact(self, nick, **fields):
        record = {"class": TAG + "Contact", "nick": nick, "firstName": "Tom", "lastName": "Test",
                  "groupName": "Friends", "emails": [], "birthDate": "",
                  "phones": [{"class": TAG + "PhoneNumber", "type": "CELL", "number": "+4917000000"}]}
        record.update(fields)
        return record

    def test_list(self):
        status, value = self.get(collection("contact", "demo", "demo"))
        self.assertEqual(status, 200)
        self.assertEqual(len(value), 2)
        self.assertEqual(set(value[0]), CONTACT_KEYS)
        self.assertEqual(value[0]["phones"][0], {"class": TAG + "PhoneNumber", "type": "CELL",
                                                 "number": "+4915112345671"})
        self.assertEqual(self.get(collection("contact", "alice", "alice-secret")), (200, []))

    def test_fetch_one_with_a_non_ascii_nick(self):
        nick = self.get(collection("contact", "demo", "demo"))[1][0]["nick"]
        status, value = self.get(item("contact", "demo", "demo", nick))
        self.assertEqual(status, 200)
        self.assertEqual(value["lastName"], "M\u00fcller")

    def test_fetch_missing(self):
        self.assertServiceError(self.get(item("contact", "demo", "demo", "ghost")), "Contact not found.")

    def test_create_returns_the_stored_record(self):
        status, value = self.emu.json("PUT", item("contact", "demo", "demo", "Tom1"), self.contact("Tom1"))
        self.assertEqual(status, 200)
        self.assertEqual(set(value), CONTACT_KEYS)
        self.assertEqual(value["firstName"], "Tom")
        self.assertEqual(self.get(item("contact", "demo", "demo", "Tom1"))[1], value)

    def test_create_without_phones_or_optional_keys(self):
        body = {"class": TAG + "Contact", "nick": "Min", "firstName": "Min"}
        status, value = self.emu.json("PUT", item("contact", "demo", "demo", "Min"), body)
        self.assertEqual(status, 200)
        self.assertEqual((value["phones"], value["emails"], value["city"]), ([], [], ""))

    def test_create_duplicate_nick(self):
        self.emu.json("PUT", item("contact", "demo", "demo", "Tom1"), self.contact("Tom1"))
        self.assertServiceError(
            self.emu.json("PUT", item("contact", "demo", "demo", "Tom1"), self.contact("Tom1")),
            "Contact already exists.", ["nick"])

    def test_create_with_empty_nick(self):
        path = "/webservice-5.0/contact/demo/?username=demo&password=demo"
        self.assertServiceError(self.emu.json("PUT", path, self.contact("")), "Invalid parameters.")

    def test_nicks_with_url_metacharacters_round_trip(self):
        for nick in ("Tom #2", "Ann?", "Mom/Dad", "Q&A + 100%", "Zo\u00eb"):
            with self.subTest(nick=nick):
                status, value = self.emu.json("PUT", item("contact", "demo", "demo", nick), self.contact(nick))
                self.assertEqual((status, value["nick"]), (200, nick))
                self.assertEqual(self.get(item("contact", "demo", "demo", nick))[1]["nick"], nick)
                self.assertEqual(self.emu.raw("DELETE", item("contact", "demo", "demo", nick)), (204, b""))

    def test_unencoded_slash_in_a_nick_reaches_no_contact(self):
        path = "/webservice-5.0/contact/demo/Mom/Dad?username=demo&password=demo"
        self.assertEqual(self.emu.raw("PUT", path, self.contact("Mom/Dad"))[0], 404)

    def test_bad_fields(self):
        cases = [
            ({"birthDate": "1980-13-01"}, ["birthDate"]),
            ({"emails": "a@b.c"}, ["emails"]),
            ({"phones": [1]}, ["phones"]),
            ({"firstName": ["x"]}, ["firstName"]),
        ]
        for fields, names in cases:
            with self.subTest(fields=fields):
                self.assertServiceError(
                    self.emu.json("PUT", item("contact", "demo", "demo", "Bad"), self.contact("Bad", **fields)),
                    "Invalid parameters.", names)

    def test_body_from_the_clients_codec(self):
        # Spaces around ':', a raw control character in a string, numbers where text is expected.
        body = ('{ "birthDate" : "", "class" : "%sContact", "firstName" : "Tab\there\x01", "nick" : "Raw", '
                '"postalCode" : 50667 }' % TAG).encode("utf-8")
        status, value = self.emu.json("PUT", item("contact", "demo", "demo", "Raw"), body)
        self.assertEqual(status, 200)
        self.assertEqual(value["firstName"], "Tab\there\x01")
        self.assertEqual(value["postalCode"], "50667")

    def test_update(self):
        self.emu.json("PUT", item("contact", "demo", "demo", "Tom1"), self.contact("Tom1"))
        status, value = self.emu.json("POST", item("contact", "demo", "demo", "Tom1"),
                                      self.contact("Tom1", lastName="Changed", emails=["t@example.org", "u@x.org"]))
        self.assertEqual(status, 200)
        self.assertEqual(value["lastName"], "Changed")
        self.assertEqual(self.get(item("contact", "demo", "demo", "Tom1"))[1]["emails"], ["t@example.org", "u@x.org"])

    def test_update_missing(self):
        self.assertServiceError(
            self.emu.json("POST", item("contact", "demo", "demo", "ghost"), self.contact("ghost")),
            "Contact not found.")

    def test_delete_is_an_empty_204(self):
        self.emu.json("PUT", item("contact", "demo", "demo", "Tom1"), self.contact("Tom1"))
        self.assertEqual(self.emu.raw("DELETE", item("contact", "demo", "demo", "Tom1")), (204, b""))
        self.assertServiceError(self.get(item("contact", "demo", "demo", "Tom1")), "Contact not found.")
        self.assertServiceError(self.emu.json("DELETE", item("contact", "demo", "demo", "Tom1")),
                                "Contact not found.")

    def test_delete_needs_credentials(self):
        self.assertServiceError(self.emu.json("DELETE", item("contact", "demo", "x", "Tom1")), "User not found!")

    def test_address_books_are_per_user(self):
        self.emu.json("PUT", item("contact", "alice", "alice-secret", "Tom1"), self.contact("Tom1"))
        self.assertEqual(len(self.get(collection("contact", "alice", "alice-secret"))[1]), 1)
        self.assertEqual(len(self.get(collection("contact", "demo", "demo"))[1]), 2)


class GroupTest(EmulatorCase):
    def group(self, name):
        return {"class": TAG + "Group", "name": name}

    def names(self):
        return [g["name"] for g in self.get(collection("group", "demo", "demo"))[1]]

    def test_list(self):
        status, value = self.get(collection("group", "demo", "demo"))
        self.assertEqual(status, 200)
        self.assertEqual(value[0], {"class": TAG + "Group", "name": "Family"})
        self.assertEqual(self.names(), ["Family", "Friends", "Work"])

    def test_create(self):
        status, value = self.emu.json("PUT", collection("group", "demo", "demo"), self.group("Caf\u00e9 #1"))
        self.assertEqual((status, value), (200, self.group("Caf\u00e9 #1")))
        self.assertIn("Caf\u00e9 #1", self.names())

    def test_create_existing_or_empty_name(self):
        self.assertServiceError(self.emu.json("PUT", collection("group", "demo", "demo"), self.group("Work")),
                                "Group already exists.", ["name"])
        self.assertServiceError(self.emu.json("PUT", collection("group", "demo", "demo"), self.group(" ")),
                                "Invalid parameters.", ["name"])
        self.assertServiceError(self.emu.json("PUT", collection("group", "demo", "demo"), b"{}"),
                                "Invalid parameters.", ["name"])

    def test_rename_moves_its_contacts(self):
        status, value = self.emu.json("POST", item("group", "demo", "demo", "Friends"), self.group("Pals"))
        self.assertEqual((status, value), (200, self.group("Pals")))
        self.assertEqual(self.names(), ["Family", "Pals", "Work"])
        contacts = self.get(collection("contact", "demo", "demo"))[1]
        self.assertEqual([c["groupName"] for c in contacts], ["Pals", "Work"])

    def test_rename_to_an_existing_name_or_of_a_missing_group(self):
        self.assertServiceError(self.emu.json("POST", item("group", "demo", "demo", "Friends"), self.group("Work")),
                                "Group already exists.", ["name"])
        self.assertEqual(self.names(), ["Family", "Friends", "Work"])
        self.assertServiceError(self.emu.json("POST", item("group", "demo", "demo", "Gone"), self.group("New")),
                                "Group not found.")

    def test_rename_with_a_name_full_of_metacharacters(self):
        self.emu.json("PUT", collection("group", "demo", "demo"), self.group("Q&A #1/2"))
        status, _ = self.emu.json("POST", item("group", "demo", "demo", "Q&A #1/2"), self.group("Q&A"))
        self.assertEqual(status, 200)
        self.assertIn("Q&A", self.names())

    def test_delete(self):
        self.assertEqual(self.emu.raw("DELETE", item("group", "demo", "demo", "Work")), (204, b""))
        self.assertEqual(self.names(), ["Family", "Friends"])
        self.assertServiceError(self.emu.json("DELETE", item("group", "demo", "demo", "Work")), "Group not found.")


class OnlineNumberTest(EmulatorCase):
    def test_numbers_with_millisecond_dates(self):
        status, value = self.get(collection("onlineNumber", "demo", "demo"))
        self.assertEqual(status, 200)
        self.assertEqual(value[0]["class"], TAG + "OnlineNumber")
        self.assertEqual(value[0]["number"], "+493012345678")
        self.assertIsInstance(value[0]["expirationDate"], int)
        self.assertEqual(emulator.millis_to_date(value[0]["expirationDate"]), "2031-06-30")
        self.assertEqual(value[1]["status"], "EXPIRED")
        self.assertEqual(self.get(collection("onlineNumber", "alice", "alice-secret")), (200, []))

    def test_date_is_noon_utc(self):
        self.assertEqual(emulator.date_to_millis("1970-01-02"), (24 + 12) * 3600 * 1000)


class InviteTest(EmulatorCase):
    def invite(self, **fields):
        record = {"class": TAG + "Invite", "fromEmail": "demo@example.org", "toEmails": ["x@example.org"],
                  "fullName": "Dana Demo", "userSubject": "Hi", "userMessage": "Try Talkvane",
                  "showNumberOfContacts": True, "numberOfContacts": 3}
        record.update(fields)
        return record

    def test_send_returns_and_stores_the_record(self):
        status, value = self.emu.json("PUT", collection("invite", "demo", "demo"), self.invite())
        self.assertEqual(status, 200)
        self.assertEqual(set(value), INVITE_KEYS)
        self.assertEqual((value["numberOfContacts"], value["showPhoneNumber"]), (3, False))
        self.assertEqual(self.state()["invites"][0]["toEmails"], ["x@example.org"])

    def test_bad_invitations(self):
        cases = [
            ({"toEmails": []}, ["toEmails"]),
            ({"toEmails": ["nobody"]}, ["toEmails"]),
            ({"fromEmail": "me"}, ["fromEmail"]),
            ({"numberOfContacts": "3"}, ["numberOfContacts"]),
            ({"showPhoneNumber": 1}, ["showPhoneNumber"]),
        ]
        for fields, names in cases:
            with self.subTest(fields=fields):
                self.assertServiceError(
                    self.emu.json("PUT", collection("invite", "demo", "demo"), self.invite(**fields)),
                    "Invalid parameters.", names)
        self.assertEqual(self.state()["invites"], [])


class SmsTest(EmulatorCase):
    def sms(self, text, numbers=("+4917012345",)):
        return {"class": TAG + "SMS", "destinationNumbers": list(numbers), "text": text}

    def send(self, body, user="demo", password="demo"):
        return self.emu.json("PUT", collection("sms", user, password), body)

    def credit(self, user="demo"):
        return self.get(collection("balance", user, "demo" if user == "demo" else "alice-secret"))[1][0]["credit"]

    def test_send_returns_the_record_and_charges_per_part(self):
        status, value = self.send(self.sms("x" * 161))
        self.assertEqual((status, value), (200, self.sms("x" * 161)))
        self.assertAlmostEqual(self.credit(), 12.5 - 2 * 0.05)
        self.assertEqual(self.state()["sms"][0]["parts"], 2)

    def test_parts(self):
        for length, parts in ((0, 1), (1, 1), (160, 1), (161, 2), (320, 2), (321, 3)):
            with self.subTest(length=length):
                self.assertEqual(emulator.sms_parts("y" * length), parts)

    def test_each_destination_is_charged(self):
        self.send(self.sms("hello", ("+4917012345", "+4917012346")))
        self.assertAlmostEqual(self.credit(), 12.5 - 2 * 0.05)

    def test_too_long(self):
        self.emu.admin("POST", "config", {"smsMaxLength": 200})
        self.assertEqual(self.send(self.sms("z" * 200))[0], 200)
        self.assertServiceError(self.send(self.sms("z" * 201)), "Max length exceeded", ["text"])
        self.assertEqual(len(self.state()["sms"]), 1)

    def test_length_counts_characters_not_bytes(self):
        self.emu.admin("POST", "config", {"smsMaxLength": 4})
        status, value = self.send(self.sms("\u00e9\u00e9\u00e9\u00e9"))
        self.assertNotIn("errorMessage", value)

    def test_per_day_limit(self):
        self.emu.admin("POST", "config", {"smsPerDay": 2})
        self.assertNotIn("errorMessage", self.send(self.sms("one"))[1])
        self.assertNotIn("errorMessage", self.send(self.sms("two"))[1])
        self.assertServiceError(self.send(self.sms("three")), "Maximum number of messages per day reached")
        self.assertAlmostEqual(self.credit(), 12.5 - 2 * 0.05)

    def test_per_day_limit_under_concurrent_sends(self):
        self.emu.admin("POST", "config", {"smsPerDay": 3})
        replies = []
        threads = [threading.Thread(target=lambda: replies.append(self.send(self.sms("race")))) for _ in range(8)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        sent = [r for r in replies if "errorMessage" not in r[1]]
        self.assertEqual(len(sent), 3)
        self.assertEqual(len(self.state()["sms"]), 3)

    def test_not_enough_credit(self):
        self.emu.admin("POST", "account", {"username": "demo", "credit": 0.04})
        self.assertServiceError(self.send(self.sms("hi")), "Insufficient credit.")
        self.assertAlmostEqual(self.credit(), 0.04)

    def test_price_is_configurable(self):
        self.emu.admin("POST", "config", {"smsPartPrice": 1.25})
        self.send(self.sms("hi"))
        self.assertAlmostEqual(self.credit(), 11.25)

    def test_bad_messages(self):
        cases = [
            (self.sms(""), ["text"]),
            (self.sms("hi", ()), ["destinationNumbers"]),
            (self.sms("hi", ("call me",)), ["destinationNumbers"]),
            ({"text": "hi"}, ["destinationNumbers"]),
        ]
        for body, names in cases:
            with self.subTest(body=body):
                self.assertServiceError(self.send(body), "Invalid parameters.", names)
        self.assertEqual(self.state()["sms"], [])

    def test_number_with_blanks_and_dashes(self):
        self.assertNotIn("errorMessage", self.send(self.sms("hi", ("+49 170 123-45",)))[1])

    def test_bad_config(self):
        status, _ = self.emu.json("POST", "/_admin/config", {"smsPerDay": "many"})
        self.assertEqual(status, 400)
        status, _ = self.emu.json("POST", "/_admin/config", {"unknown": 1})
        self.assertEqual(status, 400)


class FaultTest(EmulatorCase):
    def test_500_for_a_count_then_normal(self):
        self.emu.admin("POST", "faults", {"count": 2, "kind": "500"})
        self.assertEqual(self.emu.raw("GET", collection("balance", "demo", "demo"))[0], 500)
        self.assertEqual(self.emu.raw("GET", collection("contact", "demo", "demo"))[0], 500)
        self.assertEqual(self.emu.raw("GET", collection("balance", "demo", "demo"))[0], 200)
        self.assertEqual(self.emu.admin("GET", "faults"), [])

    def test_fault_for_one_resource_only(self):
        self.emu.admin("POST", "faults", {"count": 1, "resource": "balance", "kind": "500"})
        self.assertEqual(self.emu.raw("GET", collection("realTimeBalance", "demo", "demo"))[0], 200)
        self.assertEqual(self.emu.raw("GET", collection("balance", "demo", "demo"))[0], 500)
        self.assertEqual(self.emu.raw("GET", collection("balance", "demo", "demo"))[0], 200)

    def test_fault_for_one_method_only(self):
        self.emu.admin("POST", "faults", {"resource": "contact", "method": "DELETE", "kind": "500"})
        self.assertEqual(self.emu.raw("GET", collection("contact", "demo", "demo"))[0], 200)
        self.assertEqual(self.emu.raw("DELETE", item("contact", "demo", "demo", "x"))[0], 500)

    def test_malformed(self):
        self.emu.admin("POST", "faults", {"kind": "malformed"})
        status, data = self.emu.raw("GET", sign_in("demo", "demo"))
        self.assertEqual(status, 200)
        with self.assertRaises(ValueError):
            json.loads(data)
        self.emu.admin("POST", "faults", {"kind": "malformed", "body": "[{\"credit\": 1"})
        self.assertEqual(self.emu.raw("GET", collection("balance", "demo", "demo")), (200, b"[{\"credit\": 1"))

    def test_malformed_reply_has_no_side_effect(self):
        self.emu.admin("POST", "faults", {"kind": "malformed", "resource": "group"})
        self.emu.raw("PUT", collection("group", "demo", "demo"), {"name": "New"})
        self.assertNotIn("New", self.state()["groups"])

    def test_delay_then_normal_answer(self):
        self.emu.admin("POST", "faults", {"kind": "delay", "seconds": 0.2})
        status, value = self.get(collection("balance", "demo", "demo"))
        self.assertEqual((status, value[0]["credit"]), (200, 12.5))
        self.assertEqual(self.emu.admin("GET", "state")["requests"][-1]["fault"], "delay")

    def test_drop_closes_without_an_answer(self):
        self.emu.admin("POST", "faults", {"kind": "drop"})
        with self.assertRaises((urllib.error.URLError, http.client.HTTPException, ConnectionError)):
            self.emu.raw("GET", collection("balance", "demo", "demo"))
        self.assertEqual(self.get(collection("balance", "demo", "demo"))[0], 200)

    def test_several_faults_in_one_post_and_clearing(self):
        self.emu.admin("POST", "faults", [{"kind": "500"}, {"kind": "drop", "resource": "sms"}])
        self.assertEqual(len(self.emu.admin("GET", "faults")), 2)
        self.assertEqual(self.emu.admin("DELETE", "faults"), [])
        self.assertEqual(self.get(collection("balance", "demo", "demo"))[0], 200)

    def test_admin_paths_are_never_faulted(self):
        self.emu.admin("POST", "faults", {"kind": "500", "count": 5})
        self.assertEqual(len(self.emu.admin("GET", "state")["faults"]), 1)

    def test_bad_fault_specs(self):
        for spec in ({"kind": "boom"}, {"kind": "500", "count": 0}, {"kind": "delay", "seconds": -1},
                     {"kind": "500", "resource": "nothing"}, [1]):
            with self.subTest(spec=spec):
                self.assertEqual(self.emu.raw("POST", "/_admin/faults", spec)[0], 400)

    def test_reset_clears_faults_and_restores_the_seed(self):
        self.emu.json("PUT", collection("group", "demo", "demo"), {"name": "New"})
        self.emu.admin("POST", "faults", {"kind": "500"})
        self.emu.admin("POST", "reset")
        self.assertEqual(self.state()["groups"], ["Family", "Friends", "Work"])
        self.assertEqual(self.get(collection("balance", "demo", "demo"))[0], 200)

    def test_unknown_admin_request(self):
        self.assertEqual(self.emu.raw("GET", "/_admin/nothing")[0], 404)
        self.assertEqual(self.emu.raw("POST", "/_admin/account", {"username": "ghost", "credit": 1})[0], 400)


class PersistenceTest(unittest.TestCase):
    def test_state_survives_a_restart(self):
        tmp = tempfile.mkdtemp(prefix="webservice-test-")
        try:
            state = os.path.join(tmp, "state")
            first = Emulator(state)
            first.start()
            try:
                first.json("PUT", collection("group", "demo", "demo"), {"name": "Kept"})
                first.json("PUT", collection("sms", "demo", "demo"), {"destinationNumbers": ["+4917012345"],
                                                                      "text": "hi"})
            finally:
                first.stop()
            self.assertFalse(os.path.exists(first.port_file))
            second = Emulator(state)
            second.start()
            try:
                dump = second.admin("GET", "state")["accounts"]["demo"]
                self.assertIn("Kept", dump["groups"])
                self.assertAlmostEqual(dump["credit"], 12.45)
                self.assertEqual(first.ca, second.ca)
            finally:
                second.stop()
        finally:
            shutil.rmtree(tmp, ignore_errors=True)


class ProcessTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="webservice-test-")

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    @staticmethod
    def alive(pid):
        # An exited orphan may stay a zombie when nothing reaps it (containers): that counts as gone.
        try:
            with open("/proc/%d/stat" % pid) as f:
                return f.read().rsplit(")", 1)[1].split()[0] != "Z"
        except (FileNotFoundError, ProcessLookupError, IndexError):
            return False

    def wait_gone(self, pid):
        deadline = time.monotonic() + 20
        while self.alive(pid) and time.monotonic() < deadline:
            time.sleep(0.05)
        return not self.alive(pid)

    def test_start_and_stop_scripts(self):
        scripts = os.path.join(ROOT, "tools", "webservice")
        state = os.path.join(self.tmp, "state")
        out = subprocess.run(["bash", os.path.join(scripts, "start.sh"), state, "0"], check=True,
                             capture_output=True, text=True, timeout=90).stdout
        try:
            with open(os.path.join(state, "emulator.pid")) as f:
                pid = int(f.read())
            with open(os.path.join(state, "port")) as f:
                port = int(f.read())
            self.assertIn("https://127.0.0.1:%d/webservice-5.0/" % port, out)
            self.assertIn("CA file: " + os.path.join(state, "ca.pem"), out)
            again = subprocess.run(["bash", os.path.join(scripts, "start.sh"), state, "0"], check=True,
                                   capture_output=True, text=True, timeout=90).stdout
            self.assertIn("already running", again)
            context = ssl.create_default_context(cafile=os.path.join(state, "ca.pem"))
            with urllib.request.urlopen("https://127.0.0.1:%d%s" % (port, collection("balance", "demo", "demo")),
                                        context=context, timeout=30) as reply:
                self.assertEqual(reply.status, 200)
        finally:
            subprocess.run(["bash", os.path.join(scripts, "stop.sh"), state], check=True, capture_output=True,
                           timeout=30)
        self.assertTrue(self.wait_gone(pid))
        self.assertFalse(os.path.exists(os.path.join(state, "emulator.pid")))

    def test_exits_with_its_parent(self):
        # A parent that starts the emulator, prints its pid and then dies without stopping it.
        parent = (
            "import subprocess, sys\n"
            "p = subprocess.Popen([sys.executable, %r, '--state', %r, '--port', '0', '--port-file', %r,"
            " '--exit-with-parent'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)\n"
            "print(p.pid, flush=True)\n"
            "import os, time\n"
            "while not os.path.exists(%r): time.sleep(0.05)\n"
        ) % (EMULATOR, os.path.join(self.tmp, "s"), os.path.join(self.tmp, "port"), os.path.join(self.tmp, "port"))
        out = subprocess.run([sys.executable, "-c", parent], check=True, capture_output=True, text=True,
                             timeout=90).stdout
        pid = int(out.split()[0])
        self.assertTrue(self.wait_gone(pid))


class JsonTextTest(unittest.TestCase):
    def test_numbers(self):
        cases = [(0.0, "0.0"), (12.5, "12.5"), (3.0, "3.0"), (5e-05, "0.00005"), (-2.0, "-2.0"),
                 (1e20, "100000000000000000000.0"), (7, "7"), (-7, "-7"), (True, "true")]
        for value, text in cases:
            with self.subTest(value=value):
                self.assertEqual(emulator.json_text(value), text)

    def test_strings_stay_utf8(self):
        self.assertEqual(emulator.json_text({"a": "\u00e9\"\n"}), '{"a": "\u00e9\\"\\n"}')


if __name__ == "__main__":
    unittest.main(verbosity=1)
