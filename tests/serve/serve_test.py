#!/usr/bin/python3
"""Allot served without a display by scripts/serve-headless.sh, as the run command does: it
listens on loopback only, refuses VNC and X clients without the password or cookie and WebSocket
clients from other pages, keeps its password out of a runtime folder others may write to, stops
with a clear error on a port in use, lets a browser log in through noVNC and reach Allot, and
stops every process it started, also when it is killed. ALLOT_PROGRAM and ALLOT_SERVE name the
program and the script, ALLOT_SCREENSHOT the browser's picture.
Run: serve_test.py HeadlessServing | BrowserSession"""
import os
import re
import signal
import socket
import sqlite3
import stat
import struct
import subprocess
import tempfile
import time
import unittest

PROGRAM = os.environ["ALLOT_PROGRAM"]
SERVE = os.environ["ALLOT_SERVE"]


def wait_until(condition, seconds=30, what="the condition"):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.1)
    raise AssertionError(f"timed out waiting for {what}")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Serving:
    """One run of the serving script on a scratch data folder, which also marks its processes."""

    def __init__(self, vnc_port=None, runtime_mode=0o700):
        self.folder = tempfile.TemporaryDirectory(prefix="allot-serve-test.")
        self.home = self.folder.name
        self.runtime, self.temporary = (os.path.join(self.home, n) for n in ("runtime", "tmp"))
        for folder, mode in ((self.runtime, runtime_mode), (self.temporary, 0o700)):
            os.mkdir(folder)
            os.chmod(folder, mode)
        # What a run killed with its watcher leaves: a folder naming a script that has ended.
        left = os.path.join(self.runtime if runtime_mode == 0o700 else self.temporary,
                            "allot-serve.left")
        os.mkdir(left, 0o700)
        with open(os.path.join(left, "script-pid"), "w") as left:
            ended = subprocess.Popen(["true"])
            ended.wait()
            left.write(f"{ended.pid}\n")
        self.vnc_port, self.web_port = vnc_port or free_port(), free_port()
        environment = dict(os.environ, HOME=self.home, XDG_DATA_HOME=self.home,
                           XDG_RUNTIME_DIR=self.runtime, TMPDIR=self.temporary,
                           ALLOT_VNC_PORT=str(self.vnc_port), ALLOT_WEB_PORT=str(self.web_port))
        with open(os.path.join(self.home, "errors"), "w") as errors:
            self.process = subprocess.Popen(["bash", SERVE, PROGRAM], env=environment, text=True,
                                            stdout=subprocess.PIPE, stderr=errors)
        self.output = ""
        for line in self.process.stdout:  # ends at "Stop with", or when the script fails
            self.output += line
            if line.startswith("Stop with"):
                break
        self.password = re.search(r"Password: +(\S+)", self.output)
        self.url = re.search(r"(http://\S+)", self.output)

    def processes(self):
        """The processes started with this run's data folder: pid to command name."""
        marker = f"XDG_DATA_HOME={self.home}\0".encode()
        found = {}
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as environ:
                    if marker in environ.read():
                        with open(f"/proc/{pid}/comm") as comm:
                            found[int(pid)] = comm.read().strip()
            except OSError:
                pass
        return found

    def program_saves_on_sigterm(self):
        """Whether Allot is far enough in its start to catch SIGTERM, and so to save on it."""
        for pid in (pid for pid, name in self.processes().items() if name == "allot"):
            with open(f"/proc/{pid}/status") as status:
                caught = re.search(r"^SigCgt:\s*(\w+)", status.read(), re.M).group(1)
            return bool(int(caught, 16) & 1 << (signal.SIGTERM - 1))
        return False

    def state_folders(self):
        """The script's folders for the password and the cookie."""
        return [os.path.join(parent, name) for parent in (self.runtime, self.temporary)
                for name in os.listdir(parent) if name.startswith("allot-serve.")]

    def ports_open(self):
        ports = f"sport = :{self.vnc_port} or sport = :{self.web_port}"
        return subprocess.run(["ss", "-Hltn", ports], capture_output=True, text=True).stdout.strip()

    def upgrade_status(self, origin):
        """The HTTP status with which websockify answers a WebSocket upgrade from origin."""
        with socket.create_connection(("127.0.0.1", self.web_port), timeout=10) as client:
            client.sendall(f"GET / HTTP/1.1\r\nHost: 127.0.0.1:{self.web_port}\r\n"
                           "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                           "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                           f"Sec-WebSocket-Version: 13\r\nOrigin: {origin}\r\n\r\n".encode())
            return int(client.makefile("rb").readline().split()[1])

    def errors(self):
        with open(os.path.join(self.home, "errors")) as errors:
            return errors.read()

    def stop(self):
        """SIGTERM to the script, as when its terminal goes; its exit status."""
        self.process.send_signal(signal.SIGTERM)
        return self.process.wait(timeout=60)

    def store_holds(self, text):
        """Whether some value in the store holds text as a CBOR text string."""
        encoded = text.encode()
        wanted = bytes([0x60 + len(encoded)]) + encoded
        store = sqlite3.connect(os.path.join(self.home, "allot", "defaults.sqlite3"))
        tables = [row[0] for row in store.execute("SELECT name FROM sqlite_schema WHERE type = 'table'")]
        return any(isinstance(value, bytes) and wanted in value
                   for table in tables for row in store.execute(f'SELECT * FROM "{table}"')
                   for value in row)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()
        for pid in self.processes():
            os.kill(pid, signal.SIGKILL)
        self.folder.cleanup()


class HeadlessServing(unittest.TestCase):
    def test_serves_to_loopback_only_with_a_password_and_stops_everything(self):
        serving = Serving()
        self.addCleanup(serving.close)
        self.assertTrue(serving.password, serving.output + serving.errors())
        ours = serving.processes()
        self.assertLessEqual({"Xvnc", "websockify", "allot"}, set(ours.values()))
        self.assertEqual([os.path.dirname(f) for f in serving.state_folders()], [serving.runtime])

        listening = subprocess.run(["ss", "-Hltunp"], capture_output=True, text=True).stdout
        addresses = [line.split()[4] for line in listening.splitlines()
                     if any(f"pid={pid}," in line for pid in ours)]
        self.assertIn(f"127.0.0.1:{serving.vnc_port}", addresses)
        self.assertIn(f"127.0.0.1:{serving.web_port}", addresses)
        for address in addresses:
            self.assertRegex(address, r"^(127\.0\.0\.1|\[::1\]):\d+$")

        # A VNC client offered no way in without the password, and refused with a wrong one.
        with socket.create_connection(("127.0.0.1", serving.vnc_port), timeout=10) as vnc:
            self.assertTrue(vnc.recv(12).startswith(b"RFB 003."))
            vnc.sendall(b"RFB 003.008\n")
            count = vnc.recv(1)[0]
            self.assertEqual(vnc.recv(count), b"\x02")  # VNC authentication, and nothing else
            vnc.sendall(b"\x02")
            vnc.recv(16)  # the challenge
            vnc.sendall(bytes(16))
            self.assertNotEqual(struct.unpack(">I", vnc.recv(4))[0], 0)

        # An X client without the cookie is refused by the display.
        sockets = subprocess.run(["ss", "-Hlxp"], capture_output=True, text=True).stdout
        x_socket = next(line.split()[4] for line in sockets.splitlines()
                        if "Xvnc" in line and line.split()[4].startswith("/tmp/.X11-unix/"))
        with socket.socket(socket.AF_UNIX) as x_client:
            x_client.settimeout(10)
            x_client.connect(x_socket)
            x_client.sendall(b"l\0" + struct.pack("<HHHH", 11, 0, 0, 0) + b"\0\0")
            self.assertEqual(x_client.recv(1), b"\0")  # Failed

        # websockify carries the VNC connection for the page it serves alone, not for other sites.
        for host in ("127.0.0.1", "localhost"):
            self.assertEqual(serving.upgrade_status(f"http://{host}:{serving.web_port}"), 101)
        self.assertEqual(serving.upgrade_status("http://example.com"), 403)

        self.assertEqual(serving.stop(), 0, serving.errors())
        self.assertEqual(serving.processes(), {})
        self.assertEqual(serving.state_folders(), [])
        self.assertTrue(os.path.exists(os.path.join(serving.home, "allot", "defaults.sqlite3")))

    def test_avoids_a_runtime_folder_others_may_write_to_and_cleans_up_when_killed(self):
        for mode in (0o777, 0o1777):
            serving = Serving(runtime_mode=mode)
            self.addCleanup(serving.close)
            self.assertTrue(serving.password, serving.output + serving.errors())
            [state] = serving.state_folders()  # the folder a dead run left is gone
            self.assertEqual(os.path.dirname(state), serving.temporary)
            status = os.lstat(state)
            self.assertTrue(stat.S_ISDIR(status.st_mode))
            self.assertEqual((status.st_uid, stat.S_IMODE(status.st_mode)), (os.getuid(), 0o700))

            wait_until(serving.program_saves_on_sigterm, what="Allot to start")
            serving.process.kill()
            serving.process.wait()
            wait_until(lambda: not (serving.processes() or serving.ports_open()
                                    or serving.state_folders()), seconds=20,
                       what="the killed script's processes, ports and folder to go")
            self.assertTrue(os.path.exists(os.path.join(serving.home, "allot", "defaults.sqlite3")))

    def test_a_port_in_use_is_a_clear_error(self):
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen()
            serving = Serving(vnc_port=taken.getsockname()[1])
            self.addCleanup(serving.close)
            self.assertEqual(serving.process.wait(timeout=30), 1)
            self.assertIn(f"port {serving.vnc_port} is already in use", serving.errors())
            self.assertEqual(serving.processes(), {})


class BrowserSession(unittest.TestCase):
    def test_logs_in_through_novnc_and_clicks_and_keys_reach_allot(self):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        from selenium.webdriver.common.action_chains import ActionChains
        from selenium.webdriver.common.by import By

        serving = Serving()
        self.addCleanup(serving.close)
        self.assertTrue(serving.url, serving.output + serving.errors())
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("headless", "no-sandbox", "disable-gpu", "disable-quic", "no-first-run",
                         "disable-background-networking", "disable-component-update",
                         "disable-sync", "window-size=640,960", f"user-data-dir={serving.home}/b"):
            options.add_argument("--" + argument)
        browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.addCleanup(browser.quit)
        picture = os.environ.get("ALLOT_SCREENSHOT", "browser-session.png")
        if os.path.exists(picture):  # after a failure, the picture shows the screen then
            os.remove(picture)
        self.addCleanup(lambda: os.path.exists(picture) or browser.save_screenshot(picture))

        browser.get(serving.url.group(1))
        field = wait_until(lambda: [f for f in browser.find_elements(By.ID, "noVNC_password_input")
                                    if f.is_displayed()], what="the password prompt")[0]
        field.send_keys(serving.password.group(1))
        browser.find_element(By.ID, "noVNC_credentials_button").click()
        wait_until(lambda: "noVNC_connected" in browser.find_element(By.TAG_NAME, "html")
                   .get_attribute("class"), what="noVNC to connect")
        canvas = browser.find_element(By.CSS_SELECTOR, "#noVNC_container canvas")

        def pixel(x, y):  # red, green, blue of the window at (x, y)
            return browser.execute_script(
                "return Array.from(arguments[0].getContext('2d')"
                ".getImageData(arguments[1], arguments[2], 1, 1).data).slice(0, 3)", canvas, x, y)

        def colour(x, y):  # "green" or "blue" where that channel stands out, else None
            rgb = pixel(x, y)
            return {1: "green", 2: "blue"}.get(rgb.index(max(rgb))) \
                if max(rgb) > sorted(rgb)[1] + 60 else None

        def tap(x, y):  # window coordinates, as the canvas shows them, once nothing covers it
            width, height, scale = browser.execute_script(
                "const c = arguments[0], r = c.getBoundingClientRect();"
                "return [c.width, c.height, r.width / c.width]", canvas)
            wait_until(lambda: browser.execute_script(
                "const c = arguments[0], r = c.getBoundingClientRect();"
                "return document.elementFromPoint(r.left + arguments[1] * arguments[3],"
                " r.top + arguments[2] * arguments[3]) === c", canvas, x, y, scale),
                what="the page to uncover the window")
            ActionChains(browser).move_to_element_with_offset(
                canvas, (x - width / 2) * scale, (y - height / 2) * scale).click().perform()

        def offer_shown():  # the notice's pale yellow above the screen, offering to undo
            red, _, blue = pixel(5, 70)
            return red > 200 and blue < 225

        wait_until(lambda: min(pixel(5, 5)) > 200, what="Allot's window")
        tap(365, 28)  # +
        wait_until(lambda: colour(195, 238) == "green", what="the envelope editor")
        for name, swatch in (("Groceries", (195, 166)), ("Rent", (261, 166))):
            tap(195, 92)
            ActionChains(browser).send_keys(name).perform()
            tap(*swatch)
            tap(195, 238)  # Add Envelope
            wait_until(offer_shown, what="the offer to undo the add")
            tap(354, 90)  # closes it, and the editor moves back up
            wait_until(lambda: not offer_shown(), what="the offer to go")
        tap(40, 28)  # back to the list
        wait_until(lambda: (colour(22, 88), colour(22, 152)) == ("green", "blue"),
                   what="the list with both envelopes")
        browser.save_screenshot(picture)

        self.assertEqual(serving.stop(), 0, serving.errors())
        self.assertTrue(serving.store_holds("Rent") and serving.store_holds("Groceries"))


if __name__ == "__main__":
    unittest.main()
