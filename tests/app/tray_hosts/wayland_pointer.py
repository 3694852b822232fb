"""A pointer for a Wayland compositor that has no input device (a headless sway): a client of
the test's own that speaks the Wayland wire protocol over the compositor's socket and creates a
virtual pointer (zwlr_virtual_pointer_manager_v1). While it is open the seat has a pointer, so
Wayland clients (the bar) and XWayland's X clients receive its motion and buttons as a user's.
"""

import os
import socket
import struct
import time

BUTTONS = {1: 0x110, 2: 0x112, 3: 0x111}  # X button numbers to Linux input codes
DISPLAY_ID, REGISTRY_ID = 1, 2


class WaylandError(Exception):
    pass


def _string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


class WaylandPointer:
    def __init__(self, runtime_dir, display, width, height):
        self.extent = (width, height)
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.connect(os.path.join(runtime_dir, display))
        self.buffer = b""
        self.next_id = REGISTRY_ID
        self.globals = {}
        self._send(DISPLAY_ID, 1, struct.pack("<I", self._new_id()))  # get_registry
        self._round_trip()
        name = self.globals.get("zwlr_virtual_pointer_manager_v1")
        if name is None:
            raise WaylandError("the compositor offers no zwlr_virtual_pointer_manager_v1")
        manager = self._bind(name, "zwlr_virtual_pointer_manager_v1", 1)
        self.pointer = self._new_id()
        self._send(manager, 0, struct.pack("<II", 0, self.pointer))  # the default seat
        self._round_trip()

    def move(self, x, y):
        width, height = self.extent
        self._send(self.pointer, 1, struct.pack("<IIIII", self._time(), x, y, width, height))
        self._frame()

    def button(self, number, pressed):
        self._send(self.pointer, 2, struct.pack("<III", self._time(), BUTTONS[number],
                                                1 if pressed else 0))
        self._frame()

    def click(self, x, y, number=1):
        self.move(x, y)
        self.button(number, True)
        self.button(number, False)

    def close(self):
        self.socket.close()

    def _frame(self):
        self._send(self.pointer, 4, b"")
        self._round_trip()

    @staticmethod
    def _time():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def _new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def _bind(self, name, interface, version):
        new = self._new_id()
        self._send(REGISTRY_ID, 0, struct.pack("<I", name) + _string(interface) +
                   struct.pack("<II", version, new))
        return new

    def _send(self, target, opcode, body):
        self.socket.sendall(struct.pack("<II", target, (8 + len(body)) << 16 | opcode) + body)

    def _round_trip(self):
        """Waits until the compositor has handled every request sent so far."""
        callback = self._new_id()
        self._send(DISPLAY_ID, 0, struct.pack("<I", callback))  # sync
        while True:
            target, opcode, body = self._event()
            if target == callback and opcode == 0:
                return
            if target == DISPLAY_ID and opcode == 0:
                _, code, length = struct.unpack_from("<III", body)
                raise WaylandError("protocol error %d: %s" % (code, body[12:12 + length - 1]))
            if target == REGISTRY_ID and opcode == 0:
                name, length = struct.unpack_from("<II", body)
                self.globals[body[8:8 + length - 1].decode()] = name

    def _event(self):
        while len(self.buffer) < 8 or len(self.buffer) < self._size():
            data = self.socket.recv(65536)
            if not data:
                raise WaylandError("the compositor closed the connection")
            self.buffer += data
        size = self._size()
        target, _ = struct.unpack_from("<II", self.buffer)
        opcode = struct.unpack_from("<I", self.buffer, 4)[0] & 0xFFFF
        body, self.buffer = self.buffer[8:size], self.buffer[size:]
        return target, opcode, body

    def _size(self):
        return struct.unpack_from("<I", self.buffer, 4)[0] >> 16
