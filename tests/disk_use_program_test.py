#!/usr/bin/env python3
"""vantrel-sample's disk use on a file system with blocks reserved for root, against df.

  disk_use_program_test.py SAMPLER

A 64 MiB ext4 image with 5 % of its blocks reserved for root is loop-mounted in a private mount
namespace and the sampler runs chrooted into it, so the image is the start-up volume whose use
the disk record, the recording and the snapshot carry. What the program needs from this machine
(/usr, /etc, /proc, /sys, /dev and the sampler's folder) is bound into the image; its private
folders lie on a tmpfs, so nothing the run writes lands on the image. Needs root.
"""

import json
import math
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

if len(sys.argv) < 2:
    sys.exit(__doc__)
SAMPLER = os.path.abspath(sys.argv.pop(1))

if os.geteuid() != 0:
    if os.environ.get("CI"):
        sys.exit("disk_use_program_test.py must run as root in CI")
    print("SKIPPED: the disk use whole-program test needs root (mount namespace, loop device)")
    sys.exit(77)
if not os.environ.get("VANTREL_DISK_USE_NAMESPACE"):
    os.environ["VANTREL_DISK_USE_NAMESPACE"] = "1"
    os.execvp("unshare", ["unshare", "-m", "--propagation", "private", sys.executable,
                          os.path.abspath(__file__), SAMPLER, *sys.argv[1:]])

BOUND = ("/usr", "/etc", "/proc", "/sys", "/dev")
MERGED_INTO_USR = ("/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32")
DISK_PERCENT_COLUMN = 4
SCRATCH = "scratch"


def run(command):
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=60)


def df_bytes(path):
    """df's size, used and available for the file system holding `path`, and its Use%."""
    line = run(["df", "-B1", "--output=size,used,avail,pcent", path]).stdout.splitlines()[1]
    size, used, available, percent = line.split()
    return int(size), int(used), int(available), int(percent.rstrip("%"))


class ReservedBlocksVolume(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="vantrel-disk-use-test-")
        self.mounts = []
        image = os.path.join(self.work, "volume.img")
        with open(image, "wb") as out:
            out.truncate(64 << 20)
        # No lazy initialisation: nothing writes to the image in the background while it is
        # measured.
        run(["mkfs.ext4", "-q", "-F", "-m", "5", "-E", "lazy_itable_init=0,lazy_journal_init=0",
             image])
        self.root = os.path.join(self.work, "root")
        os.mkdir(self.root)
        self.mount(["-o", "loop", image, self.root])
        for folder in MERGED_INTO_USR:
            if os.path.islink(folder):
                os.symlink(os.readlink(folder), self.root + folder)
            elif os.path.isdir(folder):
                self.bind(folder)
        for folder in (*BOUND, os.path.dirname(SAMPLER)):
            self.bind(folder)
        # What the sampler writes goes to a file system of its own, not to the one measured.
        # Not /tmp: the build tree bound above may lie under it.
        os.mkdir(os.path.join(self.root, SCRATCH))
        self.mount(["-t", "tmpfs", "tmpfs", os.path.join(self.root, SCRATCH)])
        with open(os.path.join(self.root, "data.bin"), "wb") as out:
            out.write(os.urandom(12 << 20))
            os.fsync(out.fileno())
        os.sync()

    def tearDown(self):
        for mount in reversed(self.mounts):
            subprocess.run(["umount", "-l", mount], check=False)
        shutil.rmtree(self.work, ignore_errors=True)

    def mount(self, arguments):
        run(["mount", *arguments])
        self.mounts.append(arguments[-1])

    def bind(self, folder):
        target = self.root + folder
        os.makedirs(target, exist_ok=True)
        self.mount(["--rbind", folder, target])

    def sample(self):
        """Runs the sampler in the image; its last JSON line and its CSV files' disk column."""
        env = {"PATH": "/usr/bin:/bin", "HOME": "/%s/home" % SCRATCH, "TMPDIR": "/" + SCRATCH,
               "XDG_CONFIG_HOME": "/%s/config" % SCRATCH, "XDG_DATA_HOME": "/%s/data" % SCRATCH}
        for folder in ("home", "config", "data"):
            os.mkdir(os.path.join(self.root, SCRATCH, folder))
        result = subprocess.run(
            [shutil.which("chroot"), self.root, SAMPLER, "--count", "2", "--interval", "0.1", "--record",
             "/%s/recording.csv" % SCRATCH, "--snapshot", "/%s/snapshot.csv" % SCRATCH],
            capture_output=True, text=True, timeout=60, env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        last = json.loads(result.stdout.splitlines()[-1])
        columns = []
        for name in ("recording.csv", "snapshot.csv"):
            with open(os.path.join(self.root, SCRATCH, name)) as file:
                rows = file.read().splitlines()[1:]
            columns += [float(row.split(",")[DISK_PERCENT_COLUMN]) for row in rows]
        return last["disk"], columns

    def test_use_is_counted_as_df_counts_it(self):
        before = os.statvfs(self.root)
        disk, percents = self.sample()
        after = os.statvfs(self.root)
        self.assertEqual((before.f_bfree, before.f_bavail), (after.f_bfree, after.f_bavail),
                         "the volume changed while it was sampled")
        self.assertGreater(after.f_bfree, after.f_bavail, "the image has no reserved blocks")
        size, used, available, df_percent = df_bytes(self.root)
        self.assertEqual(used, (after.f_blocks - after.f_bfree) * after.f_frsize)

        self.assertEqual(disk["totalBytes"], size)
        self.assertEqual(disk["usedBytes"], used)
        self.assertEqual(disk["availableBytes"], available)
        exact = used * 100 / (used + available)
        self.assertEqual(math.ceil(exact), df_percent)  # df rounds up
        self.assertEqual(len(percents), 2 + 1 + 2)  # two rows, the current readings, two more
        for percent in percents:
            self.assertAlmostEqual(percent, exact, delta=0.05)


if __name__ == "__main__":
    unittest.main()
