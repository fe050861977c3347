#!/usr/bin/env python3
"""Writes the program's artwork as SVG files under gfx/svg/ and a render manifest.

Every picture is drawn here from simple geometry so that the whole set shares one palette,
one stroke weight and one corner style. tools/gfx/render-gfx.sh turns the SVGs into the PNG
(1x and @2x), ICO and GIF files that the resources carry.

Manifest lines: "<path relative to gfx/ without extension> <width> <height> <kind>", where
kind is "png" (1x + @2x), "png1" (1x only: the
9-slice frames, because Qt applies a style sheet's slice widths to an @2x picture in its device
pixels and so draws the frame at the wrong size), "ico" (multi-size icon) or "gif" (one frame of
an animation named <base>-NN).
"""

import math
import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SVG_DIR = os.path.join(ROOT, "gfx", "svg")

# Palette: one accent (teal) on light surfaces, with green/red reserved for call state.
ACCENT = "#00796B"
ACCENT_LIGHT = "#4DB6AC"
ACCENT_PALE = "#E0F2F1"
ACCENT_DARK = "#004D40"
INK = "#37474F"
INK_SOFT = "#78909C"
LINE = "#CFD8DC"
WHITE = "#FFFFFF"
GREEN = "#2E9D4E"
RED = "#D93A3A"
ORANGE = "#EF7A1A"

manifest = []


def svg(width, height, body, view=None):
    vb = view or "0 0 %g %g" % (width, height)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            'width="%d" height="%d" viewBox="%s">\n%s\n</svg>\n' % (width, height, vb, body))


def write(name, width, height, body, kind="png", view=None):
    path = os.path.join(SVG_DIR, name + ".svg")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(svg(width, height, body, view))
    manifest.append("%s %d %d %s" % (name, width, height, kind))


def stroke(d, color, width=2.0, extra=""):
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="%g" stroke-linecap="round" '
            'stroke-linejoin="round"%s/>' % (d, color, width, extra))


def fill(d, color, extra=""):
    return '<path d="%s" fill="%s"%s/>' % (d, color, extra)


def circle(cx, cy, r, color, sw=None):
    if sw is None:
        return '<circle cx="%g" cy="%g" r="%g" fill="%s"/>' % (cx, cy, r, color)
    return ('<circle cx="%g" cy="%g" r="%g" fill="none" stroke="%s" stroke-width="%g"/>'
            % (cx, cy, r, color, sw))


def group(body, transform):
    return '<g transform="%s">%s</g>' % (transform, body)


# --- Glyphs on a 24 x 24 grid -------------------------------------------------------------

HANDSET = ("M6.6 2.8c0.6-0.3 1.3 0 1.6 0.6l1.7 3.6c0.3 0.6 0.1 1.3-0.4 1.7l-1.5 1.1"
           "c0.9 2.1 2.6 3.9 4.7 4.8l1.1-1.5c0.4-0.5 1.1-0.7 1.7-0.4l3.6 1.7c0.6 0.3 0.9 1 0.6 1.6"
           "l-0.9 2.4c-0.3 0.8-1.1 1.3-2 1.2C10.4 20.9 3.1 13.6 2.4 5.7c-0.1-0.9 0.4-1.7 1.2-2z")


def handset(c):
    return fill(HANDSET, c)


def hangup(c):
    return group(handset(c), "rotate(135 12 12) translate(0.6 0.6)")


def gear_path(cx, cy, teeth=8, r_out=9.5, r_in=7.2):
    pts = []
    step = 2 * math.pi / teeth
    for i in range(teeth):
        a = i * step
        for da, r in ((-0.30, r_in), (-0.17, r_out), (0.17, r_out), (0.30, r_in)):
            pts.append((cx + r * math.cos(a + da * step * 1.6), cy + r * math.sin(a + da * step * 1.6)))
    return "M" + " L".join("%.2f %.2f" % p for p in pts) + "Z"


ICONS = {
    "dialpad": lambda c: "".join(circle(x, y, 1.7, c) for y in (4.5, 9.5, 14.5) for x in (6, 12, 18))
    + circle(12, 19.5, 1.7, c),
    "contacts": lambda c: circle(12, 8, 4, c, 2) + stroke("M4 20.5c0.8-4 4-6.5 8-6.5s7.2 2.5 8 6.5", c),
    "sms": lambda c: stroke("M4 5.5h16a1.5 1.5 0 0 1 1.5 1.5v9a1.5 1.5 0 0 1-1.5 1.5H10l-4.5 3.5v-3.5H4"
                            "a1.5 1.5 0 0 1-1.5-1.5V7A1.5 1.5 0 0 1 4 5.5z", c)
    + circle(8, 11.5, 1.2, c) + circle(12, 11.5, 1.2, c) + circle(16, 11.5, 1.2, c),
    "history": lambda c: stroke("M3.5 12a8.5 8.5 0 1 0 2.5-6", c) + stroke("M3 3.5v4h4", c)
    + stroke("M12 7.5v5l3.5 2", c),
    "virtualnumbers": lambda c: circle(12, 12, 9, c, 2) + stroke("M3 12h18M12 3c2.6 2.6 3.8 5.6 3.8 9s-1.2 6.4-3.8 9"
                                                                 "M12 3c-2.6 2.6-3.8 5.6-3.8 9s1.2 6.4 3.8 9", c),
    "voicemail": lambda c: circle(6.5, 12, 3.8, c, 2) + circle(17.5, 12, 3.8, c, 2) + stroke("M6.5 15.8h11", c),
    "forwarding": lambda c: group(handset(c), "translate(0 3) scale(0.85)")
    + stroke("M14 3.5h7M18 0.8l3 2.7-3 2.7", c, extra=' transform="translate(0 2.5)"'),
    "settings": lambda c: stroke(gear_path(12, 12), c, 1.9) + circle(12, 12, 3, c, 2),
    # A folder with lines: contacts sorted into groups.
    "groups": lambda c: stroke("M3 6.5V19h18V8.5h-9l-2-2z", c) + stroke("M7.5 12.5h9M7.5 15.5h6", c),
    "speaker": lambda c: fill("M3 9h4l5-4.5v15L7 15H3z", c) + stroke("M15.5 8.5a5 5 0 0 1 0 7M18.5 5.5a9 9 0 0 1 0 13", c),
    "speaker-muted": lambda c: fill("M3 9h4l5-4.5v15L7 15H3z", c) + stroke("M15.5 9l6 6M21.5 9l-6 6", c),
    "mic": lambda c: fill("M12 2.5a3.5 3.5 0 0 1 3.5 3.5v6a3.5 3.5 0 0 1-7 0V6A3.5 3.5 0 0 1 12 2.5z", c)
    + stroke("M5.5 11.5a6.5 6.5 0 0 0 13 0M12 18v3.5M8.5 21.5h7", c),
    "mic-muted": lambda c: fill("M12 2.5a3.5 3.5 0 0 1 3.5 3.5v6a3.5 3.5 0 0 1-7 0V6A3.5 3.5 0 0 1 12 2.5z", c)
    + stroke("M5.5 11.5a6.5 6.5 0 0 0 13 0M12 18v3.5M8.5 21.5h7", c) + stroke("M3.5 3.5l17 17", RED, 2.2),
    "plus": lambda c: stroke("M12 5v14M5 12h14", c, 2.4),
    "minus": lambda c: stroke("M5 12h14", c, 2.4),
    "close": lambda c: stroke("M6 6l12 12M18 6L6 18", c, 2.2),
    "minimize": lambda c: stroke("M6 15h12", c, 2.2),
    "chevron-down": lambda c: stroke("M6 9l6 6 6-6", c, 2.4),
    "chevron-up": lambda c: stroke("M6 15l6-6 6 6", c, 2.4),
    "chevron-left": lambda c: stroke("M15 5l-7 7 7 7", c, 2.4),
    "chevron-right": lambda c: stroke("M9 5l7 7-7 7", c, 2.4),
    "check": lambda c: stroke("M5 12.5l4.5 4.5L19 7.5", c, 3),
    "search": lambda c: circle(10.5, 10.5, 6, c, 2.2) + stroke("M15 15l5 5", c, 2.4),
    "clear": lambda c: circle(12, 12, 9.5, c) + stroke("M8.5 8.5l7 7M15.5 8.5l-7 7", WHITE, 2.2),
    "recent": lambda c: circle(10, 10, 7, c, 2) + stroke("M10 6.5V10l2.5 1.5", c) + fill("M15 17h8l-4 4.5z", c),
    "save-number": lambda c: circle(9, 8, 3.8, c, 2) + stroke("M2.5 20c0.6-3.6 3.2-5.8 6.5-5.8s5.9 2.2 6.5 5.8", c)
    + stroke("M19 7v7M15.5 10.5h7", c, 2.2),
    "edit": lambda c: stroke("M4 20l1-4.5L15.5 5a2 2 0 0 1 2.8 0l0.7 0.7a2 2 0 0 1 0 2.8L8.5 19z", c)
    + stroke("M13.5 7l3.5 3.5", c),
    "delete": lambda c: stroke("M4 6.5h16M9.5 6.5V4h5v2.5M6 6.5l1 13.5h10l1-13.5M10 10v6.5M14 10v6.5", c),
    "call": handset,
    "hangup": hangup,
    "lock": lambda c: stroke("M8 10.5V7.5a4 4 0 0 1 8 0v3", c, 2.2)
    + fill("M5.5 10.5h13a1 1 0 0 1 1 1V20a1 1 0 0 1-1 1h-13a1 1 0 0 1-1-1v-8.5a1 1 0 0 1 1-1z", c)
    + circle(12, 15.5, 1.6, WHITE),
    "back": lambda c: stroke("M15 5l-7 7 7 7", c, 2.6),
    "add": lambda c: circle(12, 12, 10, c) + stroke("M12 7v10M7 12h10", WHITE, 2.4),
    "remove": lambda c: circle(12, 12, 10, c) + stroke("M7 12h10", WHITE, 2.4),
}


# Filled glyphs for the phone types, legible down to 12 pixels.
PHONE_TYPES = {
    "home": lambda c: fill("M12 2.5L1.5 11.5h3V21h5.5v-6h4v6h5.5v-9.5h3z", c),
    "work": lambda c: fill("M9 3.5h6a1.5 1.5 0 0 1 1.5 1.5v2H22a1 1 0 0 1 1 1V19a1.5 1.5 0 0 1-1.5 1.5h-19"
                           "A1.5 1.5 0 0 1 1 19V8a1 1 0 0 1 1-1h5.5V5A1.5 1.5 0 0 1 9 3.5zM9.5 5.5V7h5V5.5z", c),
    "mobile": lambda c: fill("M7.5 1.5h9a2 2 0 0 1 2 2v17a2 2 0 0 1-2 2h-9a2 2 0 0 1-2-2v-17a2 2 0 0 1 2-2z"
                             "M7.8 4.5v13.5h8.4V4.5z", c, ' fill-rule="evenodd"') + circle(12, 20.2, 1.1, c),
    "other": lambda c: handset(c),
}


def icon(name, size, color, fn=None):
    body = (fn or ICONS[name.split("/")[-1]])(color)
    write(name, size, size, body, view="0 0 24 24")


# --- The artwork ------------------------------------------------------------------------

def app_logo(size_view=256, flat=False):
    """The application mark: a teal rounded square with a white handset and a vane of waves."""
    body = ('<defs><linearGradient id="bg" x1="0" y1="0" x2="0" y2="256" gradientUnits="userSpaceOnUse">'
            '<stop offset="0" stop-color="#26A69A"/><stop offset="1" stop-color="%s"/></linearGradient></defs>'
            % ACCENT_DARK)
    body += '<rect x="8" y="8" width="240" height="240" rx="56" ry="56" fill="%s"/>' % (
        ACCENT if flat else "url(#bg)")
    body += group(handset(WHITE), "translate(40 52) scale(7)")
    body += stroke("M150 58a56 56 0 0 1 48 48", WHITE, 16)
    body += stroke("M150 26a88 88 0 0 1 80 80", WHITE, 16, ' stroke-opacity="0.65"')
    return body


def tray(status):
    color = ACCENT if status == "online" else "#90A4AE"
    body = '<rect x="1" y="1" width="30" height="30" rx="8" ry="8" fill="%s"/>' % color
    body += group(handset(WHITE), "translate(5 5) scale(0.92)")
    if status == "online":
        body += circle(25.5, 25.5, 5.5, WHITE) + circle(25.5, 25.5, 4, "#3DDC84")
    else:
        body += circle(25.5, 25.5, 5.5, WHITE) + circle(25.5, 25.5, 4, "#B0BEC5")
    write("system-tray-icon-" + status, 32, 32, body)


def shadowed_card(w, h, margin, radius, fill_color, layers=8, alpha=0.035, dy=2):
    """A rounded card with a soft shadow drawn as stacked translucent outlines."""
    body = ""
    for i in range(layers, 0, -1):
        grow = margin * i / layers
        body += ('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" ry="%g" fill="#000000" '
                 'fill-opacity="%g"/>' % (margin - grow, margin - grow + dy, w - 2 * margin + 2 * grow,
                                          h - 2 * margin + 2 * grow - dy, radius + grow, radius + grow, alpha))
    body += ('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" ry="%g" fill="%s"/>'
             % (margin, margin, w - 2 * margin, h - 2 * margin, radius, radius, fill_color))
    return body


def splash():
    w, h, m = 500, 296, 12
    body = ('<defs><linearGradient id="sp" x1="0" y1="0" x2="500" y2="296" gradientUnits="userSpaceOnUse">'
            '<stop offset="0" stop-color="#26A69A"/><stop offset="0.55" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></linearGradient></defs>' % (ACCENT, ACCENT_DARK))
    body += shadowed_card(w, h, m, 18, "url(#sp)")
    # Soft waves across the card, the "vane" of the name.
    for r, op in ((110, 0.10), (170, 0.07), (230, 0.05)):
        body += stroke("M%g 24a%g %g 0 0 0 %g %g" % (476 - r, r, r, r, r), WHITE, 18, ' stroke-opacity="%g"' % op)
    body += group(app_logo(), "translate(44 78) scale(0.5)")
    body += ('<text x="190" y="150" font-family="Liberation Sans" font-weight="bold" font-size="52" '
             'fill="#FFFFFF">Talkvane</text>')
    body += ('<text x="192" y="182" font-family="Liberation Sans" font-size="17" fill="#FFFFFF" '
             'fill-opacity="0.85">Call any phone, anywhere.</text>')
    body += ('<text x="44" y="258" font-family="Liberation Sans" font-size="12" fill="#FFFFFF" '
             'fill-opacity="0.75">Starting&#8230;</text>')
    write("splashscreen", w, h, body)


def main_window():
    # The frame of the main window; its size is the window's minimum size and the style sheet
    # slices it at 24 pixels (12 of shadow, 12 of rounded corner). 1x only, see the module notes.
    w, h = 340, 600
    body = shadowed_card(w, h, 12, 12, WHITE)
    body += ('<rect x="12.5" y="12.5" width="%g" height="%g" rx="12" ry="12" fill="none" stroke="%s"/>'
             % (w - 25, h - 25, LINE))
    write("mainwindow", w, h, body, kind="png1")


def dialog_frame():
    w, h = 120, 120
    body = shadowed_card(w, h, 12, 10, WHITE)
    body += ('<rect x="12.5" y="12.5" width="95" height="95" rx="10" ry="10" fill="none" stroke="%s"/>' % LINE)
    write("dialog/frame", w, h, body, kind="png1")


def keypad_letters():
    letters = {"1": None, "2": "ABC", "3": "DEF", "4": "GHI", "5": "JKL", "6": "MNO", "7": "PQRS",
               "8": "TUV", "9": "WXYZ", "0": "+"}
    for key, text in letters.items():
        if text is None:
            body = group(ICONS["voicemail"](INK_SOFT), "translate(14 -1) scale(0.5)")
        else:
            body = ('<text x="20" y="9" text-anchor="middle" font-family="Liberation Sans" '
                    'font-weight="bold" font-size="%d" letter-spacing="1" fill="%s">%s</text>'
                    % (11 if text == "+" else 8.5, INK_SOFT, text))
        write("keypad/letters-" + key, 40, 10, body)


def history_icons():
    arrow_in = stroke("M18 6L7 17M7 9v8h8", GREEN, 2.6)
    arrow_out = stroke("M6 18L17 7M9 7h8v8", ACCENT, 2.6)
    missed = stroke("M4 8l6.5 6.5L20 5", RED, 2.6) + stroke("M14.5 5H20v5.5", RED, 2.6) \
        + stroke("M4 20h16", RED, 2, ' stroke-opacity="0.5"')
    sms = ICONS["sms"](ORANGE)
    for name, body in (("incomming", arrow_in), ("outgoing", arrow_out), ("missed", missed), ("sms", sms)):
        write("history/" + name, 20, 20, body, view="0 0 24 24")


def contact_arrows():
    write("contactlist/arrow", 12, 12, fill("M8 5l9 7-9 7z", INK_SOFT), view="0 0 24 24")
    write("contactlist/arrow-open", 12, 12, fill("M5 8l7 9 7-9z", INK), view="0 0 24 24")


def phone_types():
    for name, fn in PHONE_TYPES.items():
        write("contactlist/phone-type-%s-small" % name, 12, 12, fn(INK_SOFT), view="0 0 24 24")
        write("addcontact/phone-type-%s" % name, 16, 16, fn(ACCENT), view="0 0 24 24")


def call_forward_arrow():
    body = stroke("M3 8h30", ACCENT, 2.5, ' stroke-dasharray="0.1 5"') + stroke("M30 3l6 5-6 5", ACCENT, 2.5)
    write("callforward/call-forward-arrow", 40, 16, body)


def voicemail_states():
    states = {
        "not-played": lambda c: circle(12, 12, 9, c, 2) + fill("M10 7.5l6.5 4.5-6.5 4.5z", c),
        "playing": lambda c: circle(12, 12, 10, c) + fill("M10 7.5l6.5 4.5-6.5 4.5z", WHITE if c != WHITE else ACCENT),
        "paused": lambda c: circle(12, 12, 9, c, 2) + fill("M8.8 7.5h2.2v9H8.8zM13 7.5h2.2v9H13z", c),
    }
    for name, fn in states.items():
        write("voicemail/" + name, 16, 16, fn(ACCENT), view="0 0 24 24")
        write("voicemail/%s-selected" % name, 16, 16, fn(WHITE), view="0 0 24 24")


def spinner():
    frames = 12
    for f in range(frames):
        body = '<rect x="0" y="0" width="32" height="32" fill="#FFFFFF"/>'
        for i in range(frames):
            a = 2 * math.pi * i / frames - math.pi / 2
            age = (f - i) % frames
            op = max(0.15, 1.0 - age / 8.0)
            body += ('<circle cx="%.2f" cy="%.2f" r="%.2f" fill="%s" fill-opacity="%.2f"/>'
                     % (16 + 11 * math.cos(a), 16 + 11 * math.sin(a), 2.6 - age * 0.08, ACCENT, op))
        write("login/spinner-%02d" % f, 32, 32, body, kind="gif")


def provider(name, letter, color):
    body = '<rect x="2" y="2" width="44" height="44" rx="12" ry="12" fill="%s"/>' % color
    body += stroke("M10 15h28v19H10zM10 15l14 11 14-11", WHITE, 2.5)
    body += circle(37, 36, 8, WHITE) + ('<text x="37" y="40.5" text-anchor="middle" font-family="Liberation Sans" '
                                       'font-weight="bold" font-size="12" fill="%s">%s</text>' % (color, letter))
    write("import/" + name, 48, 48, body)


def vcard_file():
    """A contact card: the icon of the vCard source beside the web-mail providers."""
    color = "#00897B"
    body = '<rect x="2" y="2" width="44" height="44" rx="12" ry="12" fill="%s"/>' % color
    body += '<rect x="9" y="13" width="30" height="22" rx="3" ry="3" fill="%s"/>' % WHITE
    body += circle(17, 21, 3.5, color)
    body += '<path d="M11.5 31c0-4 2.5-6 5.5-6s5.5 2 5.5 6z" fill="%s"/>' % color
    for y in (19, 24, 29):
        body += '<rect x="26" y="%d" width="10" height="2" rx="1" ry="1" fill="%s"/>' % (y, color)
    write("import/vcard", 48, 48, body)


def tray_hint():
    w, h = 240, 90
    body = '<rect x="0" y="50" width="240" height="40" rx="6" ry="6" fill="#263238"/>'
    for x in (116, 142):
        body += '<rect x="%d" y="60" width="20" height="20" rx="4" ry="4" fill="#546E7A"/>' % x
    body += group(ICONS["speaker"]("#CFD8DC"), "translate(119 63) scale(0.58)")
    body += group(ICONS["virtualnumbers"]("#CFD8DC"), "translate(145 63) scale(0.58)")
    body += '<rect x="168" y="56" width="28" height="28" rx="6" ry="6" fill="#FFFFFF" fill-opacity="0.15"/>'
    body += group(open_tray_icon(), "translate(170 58) scale(0.75)")
    body += '<text x="205" y="74" font-family="Liberation Sans" font-size="10" fill="#CFD8DC">12:00</text>'
    body += stroke("M96 18c40-14 66-4 78 30", ACCENT, 3) + stroke("M165 40l9 8 3-12", ACCENT, 3)
    body += ('<text x="10" y="24" font-family="Liberation Sans" font-weight="bold" font-size="13" '
             'fill="%s">Still here!</text>' % ACCENT)
    write("tray-hint", w, h, body)


def open_tray_icon():
    body = '<rect x="1" y="1" width="30" height="30" rx="8" ry="8" fill="%s"/>' % ACCENT
    body += group(handset(WHITE), "translate(5 5) scale(0.92)")
    return body


def main():
    write("app-icon", 256, 256, app_logo(), kind="ico")
    write("app-icon-small", 32, 32, app_logo(flat=True), view="0 0 256 256")
    tray("online")
    tray("offline")
    splash()
    main_window()
    dialog_frame()
    tray_hint()

    write("titlebar/logo", 20, 20, app_logo(flat=True), view="0 0 256 256")
    icon("titlebar/minimize", 16, INK)
    icon("titlebar/close", 16, INK)
    write("titlebar/close-hover", 16, 16, ICONS["close"](WHITE), view="0 0 24 24")
    icon("titlebar/minimize", 16, INK)

    for name in ("dialpad", "contacts", "sms", "history", "virtualnumbers", "voicemail", "forwarding",
                 "settings", "speaker", "mic", "groups"):
        write("menu/" + name, 24, 24, ICONS[name](INK_SOFT), view="0 0 24 24")
        write("menu/%s-hover" % name, 24, 24, ICONS[name](INK), view="0 0 24 24")
        write("menu/%s-selected" % name, 24, 24, ICONS[name](ACCENT), view="0 0 24 24")

    keypad_letters()
    write("call/call", 28, 28, handset(WHITE), view="0 0 24 24")
    write("call/hangup", 28, 28, hangup(WHITE), view="0 0 24 24")
    write("call/voicemail", 24, 24, ICONS["voicemail"](WHITE), view="0 0 24 24")
    for name in ("speaker", "speaker-muted", "mic", "mic-muted", "plus", "minus", "sms"):
        icon("call/" + name, 20, INK)
    write("call/sms-white", 20, 20, ICONS["sms"](WHITE), view="0 0 24 24")

    history_icons()
    contact_arrows()
    phone_types()
    call_forward_arrow()
    voicemail_states()
    spinner()

    for name in ("check",):
        write("common/" + name, 12, 12, ICONS[name](WHITE), view="0 0 24 24")
    for name in ("chevron-down", "chevron-up"):
        icon("common/" + name, 12, INK_SOFT)
    for name in ("chevron-left", "chevron-right", "search", "recent", "save-number", "edit", "delete", "lock"):
        icon("common/" + name, 16, INK_SOFT)
    icon("common/clear", 16, "#B0BEC5")
    icon("common/back", 16, WHITE)
    icon("common/add", 16, ACCENT)
    icon("common/remove", 16, RED)
    write("common/call-small", 16, 16, handset(ACCENT), view="0 0 24 24")
    write("common/sms-small", 16, 16, ICONS["sms"](ACCENT), view="0 0 24 24")
    write("common/close-white", 12, 12, ICONS["close"](WHITE), view="0 0 24 24")

    provider("google", "G", "#4A7BD0")
    provider("yahoo", "Y", "#7B4FC4")
    provider("live", "L", "#2D8FD5")
    vcard_file()

    # The manifest must not repeat an entry.
    seen = []
    for line in manifest:
        if line not in seen:
            seen.append(line)
    with open(os.path.join(SVG_DIR, "manifest.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(seen) + "\n")
    write_qrc(seen)
    return 0


def write_qrc(entries):
    """gfx.qrc lists what render-gfx.sh produces; the flags have their own resource file."""
    files = []
    for line in entries:
        name, _, _, kind = line.split()
        if kind == "png":
            files += [name + ".png", name + "@2x.png"]
        elif kind == "png1":
            files.append(name + ".png")
        elif kind == "ico":
            files += [name + ".ico", name + ".png"]
        elif kind == "gif":
            base = name.rsplit("-", 1)[0] + ".gif"
            if base not in files:
                files.append(base)
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '    <qresource prefix="/gfx">']
    lines += ['        <file>%s</file>' % f for f in sorted(files)]
    lines += ['    </qresource>', '</RCC>', '']
    with open(os.path.join(ROOT, "gfx", "gfx.qrc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    sys.exit(main())
