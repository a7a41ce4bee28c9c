#!/usr/bin/env python3
"""Writes Ostrel's shutter sound: two damped mechanical clicks, half a second,
16 kHz mono 16-bit PCM. Deterministic: the same file on every run.

    python3 res/make_shutter_sound.py res/shutter.wav
"""
import math
import random
import struct
import sys
import wave

RATE = 16000
LENGTH = 0.5  # seconds


def biquad_bandpass(samples, centre, q):
    """A constant-peak band-pass (RBJ cookbook) over a list of floats."""
    w0 = 2 * math.pi * centre / RATE
    alpha = math.sin(w0) / (2 * q)
    b0, b1, b2 = alpha, 0.0, -alpha
    a0, a1, a2 = 1 + alpha, -2 * math.cos(w0), 1 - alpha
    x1 = x2 = y1 = y2 = 0.0
    out = []
    for x in samples:
        y = (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2) / a0
        x2, x1, y2, y1 = x1, x, y1, y
        out.append(y)
    return out


def click(rng, n, start, loudness, noise_decay, body_hz, body_decay, centre):
    """A noise burst through a resonance for the blade's snap, a low damped sine for the body."""
    noise = [0.0] * n
    body = [0.0] * n
    for i in range(start, n):
        t = (i - start) / RATE
        noise[i] = rng.uniform(-1, 1) * math.exp(-t / noise_decay)
        body[i] = math.sin(2 * math.pi * body_hz * t) * math.exp(-t / body_decay)
    snap = biquad_bandpass(noise, centre, 1.2)
    return [loudness * (2.5 * s + 0.6 * b) for s, b in zip(snap, body)]


def main(path):
    rng = random.Random(136)
    n = int(RATE * LENGTH)
    first = click(rng, n, int(0.015 * RATE), 0.8, 0.006, 190, 0.018, 3200)
    second = click(rng, n, int(0.135 * RATE), 1.0, 0.009, 150, 0.030, 2400)
    # The mechanism settling: faint rattle that dies away before the end.
    rattle = [0.0] * n
    for i in range(int(0.15 * RATE), n):
        t = i / RATE - 0.15
        rattle[i] = rng.uniform(-1, 1) * 0.05 * math.exp(-t / 0.05)
    rattle = biquad_bandpass(rattle, 1800, 2.0)
    mix = [a + b + c for a, b, c in zip(first, second, rattle)]
    fade = int(0.02 * RATE)
    for i in range(fade):
        mix[n - 1 - i] *= i / fade
    peak = max(abs(v) for v in mix) or 1.0
    scale = 0.7 * 32767 / peak  # about -3 dBFS
    frames = b"".join(struct.pack("<h", int(round(v * scale))) for v in mix)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "shutter.wav")
