#!/usr/bin/env python3
"""Writes the program's sounds into sounds/: keypad tones, the ringtone and the speaker test.

All files are 16-bit PCM mono WAV at 44100 Hz. The keypad tones are the standard DTMF pairs
(one low-group and one high-group sine), so what the user hears matches what the far end gets.
Run it again after changing a sound and commit the result.
"""

import math
import os
import struct
import sys
import wave

RATE = 44100
OUT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "sounds"))

DTMF = {
    "1": (697, 1209), "2": (697, 1336), "3": (697, 1477),
    "4": (770, 1209), "5": (770, 1336), "6": (770, 1477),
    "7": (852, 1209), "8": (852, 1336), "9": (852, 1477),
    "*": (941, 1209), "0": (941, 1336), "#": (941, 1477),
}
# File names for the keys that are awkward on disk; the resource file maps them back.
KEY_FILE = {"*": "star", "#": "hash"}

TONE_SECONDS = 0.16
TONE_AMPLITUDE = 0.32  # per sine; the sum stays below -3 dBFS
FADE_SECONDS = 0.005


def write_wav(name, samples):
    path = os.path.join(OUT, name)
    frames = bytearray()
    for s in samples:
        frames += struct.pack("<h", int(round(max(-1.0, min(1.0, s)) * 32767)))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))
    return path


def fade(i, n, fade_n):
    """Raised-cosine ramps at both ends keep key presses free of clicks."""
    if i < fade_n:
        return 0.5 - 0.5 * math.cos(math.pi * i / fade_n)
    if i >= n - fade_n:
        return 0.5 - 0.5 * math.cos(math.pi * (n - 1 - i) / fade_n)
    return 1.0


def dtmf(key):
    low, high = DTMF[key]
    n = int(TONE_SECONDS * RATE)
    fade_n = int(FADE_SECONDS * RATE)
    return [TONE_AMPLITUDE * fade(i, n, fade_n)
            * (math.sin(2 * math.pi * low * i / RATE) + math.sin(2 * math.pi * high * i / RATE))
            for i in range(n)]


def note(freq, seconds, amplitude, decay):
    """A soft mallet note: a sine with a little octave and twelfth, decaying exponentially."""
    n = int(seconds * RATE)
    attack = int(0.004 * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        env = math.exp(-t * decay) * (i / attack if i < attack else 1.0)
        tail = min(1.0, (n - i) / (0.01 * RATE))
        s = (math.sin(2 * math.pi * freq * t) + 0.25 * math.sin(4 * math.pi * freq * t)
             + 0.08 * math.sin(6 * math.pi * freq * t))
        out.append(amplitude * env * tail * s / 1.33)
    return out


def mix(track, at_seconds, samples):
    start = int(at_seconds * RATE)
    if len(track) < start + len(samples):
        track.extend([0.0] * (start + len(samples) - len(track)))
    for i, s in enumerate(samples):
        track[start + i] += s


def semitone(base, steps):
    return base * 2 ** (steps / 12.0)


def ringtone():
    """Two rising phrases and a pause, so that it loops as a ring cadence of about 3 s."""
    c5 = 523.25
    track = []
    phrase = [(0.00, 0), (0.14, 4), (0.28, 7), (0.42, 12)]
    for start in (0.0, 0.9):
        for offset, step in phrase:
            mix(track, start + offset, note(semitone(c5, step), 0.55, 0.45, 6.0))
    mix(track, 0.0, [0.0] * int(3.0 * RATE))
    return track[: int(3.0 * RATE)]


def test_sound():
    """A gentle two-note chime for the speaker test."""
    track = []
    mix(track, 0.0, note(659.25, 0.9, 0.5, 4.0))
    mix(track, 0.35, note(987.77, 1.0, 0.45, 4.0))
    return track


def main():
    os.makedirs(OUT, exist_ok=True)
    for key in DTMF:
        write_wav("dialup-%s.wav" % KEY_FILE.get(key, key), dtmf(key))
    write_wav("ringtone.wav", ringtone())
    write_wav("ring1.wav", test_sound())
    return 0


if __name__ == "__main__":
    sys.exit(main())
