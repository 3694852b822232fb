#!/usr/bin/env python3
"""Runs vantrel-sample as an exporter (--serve, --textfile) and talks to it as scrapers and the
node exporter's textfile collector would, and as careless or hostile clients."""

import os
import re
import socket
import subprocess
import sys
import tempfile
import unittest

SAMPLER = sys.argv.pop(1) if len(sys.argv) > 1 else "vantrel-sample"
SERVING = re.compile(r"^vantrel-sample: serving metrics on http://127\.0\.0\.1:(\d+)/metrics$")
# A line of the text format: HELP, TYPE or a sample without a timestamp.
EXPOSITION_LINE = re.compile(
    r"^(# HELP [a-z_][a-z0-9_]* .+|# TYPE [a-z_][a-z0-9_]* (gauge|counter)|"
    r"[a-z_][a-z0-9_]*(\{[a-z_][a-z0-9_]*=\"[^\"]*\"(,[a-z_][a-z0-9_]*=\"[^\"]*\")*\})? -?[0-9.e+-]+|NaN)$")
OPEN_METRICS = "application/openmetrics-text;version=1.0.0,text/plain;version=0.0.4;q=0.5"


def private_env():
    env = dict(os.environ)
    private = tempfile.mkdtemp(prefix="vantrel-exporter-test-")
    env["XDG_CONFIG_HOME"] = os.path.join(private, "config")
    env["HOME"] = private
    return env


def memory_kib(pid):
    """The process's resident size now (VmRSS) and at its peak (VmHWM)."""
    with open("/proc/%d/status" % pid) as status:
        return {line.split(":")[0]: int(line.split()[1]) for line in status
                if line.startswith(("VmRSS:", "VmHWM:"))}


def request(port, text, timeout=10):
    """Sends `text` on a new connection and returns the whole answer (the server keeps the
    connection: the answer is read by its Content-Length)."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as connection:
        connection.sendall(text.encode())
        return read_answer(connection, head_only=text.startswith("HEAD "))


def read_answer(connection, head_only=False):
    answer = b""
    while b"\r\n\r\n" not in answer:
        chunk = connection.recv(65536)
        if not chunk:
            raise ConnectionError("closed before the answer's head: %r" % answer)
        answer += chunk
    head, body = answer.split(b"\r\n\r\n", 1)
    length = int(re.search(rb"\r\nContent-Length: (\d+)", head).group(1))
    while not head_only and len(body) < length:
        chunk = connection.recv(65536)
        if not chunk:
            raise ConnectionError("closed in the body")
        body += chunk
    return head.decode(), body.decode()


def scrape(port, accept=None):
    headers = "Accept: %s\r\n" % accept if accept else ""
    return request(port, "GET /metrics HTTP/1.1\r\nHost: test\r\n%s\r\n" % headers)


class Exporter:
    """vantrel-sample --serve on a free port, until the test ends."""

    def __init__(self, test, *arguments):
        self.process = subprocess.Popen(
            [SAMPLER, "--serve", "127.0.0.1:0", "--interval", "0.05", *arguments],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=private_env())
        self.output = None
        test.addCleanup(self.stop)
        line = self.process.stderr.readline().rstrip("\n")
        match = SERVING.match(line)
        test.assertTrue(match, line)
        self.port = int(match.group(1))

    def stop(self):
        """Ends the program; returns what it printed on standard output."""
        if self.process.poll() is None:
            self.process.terminate()
        if self.output is None:
            self.output = self.process.communicate(timeout=30)[0]
        return self.output


class ExporterProgram(unittest.TestCase):
    def test_answers_by_path_method_and_accept(self):
        exporter = Exporter(self)
        cases = [
            ("GET /metrics", "HTTP/1.1 200 OK", "Content-Type: text/plain; version=0.0.4"),
            ("HEAD /metrics", "HTTP/1.1 200 OK", "Content-Type: text/plain; version=0.0.4"),
            ("POST /metrics", "HTTP/1.1 405 Method Not Allowed", "Allow: GET, HEAD"),
            ("PUT /metrics", "HTTP/1.1 405 Method Not Allowed", "Allow: GET, HEAD"),
            ("GET /", "HTTP/1.1 404 Not Found", "Content-Length: 0"),
            ("GET /metrics/x", "HTTP/1.1 404 Not Found", "Content-Length: 0"),
        ]
        for line, status, header in cases:
            head, body = request(exporter.port,
                                 "%s HTTP/1.1\r\nHost: t\r\nContent-Length: 0\r\n\r\n" % line)
            self.assertTrue(head.startswith(status), (line, head))
            self.assertIn("\r\n" + header, head, line)
            self.assertEqual(body == "", line != "GET /metrics", line)
        head, body = scrape(exporter.port)
        self.assertIn("vantrel_polls_total ", body)
        for line in body.rstrip("\n").split("\n"):
            self.assertRegex(line, EXPOSITION_LINE)
        head, body = scrape(exporter.port, OPEN_METRICS)
        self.assertIn("Content-Type: application/openmetrics-text; version=1.0.0", head)
        self.assertTrue(body.endswith("# EOF\n"), body[-40:])
        self.assertEqual(exporter.stop(), "", "no JSON lines when exporting")

    def test_request_lines_of_a_mebibyte_end_their_connections_only(self):
        exporter = Exporter(self)
        scrape(exporter.port)
        before = memory_kib(exporter.process.pid)["VmRSS"]
        greedy = [socket.create_connection(("127.0.0.1", exporter.port), timeout=15)
                  for _ in range(20)]
        for connection in greedy:
            try:
                connection.sendall(b"GET /" + b"a" * (1 << 20))
            except ConnectionResetError:
                pass  # closed while the line was still coming
        for connection in greedy:
            try:
                self.assertEqual(connection.recv(1024), b"")
            except ConnectionResetError:
                pass
            connection.close()
        self.assertIn("vantrel_polls_total", scrape(exporter.port)[1])
        # Twenty lines held whole would be 20 MiB at their peak.
        self.assertLess(memory_kib(exporter.process.pid)["VmHWM"] - before, 8192)

    def test_idle_connections_do_not_stop_the_answers(self):
        exporter = Exporter(self)
        idle = [socket.create_connection(("127.0.0.1", exporter.port)) for _ in range(200)]
        half = [socket.create_connection(("127.0.0.1", exporter.port)) for _ in range(20)]
        for connection in half:
            connection.sendall(b"GET /metrics HTTP/1.1\r\n")
        try:
            with socket.create_connection(("127.0.0.1", exporter.port), timeout=5) as kept:
                for _ in range(50):
                    kept.sendall(b"GET /metrics HTTP/1.1\r\nHost: t\r\n\r\n")
                    self.assertIn("vantrel_polls_total", read_answer(kept)[1])
        finally:
            for connection in idle + half:
                connection.close()

    def test_a_port_in_use_ends_the_run_with_one_line(self):
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen()
            port = taken.getsockname()[1]
            result = subprocess.run([SAMPLER, "--serve", "127.0.0.1:%d" % port],
                                    capture_output=True, text=True, timeout=30,
                                    env=private_env())
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout, "")
        self.assertRegex(result.stderr,
                         r"^vantrel-sample: cannot listen on 127\.0\.0\.1:%d: .+\n$" % port)

    def test_count_still_ends_the_run(self):
        result = subprocess.run([SAMPLER, "--serve", "127.0.0.1:0", "--interval", "0.05",
                                 "--count", "3"], capture_output=True, text=True, timeout=30,
                                env=private_env())
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, "")

    def test_the_textfile_is_never_seen_half_written(self):
        folder = tempfile.mkdtemp(prefix="vantrel-textfile-")
        path = os.path.join(folder, "vantrel.prom")
        process = subprocess.Popen([SAMPLER, "--textfile", path, "--interval", "0.05"],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   env=private_env())
        self.addCleanup(process.communicate, timeout=30)
        self.addCleanup(process.terminate)
        while not os.path.exists(path):
            self.assertIsNone(process.poll(), "the exporter ended")
        self.assertEqual(os.stat(path).st_mode & 0o777, 0o644)
        polls_seen = set()
        reads = 0
        while reads < 5000 or len(polls_seen) < 10:
            with open(path) as textfile:
                text = textfile.read()
            reads += 1
            self.assertTrue(text.endswith("\n"), repr(text[-80:]))
            for line in text.rstrip("\n").split("\n"):
                self.assertRegex(line, EXPOSITION_LINE)
            polls_seen.add(re.search(r"^vantrel_polls_total (\d+)$", text, re.M).group(1))
            for name in os.listdir(folder):
                self.assertTrue(name == "vantrel.prom" or not name.endswith(".prom"), name)

    def test_a_textfile_in_a_missing_folder_ends_the_run_with_one_line(self):
        result = subprocess.run([SAMPLER, "--textfile", "/nonexistent-vantrel/v.prom"],
                                capture_output=True, text=True, timeout=30, env=private_env())
        self.assertEqual(result.returncode, 1)
        self.assertRegex(result.stderr, r"^vantrel-sample: cannot write /nonexistent-vantrel/"
                                        r"v\.prom: [^\n]+\n$")


if __name__ == "__main__":
    unittest.main()
