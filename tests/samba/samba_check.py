#!/usr/bin/env python3
"""morvex against a real Samba server: streams written by the client are
listed and read by morvex byte for byte, streams morvex writes or removes
are seen so by the client, and the descriptors smbcacls sets are the ones
morvex hands out, raw (decoded by python3-samba) and as its text report.

  tests/samba/samba_check.py BUILD_DIR

Prints one line per check and "N passed, N failed"; exits 1 on a failure.
Where smbd cannot start it says why and exits 0 without checking."""

import json
import os
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from samba_server import CannotStart, SambaServer  # noqa: E402

IN_NAMESPACE = "MORVEX_SAMBA_NAMESPACE"
# Samba's own decoder, from Debian's python3-samba, which only the system
# interpreter imports.
SYSTEM_PYTHON = "/usr/bin/python3"

# The streams the client writes: names with a blank and beyond ASCII, sizes
# at Samba's limit (smbd max xattr size, 65536 with the NUL) and past it.
CLIENT_STREAMS = [
    ("Zone.Identifier", b"[ZoneTransfer]\r\nZoneId=3\r\n"),
    ("with blank", b"a blank in the name\n"),
    ("r\u00e9sum\u00e9 \u2713", "non-ASCII name, UTF-8 bytes \u00e9\n".encode()),
    ("AFP_AfpInfo", b"AFP\x00" + bytes(56)),
    ("at the limit", bytes(range(256)) * 255 + bytes(255)),  # 65535 bytes
]
MIB = os.urandom(1 << 20)
# The text report's names for the bits of a file's access mask.
RIGHTS = [(0x1, "Read"), (0x2, "Write"), (0x4, "Append"), (0x8, "ReadProp"),
          (0x10, "WriteProp"), (0x20, "Execute"), (0x80, "ReadAttrib"),
          (0x100, "WriteAttrib"), (0x10000, "Delete"), (0x20000, "ReadControl"),
          (0x40000, "ChangePermissions"), (0x80000, "WriteOwner"),
          (0x100000, "Synchronize")]
DIRECTORY_RIGHTS = {0x1: "List", 0x2: "CreateObject", 0x4: "CreateChild",
                    0x20: "Traverse", 0x40: "DeleteChild"}
INHERITANCE = [(0x1, "OBJECT_INHERIT_ACE"), (0x2, "CONTAINER_INHERIT_ACE"),
               (0x4, "NO_PROPAGATE_INHERIT_ACE"), (0x8, "INHERIT_ONLY_ACE"),
               (0x10, "INHERITED_ACE")]
TRUSTEES = {"S-1-1-0": "Everyone", "S-1-3-0": "CREATOR OWNER", "S-1-3-1": "CREATOR GROUP",
            "S-1-22-1-0": "Unix User\\root",
            "S-1-22-2-0": "Unix Group\\root"}
# Five descriptors set by smbcacls: (file, is a directory, arguments).
ACLS = [
    ("allow.txt", False, ["-a", "ACL:Everyone:ALLOWED/0/FULL"]),
    ("deny.txt", False, ["-a", "ACL:Everyone:DENIED/0/W"]),
    ("group.txt", False, ["-a", "ACL:Unix Group\\root:ALLOWED/0/CHANGE"]),
    ("inherit", True, ["-a", "ACL:Everyone:ALLOWED/0xb/READ"]),
    ("whole.txt", False, ["-S", "ACL:Unix User\\root:ALLOWED/0/FULL,"
                                "ACL:Everyone:DENIED/0/D,ACL:Everyone:ALLOWED/0/R"]),
    ("flags", True, ["-a", "ACL:Unix Group\\root:DENIED/0x3/0x00000040"]),
]


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, what, ok, detail=""):
        if ok:
            self.passed += 1
            print("ok      " + what)
        else:
            self.failed += 1
            print("FAILED  " + what + (": " + detail if detail else ""))


class Morvex:
    def __init__(self, build, registry):
        self.program = os.path.join(build, "morvex")
        self.env = dict(os.environ, MORVEX_REGISTRY=registry)

    def run(self, *args, stdin=None):
        done = subprocess.run([self.program] + list(args), capture_output=True,
                              input=stdin, env=self.env)
        return done.returncode, done.stdout, done.stderr.decode(errors="replace")

    def streams(self, path):
        """{name: size} of the alternate data streams `list --json` shows."""
        code, out, _ = self.run("list", "--json", path)
        if code != 0:
            return {}
        items = json.loads(out.decode())
        items = items.get("items", items) if isinstance(items, dict) else items
        return {i["name"]: i["size"] for i in items if not i["name"].startswith("{")}


def client_streams(server, name):
    """{stream: size} as smbclient's allinfo reports them."""
    _, out = server.client('allinfo "%s"' % name)
    found = {}
    for line in out.splitlines():
        if line.startswith("stream: [:") and not line.startswith("stream: [::"):
            stream = line[len("stream: [:"):line.index(":$DATA]")]
            found[stream] = int(line.rsplit(",", 1)[1].split()[0])
    return found


def client_get(server, name, stream, scratch):
    local = os.path.join(scratch, "from-client")
    if os.path.exists(local):
        os.unlink(local)
    server.client('get "%s:%s" "%s"' % (name, stream, local))
    with open(local, "rb") as f:
        return f.read()


def check_client_to_morvex(server, morvex, checks, scratch):
    with open(server.path("c.txt"), "w") as f:
        f.write("client's file\n")
    for stream, data in CLIENT_STREAMS + [("one MiB", MIB)]:
        local = os.path.join(scratch, "to-client")
        with open(local, "wb") as f:
            f.write(data)
        server.client('put "%s" "c.txt:%s"' % (local, stream))
    listed = morvex.streams(server.path("c.txt"))
    for stream, data in CLIENT_STREAMS:
        checks.check("client put %r: morvex lists it with %d bytes" % (stream, len(data)),
                     listed.get(stream) == len(data), "listed %r" % listed.get(stream))
        code, out, err = morvex.run("get", server.path("c.txt"), stream, "--output", "-")
        checks.check("client put %r: morvex get gives its bytes" % stream,
                     code == 0 and out == data, err)
    # Samba refuses a stream past its limit with NT_STATUS_DISK_FULL once
    # the stream is made: the client is left an empty one, which morvex shows.
    checks.check("client put of 1 MiB: Samba keeps an empty stream, morvex shows it",
                 listed.get("one MiB") == 0 and client_streams(server, "c.txt").get("one MiB") == 0,
                 "listed %r" % listed.get("one MiB"))
    attributes = os.listxattr(server.path("c.txt"))
    checks.check("user.DOSATTRIB is no stream", "DOSATTRIB" not in listed and
                 "user.DOSATTRIB" in attributes, repr(sorted(listed)))


def check_morvex_to_client(server, morvex, checks, scratch):
    server.client("mkdir m")  # made by the client, so it carries Samba's attributes
    with open(os.path.join(scratch, "seed"), "wb") as f:
        f.write(b"seed")
    server.client('put "%s" m.txt' % os.path.join(scratch, "seed"))
    target = server.path("m.txt")
    for stream, data in CLIENT_STREAMS:
        code, _, err = morvex.run("put", target, "-", "--as", stream, "--yes", stdin=data)
        checks.check("morvex put %r: accepted" % stream, code == 0, err)
        checks.check("morvex put %r: allinfo shows %d bytes" % (stream, len(data)),
                     client_streams(server, "m.txt").get(stream) == len(data))
        checks.check("morvex put %r: smbclient get gives its bytes" % stream,
                     client_get(server, "m.txt", stream, scratch) == data)
    before = sorted(os.listxattr(target))
    code, _, err = morvex.run("put", target, "-", "--as", "one MiB", "--yes", stdin=MIB)
    checks.check("morvex put of 1 MiB is refused and writes nothing",
                 code == 1 and sorted(os.listxattr(target)) == before, err)
    checks.check("morvex put of 65536 bytes (no room for the NUL) is refused",
                 morvex.run("put", target, "-", "--as", "past", "--yes",
                            stdin=bytes(65536))[0] == 1)
    for stream, _ in CLIENT_STREAMS[:3]:
        code, _, err = morvex.run("rm", target, stream, "--yes")
        checks.check("morvex rm %r: the client no longer sees it" % stream,
                     code == 0 and stream not in client_streams(server, "m.txt"), err)
    checks.check("morvex rm leaves the other streams to the client",
                 sorted(client_streams(server, "m.txt")) ==
                 sorted(s for s, _ in CLIENT_STREAMS[3:]))


def check_scan(server, morvex, checks):
    for i in range(20):
        with open(server.path("plain%02d.txt" % i), "w") as f:
            f.write("x")
        os.setxattr(server.path("plain%02d.txt" % i), "user.DOSATTRIB", b"\0")
    code, out, err = morvex.run("scan", server.share)
    lines = out.decode(errors="replace").splitlines()
    # c.txt keeps the client's six streams; m.txt the two morvex rm left.
    zone = [line for line in lines if line.endswith("/c.txt:Zone.Identifier")]
    checks.check("scan names every stream of the share under its own name",
                 code == 0 and len(zone) == 1 and len(lines) == 8,
                 out.decode(errors="replace") + err)
    checks.check("scan reports no DOSATTRIB", not any("DOSATTRIB" in line for line in lines))


def sddl(kind, blob):
    code = ("import sys\nfrom samba.ndr import ndr_unpack\n"
            "from samba.dcerpc import security, xattr\n"
            "blob = sys.stdin.buffer.read()\n"
            "sd = ndr_unpack(xattr.NTACL, blob).info.sd if sys.argv[1] == 'ntacl' "
            "else ndr_unpack(security.descriptor, blob)\n"
            "print(sd.as_sddl())\n"
            "print(sd.owner_sid)\n"
            "for ace in sd.dacl.aces if sd.dacl else []:\n"
            "    print(ace.type, ace.flags, ace.access_mask, ace.trustee)\n")
    done = subprocess.run([SYSTEM_PYTHON, "-c", code, kind], input=blob, capture_output=True)
    return done.stdout.decode(), done.stderr.decode()


def expected_report(decoded, directory):
    """(owner, [(trustee, rights, mode, inheritance)]) the report must name."""
    lines = decoded.splitlines()
    owner = TRUSTEES.get(lines[1], lines[1])
    entries = []
    for line in lines[2:]:
        kind, flags, mask, sid = line.split()
        flags, mask = int(flags), int(mask)
        names = dict(RIGHTS)
        if directory:
            names.update(DIRECTORY_RIGHTS)
        rights = sorted(name for bit, name in names.items() if mask & bit)
        inheritance = sorted(n for bit, n in INHERITANCE if flags & bit) or ["NO_INHERITANCE"]
        mode = "GRANT_ACCESS" if kind == "0" else "DENY_ACCESS"
        entries.append((TRUSTEES.get(sid, sid), rights, mode, inheritance))
    return owner, entries


def report_entries(text):
    owner = text.splitlines()[0][len("Owner: "):].split(" (")[0]
    entries = []
    for block in text.split("Trustee: ")[1:]:
        fields = dict(line.split(": ", 1) for line in block.splitlines()[1:] if ": " in line)
        rights = sorted((fields.get("Standard rights", "") + " " +
                         fields.get("File specific rights", "")).split())
        entries.append((block.splitlines()[0], rights, fields["Access mode"],
                        sorted(fields["Inheritance"].split())))
    return owner, entries


def check_acls(server, morvex, checks):
    for name, directory, args in ACLS:
        if directory:
            server.client("mkdir %s" % name)
        else:
            with open(server.path(name), "w") as f:
                f.write("acl\n")
        code, out = server.cacls(name, *args)
        if code != 0:
            checks.check("smbcacls %s %s" % (name, " ".join(args)), False, out)
            continue
        ntacl, err = sddl("ntacl", os.getxattr(server.path(name), "security.NTACL"))
        morvex.run("config", "--parse-security", "off")
        _, raw, _ = morvex.run("get", server.path(name), "{Security_Data}", "--output", "-")
        ours, err2 = sddl("descriptor", raw)
        checks.check("%s (%s): the raw descriptor is the one smbcacls set" % (name, args[1]),
                     ntacl != "" and ours.splitlines()[:1] == ntacl.splitlines()[:1],
                     "\n  samba: %s\n  morvex: %s %s" % (ntacl, ours, err + err2))
        morvex.run("config", "--parse-security", "on")
        _, text, _ = morvex.run("get", server.path(name), "{Security_Data}", "--output", "-")
        want = expected_report(ntacl, directory)
        got = report_entries(text.decode(errors="replace").replace("\r", ""))
        checks.check("%s (%s): the report names owner, trustees, rights and modes" %
                     (name, args[1]), got == want, "\n  want %r\n  got  %r" % (want, got))


def main():
    build = os.path.abspath(sys.argv[1])
    if os.environ.get(IN_NAMESPACE) is None:
        # A network namespace of our own: 127.0.0.1:445 is free there.
        inner = ("ip link set lo up && exec env %s=1 %s %s %s" %
                 (IN_NAMESPACE, sys.executable, os.path.abspath(__file__), build))
        if subprocess.run(["unshare", "--net", "true"], capture_output=True).returncode == 0:
            return subprocess.run(["unshare", "--net", "sh", "-c", inner]).returncode
        print("no network namespace could be made; using the machine's 127.0.0.1:445")
    # A run that is stopped still stops its server: the exit unwinds the with.
    for stop in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        signal.signal(stop, lambda number, frame: sys.exit(128 + number))
    checks = Checks()
    scratch = tempfile.mkdtemp(prefix="morvex-samba-client-")
    registry = os.path.join(scratch, "registry.reg")
    try:
        with SambaServer() as server:
            morvex = Morvex(build, registry)
            check_client_to_morvex(server, morvex, checks, scratch)
            check_morvex_to_client(server, morvex, checks, scratch)
            check_scan(server, morvex, checks)
            check_acls(server, morvex, checks)
    except CannotStart as reason:
        print("samba-check skipped: smbd cannot start: %s" % reason)
        return 0
    finally:
        subprocess.run(["rm", "-rf", scratch])
    print("%d passed, %d failed" % (checks.passed, checks.failed))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
