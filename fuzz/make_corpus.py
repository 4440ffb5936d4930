#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target under fuzz/corpus/<target>/.

The seeds are small samples of what each parser meets: real stream sequences
and descriptors laid out byte by byte, registry files as the layer writes them
and as other writers do, and command lines of every command. Run it again
after changing a seed; the files are committed.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    # Only the seeds are rewritten: findings saved beside them stay.
    for old in os.listdir(folder):
        if old.startswith("seed-"):
            os.remove(os.path.join(folder, old))
    for n, seed in enumerate(seeds):
        with open(os.path.join(folder, "seed-%02d" % n), "wb") as f:
            f.write(seed)


def header(kind, size, name="", name_size=None, attributes=0):
    raw = name.encode("utf-16-le", "surrogatepass")
    size_field = len(raw) if name_size is None else name_size
    return struct.pack("<IIQI", kind, attributes, size, size_field) + raw


def stream(kind, size, name=""):
    return header(kind, size, name) + b"d" * size


def backup_seeds():
    alternate = stream(4, 5, ":report:$DATA")
    return [
        b"",
        stream(1, 0),
        stream(1, 12),
        stream(1, 3) + stream(3, 20) + alternate,
        stream(1, 3) + stream(2, 8) + stream(3, 20) + alternate + stream(7, 16) + stream(8, 4),
        stream(10, 2, "x"),
        stream(4, 0, ":\t tab:$DATA") + stream(4, 1, ":[7]:$DATA"),
        stream(4, 2, ":\u00e9t\u00e9:$DATA") + stream(4, 2, ":\ud800:$DATA"),
        stream(9, 0) + stream(9, 0),
        stream(5, 4) + stream(6, 4),
        header(1, 0, name_size=3) + b"abc",
        header(1, 5),
        header(1, 0, name_size=8) + b"ab",
        stream(1, 2)[:12],
        stream(1, 2) + b"x" * 19,
        header(4, 2 ** 32, ":big:$DATA") + b"d" * 8,
        header(1, 2 ** 63 - 1),
        header(4, 0, ":" + "n" * 255 + ":$DATA"),
    ]


def item_name_seeds():
    names = [b"report", b"{Data}", b"{Security_Data}x", b"{Data", b"{Data_x}", b"{}",
             b"{Other}abc", b"a[65]b", b"a[065]b", b"a[256]b", b"a[]b", b"a[6x]b",
             b"a[0]b", b"abc[12", b"[7]", b"a\tb", b"{Sparse_Block}", b"[123456789]",
             b"[1234567890]", b"\\..\\x", b"c:x/y", bytes(range(1, 32)),
             bytes(range(128, 256)), b"[[9]]", b"]", b"{Alternative_Data}s"]
    return names


def sid(authority, subs):
    return struct.pack(">BB6s", 1, len(subs), authority.to_bytes(6, "big")) + \
        b"".join(struct.pack("<I", s) for s in subs)


def ace(kind, flags, mask, who):
    body = struct.pack("<I", mask) + who
    return struct.pack("<BBH", kind, flags, 4 + len(body)) + body


def acl(aces):
    body = b"".join(aces)
    return struct.pack("<BBHHH", 2, 0, 8 + len(body), len(aces), 0) + body


def descriptor(control, sacl=None, dacl=None, owner=b"", group=b""):
    parts, offsets, at = [], [], 20
    for part in (sacl, dacl, owner, group):
        if part:
            offsets.append(at)
            parts.append(part)
            at += len(part)
        else:
            offsets.append(0)
    flags = control | 0x8000
    if sacl is not None:
        flags |= 0x10
    if dacl is not None:
        flags |= 0x04
    head = struct.pack("<BBHIIII", 1, 0, flags, offsets[2], offsets[3], offsets[0], offsets[1])
    return head + b"".join(parts)


def security_seeds():
    user, group, everyone = sid(22, [1, 1000]), sid(22, [2, 1000]), sid(1, [0])
    system, admins = sid(5, [18]), sid(5, [32, 544])
    full = acl([ace(0, 0, 0x1F01FF, user), ace(0, 0, 0x1200A9, group),
                ace(1, 0, 0x10000, everyone), ace(0, 0x13, 0x1F01FF, admins)])
    audit = acl([ace(2, 0xC0, 0x1F01FF, everyone)])
    good = descriptor(0, None, full, user, group)
    return [
        good,
        descriptor(0, audit, full, system, admins),
        descriptor(0, None, acl([]), user, group),
        descriptor(0, None, b"", user, group),
        descriptor(0, None, None, user, group),
        descriptor(0, None, full, b"", group),
        descriptor(0, None, full, sid(5, [21, 1, 2, 3, 500]), group),
        descriptor(0, None, acl([ace(5, 0, 1, user)]), user, group),
        descriptor(0, None, acl([ace(0, 0, 0xFFFFFFFF, sid(9, [1] * 15))]), user, group),
        good[:19],
        good[:-1],
        good[:20],
        b"\x01\x00\x04\x80" + b"\xff" * 16,
    ]


def ntacl(version, sd, description=b"posix_acl"):
    """security.NTACL as Samba's NDR lays it out, the descriptor's offsets
    counted from the blob's start."""
    blob = struct.pack("<HHI", version, version, 0x20000)
    if version > 1:
        blob += struct.pack("<I", 0x20004)
    if version == 2:
        blob += b"h" * 16
    if version >= 3:
        blob += struct.pack("<H", 1) + b"h" * 64
    if version == 4:
        blob += description + b"\0"
        blob += b"\0" * (-len(blob) % 4) + b"t" * 8 + b"s" * 64
    blob += b"\0" * (-len(blob) % 4)
    offsets = struct.unpack_from("<4I", sd, 4)
    moved = [o + len(blob) if o else 0 for o in offsets]
    return blob + sd[:4] + struct.pack("<4I", *moved) + sd[20:]


def samba_descriptor_seeds():
    good = security_seeds()[0]
    v4 = ntacl(4, good)
    return [ntacl(1, good), ntacl(2, good), ntacl(3, good), v4,
            ntacl(4, good, b""), ntacl(4, security_seeds()[1], b"abc"),
            v4[:88], v4[:-1], b"\x05\x00\x05\x00" + v4[4:]]


REG_HEADER = b"Windows Registry Editor Version 5.00\n\n"


def registry_seeds():
    section = b"[HKEY_CURRENT_USER\\Key]\n\"Value\"=dword:00000001\n"
    host = (b"[HKEY_CURRENT_USER\\Software\\MorvexHost\\Plugins\\Morvex]\n"
            b"\"UsedByDefault\"=dword:00000001\n\"ParseSecurity\"=dword:00000000\n")
    return [
        REG_HEADER + b"[HKEY_CURRENT_USER]\n\n" + section,
        REG_HEADER + host,
        b"\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A\\B]\r\n"
        b"\"Count\"=dword:A\r\n\"Q\"=hex(b):01,FF,00,00,\\\r\n  00,00,00,00\r\n\r\n"
        b"[HKEY_CURRENT_USER\\A]   \r\n@=\"top\"\r\n",
        REG_HEADER + b"[HKEY_CURRENT_USER\\T]\n\"Text\"=\"a \\\"q\\\" \\\\ b\"\n\"Blob\"=hex:01,02,ff\n",
        REG_HEADER + b"[HKEY_CURRENT_USER\\T]\n\"\xc3\xa9t\xc3\xa9\"=\"\xe2\x82\xac\"\n",
        REG_HEADER + b"[HKEY_CURRENT_USER\\T]\n\"Other\"=hex(b):01,00,00,00,00,00,00,00\n"
        b"\"None\"=hex(0):\n\"Multi\"=hex(7):61,00,00,00,00,00\n",
        b"",
        b"REGEDIT4\n\n" + section,
        REG_HEADER + b"\"Orphan\"=dword:00000001\n" + section,
        REG_HEADER + section + b"[HKEY_LOCAL_MACHINE\\Key]\n",
        REG_HEADER + section + b"[HKEY_CURRENT_USER\\A\\\\B]\n",
        REG_HEADER + section + b"\"Gone\"=-\n",
        REG_HEADER + section + b"\"Bad\"=\"escape \\n\"\n",
        REG_HEADER + section + b"\"Wide\"=dword:123456789\n",
        REG_HEADER + section + b"\"Bytes\"=hex:01,,102\n",
        REG_HEADER + section + b"\"Cut\"=hex:01,\\\n",
        REG_HEADER + section + b"\"\xc3\x28\"=dword:1\n",
        REG_HEADER + section + b"\"Nul\"=\"a\x00b\"\n",
    ]


def command_line_seeds():
    lines = [
        [], ["--help"], ["--version"], ["help", "get"], ["list", "file"],
        ["list", "--json", "-h", "file"], ["list", "a", "b"], ["get", "f", "--to", "dir"],
        ["get", "f", "--to=dir", "--move", "--yes", "{Data}", "#2"], ["get", "f"],
        ["put", "f", "src1", "src2", "--move"], ["put", "f"], ["rm", "f", "--yes", "x"],
        ["rm", "f", "--", "-x"], ["scan", "--json", "d1", "d2"], ["scan"],
        ["config", "--used-by-default=on", "--parse-security", "off"], ["config", "x"],
        ["list", "--bogus", "f"], ["get", "--help"], [""], ["list", ""],
    ]
    return [b"\0".join(a.encode() for a in line) for line in lines]


def main():
    write("backup_walk", backup_seeds())
    write("stream_headers", backup_seeds())
    write("item_name", item_name_seeds())
    write("security_descriptor", security_seeds())
    write("samba_descriptor", samba_descriptor_seeds())
    write("registry_file", registry_seeds())
    write("command_line", command_line_seeds())
    return 0


if __name__ == "__main__":
    sys.exit(main())
