#!/usr/bin/env python3
"""vantrel-helper-installer as root in a private mount namespace.

  installer_program_test.py INSTALLER UNITS_DIR

Empty tmpfs file systems lie over /etc, /usr/libexec, /usr/lib/systemd/system and /run, and a
stand-in systemctl over the real one, so nothing reaches this machine's files or its systemd.
The installer takes the helper beside it: each case copies it into a staging folder, root's
with mode 0755, with a stand-in helper (any bytes will do). Needs root: the namespace, the mounts, other users.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

CONFIG = "/etc/vantrel/helper.conf"
HELPER = "/usr/libexec/vantrel/OrvikHelper"
UNIT_DIR = "/etc/systemd/system"
PACKAGE_UNIT_DIR = "/usr/lib/systemd/system"
SOCKET, SERVICE = "org.vantrel.helper.smc.socket", "org.vantrel.helper.smc.service"
LOCK_DIR = "/run/vantrel"
LOCK = LOCK_DIR + "/installer.lock"
HIDDEN = ("/etc", "/usr/libexec", PACKAGE_UNIT_DIR, "/run")
NOBODY = ("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups")

if len(sys.argv) < 3:
    sys.exit(__doc__)
INSTALLER, UNITS = (os.path.abspath(a) for a in sys.argv[1:3])
del sys.argv[1:3]

if os.geteuid() != 0:
    if os.environ.get("CI"):
        sys.exit("installer_program_test.py must run as root in CI")
    print("SKIPPED: the installer's whole-program test needs root (mount namespace, other users)")
    sys.exit(77)
if not os.environ.get("VANTREL_INSTALLER_NAMESPACE"):
    os.environ["VANTREL_INSTALLER_NAMESPACE"] = "1"
    os.execvp("unshare", ["unshare", "-m", "--propagation", "private", sys.executable,
                          os.path.abspath(__file__), INSTALLER, UNITS, *sys.argv[1:]])

# Records every call and its environment; answers is-enabled and is-active from its state.
STAND_IN_SYSTEMCTL = """#!/bin/sh
state=%s
echo "$*" >> "$state/calls"
tr '\\0' '\\n' < /proc/$$/environ > "$state/environment"
if [ -e "$state/fail" ]; then
    echo "Failed to connect to bus: the stand-in fails as asked" >&2
    exit 1
fi
case "$1" in
    is-enabled) [ -e "$state/enabled" ] ;;
    is-active) [ -e "$state/active" ] ;;
    enable) touch "$state/enabled" && { [ "$2" != --now ] || touch "$state/active"; } ;;
    *) exit 0 ;;
esac
"""


def run(command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=60,
                          **kwargs)


def read(path, mode="r"):
    with open(path, mode) as f:
        return f.read()


def allowed(text):
    return [int(line.split("=")[1]) for line in text.splitlines()
            if line.startswith("allowed-uid")]


class InstallerCase(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="vantrel-installer-test-")
        run(["mount", "-t", "tmpfs", "-o", "mode=0755", "tmpfs", self.work])
        self.mounts = [self.work]
        for folder in HIDDEN:
            run(["mount", "-t", "tmpfs", "-o", "mode=0755", "tmpfs", folder])
            self.mounts.append(folder)
        self.state = os.path.join(self.work, "systemd")
        os.mkdir(self.state)
        stand_in = os.path.join(self.work, "systemctl")
        with open(stand_in, "w") as out:
            out.write(STAND_IN_SYSTEMCTL % self.state)
        os.chmod(stand_in, 0o755)
        # The installer runs systemctl by these paths only; where /bin is a link to /usr/bin
        # both are one file.
        laid_over = 0
        for systemctl in ("/usr/bin/systemctl", "/bin/systemctl"):
            if os.path.isfile(systemctl) and not os.path.islink(systemctl):
                run(["mount", "--bind", stand_in, systemctl])
                self.mounts.append(systemctl)
                laid_over += 1
        self.assertTrue(laid_over, "there is no systemctl to lay the stand-in over")

    def tearDown(self):
        for mount in reversed(self.mounts):
            subprocess.run(["umount", "-l", mount], check=False)
        os.rmdir(self.work)

    def stage(self, name, helper=b"helper one\n"):
        """A folder holding the installer and a helper beside it, root's alone, as the
        installer requires whatever the build folder is; the installer's path."""
        folder = os.path.join(self.work, name)
        os.makedirs(folder, exist_ok=True)
        os.chown(folder, 0, 0)
        os.chmod(folder, 0o755)
        with open(os.path.join(folder, "OrvikHelper"), "wb") as out:
            out.write(helper)
        os.chmod(os.path.join(folder, "OrvikHelper"), 0o755)
        return shutil.copy(INSTALLER, os.path.join(folder, "vantrel-helper-installer"))

    def lay_package(self):
        """The package's installer, helper and units in place, its socket enabled and active."""
        os.makedirs("/usr/libexec/vantrel", mode=0o755)
        shutil.copy(INSTALLER, "/usr/libexec/vantrel/vantrel-helper-installer")
        with open(HELPER, "wb") as out:
            out.write(b"the package's helper\n")
        os.chmod(HELPER, 0o755)
        for unit in (SOCKET, SERVICE):
            shutil.copy(os.path.join(UNITS, unit), PACKAGE_UNIT_DIR)
        for mark in ("enabled", "active"):
            open(os.path.join(self.state, mark), "w").close()
        return "/usr/libexec/vantrel/vantrel-helper-installer"

    def install(self, installer, uid=1000, wrap=(), env=None, args=(), timeout=60):
        """Runs the installer as pkexec would for `uid`; the systemctl calls it made."""
        calls = os.path.join(self.state, "calls")
        if os.path.exists(calls):
            os.unlink(calls)
        environment = {"PKEXEC_UID": str(uid)} if env is None else env
        self.result = subprocess.run([*wrap, installer, *args], capture_output=True, text=True,
                                     timeout=timeout, env=environment)
        return read(calls).splitlines() if os.path.exists(calls) else []

    def assertInstalled(self, uids, helper=b"helper one\n"):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        for path, mode in ((HELPER, 0o755), (CONFIG, 0o644), (UNIT_DIR + "/" + SOCKET, 0o644),
                           (UNIT_DIR + "/" + SERVICE, 0o644), ("/etc/vantrel", 0o755),
                           ("/usr/libexec/vantrel", 0o755), (LOCK_DIR, 0o700), (LOCK, 0o600)):
            status = os.lstat(path)
            self.assertEqual((status.st_uid, status.st_gid, status.st_mode & 0o7777),
                             (0, 0, mode), path)
        self.assertEqual(read(HELPER, "rb"), helper)
        self.assertEqual(allowed(read(CONFIG)), uids)
        for unit in (SOCKET, SERVICE):
            self.assertEqual(read(os.path.join(UNIT_DIR, unit)), read(os.path.join(UNITS, unit)))
        self.assertEqual([name for folder in ("/etc/vantrel", "/usr/libexec/vantrel", UNIT_DIR)
                          for name in os.listdir(folder) if name.endswith(".new")], [])

    def files(self):
        """Every installed file with its inode: a file rewritten gets a new one."""
        found = {}
        for folder in ("/etc", "/usr/libexec"):
            for base, _, names in os.walk(folder):
                for name in names:
                    found[os.path.join(base, name)] = os.lstat(os.path.join(base, name)).st_ino
        return found


class Installing(InstallerCase):
    def test_first_install_a_second_run_and_a_second_user(self):
        installer = self.stage("one")
        calls = self.install(installer)
        self.assertInstalled([1000])
        self.assertEqual(calls, ["daemon-reload", f"is-enabled --quiet {SOCKET}",
                                 f"enable --now {SOCKET}", f"try-restart {SERVICE}"])
        # systemctl sees neither the caller's environment nor PKEXEC_UID.
        self.assertEqual(sorted(read(os.path.join(self.state, "environment")).split()),
                         ["LC_ALL=C", "PATH=/usr/sbin:/usr/bin:/sbin:/bin"])

        before = self.files()
        calls = self.install(installer)
        self.assertInstalled([1000])
        self.assertEqual(self.files(), before)
        self.assertEqual(calls, [f"is-enabled --quiet {SOCKET}", f"is-active --quiet {SOCKET}"])
        self.assertIn("nothing changed", self.result.stdout)

        calls = self.install(installer, uid=1001)
        self.assertInstalled([1000, 1001])
        self.assertEqual({p: i for p, i in self.files().items() if p != CONFIG},
                         {p: i for p, i in before.items() if p != CONFIG})
        self.assertEqual(calls[-1], f"try-restart {SERVICE}")  # the helper reads the new list

    def test_a_changed_helper_is_replaced_and_restarted(self):
        self.install(self.stage("one"))
        units = {p: i for p, i in self.files().items() if p.startswith(UNIT_DIR)}
        calls = self.install(self.stage("two", b"helper two\n"))
        self.assertInstalled([1000], helper=b"helper two\n")
        self.assertEqual({p: i for p, i in self.files().items() if p.startswith(UNIT_DIR)},
                         units)
        self.assertEqual(calls[-1], f"try-restart {SERVICE}")
        self.assertNotIn("daemon-reload", calls)

    def test_where_the_package_did_it_only_the_user_is_added(self):
        installer = self.lay_package()
        packaged = self.files()
        calls = self.install(installer)
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        self.assertEqual(allowed(read(CONFIG)), [1000])
        self.assertEqual(set(self.files()) - set(packaged), {CONFIG})
        self.assertEqual(self.files()[HELPER], packaged[HELPER])
        self.assertFalse(os.path.exists(UNIT_DIR))
        self.assertEqual(calls, [f"is-enabled --quiet {SOCKET}", f"is-active --quiet {SOCKET}",
                                 f"try-restart {SERVICE}"])
        self.assertEqual(self.install(installer),
                         [f"is-enabled --quiet {SOCKET}", f"is-active --quiet {SOCKET}"])

    def test_copies_of_the_units_that_hide_the_package_s_are_named_and_removed(self):
        installer = self.lay_package()
        self.install(installer)
        # A copy from before the package, without its sandbox, and an exact one, enabled.
        os.makedirs(UNIT_DIR + "/sockets.target.wants")
        with open(os.path.join(UNIT_DIR, SERVICE), "w") as out:
            out.write("[Service]\nExecStart=/usr/libexec/vantrel/OrvikHelper\n")
        shutil.copy(os.path.join(UNITS, SOCKET), UNIT_DIR)
        os.symlink(os.path.join(UNIT_DIR, SOCKET), UNIT_DIR + "/sockets.target.wants/" + SOCKET)
        calls = self.install(installer)
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        for unit in (SOCKET, SERVICE):
            self.assertIn(f"removed {UNIT_DIR}/{unit}: it hid the package's unit",
                          self.result.stdout)
        self.assertEqual(os.listdir(UNIT_DIR), ["sockets.target.wants"])
        self.assertEqual(os.listdir(UNIT_DIR + "/sockets.target.wants"), [])
        self.assertEqual(calls, ["daemon-reload", f"is-enabled --quiet {SOCKET}",
                                 f"is-active --quiet {SOCKET}", f"try-restart {SERVICE}"])

    def test_files_edited_by_hand(self):
        # (what is found, its mode, the users kept, whether it is rewritten)
        cases = [
            ("allowed-uid = 4242\n", 0o664, [1000], True),  # others could have written it
            ("allowed-uid = 7\nallowed-uid = seven\n", 0o644, [7, 1000], True),
            ("# the admin's note\nallowed-uid = 1000\nallowed-uid = 5\n", 0o644, [1000, 5], False),
        ]
        installer = self.stage("one")
        self.install(installer)
        for text, mode, uids, rewritten in cases:
            with self.subTest(text=text):
                os.unlink(CONFIG)
                with open(CONFIG, "w") as out:
                    out.write(text)
                os.chmod(CONFIG, mode)
                inode = os.lstat(CONFIG).st_ino
                self.install(installer)
                self.assertInstalled(uids)
                self.assertEqual(os.lstat(CONFIG).st_ino != inode, rewritten)
                self.assertEqual(read(CONFIG) == text, not rewritten)
        service = os.path.join(UNIT_DIR, SERVICE)
        with open(service, "a") as out:
            out.write("ExecStartPre=/bin/true\n")
        calls = self.install(installer)
        self.assertInstalled([1000, 5])
        self.assertEqual(calls[0], "daemon-reload")
        self.assertIn(f"replaced the former {service}, which was not this version's unit",
                      self.result.stdout)


class Refusing(InstallerCase):
    def test_started_without_pkexec_or_by_another_user_nothing_happens(self):
        installer = self.stage("one")
        for name, wrap, env, args, says in [
            ("no PKEXEC_UID", (), {}, (), "PKEXEC_UID is not set"),
            ("a PKEXEC_UID that is no uid", (), {"PKEXEC_UID": "1000; rm -rf /"}, (),
             "not a user id"),
            ("not root", NOBODY, {"PKEXEC_UID": "65534"}, (), "must run as root"),
            ("an argument", (), None, ("--helper=/tmp/other",), "takes no arguments"),
        ]:
            with self.subTest(name):
                calls = self.install(installer, wrap=wrap, env=env, args=args)
                self.assertEqual(self.result.returncode, 1)
                self.assertIn(says, self.result.stderr)
                self.assertEqual(calls, [])
                self.assertEqual(self.files(), {})


    def test_a_helper_root_did_not_put_there_alone_is_not_installed(self):
        with open(os.path.join(self.work, "secret"), "wb") as out:
            out.write(b"root's secret\n")
        os.chmod(os.path.join(self.work, "secret"), 0o600)

        def link_to_secret(folder):
            os.unlink(os.path.join(folder, "OrvikHelper"))
            os.symlink(os.path.join(self.work, "secret"), os.path.join(folder, "OrvikHelper"))
        # (the case, what it does to the staging folder, what the refusal says)
        for name, change, says in [
            ("a link to a root-only file", link_to_secret, "is a symbolic link"),
            ("a helper of another user",
             lambda folder: os.chown(os.path.join(folder, "OrvikHelper"), 1000, 1000),
             "is not root's"),
            ("a helper its group may write",
             lambda folder: os.chmod(os.path.join(folder, "OrvikHelper"), 0o775),
             "writable by others than its owner"),
            ("a folder anyone may write", lambda folder: os.chmod(folder, 0o1777),
             "is not root's alone"),
            ("a folder of another user", lambda folder: os.chown(folder, 1000, 1000),
             "is not root's alone"),
        ]:
            with self.subTest(name):
                installer = self.stage(name.replace(" ", "-"))
                change(os.path.dirname(installer))
                calls = self.install(installer)
                self.assertEqual(self.result.returncode, 1)
                self.assertIn(says, self.result.stderr)
                self.assertFalse(os.path.exists(HELPER))
                self.assertEqual(calls, [])


class Locking(InstallerCase):
    def hold(self, path, wrap=()):
        """A process that locks `path` until it is ended; it has said "locked" when it holds
        the lock, else why not."""
        holder = subprocess.Popen(
            [*wrap, sys.executable, "-c",
             "import fcntl, os, sys\n"
             "try:\n"
             "    fd = os.open(sys.argv[1], os.O_RDONLY)\n"
             "    fcntl.flock(fd, fcntl.LOCK_EX)\n"
             "    print('locked', flush=True)\n"
             "except OSError as error:\n"
             "    print(error, flush=True)\n"
             "sys.stdin.read()\n", path],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.addCleanup(holder.wait, 10)
        self.addCleanup(holder.stdin.close)
        return holder.stdout.readline().strip()

    def test_another_user_cannot_keep_installations_waiting(self):
        installer = self.stage("one")
        self.install(installer)
        # The configuration's folder is readable by anyone, so anyone may lock it.
        self.assertEqual(self.hold("/etc/vantrel", NOBODY), "locked")
        self.assertIn("Permission denied", self.hold(LOCK, NOBODY))
        self.install(installer, uid=1001, timeout=30)
        self.assertInstalled([1000, 1001])

    def test_a_run_that_holds_the_lock_makes_the_next_give_up_in_time(self):
        installer = self.stage("one")
        self.install(installer)
        self.assertEqual(self.hold(LOCK), "locked")
        started = time.monotonic()
        self.install(installer, uid=1001, timeout=30)
        self.assertLess(time.monotonic() - started, 20)
        self.assertEqual(self.result.returncode, 1)
        self.assertIn("another installation still runs after 10 s", self.result.stderr)
        self.assertEqual(allowed(read(CONFIG)), [1000])


class Faults(InstallerCase):
    def test_a_failing_systemctl_is_reported_and_stops_or_disables_nothing(self):
        installer = self.stage("one")
        self.install(installer)
        open(os.path.join(self.state, "fail"), "w").close()
        calls = self.install(self.stage("two", b"helper two\n"))
        self.assertEqual(self.result.returncode, 1)
        self.assertIn("systemctl enable --now %s failed (exit status 1)" % SOCKET,
                      self.result.stderr)
        self.assertFalse([call for call in calls if call.split()[0] in ("stop", "disable")])
        # Each file whole: the new helper is in place for the next start of the service.
        self.assertEqual(read(HELPER, "rb"), b"helper two\n")
        os.unlink(os.path.join(self.state, "fail"))
        self.install(installer)
        self.assertInstalled([1000])

    def test_a_crash_between_two_writes_leaves_each_file_old_or_new(self):
        self.install(self.stage("one"))
        big = bytes(range(256)) * 4096  # 1 MiB: its write passes the limit below
        self.install(self.stage("two", big), uid=1001, wrap=("prlimit", "--fsize=65536"))
        self.assertEqual(self.result.returncode, -signal.SIGXFSZ, self.result.stderr)
        # The configuration is written first: new; the helper's write was cut: old.
        self.assertEqual(allowed(read(CONFIG)), [1000, 1001])
        self.assertEqual(read(HELPER, "rb"), b"helper one\n")
        self.install(self.stage("two", big), uid=1001)
        self.assertInstalled([1000, 1001], helper=big)


class AllowingTheExporter(InstallerCase):
    """The package's postinst lets its exporter's system user ask the helper."""

    def test_the_exporter_s_user_joins_the_list_and_nothing_else_changes(self):
        installer = self.lay_package()
        with open("/etc/passwd", "w") as out:
            out.write("root:x:0:0::/root:/bin/sh\n"
                      "vantrel-exporter:x:990:990::/nonexistent:/usr/sbin/nologin\n")
        self.install(installer)  # the desktop user first
        packaged = self.files()
        # (environment, exit status, allowed users after, what stderr/stdout says)
        cases = [
            ({}, 0, [1000, 990], "answers user 990"),
            ({}, 0, [1000, 990], "already allowed; nothing changed"),
            ({"PKEXEC_UID": "1000"}, 1, [1000, 990], "not for pkexec"),
        ]
        for env, status, uids, says in cases:
            with self.subTest(env=env, says=says):
                calls = self.install(installer, env=env, args=("--allow-exporter",))
                self.assertEqual(self.result.returncode, status, self.result.stderr)
                self.assertIn(says, self.result.stdout + self.result.stderr)
                self.assertEqual(allowed(read(CONFIG)), uids)
                self.assertEqual(calls, [])  # the package, not the installer, restarts
        self.assertEqual({p: i for p, i in self.files().items() if p != CONFIG},
                         {p: i for p, i in packaged.items() if p != CONFIG})
        self.assertEqual(os.lstat(CONFIG).st_mode & 0o7777, 0o644)

    def test_without_the_user_or_as_another_user_nothing_changes(self):
        installer = self.lay_package()
        self.install(installer, env={}, args=("--allow-exporter",))
        self.assertEqual(self.result.returncode, 1)
        self.assertIn("there is no user vantrel-exporter", self.result.stderr)
        self.assertFalse(os.path.exists(CONFIG))
        self.install(installer, env={}, args=("--allow-exporter",), wrap=NOBODY)
        self.assertEqual(self.result.returncode, 1)
        self.assertIn("must run as root", self.result.stderr)
        self.install(installer, env={}, args=("--allow-exporter", "extra"))
        self.assertIn("takes no arguments", self.result.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
