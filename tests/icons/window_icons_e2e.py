#!/usr/bin/env python3
"""Every window of the real program carries its icon (_NET_WM_ICON, at 16 and 256 pixels among
others), as a task bar reads it: the splash and start windows without a file; with a machine
file the main window, the run view, the property dialog, the paint tool and the block editor,
each opened with the X mouse.

Run under an X server of its own (xvfb-run -a). Arguments: the folder of the built program and
the folder of the helper print_sample_machine. With --shots DIR the screenshots are kept there.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from xdesktop import Desktop, arguments, report, start_program, stop_program  # noqa: E402

MENU_HEIGHT = 19
STAGE = (136, MENU_HEIGHT)
PRODUCT = (STAGE[0] + 60 + 17, STAGE[1] + 60 + 30)   # the sample machine's product
BUTTON = (STAGE[0] + 60 + 20, STAGE[1] + 140 + 9)    # and its button
RUN_VIEW_BUTTON = (60, 514)                          # "実行のようす" under the parts
EDIT_BUTTON = (95 + 40, 198 + 12)                    # "編集" in the property dialog
SCROLL_RIGHT = (32 + 89 - 6, 168 + 8)                # its pictures' scroll bar's right arrow


def icon_sizes(window):
    """The sizes of the icons a window carries in _NET_WM_ICON, [] without any."""
    out = subprocess.run(["xprop", "-id", str(window), "-notype", "32c", "_NET_WM_ICON"],
                         capture_output=True, text=True).stdout
    if "=" not in out:
        return []
    values = [int(v) for v in out.split("=", 1)[1].replace("\n", " ").split(",") if v.strip()]
    sizes = []
    i = 0
    while i + 1 < len(values):
        width, height = values[i], values[i + 1]
        sizes.append((width, height))
        i += 2 + width * height
    return sizes


def visible_windows(pid):
    """The program's mapped top-level windows with their titles."""
    out = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name", ".*"],
                         capture_output=True, text=True).stdout.split()
    windows = {}
    for w in out:
        title = subprocess.run(["xdotool", "getwindowname", w], capture_output=True, text=True).stdout.strip()
        windows[int(w)] = title
    return windows


def main():
    args = arguments().parse_args()
    work = tempfile.mkdtemp(prefix="jhk-icons-")
    machine = os.path.join(work, "sample.jhk")
    subprocess.run([os.path.join(args.helper_dir, "print_sample_machine"), machine], check=True)
    d = Desktop(args.shots, pause=0.6, window_timeout=15)
    failures = []
    checked = set()

    def check(title, expected_title=None):
        """Every visible window of the program, after `title` opened, has its icon."""
        d.window(expected_title or title)
        time.sleep(0.8)
        d.shot(title.replace(" ", "-") + ".png")
        for window, name in visible_windows(program.pid).items():
            if window in checked or not name:
                continue
            sizes = icon_sizes(window)
            checked.add(window)
            print("%s: %s" % (name, sizes))
            if (16, 16) not in sizes or (256, 256) not in sizes:
                failures.append("the window %r (%s) carries the icons %s" % (name, title, sizes))

    program = start_program(args.app_dir, work, own_settings=True)
    try:
        check("splash", "ジハン")
        d.click((200, 100), 1.5)   # a click on the splash opens the start window
        check("start window", "ジハン")
    finally:
        stop_program(program)

    program = start_program(args.app_dir, work, machine, own_settings=True)
    try:
        check("main window", "ジハン・コウボウ")
        time.sleep(1.0)
        d.click(RUN_VIEW_BUTTON)
        check("run view", "実行のようす")
        d.xdo("mousemove", *PRODUCT)
        d.xdo("click", 3)
        time.sleep(0.6)
        d.click((PRODUCT[0] + 30, PRODUCT[1] + 10))   # "プロパティの変更...", the menu's first entry
        corner = d.corner("プロパティの設定")
        check("property dialog", "プロパティの設定")
        # "編集" shows at the last picture, the pupil's own.
        for _ in range(12):
            d.click((corner[0] + SCROLL_RIGHT[0], corner[1] + SCROLL_RIGHT[1]), 0.1)
        time.sleep(0.5)
        d.click((corner[0] + EDIT_BUTTON[0], corner[1] + EDIT_BUTTON[1]))
        check("paint tool", "ﾍﾟｲﾝﾄﾂｰﾙ")
        d.close_window(d.window("ﾍﾟｲﾝﾄﾂｰﾙ"))
        time.sleep(1.0)
        d.double_click(BUTTON, 1.0)
        check("block editor", "ジハンコウボウ")
        if len(checked) < 7:
            failures.append("only %d windows were found" % len(checked))
    finally:
        stop_program(program)
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
