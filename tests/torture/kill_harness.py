#!/usr/bin/env python3
"""Kills morvex at random moments while it writes, and checks what is left.

Each trial makes a file with main data and a stream, a source and a folder of
old outputs, starts one operation (put, get --to, get --output, each also
with --move, and get --output - into a device), and sends SIGKILL, SIGINT or SIGTERM after a random part of the
time the operation takes. Then:
  - every output and stream is its old content or the whole new one (on
    ntfs-3g's stream paths, a stream cut short by SIGKILL while it was
    rewritten must have its old bytes whole in NAME.~morvex-old beside it);
  - no source is gone unless its copy is whole;
  - no temporary is left, unless SIGKILL came (those are counted apart).
Runs on tmpfs, an ext4 image, and NTFS images through both of ntfs-3g's
stream interfaces, where the machine can mount them (root, FUSE).

  kill_harness.py BUILD [--trials N] [--seconds S] [--seed K] [--operation OP]...

N trials per operation and volume, or as many as S seconds allow in all.
Prints the figures per volume and operation; exits 1 on any failure.
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SIGNALS = [signal.SIGKILL, signal.SIGINT, signal.SIGTERM]
TEMPORARY_MARKS = (".~morvex-", ".morvex-")


class Volume:
    """A folder on one kind of file system, mounted for the run."""

    def __init__(self, name, stream_size):
        self.name = name
        self.stream_size = stream_size  # the largest stream the volume holds
        self.root = None
        self.cleanup = []

    def close(self):
        for step in reversed(self.cleanup):
            try:
                step()
            except Exception as error:  # a failed unmount must not hide the figures
                print("kill-harness: cleaning %s: %s" % (self.name, error), file=sys.stderr)


def run_quiet(*command):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def tmpfs_volume(scratch):
    volume = Volume("tmpfs", 60000)
    volume.root = tempfile.mkdtemp(prefix="morvex-torture-", dir="/dev/shm")
    volume.cleanup.append(lambda: shutil.rmtree(volume.root, ignore_errors=True))
    return volume


def ext4_volume(scratch):
    volume = Volume("ext4", 3000)  # an ext4 inode holds about 4 KiB of attributes
    image = os.path.join(scratch, "ext4.img")
    with open(image, "wb") as file:
        file.truncate(96 << 20)
    volume.root = os.path.join(scratch, "ext4")
    os.mkdir(volume.root)
    if not run_quiet("mkfs.ext4", "-q", "-F", "-b", "4096", image) or \
            not run_quiet("mount", "-o", "loop", image, volume.root):
        return None
    volume.cleanup.append(lambda: run_quiet("umount", volume.root))
    return volume


def ntfs_volume(scratch, windows_streams):
    name = "ntfs-windows" if windows_streams else "ntfs-xattr"
    volume = Volume(name, 4 << 20 if windows_streams else 60000)
    image = os.path.join(scratch, name + ".img")
    with open(image, "wb") as file:
        file.truncate(160 << 20)
    volume.root = os.path.join(scratch, name)
    os.mkdir(volume.root)
    if not run_quiet("mkntfs", "-F", "-q", "-f", image):
        return None
    options = "no_detach" + (",streams_interface=windows" if windows_streams else "")
    driver = subprocess.Popen(["ntfs-3g", "-o", options, image, volume.root],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if os.path.ismount(volume.root):
            break
        time.sleep(0.05)
    else:
        driver.kill()
        driver.wait()
        return None

    def unmount():
        run_quiet("umount", volume.root)
        driver.wait(timeout=60)
    volume.cleanup.append(unmount)
    return volume


def streams_of(path, volume):
    """The named streams of `path`, name to bytes."""
    found = {}
    if volume.name == "ntfs-windows":
        listed = os.getxattr(path, "ntfs.streams.list").split(b"\0")
        for name in filter(None, listed):
            with open(path + ":" + name.decode(), "rb") as stream:
                found[name.decode()] = stream.read()
        return found
    for attribute in os.listxattr(path):
        if attribute.startswith("user."):
            found[attribute[5:]] = os.getxattr(path, attribute)
    return found


def set_stream(path, name, data, volume):
    if volume.name == "ntfs-windows":
        with open(path + ":" + name, "wb") as stream:
            stream.write(data)
    else:
        os.setxattr(path, "user." + name, data)


def contents(path):
    try:
        with open(path, "rb") as file:
            return file.read()
    except FileNotFoundError:
        return None


class Trial:
    """One operation's files in a folder of their own."""

    def __init__(self, volume, folder, rng):
        self.volume = volume
        self.folder = folder
        os.makedirs(os.path.join(folder, "src"))
        os.makedirs(os.path.join(folder, "out"))
        os.makedirs(os.path.join(folder, "tmp"))  # TMPDIR
        size = volume.stream_size
        self.old_data = rng.randbytes(2 << 20)
        self.old_notes = rng.randbytes(size)
        self.new_notes = rng.randbytes(size)
        self.cut_short = False  # a stream cut short, its old bytes whole beside it
        self.file = os.path.join(folder, "f")
        with open(self.file, "wb") as file:
            file.write(self.old_data)
        set_stream(self.file, "notes", self.old_notes, volume)
        self.source = os.path.join(folder, "src", "notes")
        with open(self.source, "wb") as file:
            file.write(self.new_notes)
        for name in ("notes", "{Data}", "target"):
            with open(os.path.join(folder, "out", name), "wb") as file:
                file.write(b"old output " + name.encode())

    def out(self, name):
        return os.path.join(self.folder, "out", name)

    def leftovers(self):
        left = []
        for where, folders, names in os.walk(self.folder):
            left += [os.path.join(where, n) for n in folders + names
                     if any(m in n for m in TEMPORARY_MARKS)]
        left += [self.file + ":" + n for n in streams_of(self.file, self.volume) if "~morvex" in n]
        # A folder left is told with what it holds.
        return [p + (" holding %s" % sorted(os.listdir(p)) if os.path.isdir(p) else "")
                for p in left]


# Each operation: the arguments after "morvex", and a check of what is left
# that returns a list of faults found.
def check_put(trial, moved):
    faults = []
    notes = streams_of(trial.file, trial.volume).get("notes")
    whole = notes == trial.new_notes
    if not whole and notes != trial.old_notes:
        backup = streams_of(trial.file, trial.volume).get("notes.~morvex-old")
        if backup != trial.old_notes:
            faults.append("stream notes is neither old nor new, and no backup holds the old")
        trial.cut_short = True
    if moved and not os.path.exists(trial.source) and not whole:
        faults.append("source gone before its copy was whole")
    if contents(trial.file) != trial.old_data:
        faults.append("the file's data changed")
    return faults


def check_output(trial, name, new, moved):
    faults = []
    now = contents(trial.out(name))
    whole = now == new
    if not whole and now != b"old output " + name.encode():
        faults.append("%s is neither old nor new" % name)
    if moved and "notes" not in streams_of(trial.file, trial.volume) and not whole:
        faults.append("stream notes gone before its copy was whole")
    return faults


def check_unchanged(trial):
    faults = []
    if contents(trial.file) != trial.old_data:
        faults.append("the file's data changed")
    if streams_of(trial.file, trial.volume).get("notes") != trial.old_notes:
        faults.append("stream notes changed")
    return faults


OPERATIONS = {
    "put": (lambda t: ["put", t.file, t.source, "--yes"], lambda t: check_put(t, False)),
    "put --move": (lambda t: ["put", t.file, t.source, "--yes", "--move"],
                   lambda t: check_put(t, True)),
    "get --to": (lambda t: ["get", t.file, "notes", "--to", t.out(""), "--yes"],
                 lambda t: check_output(t, "notes", t.old_notes, False)),
    "get {Data} --to": (lambda t: ["get", t.file, "{Data}", "--to", t.out(""), "--yes"],
                        lambda t: check_output(t, "{Data}", t.old_data, False)),
    "get --to --move": (lambda t: ["get", t.file, "notes", "--to", t.out(""), "--yes", "--move"],
                        lambda t: check_output(t, "notes", t.old_notes, True)),
    "get --output": (lambda t: ["get", t.file, "notes", "--output", t.out("target")],
                     lambda t: check_output(t, "target", t.old_notes, False)),
    "get --output --move": (lambda t: ["get", t.file, "notes", "--output", t.out("target"),
                                       "--move"],
                            lambda t: check_output(t, "target", t.old_notes, True)),
    "get --output -": (lambda t: ["get", t.file, "{Data}", "--output", "-"], check_unchanged),
}


class Tally:
    def __init__(self):
        self.trials = 0
        self.failures = []
        self.kill_leftovers = 0
        self.cut_short = 0

    def line(self):
        return "%4d trials, %d failures, %d temporaries left by SIGKILL, %d streams cut short " \
               "by SIGKILL with their old bytes whole beside them" % (
                   self.trials, len(self.failures), self.kill_leftovers, self.cut_short)


def run_trial(morvex, environment, volume, operation, folder, rng, duration):
    arguments, check = OPERATIONS[operation]
    trial = Trial(volume, folder, rng)
    sent = rng.choice(SIGNALS)
    process = subprocess.Popen([morvex] + arguments(trial),
                               env=dict(environment, TMPDIR=os.path.join(folder, "tmp")),
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    time.sleep(rng.uniform(0, duration * 1.2))
    if process.poll() is None:
        process.send_signal(sent)
    process.wait()
    faults = check(trial)
    left = trial.leftovers()
    if left and sent != signal.SIGKILL:
        faults.append("temporaries left after %s: %s" % (sent.name, left))
    if trial.cut_short and sent != signal.SIGKILL:
        faults.append("a stream cut short by %s" % sent.name)
    shutil.rmtree(folder, ignore_errors=True)
    return faults, (len(left) if sent == signal.SIGKILL else 0), trial.cut_short, sent


def time_operation(morvex, environment, volume, operation, folder):
    """How long the operation takes when nothing stops it."""
    rng = random.Random(0)
    trial = Trial(volume, folder, rng)
    start = time.monotonic()
    subprocess.run([morvex] + OPERATIONS[operation][0](trial), env=environment,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    elapsed = time.monotonic() - start
    shutil.rmtree(folder, ignore_errors=True)
    return elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--trials", type=int, default=200)
    parser.add_argument("--seconds", type=float, default=0)
    parser.add_argument("--seed", type=int, default=int(time.time()))
    parser.add_argument("--operation", action="append", choices=sorted(OPERATIONS),
                        help="only this operation (may be given again)")
    options = parser.parse_args()
    # Ended from outside, the harness still unmounts its volumes on the way
    # out: SIGTERM then unwinds as Ctrl-C does.
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit(128 + number))
    morvex = os.path.abspath(os.path.join(options.build, "morvex"))
    scratch = tempfile.mkdtemp(prefix="morvex-torture-")
    environment = dict(os.environ, MORVEX_REGISTRY=os.path.join(scratch, "registry.reg"),
                       TMPDIR=scratch)
    print("kill-harness: seed %d" % options.seed)
    rng = random.Random(options.seed)
    deadline = time.monotonic() + options.seconds if options.seconds else None
    volumes = []
    failed = 0
    try:
        for make in (tmpfs_volume, ext4_volume, lambda s: ntfs_volume(s, False),
                     lambda s: ntfs_volume(s, True)):
            volume = make(scratch)
            if volume is None:
                print("kill-harness: skipped a volume: it cannot be mounted here")
                continue
            volumes.append(volume)
        for volume in volumes:
            for operation in options.operation or OPERATIONS:
                folder = os.path.join(volume.root, "trial")
                duration = time_operation(morvex, environment, volume, operation, folder)
                tally = Tally()
                while tally.trials < options.trials:
                    if deadline and time.monotonic() > deadline:
                        break
                    faults, leftovers, cut_short, sent = run_trial(
                        morvex, environment, volume, operation, folder, rng, duration)
                    tally.trials += 1
                    tally.kill_leftovers += leftovers
                    tally.cut_short += cut_short
                    tally.failures += ["%s after %s: %s" % (operation, sent.name, f)
                                       for f in faults]
                print("%-12s %-19s %s" % (volume.name, operation, tally.line()))
                for failure in tally.failures[:5]:
                    print("  FAILED: " + failure)
                failed += len(tally.failures)
    finally:
        for volume in volumes:
            volume.close()
        shutil.rmtree(scratch, ignore_errors=True)
    print("kill-harness: %d failures" % failed)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
