#!/usr/bin/env python3
"""vantrel's resident memory after a flood of clicks on its StatusNotifierItem.

Starts the program on an X server and a session bus of its own (Xvfb, dbus-daemon) beside the
stand-in tray host (tests/app/stand_in_tray_host.py), then sends the item's Activate (and, with
--menu and --dashboard, ContextMenu and two SecondaryActivate) the given number of times, all at
once as a busy host may, and waits for every answer. Activate toggles the compact panel, so
two calls open and close it once. Prints the resident memory before, when the last call is
answered, three seconds later, and its peak; exits 1 when the memory three seconds later
exceeds the memory before by more than --allowed-growth MiB.

Usage: tray_clicks_memory.py VANTREL [--clicks 2000] [--menu] [--dashboard]
                             [--accessibility] [--allowed-growth 16]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

TRAY_HOST = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests", "app",
                         "stand_in_tray_host.py")
ITEM = "org.kde.StatusNotifierItem"
A11Y_BUS = "/usr/libexec/at-spi-bus-launcher"


def status_mib(pid, key):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1]) / 1024.0
    raise RuntimeError(key + " missing")


def python_with_dbus():
    for candidate in (sys.executable, "/usr/bin/python3"):
        if subprocess.run([candidate, "-c", "import dbus, gi"], capture_output=True).returncode == 0:
            return candidate
    sys.exit("no python3 with python3-dbus and python3-gi (scripts/install-deps.sh installs them)")


def send_clicks(args, address, service):
    """Sends every call at once, as a busy host may, and waits until all are answered; runs
    in the python that has dbus."""
    script = r"""
import sys, dbus, dbus.mainloop.glib
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(sys.argv[1])
item = dbus.Interface(bus.get_object(sys.argv[2], "/StatusNotifierItem"), "%s")
unanswered, failed = [0], []
def answered(*_):
    unanswered[0] -= 1
def refused(error):
    failed.append(error)
    answered()
for i in range(int(sys.argv[3])):
    for method in sys.argv[4].split(","):
        unanswered[0] += 1
        getattr(item, method)(dbus.Int32(640), dbus.Int32(10), reply_handler=answered,
                              error_handler=refused, timeout=600)
context = GLib.MainContext.default()
while unanswered[0] > 0:
    context.iteration(True)
sys.exit(1 if failed else 0)
""" % ITEM
    methods = ["Activate"] + (["ContextMenu"] if args.menu else []) + (
        ["SecondaryActivate", "SecondaryActivate"] if args.dashboard else [])
    return subprocess.run([python_with_dbus(), "-c", script, address, service, str(args.clicks),
                           ",".join(methods)], timeout=900).returncode == 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("vantrel")
    parser.add_argument("--clicks", type=int, default=2000)
    parser.add_argument("--menu", action="store_true", help="a ContextMenu after each Activate")
    parser.add_argument("--dashboard", action="store_true",
                        help="the dashboard opened and closed after each Activate")
    parser.add_argument("--accessibility", action="store_true",
                        help="a screen reader's bus (at-spi-bus-launcher), as desktops start")
    parser.add_argument("--allowed-growth", type=float, default=16.0)
    args = parser.parse_args()
    for tool in ("Xvfb", "dbus-daemon"):
        if shutil.which(tool) is None:
            sys.exit("missing %s (scripts/install-deps.sh installs it)" % tool)

    home = tempfile.mkdtemp(prefix="vantrel-clicks-")
    runtime = os.path.join(home, "run")
    os.mkdir(runtime, 0o700)
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
                             "-nolisten", "tcp", "-noreset"], pass_fds=[write_end],
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        display = ":" + reader.readline().strip()
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    address = bus.stdout.readline().strip()
    stand_ins = os.path.join(home, "bin")
    os.mkdir(stand_ins)
    with open(os.path.join(stand_ins, "pkexec"), "w") as out:
        out.write("#!/bin/sh\nexit 0\n")  # the sensor helper's installation stands aside
    os.chmod(os.path.join(stand_ins, "pkexec"), 0o755)
    env = dict(os.environ, DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=address, HOME=home,
               XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_DATA_HOME=os.path.join(home, "data"), XDG_RUNTIME_DIR=runtime,
               PATH=stand_ins + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"))
    env.pop("WAYLAND_DISPLAY", None)
    processes = [bus, xvfb]
    try:
        if args.accessibility:
            processes.insert(0, subprocess.Popen([A11Y_BUS, "--launch-immediately"], env=env))
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        host = subprocess.Popen([python_with_dbus(), TRAY_HOST], env=env, stdout=subprocess.PIPE,
                                text=True)
        processes.insert(0, host)
        if host.stdout.readline().strip() != "ready":
            sys.exit("the stand-in tray host did not start")
        program = subprocess.Popen([args.vantrel], env=env)
        processes.insert(0, program)
        registered = host.stdout.readline().split()
        if registered[:1] != ["registered"]:
            sys.exit("vantrel's StatusNotifierItem did not register: %s" % registered)
        threading.Thread(target=host.stdout.read, daemon=True).start()
        time.sleep(3)  # the first polls and the icon's first reads
        before = status_mib(program.pid, "VmRSS")
        start = time.monotonic()
        if not send_clicks(args, address, registered[1]) or program.poll() is not None:
            sys.exit("the clicks did not all get an answer")
        elapsed = time.monotonic() - start
        answered = status_mib(program.pid, "VmRSS")
        time.sleep(3)  # what was left for the event loop to destroy is gone now
        after, peak = status_mib(program.pid, "VmRSS"), status_mib(program.pid, "VmHWM")
    finally:
        for process in processes:
            if process.poll() is None:
                process.terminate()
                process.wait(10)
        shutil.rmtree(home, ignore_errors=True)
    print("vantrel, %d rounds of %s sent at once, answered in %.0f s:"
          % (args.clicks, "+".join(["Activate"] + (["ContextMenu"] if args.menu else []) +
                                   (["SecondaryActivate x2"] if args.dashboard else [])), elapsed))
    print("  RSS  %.1f MiB before, %.1f MiB when answered, %.1f MiB 3 s later, %.1f MiB peak"
          % (before, answered, after, peak))
    if after - before > args.allowed_growth:
        sys.exit(1)


if __name__ == "__main__":
    main()
