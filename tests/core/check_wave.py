#!/usr/bin/env python3
"""Checks a wave file the recorder wrote: python's wave module must read it
with the given channels, bits, rate and number of frames, and the RIFF sizes
must match the file."""
import struct
import sys
import wave

path, channels, bits, rate, frames = sys.argv[1], *map(int, sys.argv[2:6])
with wave.open(path, "rb") as w:
    got = (w.getnchannels(), w.getsampwidth() * 8, w.getframerate(), w.getnframes())
    data = w.readframes(w.getnframes())
want = (channels, bits, rate, frames)
if got != want:
    sys.exit(f"{path}: channels, bits, rate, frames {got}, expected {want}")
with open(path, "rb") as f:
    raw = f.read()
riff = struct.unpack_from("<I", raw, 4)[0]
if riff != len(raw) - 8:
    sys.exit(f"{path}: RIFF size {riff}, file holds {len(raw) - 8} after it")
if len(data) != frames * channels * bits // 8:
    sys.exit(f"{path}: {len(data)} bytes of samples")
print(f"{path}: valid, {frames} frames")
