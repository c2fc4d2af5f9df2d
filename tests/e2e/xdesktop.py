"""The X desktop as the end-to-end tests use it: real mouse moves, clicks, drags and key presses
sent with xdotool, windows found by their titles, screenshots taken with ImageMagick's import.

The tests start no X server themselves: they run under one of their own (xvfb-run). Without a
window manager every top-level window opens at the screen's top-left corner, so a test may name
screen positions from the windows' own layouts.

A script puts this folder on its module path from its own place in the tests:

    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
"""
import argparse
import ctypes
import os
import subprocess
import sys
import time


def arguments(helper=True):
    """The command line every end-to-end script takes: the folder of the built programs, the
    folder of its helper that writes the test machine (unless `helper` is False) and, with
    --shots DIR, a folder where screenshots are kept. A script adds its own options."""
    parser = argparse.ArgumentParser()
    parser.add_argument("app_dir")
    if helper:
        parser.add_argument("helper_dir")
    parser.add_argument("--shots")
    return parser


def start_program(app_dir, work, machine=None, own_settings=False):
    """Starts the desktop program of `app_dir` (on the file `machine`, when given) with its
    runtime folder in the folder `work` unless the tests name one and, with `own_settings`,
    settings and data folders of its own there (nothing remembered from another session).
    What it writes goes to `work`/program.log: a pipe nobody reads could fill and stop it."""
    env = dict(os.environ)
    env.setdefault("XDG_RUNTIME_DIR", work)
    if own_settings:
        for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME"):
            env[name] = os.path.join(work, name.lower())
            os.makedirs(env[name], exist_ok=True)
    command = [os.path.join(app_dir, "jihankobo")] + ([machine] if machine else [])
    with open(os.path.join(work, "program.log"), "ab") as log:
        return subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT)


def stop_program(program):
    """Ends the program at once and waits for it."""
    program.kill()
    program.wait()


def report(failures):
    """Prints each failure and gives the script's exit status: 1 when there is any."""
    for f in failures:
        print("FAILED:", f, file=sys.stderr)
    return 1 if failures else 0


class Desktop:
    """Drives the X display the tests run under.

    Each action (click, drag, key presses) then waits `settle` seconds for the program to follow
    before the next one; left out, the desktop's own `pause` (None: the action returns at once).
    With `numbered`, a screenshot of the whole screen is kept after every such wait, in the folder
    `shots`, as `numbered` followed by a two-digit count. Windows are waited for `window_timeout`
    seconds unless a call says otherwise.
    """

    def __init__(self, shots=None, numbered=None, pause=0.6, window_timeout=10):
        self.shots = shots
        self.numbered = numbered
        self.pause = pause
        self.window_timeout = window_timeout
        self.count = 0

    def xdo(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], check=True)

    def settle(self, seconds=None):
        """Waits for the program to follow the last action, and keeps a numbered screenshot."""
        if seconds is None:
            seconds = self.pause
            if seconds is None:
                return
        time.sleep(seconds)
        if self.shots and self.numbered:
            self.count += 1
            subprocess.run(["import", "-window", "root",
                            os.path.join(self.shots, f"{self.numbered}{self.count:02d}.png")])

    def screenshot(self, path):
        """The whole screen into `path`."""
        subprocess.run(["import", "-window", "root", path], check=True)

    def shot(self, name):
        """Keeps a screenshot of the whole screen named `name`, when there is a shots folder."""
        if self.shots:
            self.screenshot(os.path.join(self.shots, name))

    def click(self, pos, settle=None):
        self.xdo("mousemove", int(pos[0]), int(pos[1]))
        self.xdo("click", 1)
        self.settle(settle)

    def double_click(self, pos, settle=None):
        self.xdo("mousemove", int(pos[0]), int(pos[1]))
        self.xdo("click", "--repeat", 2, "--delay", 60, 1)
        self.settle(settle)

    def drag(self, start, end, settle=None):
        """Presses the left button at `start`, moves to `end` in eight steps and lets go there."""
        self.xdo("mousemove", int(start[0]), int(start[1]))
        self.xdo("mousedown", 1)
        steps = 8
        for i in range(1, steps + 1):
            self.xdo("mousemove", int(start[0] + (end[0] - start[0]) * i / steps),
                     int(start[1] + (end[1] - start[1]) * i / steps))
            time.sleep(0.03)
        self.xdo("mouseup", 1)
        self.settle(settle)

    def keys(self, *names, settle=None):
        """Presses each key (an xdotool key name such as "Return" or "ctrl+s") in turn."""
        for name in names:
            self.xdo("key", name)
            time.sleep(0.15)
        self.settle(settle)

    def type(self, text):
        """Types `text` key by key into the window with the keyboard focus."""
        self.xdo("type", "--delay", 20, text)

    def windows(self, title, timeout=None, exact=False):
        """Ids of the visible windows whose title begins with `title` (or, with `exact`, is
        `title`), the newest last, as soon as there is one."""
        pattern = "^" + title + ("$" if exact else "")
        deadline = time.time() + (self.window_timeout if timeout is None else timeout)
        while time.time() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                                   capture_output=True, text=True).stdout.split()
            if found:
                return found
            time.sleep(0.2)
        raise RuntimeError(f"no window titled {title}")

    def window(self, title, timeout=None, exact=False):
        """Id of the newest visible window titled `title` (see `windows`), once it is there."""
        return self.windows(title, timeout, exact)[-1]

    def geometry(self, window):
        """Left, top, width and height of the window with the id `window`, on the screen."""
        out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                             capture_output=True, text=True).stdout
        values = dict(line.split("=") for line in out.split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def close_window(self, window):
        """Asks the window with the id `window` to close, as its close box or Alt+F4 does under a
        window manager: the WM_DELETE_WINDOW message of the X protocol (there is no window
        manager under Xvfb to turn the key into it)."""
        x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

        display = x11.XOpenDisplay(None)
        try:
            event = ClientMessage()
            event.type = 33  # ClientMessage
            event.window = int(window)
            event.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
            event.format = 32
            event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
            x11.XSendEvent(display, int(window), 0, 0, ctypes.byref(event))
            x11.XFlush(display)
        finally:
            x11.XCloseDisplay(display)
        self.settle()

    def corner(self, title, timeout=None):
        """Top-left corner of the visible window whose title begins with `title`, once it is there."""
        left, top, _, _ = self.geometry(self.window(title, timeout))
        return left, top

    def save_in_dialog(self, path, timeout=None):
        """Types `path` into the save dialog that the last action opens, confirms it with Return
        and waits up to five seconds for the file to be written."""
        self.window("ファイルの保存", timeout)
        self.type(path)
        self.keys("Return")
        deadline = time.time() + 5
        while not os.path.exists(path) and time.time() < deadline:
            time.sleep(0.2)
        if not os.path.exists(path):
            raise RuntimeError(f"{path} was not saved")


# The start window's level options and its start button, on the screen.
LEVEL_OPTIONS = {1: (35, 83), 2: (35, 147), 3: (35, 211)}
START_BUTTON = (300, 254)


def through_start_windows(desktop, level):
    """A program started without a file: the splash is closed with a click, the level chosen in
    the start window, and the start button pressed."""
    desktop.window("ジハン・コウボウ")
    desktop.click((200, 150))           # the splash closes on a click
    desktop.window("ジハンコウボウ")
    desktop.click(LEVEL_OPTIONS[level], 0.3)
    desktop.click(START_BUTTON, 2.0)
