#!/usr/bin/env python3
"""Writes the status monitor's notification sounds.

    make_waves.py OUTPUT_FOLDER

Short tone patterns, 22050 Hz, 16-bit mono PCM, one file per sound that the
sample model profile assigns (keys WVV003 ... WVV012). Only the standard
library is used.
"""

import math
import os
import struct
import sys
import wave

RATE = 22050

# file name: list of (frequency in Hz, duration in seconds); 0 Hz is silence.
SOUNDS = {
    "kx_paper.wav": [(880, 0.12), (0, 0.06), (880, 0.12), (0, 0.06), (660, 0.22)],
    "kx_jam.wav": [(440, 0.18), (0, 0.05), (330, 0.18), (0, 0.05), (440, 0.18), (0, 0.05), (330, 0.25)],
    "kx_inklow.wav": [(1046, 0.10), (0, 0.08), (1046, 0.10)],
    "kx_inkout.wav": [(988, 0.14), (784, 0.14), (659, 0.14), (523, 0.30)],
    "kx_error.wav": [(220, 0.35), (0, 0.08), (220, 0.35)],
}


def samples(pattern):
    out = bytearray()
    for freq, seconds in pattern:
        n = int(RATE * seconds)
        ramp = max(1, int(RATE * 0.01))
        for i in range(n):
            if freq == 0:
                v = 0.0
            else:
                # a soft attack and release keep the tones from clicking
                env = min(1.0, i / ramp, (n - 1 - i) / ramp)
                t = i / RATE
                v = env * (0.8 * math.sin(2 * math.pi * freq * t) + 0.2 * math.sin(4 * math.pi * freq * t))
            out += struct.pack("<h", int(v * 0.45 * 32767))
    return bytes(out)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_waves.py OUTPUT_FOLDER")
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, pattern in SOUNDS.items():
        with wave.open(os.path.join(sys.argv[1], name), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(samples(pattern))


if __name__ == "__main__":
    main()
