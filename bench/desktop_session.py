"""The session the desktop program's measurements run it in: an X server and a session bus of
their own, a private home, and a stand-in pkexec so that the sensor helper's installation
stands aside. vantrel runs /usr/bin/pkexec only, so the stand-in is bound over it in a mount
namespace of vantrel's own: the scripts run as root."""

import os
import shutil
import subprocess
import sys
import tempfile

PKEXEC = "/usr/bin/pkexec"


def status_mib(pid, key):
    """A memory figure of /proc/PID/status (VmRSS, VmHWM) in MiB."""
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1]) / 1024.0
    raise RuntimeError(key + " missing")


def python_with_dbus():
    """The stand-in tray host needs python3-dbus and PyGObject, which Debian installs for its
    own python3 only."""
    for candidate in (sys.executable, "/usr/bin/python3"):
        if subprocess.run([candidate, "-c", "import dbus, gi"], capture_output=True).returncode == 0:
            return candidate
    sys.exit("no python3 with python3-dbus and python3-gi (scripts/install-deps.sh installs them)")


class DesktopSession:
    """Xvfb, dbus-daemon and a private home; `env` is what programs in the session run with."""

    def __init__(self, prefix, tools=()):
        for tool in ("Xvfb", "dbus-daemon") + tuple(tools):
            if shutil.which(tool) is None:
                sys.exit("missing %s (scripts/install-deps.sh installs it)" % tool)
        if os.geteuid() != 0 or not os.path.isfile(PKEXEC):
            sys.exit("needs root and %s (scripts/install-deps.sh installs pkexec): vantrel gets "
                     "a stand-in pkexec through a mount" % PKEXEC)
        self.home = tempfile.mkdtemp(prefix=prefix)
        runtime = os.path.join(self.home, "run")
        os.mkdir(runtime, 0o700)
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                      "1280x800x24", "-nolisten", "tcp", "-noreset"],
                                     pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            display = ":" + reader.readline().strip()
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.bus.stdout.readline().strip()
        self.stand_in = os.path.join(self.home, "pkexec")
        with open(self.stand_in, "w") as out:
            out.write("#!/bin/sh\nexit 0\n")  # "installed" at once
        os.chmod(self.stand_in, 0o755)
        self.env = dict(os.environ, DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=self.address,
                        HOME=self.home, XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_DATA_HOME=os.path.join(self.home, "data"), XDG_RUNTIME_DIR=runtime)
        self.env.pop("WAYLAND_DISPLAY", None)

    def start_vantrel(self, vantrel):
        """vantrel itself (unshare and sh exec it, so the process measured is the program)."""
        return subprocess.Popen(["unshare", "--mount", "--propagation", "private", "sh", "-c",
                                 'mount --bind "$0" %s && exec "$@"' % PKEXEC, self.stand_in,
                                 vantrel], env=self.env)

    def close(self, programs):
        """Ends `programs`, then the bus and the X server, and removes the home."""
        for process in list(programs) + [self.bus, self.xvfb]:
            if process.poll() is None:
                process.terminate()
                process.wait(10)
        shutil.rmtree(self.home, ignore_errors=True)
