#!/usr/bin/env python3
"""Reads a Standard MIDI File with mido (python3-mido), a reader written apart from Kelvane, and
prints what it found: a first line with the format and the number of tracks, then one line per
event that is not a meta event: its time in milliseconds (from the ticks, through the division
and the tempo the file itself gives), its type, and its bytes in hexadecimal (for system
exclusive, the data between F0 and F7, as mido gives them)."""
import sys

import mido

midi_file = mido.MidiFile(sys.argv[1])
print("format", midi_file.type, "tracks", len(midi_file.tracks))
seconds = 0.0
for message in midi_file:  # delta times in seconds, through the file's tempo
    seconds += message.time
    if message.is_meta:
        continue
    data = message.data if message.type == "sysex" else message.bytes()
    print(round(seconds * 1000), message.type, bytes(data).hex(" "))
