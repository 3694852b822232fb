#!/usr/bin/env python3
"""Runs vantrel-sample on this machine and checks what it prints against the kernel's files."""

import glob
import json
import os
import re
import resource
import signal
import subprocess
import sys
import tempfile
import unittest

SAMPLER = sys.argv.pop(1) if len(sys.argv) > 1 else "vantrel-sample"
RECORDS = ["cpu", "ram", "network", "battery", "disk", "gpu", "processes",
           "thermalState", "sensors", "session"]


CSV_HEADER = ("timestamp,cpu_percent,ram_percent,gpu_percent,disk_percent,battery_percent,"
              "net_up_bps,net_down_bps,thermal_state,cpu_temp_c,gpu_temp_c,ssd_temp_c,"
              "memory_temp_c,battery_temp_c,system_power_w,charger_power_w,fan0_rpm,fan1_rpm")
TIMESTAMP = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$")
ONE_DECIMAL = re.compile(r"^-?\d+\.\d$")
INTEGER = re.compile(r"^-?\d+$")


def sampler_env(desktop_line=None):
    # Settings come from a private folder, so the user's own never matter or change; so does
    # the user-dirs file that names the Desktop folder, with a private home for "$HOME".
    env = dict(os.environ)
    private = tempfile.mkdtemp(prefix="vantrel-sample-test-")
    env["XDG_CONFIG_HOME"] = os.path.join(private, "config")
    env["XDG_DATA_HOME"] = os.path.join(private, "data")
    env["HOME"] = os.path.join(private, "home")
    os.makedirs(env["XDG_CONFIG_HOME"])
    os.makedirs(env["HOME"])
    if desktop_line is not None:
        with open(os.path.join(env["XDG_CONFIG_HOME"], "user-dirs.dirs"), "w") as dirs:
            dirs.write(desktop_line + "\n")
    return env


def csv_rows(text, history_from=None):
    """The rows under the header, each checked column by column. Battery and thermal state are
    integers, except in the snapshot's history rows (from row `history_from`), where the
    battery shows one decimal."""
    lines = text.split("\n")
    assert lines[0] == CSV_HEADER, lines[0]
    rows = [line.split(",") for line in lines[1:]]
    for index, row in enumerate(rows):
        assert len(row) == 18, row
        assert TIMESTAMP.match(row[0]), row
        history = history_from is not None and index >= history_from
        for number, column in enumerate(row[1:], start=1):
            integer = number == 8 or (number == 5 and not history)
            pattern = INTEGER if integer else ONE_DECIMAL
            assert pattern.match(column), (number, row)
    return rows


def meminfo_kib(key):
    with open("/proc/meminfo") as meminfo:
        for line in meminfo:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    raise KeyError(key)


def used_by_free():
    return (meminfo_kib("MemTotal") - meminfo_kib("MemAvailable")) * 1024


def default_route_interface():
    with open("/proc/net/route") as routes:
        for line in routes.readlines()[1:]:
            fields = line.split()
            if fields[1] == "00000000" and fields[7] == "00000000":
                return fields[0]
    return None


# The JSON form of a poll: every field of every record with its type. "int" fields are whole
# numbers, "number" any number, "number?" a number or null (not measured).
PROCESS = {"id": "int", "name": "str", "cpuPercent": "number", "memoryBytes": "int"}
POLL_SCHEMA = {
    "cpu": {"overall": "number", "perCore": ["number"], "efficiencyCores": "int",
            "performanceCores": "int", "userPercent": "number", "systemPercent": "number",
            "loadAvg": {"one": "number", "five": "number", "fifteen": "number"},
            "uptimeSeconds": "int"},
    "ram": {"totalBytes": "int", "usedBytes": "int", "wiredBytes": "int", "activeBytes": "int",
            "compressedBytes": "int", "cachedBytes": "int", "freeBytes": "int",
            "swapUsedBytes": "int", "swapTotalBytes": "int", "pageInsPerSec": "number",
            "pageOutsPerSec": "number", "pressureLevel": "int"},
    "network": {"uploadSpeed": "number", "downloadSpeed": "number", "interfaceName": "str",
                "interfaceType": "str", "wifiName": "str", "localIP": "str", "ipv6": "str",
                "publicIP": "str", "peakUpload": "number", "peakDownload": "number"},
    "battery": {"hasBattery": "bool", "percentage": "int", "isCharging": "bool",
                "isPluggedIn": "bool", "timeRemainingMinutes": "int", "healthPercent": "int",
                "cycleCount": "int", "currentWatts": "number", "voltage": "number",
                "condition": "str", "designCapacityMAh": "int", "currentMaxCapacityMAh": "int"},
    "disk": {"totalBytes": "int", "usedBytes": "int", "availableBytes": "int",
             "purgeableBytes": "int", "readBytesPerSec": "number", "writeBytesPerSec": "number",
             "categories": [{"id": "str", "name": "str", "bytes": "int", "icon": "str"}],
             "volumes": [{"id": "str", "name": "str", "totalBytes": "int",
                          "availableBytes": "int", "isInternal": "bool",
                          "isRemovable": "bool"}]},
    "gpu": {"utilization": "number", "usedMemoryBytes": "int", "totalMemoryBytes": "int",
            "name": "str"},
    "processes": {"topByCPU": [PROCESS], "topByMemory": [PROCESS]},
    "thermalState": "int",
    "sensors": {**{key: "number?" for key in (
        "cpuTempCelsius", "gpuTempCelsius", "batteryTempCelsius", "ssdTempCelsius",
        "memoryTempCelsius", "ambientTempCelsius", "ioTempCelsius", "cpuPowerWatts",
        "gpuPowerWatts", "systemPowerWatts", "chargerPowerWatts")},
                "fans": [{"index": "int", "rpm": "number"}],
                "sensors": [{"chip": "str", "sensor": "str", "chipName": "str", "label": "str",
                             "kind": "str", "unit": "str", "value": "number?", "min": "number?",
                             "max": "number?", "critical": "number?"}]},
    "session": {"startTime": "str", "peakCPU": "number", "peakRAMBytes": "int",
                "peakGPU": "number", "peakDownload": "number", "peakUpload": "number",
                "worstThermal": "int", "totalDownloadBytes": "number",
                "totalUploadBytes": "number", "throttleSeconds": "int", "peakCPUTemp": "number",
                "peakGPUTemp": "number", "pollCount": "int"},
}


def check_schema(test, value, schema, where):
    if isinstance(schema, dict):
        test.assertIsInstance(value, dict, where)
        test.assertEqual(sorted(value), sorted(schema), where)
        for key, inner in schema.items():
            check_schema(test, value[key], inner, where + "." + key)
    elif isinstance(schema, list):
        test.assertIsInstance(value, list, where)
        for index, item in enumerate(value):
            check_schema(test, item, schema[0], "%s[%d]" % (where, index))
    elif schema == "number?" and value is None:
        pass
    elif schema in ("number", "number?"):
        test.assertTrue(type(value) in (int, float), (where, value))
    elif schema == "int":
        test.assertIs(type(value), int, (where, value))
    else:
        test.assertIs(type(value), {"str": str, "bool": bool}[schema], (where, value))


class SamplerProgram(unittest.TestCase):
    def run_sampler(self, *arguments, timeout=30, env=None):
        return subprocess.run([SAMPLER, *arguments], capture_output=True, text=True,
                              timeout=timeout, env=env or sampler_env())

    def assert_summary(self, stderr, samples):
        self.assertRegex(stderr, r"(?m)^Session: \S+.* \(%d samples\)$" % samples)
        for line in ("CPU: avg ", "Fans: ", "Throttled: "):
            self.assertRegex(stderr, "(?m)^" + re.escape(line))
        # A machine without the sensor (or without the helper) says so, never "avg 0.0".
        for block in ("CPU Temp", "Power"):
            self.assertRegex(stderr, r"(?m)^%s: (avg |No sensor$)" % block)
            self.assertNotRegex(stderr, r"(?m)^%s: avg 0\.0" % block)

    def test_records_every_poll_and_writes_a_snapshot(self):
        folder = tempfile.mkdtemp(prefix="vantrel-sample-csv-")
        recording = os.path.join(folder, "r.csv")
        snapshot = os.path.join(folder, "s.csv")
        result = self.run_sampler("--count", "5", "--interval", "0.2", "--record", recording,
                                  "--snapshot", snapshot)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(len(result.stdout.splitlines()), 5)
        with open(recording, newline="") as file:
            text = file.read()
        self.assertTrue(text.endswith("\n"))
        self.assertEqual(len(text.splitlines()), 6)
        # Without the helper no sensor was read: the sensor columns show their markers.
        for row in csv_rows(text[:-1]):
            self.assertEqual(row[9:16], ["-1.0"] * 7)
        with open(snapshot, newline="") as file:
            text = file.read()
        self.assertFalse(text.endswith("\n"))
        rows = csv_rows(text, history_from=1)
        self.assertEqual(len(rows), 1 + 5)  # the current readings, then five history rows
        self.assertTrue(all(row[8] == "0" and row[17] == "0.0" for row in rows[1:]))
        self.assertEqual(rows[0][0], rows[-1][0])
        self.assert_summary(result.stderr, 5)

    def test_records_into_the_desktop_folder_by_default(self):
        env = sampler_env('XDG_DESKTOP_DIR="$HOME/Schreibtisch"')
        desktop = os.path.join(env["HOME"], "Schreibtisch")
        os.mkdir(desktop)
        result = self.run_sampler("--record", "--count", "2", "--interval", "0.1", env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        names = glob.glob(os.path.join(desktop, "vantrel-recording-*.csv"))
        self.assertEqual(len(names), 1, os.listdir(desktop))
        self.assertRegex(os.path.basename(names[0]),
                         r"^vantrel-recording-\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.csv$")
        with open(names[0]) as file:
            self.assertEqual(len(file.read().splitlines()), 3)
        self.assert_summary(result.stderr, 2)

    def test_one_row_gives_no_summary(self):
        recording = os.path.join(tempfile.mkdtemp(prefix="vantrel-sample-csv-"), "r.csv")
        result = self.run_sampler("--count", "1", "--record", recording)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertNotIn("Session:", result.stderr)

    def test_a_desktop_that_cannot_take_a_file_gives_one_line_and_status_one(self):
        for line in ('XDG_DESKTOP_DIR="$HOME/missing"', 'XDG_DESKTOP_DIR="/proc"'):
            result = self.run_sampler("--record", "--count", "1", env=sampler_env(line))
            self.assertEqual(result.returncode, 1, line)
            self.assertEqual(result.stdout, "")
            self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)

    def test_a_snapshot_that_cannot_be_written_gives_one_line_and_status_one(self):
        result = self.run_sampler("--count", "1", "--snapshot", "/proc/vantrel-snapshot.csv")
        self.assertEqual(result.returncode, 1)
        self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
        self.assertFalse(os.path.exists("/proc/vantrel-snapshot.csv"))

    def test_a_full_disk_ends_the_recording_with_its_rows_whole(self):
        recording = os.path.join(tempfile.mkdtemp(prefix="vantrel-sample-csv-"), "r.csv")
        limit = len(CSV_HEADER) + 1 + 250  # room for the header and about two rows

        def small_disk():
            # A file-size limit stands in for a full disk; the write that crosses it is cut.
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        result = subprocess.run([SAMPLER, "--count", "30", "--interval", "0.05", "--record",
                                 recording], capture_output=True, text=True, timeout=30,
                                env=sampler_env(), preexec_fn=small_disk)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertRegex(result.stderr, "(?m)^vantrel-sample: recording stopped: ")
        self.assertLess(len(result.stdout.splitlines()), 30)
        with open(recording, newline="") as file:
            text = file.read()
        self.assertTrue(text.endswith("\n"))
        rows = csv_rows(text[:-1])
        self.assertGreaterEqual(len(rows), 1)
        self.assertLessEqual(len(text), limit)

    def test_interrupting_a_recording_prints_its_summary(self):
        recording = os.path.join(tempfile.mkdtemp(prefix="vantrel-sample-csv-"), "r.csv")
        process = subprocess.Popen([SAMPLER, "--interval", "0.1", "--record", recording],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                   env=sampler_env())
        process.stdout.readline()
        process.stdout.readline()
        process.send_signal(signal.SIGINT)
        rest, errors = process.communicate(timeout=10)
        self.assertEqual(process.returncode, 0, errors)
        with open(recording) as file:
            rows = len(file.read().splitlines()) - 1
        self.assertEqual(rows, 2 + len(rest.splitlines()))
        self.assert_summary(errors, rows)

    def test_prints_one_object_per_poll_that_agrees_with_the_kernel(self):
        used_before = used_by_free()
        result = self.run_sampler("--count", "3", "--interval", "0.2")
        used_after = used_by_free()
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertEqual(len(lines), 3)
        polls = [json.loads(line) for line in lines]
        for number, poll in enumerate(polls, start=1):
            self.assertEqual(sorted(poll), sorted(RECORDS))
            self.assertEqual(poll["session"]["pollCount"], number)
        last = polls[-1]
        online = os.sysconf("SC_NPROCESSORS_ONLN")
        self.assertEqual(len(last["cpu"]["perCore"]), online)
        self.assertTrue(0 <= last["cpu"]["overall"] <= 1)
        self.assertEqual(last["ram"]["totalBytes"], meminfo_kib("MemTotal") * 1024)
        # Memory moves while the sampler runs: compare with what free(1) saw on both sides.
        tolerance = 0.03 * last["ram"]["totalBytes"]
        self.assertGreater(last["ram"]["usedBytes"], min(used_before, used_after) - tolerance)
        self.assertLess(last["ram"]["usedBytes"], max(used_before, used_after) + tolerance)
        route = default_route_interface()
        if route is not None:
            self.assertEqual(last["network"]["interfaceName"], route)
        self.assertEqual(last["battery"]["timeRemainingMinutes"], -1)
        self.assertEqual(last["gpu"]["name"], "GPU")
        self.assertIsNone(last["sensors"]["cpuTempCelsius"])
        root = os.statvfs("/")
        self.assertEqual(last["disk"]["totalBytes"], root.f_blocks * root.f_frsize)

    def test_a_busy_process_ranks_among_the_first_by_cpu(self):
        busy = subprocess.Popen([sys.executable, "-c", "while True: pass"])
        try:
            result = self.run_sampler("--count", "3", "--interval=0.5")
        finally:
            busy.kill()
            busy.wait()
        self.assertEqual(result.returncode, 0, result.stderr)
        top = json.loads(result.stdout.splitlines()[-1])["processes"]["topByCPU"]
        listed = [p for p in top if p["id"] == busy.pid]
        self.assertEqual(len(listed), 1, top)
        self.assertGreater(listed[0]["cpuPercent"], 0)
        self.assertGreater(listed[0]["memoryBytes"], 0)
        self.assertIn("python", listed[0]["name"].lower())

    def test_every_record_has_its_fields_with_their_types(self):
        result = self.run_sampler("--count", "2", "--interval", "0.1")
        self.assertEqual(result.returncode, 0, result.stderr)
        for line in result.stdout.splitlines():
            check_schema(self, json.loads(line), POLL_SCHEMA, "poll")

    def test_interrupt_ends_after_a_whole_line(self):
        process = subprocess.Popen([SAMPLER, "--interval", "0.1"], stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True, env=sampler_env())
        first = process.stdout.readline()
        process.send_signal(signal.SIGINT)
        rest, errors = process.communicate(timeout=10)
        self.assertEqual(process.returncode, 0, errors)
        for line in [first, *rest.splitlines()]:
            self.assertEqual(sorted(json.loads(line)), sorted(RECORDS))

    def test_bad_arguments_give_one_line_and_status_two(self):
        for arguments in (["--count"], ["--count", "zero"], ["--count", "0"], ["--count", "-2"],
                          ["--count=1.5"], ["--interval", "-1"], ["--interval", "0"],
                          ["--interval", "nan"], ["--interval", "inf"], ["--interval", "1e300"],
                          ["--interval="], ["--frobnicate"], ["--snapshot"], ["--snapshot="],
                          ["--record="], ["--version=2"], ["stray"]):
            result = self.run_sampler(*arguments)
            self.assertEqual(result.returncode, 2, arguments)
            self.assertEqual(result.stdout, "")
            self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)

    def test_help_describes_the_options_and_version_names_the_release(self):
        result = self.run_sampler("--help")
        self.assertEqual(result.returncode, 0)
        for option in ("--count", "--interval", "--record", "--snapshot", "--version", "--help"):
            self.assertIn(option, result.stdout)
        result = self.run_sampler("--version")
        self.assertEqual(result.returncode, 0)
        self.assertRegex(result.stdout, r"^vantrel-sample \d+\.\d+\.\d+\n$")


if __name__ == "__main__":
    unittest.main(verbosity=2)
