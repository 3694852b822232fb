#!/usr/bin/env python3
"""Runs a test program on an X server of its own and exits with the program's status.

Usage: run_under_xvfb.py PROGRAM [ARGUMENT...]
"""

import os
import shutil
import subprocess
import sys

if shutil.which("Xvfb") is None or shutil.which("xdotool") is None:
    print("FAIL: Xvfb and xdotool are needed (scripts/install-deps.sh installs them)",
          file=sys.stderr)
    sys.exit(1)
read_end, write_end = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "640x480x24",
                         "-nolisten", "tcp"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
os.close(write_end)
with os.fdopen(read_end) as reader:
    number = reader.readline().strip()
if not number:
    print("FAIL: Xvfb did not start", file=sys.stderr)
    sys.exit(1)
env = dict(os.environ, DISPLAY=":" + number, QT_QPA_PLATFORM="xcb")
env.pop("WAYLAND_DISPLAY", None)
env.pop("XDG_SESSION_TYPE", None)
try:
    status = subprocess.run(sys.argv[1:], env=env, timeout=120).returncode
finally:
    xvfb.terminate()
    xvfb.wait(10)
sys.exit(status)
