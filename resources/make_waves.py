#!/usr/bin/env python3
"""Writes the six short sounds of Hueline as 8-bit mono PCM wave files.

Usage: make_waves.py OUTPUT_FOLDER
       make_waves.py --names      prints the names, ";" between them (a CMake list)

SOUNDS is the one list of the sounds' names: the build, the release check and
the end-to-end tests take them from here.

Each sound is a few plain tones with a soft start and end, so that it plays on
any sound card a Windows 95 machine may have (11025 Hz, 8-bit, mono).
"""
import math
import os
import struct
import sys

RATE = 11025

# Sound name: list of (frequency in Hz, length in ms); frequency 0 is silence.
SOUNDS = {
    "click.wav": [(1800, 12)],
    "refresh.wav": [(660, 40), (880, 60)],
    "cancel.wav": [(660, 60), (440, 90)],
    "restore.wav": [(523, 60), (392, 60), (523, 90)],
    "apply.wav": [(523, 60), (659, 60), (784, 110)],
    "testing.wav": [(440, 120), (0, 120), (440, 120), (0, 400)],
}


def tone(frequency, milliseconds):
    count = RATE * milliseconds // 1000
    fade = max(1, min(count // 4, RATE // 200))
    samples = bytearray()
    for i in range(count):
        level = 0.0
        if frequency:
            envelope = min(1.0, i / fade, (count - 1 - i) / fade)
            level = 0.45 * envelope * math.sin(2 * math.pi * frequency * i / RATE)
        samples.append(int(round(128 + 127 * level)))
    return bytes(samples)


def wave(parts):
    data = b"".join(tone(f, ms) for f, ms in parts)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        body += b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    if sys.argv[1] == "--names":
        print(";".join(SOUNDS), end="")
        return
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, parts in SOUNDS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(wave(parts))


if __name__ == "__main__":
    main()
