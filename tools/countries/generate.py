#!/usr/bin/env python3
"""Generates the country prefix table data/countries.txt and the flags gfx/flags/<n>.jpg.

Sources (Debian packages): libphonenumber-dev (calling code of every region, Canada's area
codes), iso-codes (country names), famfamfam-flag-png (flags, public domain), imagemagick.
Local tables: nanp_area_codes.csv and overrides.csv beside this script.

Re-runnable: the outputs are rewritten from scratch. Run from anywhere:
    python3 tools/countries/generate.py
"""

import csv
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
ISO_JSON = "/usr/share/iso-codes/json/iso_3166-1.json"
FLAG_DIR = "/usr/share/flags/countries/16x11"
TABLE = os.path.join(ROOT, "data", "countries.txt")
OUT_FLAGS = os.path.join(ROOT, "gfx", "flags")
FLAGS_QRC = os.path.join(ROOT, "gfx", "flags.qrc")
PACKAGES = "libphonenumber-dev iso-codes famfamfam-flag-png imagemagick g++"

# Area codes that are not tied to a place (toll-free, personal, premium, service codes).
NON_GEOGRAPHIC = {500, 521, 522, 523, 524, 525, 526, 527, 528, 529, 533, 544, 566, 577, 588,
                  600, 622, 700, 800, 833, 844, 855, 866, 877, 888, 900}
NANP_SEARCHED = ["CA"]
USA_FLAG_NUMBER = 1


def fail(message):
    sys.exit("generate.py: " + message)


def read_csv(name):
    with open(os.path.join(HERE, name), newline="", encoding="utf-8") as f:
        lines = [line for line in f if line.strip() and not line.startswith("#")]
    return list(csv.DictReader(lines))


def run_helper(args, stdin=""):
    with tempfile.TemporaryDirectory() as tmp:
        exe = os.path.join(tmp, "regioncodes")
        cmd = ["g++", "-O1", "-std=c++17", os.path.join(HERE, "regioncodes.cpp"), "-o", exe,
               "-lphonenumber"]
        if subprocess.run(cmd).returncode != 0:
            fail("cannot build regioncodes.cpp; install: apt-get install " + PACKAGES)
        out = subprocess.run([exe] + args, input=stdin, capture_output=True, text=True,
                             check=True).stdout
    return [line.split(",") for line in out.splitlines()]


def iso_names():
    with open(ISO_JSON, encoding="utf-8") as f:
        entries = json.load(f)["3166-1"]
    return {e["alpha_2"]: e.get("common_name", e["name"]) for e in entries}


def sort_key(name):
    # Alphabetical as a reader expects it: accents, case and punctuation ignored.
    plain = unicodedata.normalize("NFKD", name)
    return "".join(c for c in plain if c.isalnum()).casefold()


def build_countries():
    rows = run_helper(NANP_SEARCHED)
    names = iso_names()
    countries = {}
    for kind, region, value in rows:
        if kind != "region":
            continue
        countries[region] = {"name": names.get(region, ""), "code": region,
                             "flag": region.lower(), "prefixes": [value]}

    nanp = {}
    for kind, region, value in rows:
        if kind == "npa" and int(value) not in NON_GEOGRAPHIC:
            nanp.setdefault(region, []).append("1" + value)
    listed = read_csv("nanp_area_codes.csv")
    pairs = "".join("%s,%s\n" % (r["region"], r["area_code"]) for r in listed if r["region"] != "AK")
    for _, region, area, ok in run_helper(["--check"], pairs):
        if ok != "1":
            fail("libphonenumber does not place area code %s in %s" % (area, region))
    for r in listed:
        nanp.setdefault(r["region"], []).append("1" + r["area_code"])

    for o in read_csv("overrides.csv"):
        region, action = o["region"], o["action"]
        if action == "drop":
            countries.pop(region, None)
            continue
        if action == "add":
            countries[region] = {"name": "", "code": region, "flag": "", "prefixes": []}
        elif region not in countries:
            fail("override for unknown region " + region)
        c = countries[region]
        for field in ("name", "code", "flag"):
            if o[field]:
                c[field] = o[field]
        if o["prefixes"]:
            c["prefixes"] = o["prefixes"].split()

    for region, c in countries.items():
        if c["prefixes"] == ["1"] and region != "US":
            if region not in nanp:
                fail("no area codes for North American region " + region)
        if region in nanp and region != "US":
            c["prefixes"] = nanp[region]
    return countries


def check(countries):
    owner = {}
    for region, c in countries.items():
        if not c["name"] or "," in c["name"]:
            fail("bad name for %s: %r" % (region, c["name"]))
        if not (c["code"].isalpha() and len(c["code"]) in (2, 4)):
            fail("bad code for %s: %r" % (region, c["code"]))
        for p in c["prefixes"]:
            if not (p.isdigit() and 1 <= len(p) <= 4):
                fail("bad prefix for %s: %r" % (region, p))
            if p in owner:
                fail("prefix %s of %s is also %s's" % (p, region, owner[p]))
            owner[p] = region
        if c["flag"] != "generic" and not os.path.exists(flag_source(c["flag"])):
            fail("no flag %s for %s; mark it generic in overrides.csv" % (c["flag"], region))


def flag_source(base):
    return os.path.join(FLAG_DIR, base + ".png")


def number_flags(ordered):
    number = USA_FLAG_NUMBER + 1
    for c in ordered:
        if c["code"] == "US":
            c["img"] = USA_FLAG_NUMBER
        else:
            c["img"] = number
            number += 1


def write_table(ordered):
    lines = [(str(c["img"]), p, c["name"], c["code"]) for c in ordered for p in c["prefixes"]]
    header = ("IMG", "PREF", "COUNTRY_NAME", "CODE")
    widths = [max(len(row[i]) for row in lines + [header]) for i in range(3)]

    def fmt(row):
        return ", ".join(row[i].ljust(widths[i]) for i in range(3)) + ", " + row[3]

    text = fmt(header) + "\r\n\r\n" + "".join(fmt(row) + "\r\n" for row in lines)
    os.makedirs(os.path.dirname(TABLE), exist_ok=True)
    with open(TABLE, "w", encoding="utf-8", newline="") as f:
        f.write(text)
    return len(lines)


def write_flags(ordered):
    if shutil.which("convert") is None:
        fail("ImageMagick's convert is missing; install: apt-get install " + PACKAGES)
    shutil.rmtree(OUT_FLAGS, ignore_errors=True)
    os.makedirs(OUT_FLAGS)
    for c in ordered:
        out = os.path.join(OUT_FLAGS, "%d.jpg" % c["img"])
        if c["flag"] == "generic":
            src = ["-size", "14x9", "xc:#e4e4e4", "-bordercolor", "#8c8c8c", "-border", "1"]
        else:
            src = [flag_source(c["flag"]), "-background", "white", "-flatten"]
        subprocess.run(["convert"] + src + ["-strip", "-quality", "92", out], check=True)
    with open(os.path.join(HERE, "flags-LICENSE.txt"), encoding="utf-8") as f:
        licence = f.read()
    with open(os.path.join(OUT_FLAGS, "LICENSE"), "w", encoding="utf-8") as f:
        f.write(licence)
    files = "".join('        <file>flags/%d.jpg</file>\n' % n
                    for n in sorted(c["img"] for c in ordered))
    with open(FLAGS_QRC, "w", encoding="utf-8") as f:
        f.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n    <qresource prefix="/gfx">\n'
                + files + "    </qresource>\n</RCC>\n")


def main():
    for path in (ISO_JSON, FLAG_DIR):
        if not os.path.exists(path):
            fail("%s is missing; install: apt-get install %s" % (path, PACKAGES))
    countries = build_countries()
    check(countries)
    ordered = sorted(countries.values(), key=lambda c: sort_key(c["name"]))
    number_flags(ordered)
    entries = write_table(ordered)
    write_flags(ordered)
    print("generate.py: %d entries for %d countries" % (entries, len(ordered)))


if __name__ == "__main__":
    main()
