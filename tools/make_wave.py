#!/usr/bin/python3
"""Writes the default alarm sound, a short rooster-like call.

Usage: make_wave.py OUT.wav
Three rising and falling harmonic sweeps, 22050 Hz, 16-bit mono.
"""
import math
import struct
import sys
import wave

RATE = 22050


def call(duration, low, high):
    samples = []
    phase = 0.0
    count = int(duration * RATE)
    for n in range(count):
        t = n / count
        pitch = low + (high - low) * math.sin(math.pi * t) ** 0.6
        phase += 2 * math.pi * pitch / RATE
        envelope = min(1.0, t * 20) * min(1.0, (1 - t) * 8)
        value = 0.55 * math.sin(phase) + 0.25 * math.sin(2 * phase) + 0.12 * math.sin(3 * phase)
        samples.append(envelope * value)
    return samples


def main():
    samples = []
    for duration, low, high in ((0.18, 500, 700), (0.22, 600, 900), (0.7, 650, 1000)):
        samples += call(duration, low, high)
        samples += [0.0] * int(0.05 * RATE)
    samples += [0.0] * int(0.4 * RATE)
    with wave.open(sys.argv[1], 'wb') as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b''.join(struct.pack('<h', int(s * 30000)) for s in samples))


if __name__ == '__main__':
    main()
