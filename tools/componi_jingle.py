#!/usr/bin/env python3
"""Writes the splash jingle resources/data/Internet.mid: a short original
motif in C major (about four seconds), piano melody over string chords.
Run from the project root: python3 tools/componi_jingle.py"""
import struct

TPQ = 480  # ticks per quarter note


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def main():
    events = []  # (tick, order, bytes)

    def note(ch, start, length, pitch, vel):
        events.append((start, 1, bytes([0x90 | ch, pitch, vel])))
        events.append((start + length, 0, bytes([0x80 | ch, pitch, 0])))

    # tempo 132 bpm, programs: ch0 piano, ch1 strings
    events.append((0, -2, b"\xff\x51\x03" + struct.pack(">I", 60000000 // 132)[1:]))
    events.append((0, -1, bytes([0xC0, 0])))
    events.append((0, -1, bytes([0xC1, 48])))
    e = TPQ // 2  # eighth note
    melody = [(72, 1), (76, 1), (79, 1), (84, 2), (83, 1), (79, 1), (81, 2),
              (77, 1), (81, 1), (84, 2), (79, 4)]
    t = 0
    for pitch, eighths in melody:
        note(0, t, eighths * e - 20, pitch, 96)
        t += eighths * e
    chords = [((48, 55, 64), 4), ((53, 57, 65), 4), ((55, 59, 67), 4), ((48, 55, 64), 4)]
    t = 0
    for chord, eighths in chords:
        for p in chord:
            note(1, t, eighths * e - 10, p, 64)
        t += eighths * e
    events.sort(key=lambda x: (x[0], x[1]))
    track = b""
    last = 0
    for tick, _, data in events:
        track += vlq(tick - last) + data
        last = tick
    track += vlq(TPQ) + b"\xff\x2f\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, TPQ)
    with open("resources/data/Internet.mid", "wb") as f:
        f.write(header + b"MTrk" + struct.pack(">I", len(track)) + track)


if __name__ == "__main__":
    main()
