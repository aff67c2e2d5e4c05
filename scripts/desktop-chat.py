#!/usr/bin/python3
"""Drives a running parlohost and parlocall through the accessibility bus, as
a screen reader or a person at the keyboard would, and checks what a screen
reader hears: the caller connects to the host (the real opening exchange),
each side sends a line, the caller disconnects. Each received line must be
announced as new text in the peer's transcript, and "Listening..." as the
host's status. With --notices it also serves the session bus's notifications
and checks the host's notice for a line that arrives while the host's window
is inactive (plain text, replaced by the next line, a click brings the window
forward); with --x11 it makes windows active through the X window manager.

  scripts/desktop-chat.py [--x11] [--notices] [--timeout SECONDS]

Needs /usr/bin/python3 with python3-pyatspi (and python3-dbus for --notices).
Prints each step with the time it took; exits 1 at the first that fails."""
import argparse
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

args = argparse.ArgumentParser()
args.add_argument("--x11", action="store_true")
args.add_argument("--notices", action="store_true")
args.add_argument("--ready", help="a file made once the listeners are registered")
args.add_argument("--timeout", type=float, default=30)
options = args.parse_args()
began = time.monotonic()
heard = []  # (program, event type, source name, text)


def say(text):
    print(f"desktop-chat: {text} ({time.monotonic() - began:.2f} s)", flush=True)


def fail(text):
    say(f"FAIL: {text}")
    for event in heard:
        print("  heard:", event, file=sys.stderr)
    sys.exit(1)


def wait_for(what, condition):
    """Runs the main loop until condition() holds; fails after the timeout."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + options.timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            fail(f"no {what} within {options.timeout:.0f} s")
        if not context.iteration(False):
            time.sleep(0.02)


def on_event(event):
    try:
        program = event.host_application.name
        text = event.any_data if isinstance(event.any_data, str) else event.source.name
        heard.append((program, event.type, event.source.name, text))
    except Exception:  # a source that went away meanwhile
        pass


for kind in ("object:text-changed:insert", "object:property-change:accessible-name"):
    pyatspi.Registry.registerEventListener(on_event, kind)
# A program asks which events are listened to when it starts: it is started
# once this says so, or it may stay silent about some of them.
if options.ready:
    open(options.ready, "w").close()


def program(name):
    def find():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
    return wait_for(f"{name} on the accessibility bus", find)


def control(app, role, name=None):
    def find():
        return pyatspi.findDescendant(
            app, lambda o: o.getRoleName() == role and (name is None or o.name == name))
    return wait_for(f"{role} '{name}' in {app.name}", find)


def type_and_press(app, box, text, button):
    box.queryEditableText().setTextContents(text)
    control(app, "push button", button).queryAction().doAction(0)


def hears(program_name, kind, text):
    wait_for(f"'{text}' announced by {program_name} ({kind})",
             lambda: any(p == program_name and kind in t and text in said
                         for p, t, _, said in heard))
    say(f"{program_name} announced '{text}'")


def activate(title):
    subprocess.run(["xdotool", "search", "--sync", "--name", f"^{title}$", "windowactivate",
                    "--sync"], check=True, timeout=options.timeout)


def is_active(frame):
    return frame.getState().contains(pyatspi.STATE_ACTIVE)


class NoticeServer:
    """The session bus's notification service, recording the host's notices;
    the first notice gets the id 101."""

    def __init__(self):
        import dbus
        import dbus.service
        from dbus.mainloop.glib import DBusGMainLoop
        DBusGMainLoop(set_as_default=True)
        bus = dbus.SessionBus()
        self.notices = []
        server = self

        class Service(dbus.service.Object):
            @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i",
                                 out_signature="u")
            def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
                if hints.get("desktop-entry") == "parlohost":  # the host's alone
                    server.notices.append((int(replaces), str(summary), str(body), list(actions)))
                return int(replaces) or 100 + len(server.notices)

            @dbus.service.method("org.freedesktop.Notifications", out_signature="as")
            def GetCapabilities(self):
                return ["body", "body-markup", "actions"]

            @dbus.service.signal("org.freedesktop.Notifications", signature="us")
            def ActionInvoked(self, id, action):
                pass

        self.name = dbus.service.BusName("org.freedesktop.Notifications", bus)
        self.service = Service(bus, "/org/freedesktop/Notifications")


notices = NoticeServer() if options.notices else None
host = program("parlohost")
caller = program("parlocall")
host_frame = control(host, "frame")
say("both programs are on the accessibility bus")

# The opening exchange, as the caller's user makes it.
address = control(caller, "combo box", "Connect to (IP/Host name)")
type_and_press(caller, pyatspi.findDescendant(address, lambda o: o.getRoleName() == "text"),
               "127.0.0.1", "Connect")
hears("parlohost", "accessible-name", "Connected to 127.0.0.1")
hears("parlocall", "accessible-name", "Connected. (127.0.0.1)")

if options.x11:
    activate("Client - Parlo")  # the host's window is inactive from here on
    wait_for("the host's window inactive", lambda: not is_active(host_frame))
line = "hello <b>host</b> & all\u0007"
type_and_press(caller, control(caller, "text", "Message"), line, "Send")
hears("parlohost", "text-changed", "Client: hello <b>host</b> & all\u2407")
if notices:
    wait_for("a notice", lambda: notices.notices)
    replaces, summary, body, actions = notices.notices[0]
    if (replaces, summary, body) != (0, "Client", "hello &lt;b&gt;host&lt;/b&gt; &amp; all\u2407") \
            or "default" not in actions:
        fail(f"notice {notices.notices[0]}")
    say(f"the host's notice: {summary}: {body}")
    type_and_press(caller, control(caller, "text", "Message"), "second line", "Send")
    wait_for("a second notice", lambda: len(notices.notices) > 1)
    if notices.notices[1][:3] != (101, "Client", "second line"):
        fail(f"the second notice {notices.notices[1]} does not replace the first")
    say("the second line's notice replaces the first")
    type_and_press(caller, control(caller, "text", "Message"), "/nick Renamed", "Send")
    hears("parlocall", "text-changed", ">> Your new username is: Renamed.")
    type_and_press(caller, control(caller, "text", "Message"), "third line", "Send")
    wait_for("a third notice", lambda: len(notices.notices) > 2)
    if notices.notices[2][:3] != (101, "Renamed", "third line"):
        fail(f"the third notice {notices.notices[2]}, under the peer's new name, is not the same")
    say("under the peer's new name, its notice is still the one notice")
    notices.service.ActionInvoked(101, "default")
    wait_for("the host's window active after the click", lambda: is_active(host_frame))
    say("a click on the notice brought the host's window forward")

type_and_press(host, control(host, "text", "Message"), "hi caller", "Send")
hears("parlocall", "text-changed", "Server: hi caller")
type_and_press(caller, control(caller, "text", "Message"), "/disconnect", "Send")
hears("parlohost", "accessible-name", "Listening...")
if notices and len(notices.notices) != 3:
    fail(f"notices while the host's window was active: {notices.notices[3:]}")
if notices:
    heard.clear()
    type_and_press(caller, pyatspi.findDescendant(address, lambda o: o.getRoleName() == "text"),
                   "127.0.0.1", "Connect")
    hears("parlohost", "accessible-name", "Connected to 127.0.0.1")
    hears("parlocall", "accessible-name", "Connected. (127.0.0.1)")
    activate("Renamed - Parlo")
    wait_for("the host's window inactive", lambda: not is_active(host_frame))
    type_and_press(caller, control(caller, "text", "Message"), "next conversation", "Send")
    hears("parlohost", "text-changed", "Renamed: next conversation")
    wait_for("a notice in the next conversation", lambda: len(notices.notices) > 3)
    if notices.notices[3][:3] != (0, "Renamed", "next conversation"):
        fail(f"the next conversation's notice {notices.notices[3]} is not a new one")
    say("the next conversation has a notice of its own")
say("PASS")
