#!/usr/bin/python3
"""Allot on a desktop as a user has it: an X display the size of a 1366 x 768 laptop with a window
manager, a real locale (German unless ALLOT_DESKTOP_LOCALE names another), the desktop's dark theme
through qt6ct, driven by keys alone, and read as a screen reader reads it, over AT-SPI. The window
fits the screen; amounts are read and written the locale's way, and a thousand grouped the
locale's way is refused rather than read as one; Ctrl+N opens the editor on the name field and Return saves; Shift+F10 shows a row's
actions as the row's children and announces the focus on the first; a confirmation announces the
focus on Cancel and Escape takes it away; Ctrl+Q quits and the budget is saved.
Runs inside dbus-run-session. ALLOT_PROGRAM names the program, ALLOT_DARK_CONFIG a folder holding
qt6ct/qt6ct.conf."""
import os
import subprocess
import tempfile
import time
import unittest

import pyatspi
from gi.repository import GLib

PROGRAM = os.environ["ALLOT_PROGRAM"]
SCREEN = (1366, 768)
LOCALE = os.environ.get("ALLOT_DESKTOP_LOCALE", "de_DE.UTF-8")
# Per locale: zero as the list shows it, a thousand written with the locale's grouping (refused,
# never read as 1), and an amount typed with a decimal comma as recorded.
AMOUNTS = {
    "de_DE.UTF-8": {"zero": "0,00", "grouped": "1.000", "typed": "1234,5", "recorded": "1.234,50"},
    "en_US.UTF-8": {"zero": "0.00", "grouped": "1,000", "typed": "1234,5", "recorded": "1,234.50"},
}[LOCALE]


def wait_until(condition, seconds=20, what="the condition"):
    """Polls condition, letting AT-SPI deliver its events in between."""
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find(node, role, name=None):
    """The first showing node below node with the role (and the name), depth first."""
    for child in node:
        if child is None or not showing(child):
            continue
        if child.getRoleName() == role and (name is None or child.name == name):
            return child
        found = find(child, role, name)
        if found is not None:
            return found
    return None


class DesktopSession(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory(prefix="allot-desktop-test.")
        home = self.folder.name
        runtime = os.path.join(home, "runtime")
        os.mkdir(runtime, 0o700)
        self.processes = []
        # Cleanups run even when setUp fails part way, unlike tearDown.
        self.addCleanup(self.stop_everything)
        # Xvfb takes the first free display and names it on the pipe once it is ready.
        ready, told = os.pipe()
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(told), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
             "-nolisten", "tcp"], pass_fds=(told,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL))
        os.close(told)
        with os.fdopen(ready) as display:
            number = display.readline().strip()
        self.assertTrue(number, "Xvfb did not start")
        os.environ["DISPLAY"] = ":" + number
        # The accessibility bus must be there before the program looks for it.
        subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                        "/org/a11y/bus", "org.a11y.Bus.GetAddress"], check=True,
                       capture_output=True)
        # Allot asks at its start whether a window manager frames it.
        managing = os.path.join(home, "window-manager-started")
        self.start(["openbox", "--sm-disable", "--startup", f"touch {managing}"])
        wait_until(lambda: os.path.exists(managing), what="the window manager")
        self.focus_events = []
        pyatspi.Registry.registerEventListener(self.focus_moved, "object:state-changed:focused")
        environment = dict(os.environ, HOME=home, XDG_DATA_HOME=home, XDG_RUNTIME_DIR=runtime,
                           XDG_CONFIG_HOME=os.environ["ALLOT_DARK_CONFIG"],
                           QT_QPA_PLATFORMTHEME="qt6ct", QT_QPA_PLATFORM="xcb",
                           LANG=LOCALE, LC_ALL=LOCALE,
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.store = os.path.join(home, "allot", "defaults.sqlite3")
        self.allot = self.start([PROGRAM], env=environment)
        self.app = wait_until(self.application, what="Allot on the accessibility bus")
        self.frame = wait_until(lambda: find(self.app, "frame"), what="Allot's window")

    def tearDown(self):
        pyatspi.Registry.deregisterEventListener(self.focus_moved, "object:state-changed:focused")

    def stop_everything(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.kill()
            process.wait()
        self.folder.cleanup()

    def start(self, command, env=None):
        process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def focus_moved(self, event):
        if event.detail1:
            self.focus_events.append((event.source.getRoleName(), event.source.name))

    @staticmethod
    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Allot":
                return app
        return None

    def press(self, key, then_focused=None):
        """Presses key; with then_focused, waits until the focus event names it."""
        self.focus_events.clear()
        subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True)
        if then_focused is not None:
            wait_until(lambda: then_focused in self.focus_events,
                       what=f"the focus on {then_focused} after {key} ({self.focus_events})")

    def test_keys_alone_with_a_screen_reader(self):
        extents = self.frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.assertGreaterEqual(min(extents.x, extents.y), 0)
        self.assertLessEqual(extents.x + extents.width, SCREEN[0])
        self.assertLessEqual(extents.y + extents.height, SCREEN[1])
        self.assertIsNotNone(find(self.frame, "label", f"Total: {AMOUNTS['zero']}"))

        subprocess.run(["xdotool", "search", "--sync", "--name", "^Allot$", "windowactivate",
                        "--sync"], check=True, capture_output=True)
        self.press("ctrl+n", then_focused=("text", "Envelope name"))
        subprocess.run(["xdotool", "type", "--delay", "30", "Miete"], check=True)
        self.press("Return")
        wait_until(lambda: find(self.frame, "label", "Added the envelope “\u2068Miete\u2069”."),
                   what="the notice of the added envelope")
        row = ("list item", f"Miete, balance {AMOUNTS['zero']}")
        self.press("Escape", then_focused=row)

        self.press("shift+F10", then_focused=("push button", "Delete"))
        listed = find(self.frame, "list item", row[1])
        self.assertEqual([action.name for action in listed],
                         ["Delete", "Edit Details", "Reset Balance"])

        self.press("Return", then_focused=("push button", "Cancel"))
        dialog = find(self.frame, "dialog", "Confirm Delete")
        self.assertIsNotNone(dialog)
        self.press("Escape", then_focused=row)
        self.assertIsNone(find(self.frame, "dialog"))

        self.press("Return", then_focused=("text", "Amount"))
        for typed, said in ((AMOUNTS["grouped"], "Please enter a valid number."),
                            (AMOUNTS["typed"], f"Transaction of {AMOUNTS['recorded']} recorded.")):
            subprocess.run(["xdotool", "type", "--delay", "30", typed], check=True)
            self.press("Tab")
            self.press("Tab", then_focused=("push button", "Add"))
            self.press("Return")
            wait_until(lambda: find(self.frame, "label", said), what=f"{said!r} after {typed}")
            self.press("shift+Tab")
            self.press("shift+Tab", then_focused=("text", "Amount"))

        self.press("ctrl+q")
        self.assertEqual(self.allot.wait(timeout=20), 0)
        with open(self.store, "rb") as store:
            self.assertIn(b"Miete", store.read())


if __name__ == "__main__":
    unittest.main()
