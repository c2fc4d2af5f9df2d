#!/usr/bin/env python3
"""The run view never hides the machine: on a school laptop's screen (1366 × 768) and on a
large one, under a window manager (openbox), the run view "実行のようす" opens from its button
during a run beside the main window, compact where the screen has no room for its full size,
and stays above the main window when the pupil clicks the machine's button, even where the
main window has been moved under it.

Run under an X server of its own (xvfb-run -a -s "-screen 0 WxHx24"). Arguments: the folder of
the built programs, the folder of the helper runview_e2e_machine, --screen W H; with
--shots DIR, screenshots of the steps are kept there.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from xdesktop import Desktop, arguments, report, start_program, stop_program  # noqa: E402

# Positions inside the main window's client area (its menu bar is 18 pixels high).
MENU_BAR = 18
RUN = (620, MENU_BAR + 68)
RUN_VIEW_BUTTON = (60, MENU_BAR + 496)
BUTTON = (136 + 55 + 21, MENU_BAR + 120 + 9)  # the machine's button on the stage


def stacking():
    """Ids of the managed windows, bottom first, as the window manager stacks them."""
    out = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], capture_output=True, text=True).stdout
    return [int(w, 16) for w in out.split("#", 1)[1].replace(",", " ").split()] if "#" in out else []


def click_in(desk, window, pos, settle=0.6):
    desk.xdo("mousemove", "--window", window, pos[0], pos[1])
    desk.xdo("click", 1)
    time.sleep(settle)


def main():
    parser = arguments()
    parser.add_argument("--screen", nargs=2, type=int, required=True)
    args = parser.parse_args()
    screen_w, screen_h = args.screen
    compact_expected = screen_w < 1600

    work = tempfile.mkdtemp(prefix="jhk-runview-screens-")
    machine = os.path.join(work, "machine.jhk")
    subprocess.run([os.path.join(args.helper_dir, "runview_e2e_machine"), machine], check=True)
    wm = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.0)
    # Settings and recovery copies of its own: nothing remembered, nothing left behind.
    program = start_program(args.app_dir, work, machine, own_settings=True)
    desk = Desktop(args.shots, pause=None)
    failures = []
    try:
        main_win = desk.window("ジハン・コウボウ")
        time.sleep(2.0)
        click_in(desk, main_win, RUN, 0.5)
        click_in(desk, main_win, RUN_VIEW_BUTTON, 1.5)
        view = desk.window("実行のようす")
        mx, my, mw, mh = desk.geometry(main_win)
        vx, vy, vw, vh = desk.geometry(view)
        print(f"screen {screen_w}x{screen_h}: main {mx},{my} {mw}x{mh}; run view {vx},{vy} {vw}x{vh}")
        desk.shot(f"runview-{screen_w}-opened.png")
        if vx + vw > screen_w or vy + vh > screen_h or vx < 0 or vy < 0:
            failures.append("the run view leaves the screen")
        if compact_expected and (vw > 580 or vh > 560):
            failures.append(f"not compact on a {screen_w}-pixel screen: {vw}x{vh}")
        if not compact_expected and (vw < 780 or vx < mx + mw):
            failures.append("not full size beside the main window on a large screen")

        # The pupil presses the machine's button while the run view shows: it stays on top.
        click_in(desk, main_win, BUTTON, 1.0)
        desk.shot(f"runview-{screen_w}-button-pressed.png")
        order = stacking()
        if int(view) in order and int(main_win) in order and order.index(int(view)) < order.index(int(main_win)):
            failures.append("a click on the machine brought the main window over the run view")

        # The main window moved under the run view: a click on the machine still leaves the
        # run view above it.
        desk.xdo("windowmove", main_win, max(0, vx - 300), vy)
        time.sleep(0.8)
        click_in(desk, main_win, BUTTON, 1.0)
        click_in(desk, main_win, (400, 300), 1.0)
        desk.shot(f"runview-{screen_w}-main-moved-under.png")
        order = stacking()
        if int(view) in order and int(main_win) in order and order.index(int(view)) < order.index(int(main_win)):
            failures.append("the main window, moved under the run view, came over it on a click")
    finally:
        stop_program(program)
        wm.kill()
        wm.wait()
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
