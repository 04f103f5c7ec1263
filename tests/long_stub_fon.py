#!/usr/bin/env python3
"""Writes a copy of a Windows FON whose DOS stub is 4 KiB longer: every
file offset of its NE header and resources moved on to match.

Usage: long_stub_fon.py FON COPY
"""
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
grow = 4096
ne = struct.unpack_from("<I", data, 0x3C)[0]
struct.pack_into("<I", data, 0x3C, ne + grow)
nonres = struct.unpack_from("<I", data, ne + 0x2C)[0]
struct.pack_into("<I", data, ne + 0x2C, nonres + grow)
at = ne + struct.unpack_from("<H", data, ne + 0x24)[0]
shift = struct.unpack_from("<H", data, at)[0]
at += 2
while struct.unpack_from("<H", data, at)[0] != 0:
    count = struct.unpack_from("<H", data, at + 2)[0]
    at += 8
    for _ in range(count):
        offset = struct.unpack_from("<H", data, at)[0]
        struct.pack_into("<H", data, at, offset + (grow >> shift))
        at += 12
open(sys.argv[2], "wb").write(data[:64] + bytes(grow) + data[64:])
