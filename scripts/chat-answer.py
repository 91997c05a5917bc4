#!/usr/bin/python3
"""A second federate in ChatRoom, driven over the session bus: answers every text message
with "echo: <text>". Needs Debian's python3-dbus and python3-gi.

    /usr/bin/python3 scripts/chat-answer.py [--name ChatRoom.Script]

The engine is started by the bus when tandrel is installed; from the build tree start
build/default/platform/bus/service/tandrel-engine first. TANDREL_ENGINE_SERVICE names another engine."""

import argparse
import os
import signal
import sys

import dbus
import dbus.mainloop.glib
from gi.repository import GLib

SERVICE = os.environ.get("TANDREL_ENGINE_SERVICE", "io.tandrel.Engine1")
ROOT = "/io/tandrel/Engine1"
INTERFACE = "io.tandrel.Engine1"
PROVIDER = "CaoProv.Zarn.HLA"
OPTIONS = ("URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed, TimePoli=0, TimeAdv=0, "
           "CurTime=0.0, LookAhead=0.5, AsyncDeli=0")
MESSAGE = "InteractionRoot.Communication.Message"
VT_I4 = 3
VT_BSTR = 8
RECEIVED_INTERACTION = 3
ECHO = "echo: "


def value(type_code, payload):
    """A value as the engine takes it: the struct (qv) of type code and value."""
    return dbus.Struct((dbus.UInt16(type_code), payload), signature="qv")


def call(bus, path, interface, method, *args):
    return getattr(dbus.Interface(bus.get_object(SERVICE, path), INTERFACE + interface), method)(*args)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--name", default="ChatRoom.Script", help="controller name")
    args = parser.parse_args()

    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    # Closed with all it holds when this script leaves the bus, however it ends.
    engine = call(bus, ROOT, "", "CreateEngine")
    workspace = call(bus, engine, ".Engine", "Workspace", value(VT_I4, dbus.Int32(0)))
    controller = call(bus, workspace, ".Workspace", "AddController", args.name, PROVIDER, "", OPTIONS)
    variable = call(bus, controller, ".Controller", "AddVariable", MESSAGE, "Option=0")

    def on_messages(batch):
        for number, (type_code, text), _time, _source, _acknowledge in batch:
            if number != RECEIVED_INTERACTION or type_code != VT_BSTR or text.startswith(ECHO):
                continue
            print(f"{args.name}: received \"{text}\"", flush=True)
            call(bus, variable, ".Variable", "PutValue", value(VT_BSTR, dbus.String(ECHO + text)))

    bus.add_signal_receiver(on_messages, signal_name="Messages", path=controller,
                            dbus_interface=INTERFACE + ".Controller", bus_name=SERVICE)
    call(bus, controller, ".Controller", "Subscribe", True)
    print(f"{args.name}: answering in {controller}", flush=True)

    loop = GLib.MainLoop()
    for number in (signal.SIGINT, signal.SIGTERM):
        GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, number, loop.quit)
    loop.run()
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except dbus.DBusException as error:
        print(f"chat-answer: {error.get_dbus_message()} ({error.get_dbus_name()})", file=sys.stderr)
        sys.exit(1)
