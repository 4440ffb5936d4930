"""A private smbd for the Samba checks: its own configuration, passdb,
state, lock, cache and log folders under one temporary folder, a share on a
tmpfs (which keeps user.* and security.* attributes, values up to the
kernel's 64 KiB), listening on 127.0.0.1 only.

smbcacls knows no port option and always dials 445, so the checks run in a
network namespace of their own (unshare --net) where 127.0.0.1:445 is theirs:
no server of the machine is reached or disturbed. The server is stopped, its
process group killed and the tmpfs unmounted on every way out."""

import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time

# smbd maps the client to this account; root needs no account of its own.
USER = "root"
PASSWORD = "morvex-check"

CONFIG = """[global]
  interfaces = 127.0.0.1
  bind interfaces only = yes
  smb ports = 445
  private dir = {root}/private
  state directory = {root}/state
  lock directory = {root}/lock
  cache directory = {root}/cache
  pid directory = {root}/run
  ncalrpc dir = {root}/run/ncalrpc
  log file = {root}/log/log.%m
  passdb backend = tdbsam:{root}/private/passdb.tdb
  server role = standalone server
  load printers = no
  printcap name = /dev/null
  disable spoolss = yes
  server min protocol = SMB2
[share]
  path = {root}/share
  read only = no
  vfs objects = acl_xattr streams_xattr
"""


class CannotStart(Exception):
    """smbd could not be started here; the message says why."""


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, **kwargs)


class SambaServer:
    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="morvex-samba-")
        self.share = os.path.join(self.root, "share")
        self.config = os.path.join(self.root, "smb.conf")
        self.process = None
        self.mounted = False

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def _start(self):
        for sub in ("private", "state", "lock", "cache", "run", "log", "share"):
            os.makedirs(os.path.join(self.root, sub))
        if run(["mount", "-t", "tmpfs", "-o", "size=64m", "morvex-samba", self.share]).returncode:
            raise CannotStart("cannot mount a tmpfs for the share")
        self.mounted = True
        with open(self.config, "w") as f:
            f.write(CONFIG.format(root=self.root))
        if shutil.which("smbd") is None:
            raise CannotStart("smbd is not installed (make deps)")
        added = run(["smbpasswd", "-c", self.config, "-s", "-a", USER],
                    input=("%s\n%s\n" % (PASSWORD, PASSWORD)).encode())
        if added.returncode:
            raise CannotStart("smbpasswd: " + added.stderr.decode(errors="replace"))
        os.chmod(self.share, 0o777)
        log = open(os.path.join(self.root, "log", "smbd.out"), "wb")
        self.process = subprocess.Popen(
            ["smbd", "-s", self.config, "-F", "--no-process-group", "--debug-stdout"],
            stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        log.close()
        self._wait_for_port()

    def _wait_for_port(self):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise CannotStart("smbd exited: " + self.log_tail())
            try:
                socket.create_connection(("127.0.0.1", 445), timeout=1).close()
                return
            except OSError:
                time.sleep(0.2)
        raise CannotStart("smbd did not listen within 20 s: " + self.log_tail())

    def log_tail(self):
        try:
            with open(os.path.join(self.root, "log", "smbd.out"), errors="replace") as f:
                return f.read()[-2000:]
        except OSError:
            return ""

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGTERM)
                self.process.wait(timeout=10)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                try:
                    os.killpg(self.process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                self.process.wait()
        if self.mounted:
            run(["umount", "-l", self.share])
            self.mounted = False
        shutil.rmtree(self.root, ignore_errors=True)

    def client(self, command):
        """Runs smbclient commands on the share; (returncode, output)."""
        done = run(["smbclient", "-s", self.config, "//127.0.0.1/share",
                    "-U", "%s%%%s" % (USER, PASSWORD), "-c", command])
        return done.returncode, (done.stdout + done.stderr).decode(errors="replace")

    def cacls(self, *args):
        done = run(["smbcacls", "-s", self.config, "//127.0.0.1/share",
                    "-U", "%s%%%s" % (USER, PASSWORD)] + list(args))
        return done.returncode, (done.stdout + done.stderr).decode(errors="replace")

    def path(self, name):
        return os.path.join(self.share, name)
