#!/usr/bin/env python3
"""vantrel's resident memory after a flood of clicks on its StatusNotifierItem.

Starts the program on an X server and a session bus of its own (Xvfb, dbus-daemon) beside the
stand-in tray host (tests/app/stand_in_tray_host.py), then sends the item's Activate (and, with
--menu and --dashboard, ContextMenu and two SecondaryActivate) the given number of times, all at
once as a busy host may, and waits for every answer. Activate toggles the compact panel, so
two calls open and close it once. Prints the resident memory before, when the last call is
answered, three seconds later, and its peak; exits 1 when the memory three seconds later
exceeds the memory before by more than --allowed-growth MiB.

Runs as root: vantrel starts in a mount namespace of its own with a stand-in pkexec bound over
/usr/bin/pkexec.

Usage: tray_clicks_memory.py VANTREL [--clicks 2000] [--menu] [--dashboard]
                             [--accessibility] [--allowed-growth 16]
"""

import argparse
import os
import subprocess
import sys
import threading
import time

from desktop_session import DesktopSession, python_with_dbus, status_mib

TRAY_HOST = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests", "app",
                         "stand_in_tray_host.py")
ITEM = "org.kde.StatusNotifierItem"
A11Y_BUS = "/usr/libexec/at-spi-bus-launcher"


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

    session = DesktopSession("vantrel-clicks-")
    env = session.env
    processes = []
    try:
        if args.accessibility:
            processes.insert(0, subprocess.Popen([A11Y_BUS, "--launch-immediately"], env=env))
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        host = subprocess.Popen([python_with_dbus(), TRAY_HOST], env=env, stdout=subprocess.PIPE,
                                text=True)
        processes.insert(0, host)
        if host.stdout.readline().strip() != "ready":
            sys.exit("the stand-in tray host did not start")
        program = session.start_vantrel(args.vantrel)
        processes.insert(0, program)
        registered = host.stdout.readline().split()
        if registered[:1] != ["registered"]:
            sys.exit("vantrel's StatusNotifierItem did not register: %s" % registered)
        threading.Thread(target=host.stdout.read, daemon=True).start()
        time.sleep(3)  # the first polls and the icon's first reads
        before = status_mib(program.pid, "VmRSS")
        start = time.monotonic()
        if not send_clicks(args, session.address, registered[1]) or program.poll() is not None:
            sys.exit("the clicks did not all get an answer")
        elapsed = time.monotonic() - start
        answered = status_mib(program.pid, "VmRSS")
        time.sleep(3)  # what was left for the event loop to destroy is gone now
        after, peak = status_mib(program.pid, "VmRSS"), status_mib(program.pid, "VmHWM")
    finally:
        session.close(processes)
    print("vantrel, %d rounds of %s sent at once, answered in %.0f s:"
          % (args.clicks, "+".join(["Activate"] + (["ContextMenu"] if args.menu else []) +
                                   (["SecondaryActivate x2"] if args.dashboard else [])), elapsed))
    print("  RSS  %.1f MiB before, %.1f MiB when answered, %.1f MiB 3 s later, %.1f MiB peak"
          % (before, answered, after, peak))
    if after - before > args.allowed_growth:
        sys.exit(1)


if __name__ == "__main__":
    main()
