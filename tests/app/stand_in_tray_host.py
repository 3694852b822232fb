#!/usr/bin/env python3
"""A stand-in StatusNotifierItem tray host on the session bus of $DBUS_SESSION_BUS_ADDRESS.

It owns org.kde.StatusNotifierWatcher, registers itself as a host, and does what a desktop's
host does with an item: reads its icon, label and tool tip when it registers and again after
the item announces changes (one read for the burst of signals an update sends, as Plasma's
host does), and forgets it when it leaves the bus. Its process is named "stand-in-tray", which
the program knows as a host that keeps a wide image as sent. One line per event
goes to stdout, for the test that started it:
    ready                      the watcher and the host are on the bus
    registered SERVICE PATH    an item registered
    read SERVICE LABEL         the item's properties were read (its label, if any)
    unregistered SERVICE       the item left the bus
Ends on SIGTERM or SIGINT.
"""

import ctypes
import os
import signal
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
PROPERTIES = "org.freedesktop.DBus.Properties"
CHANGE_SIGNALS = ("NewIcon", "NewToolTip", "NewTitle", "NewStatus", "XAyatanaNewLabel")


def say(line):
    print(line, flush=True)


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus = bus
        self.items = {}  # "service/path" -> (bus name, object path)
        self.pending = set()  # items with a read already scheduled

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # Items name either their bus name or, with the sender's name implied, an object path.
        name, path = (sender, service) if service.startswith("/") else (service, "/StatusNotifierItem")
        key = name + path
        if key in self.items:
            return
        self.items[key] = (name, path)
        for member in CHANGE_SIGNALS:
            self.bus.add_signal_receiver(lambda *_: self.read_soon(name, path), signal_name=member,
                                         dbus_interface=ITEM, bus_name=name, path=path)
        self.bus.watch_name_owner(name, lambda owner: owner or self.forget(key))
        say("registered %s %s" % (name, path))
        self.StatusNotifierItemRegistered(key)
        self.read(name, path)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        self.StatusNotifierHostRegistered()

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, service):
        pass

    @dbus.service.signal(WATCHER)
    def StatusNotifierHostRegistered(self):
        pass

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"RegisteredStatusNotifierItems": dbus.Array(list(self.items), signature="s"),
                "IsStatusNotifierHostRegistered": dbus.Boolean(True),
                "ProtocolVersion": dbus.Int32(0)}

    def forget(self, key):
        if self.items.pop(key, None):
            say("unregistered %s" % key)
            self.StatusNotifierItemUnregistered(key)

    def read_soon(self, name, path):
        if (name, path) not in self.pending:
            self.pending.add((name, path))
            GLib.timeout_add(20, self.read, name, path)

    def read(self, name, path):
        """Reads every property without waiting, as a host's main loop must."""
        self.pending.discard((name, path))
        self.bus.call_async(name, path, PROPERTIES, "GetAll", "s", (ITEM,),
                            lambda values: say("read %s %s" % (name, values.get("XAyatanaLabel", ""))),
                            lambda error: say("read-failed %s %s" % (name, error.get_dbus_name())),
                            byte_arrays=True)


def name_process(name):
    """Sets the name the kernel shows in /proc/PID/comm (prctl PR_SET_NAME)."""
    if ctypes.CDLL(None, use_errno=True).prctl(15, name.encode(), 0, 0, 0) != 0:
        sys.exit("cannot name the process: errno %d" % ctypes.get_errno())


def main():
    name_process("stand-in-tray")
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus)
    names = [dbus.service.BusName(WATCHER, bus, do_not_queue=True),
             dbus.service.BusName("org.kde.StatusNotifierHost-%d" % os.getpid(), bus)]
    watcher.StatusNotifierHostRegistered()
    loop = GLib.MainLoop()
    for number in (signal.SIGTERM, signal.SIGINT):
        GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, number, loop.quit)
    say("ready")
    loop.run()
    del names


if __name__ == "__main__":
    sys.exit(main())
