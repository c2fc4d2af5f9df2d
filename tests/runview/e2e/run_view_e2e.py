#!/usr/bin/env python3
"""A pupil watches the machine think: with the X mouse in the real program, the run view
"実行のようす" is opened from its button, a drink is bought at normal speed and again at the
slowest speed, a slow run is stopped with "停止", and the machine is saved; the simulator then
reads the saved machine to check what the runs did.

Run under an X server of its own with a screen wide enough for both windows
(xvfb-run -a -s "-screen 0 1600x900x24"). Arguments: the folder of the built programs
(jihankobo, jihankobo-sim) and the folder of the helper runview_e2e_machine. With --shots DIR,
screenshots of the steps are kept there.
"""
import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from xdesktop import Desktop, arguments, report, start_program, stop_program  # noqa: E402

# Screen positions (pixels). Without a window manager every top-level window opens at the
# screen's top-left corner, and the main window's client area starts below its 18-pixel menu bar.
MENU_BAR = 18
STAGE = (136, MENU_BAR)
RUN = (620, MENU_BAR + 68)
STOP = (720, MENU_BAR + 68)
RUN_VIEW_BUTTON = (60, MENU_BAR + 496)
FILE_MENU = (31, 8)
# The radio buttons of the run view's speed control, from the run view's top-left corner.
SPEED_NORMAL = (440, 49)
SPEED_SLOWEST = (632, 49)

# Parts of the machine as the helper places them: left, top, width, height in stage pixels.
BUTTON = (55, 120, 43, 19)
COIN_SLOT = (300, 150, 30, 30)


def stage_point(part):
    left, top, width, height = part
    return (STAGE[0] + left + width // 2, STAGE[1] + top + height // 2)


def coin(d):
    """Centre of the wallet's coin picture of denomination d (0..4: 1000 … 10 yen)."""
    return (STAGE[0] + 25, STAGE[1] + 40 * d + 315)


def insert(desk, denominations):
    """Drags one coin of each denomination index (0..4: 1000 … 10 yen) into the coin slot.
    The wallet starts with 1000 × 2, 500, 100, 50 × 2 and 10 × 5."""
    slot = (STAGE[0] + COIN_SLOT[0] + 20, STAGE[1] + COIN_SLOT[1] + 20)
    for d in denominations:
        desk.drag(coin(d), slot, 0.4)


def wait_for(path, timeout=5.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if os.path.exists(path):
            return True
        time.sleep(0.1)
    return False


def main():
    args = arguments().parse_args()

    work = tempfile.mkdtemp(prefix="jhk-runview-")
    machine = os.path.join(work, "machine.jhk")
    saved = os.path.join(work, "after.jhk")
    subprocess.run([os.path.join(args.helper_dir, "runview_e2e_machine"), machine], check=True)

    # What the run view remembers stays in the work folder.
    program = start_program(args.app_dir, work, machine, own_settings=True)
    desk = Desktop(args.shots, pause=None)
    figures = {}
    try:
        desk.window("ジハン・コウボウ")          # a machine file opens straight to its main window
        time.sleep(2.0)

        desk.click(RUN, 0.5)                    # 実行, then the run view from its button
        desk.click(RUN_VIEW_BUTTON, 1.0)
        view = desk.corner("実行のようす")
        if view[0] < 700:
            raise RuntimeError(f"the run view opened over the main window at {view}")

        normal = (view[0] + SPEED_NORMAL[0], view[1] + SPEED_NORMAL[1])
        slowest = (view[0] + SPEED_SLOWEST[0], view[1] + SPEED_SLOWEST[1])

        # A purchase at normal speed: 100 + 10 + 10 yen, the lit button.
        desk.click(normal, 0.4)
        insert(desk, (2, 4, 4))
        desk.shot("runview-coins-in.png")
        desk.click(stage_point(BUTTON), 0.1)
        desk.shot("runview-normal-bought.png")
        time.sleep(1.5)

        # A second purchase whose button program runs at the slowest speed: each block stays
        # in view for a second.
        insert(desk, (3, 3, 4, 4))
        desk.click(slowest, 0.4)
        begun = time.time()
        desk.click(stage_point(BUTTON), 0.0)
        time.sleep(1.4)
        desk.shot("runview-slow-highlight.png")
        time.sleep(1.2)
        desk.shot("runview-slow-value-changed.png")
        time.sleep(6.0)
        figures["slow purchase seconds"] = round(time.time() - begun, 1)
        desk.shot("runview-slow-done.png")

        # A third, with a 500-yen coin, stopped with 停止 while its first blocks run slowly:
        # the stock stays as it was, and the machine is back in editing at once (saving works).
        desk.click(normal, 0.4)
        insert(desk, (1,))
        desk.click(slowest, 0.4)
        desk.click(stage_point(BUTTON), 0.0)
        time.sleep(1.2)
        stop_clicked = time.time()
        desk.click(STOP, 0.0)
        time.sleep(0.3)
        desk.shot("runview-stopped.png")
        # The save entry works only in editing: chosen right after 停止 (the figure printed is
        # this script's own pace), it opens the save dialog only if the slow run has ended.
        desk.click(FILE_MENU, 0.4)
        desk.keys("Down", "Down", "Return")
        figures["stop to save command seconds"] = round(time.time() - stop_clicked, 1)
        desk.window("ファイルの保存", timeout=15)
        desk.type(saved)
        desk.keys("Return")
        if not wait_for(saved):
            raise RuntimeError("the machine was not saved after 停止")
    finally:
        stop_program(program)

    sim = subprocess.run([os.path.join(args.app_dir, "jihankobo-sim"), "--app-dir", args.app_dir, saved],
                         input="state\n", capture_output=True, text=True)
    if sim.returncode != 0:
        print(sim.stderr, file=sys.stderr)
        return 1
    state = json.loads(next(l for l in sim.stdout.splitlines() if l.startswith("state\t")).split("\t", 1)[1])
    parts = {p["slot"]: p for p in state["parts"]}
    print(json.dumps(figures, ensure_ascii=False))
    checks = [
        ("two drinks sold, the stopped third never took stock", parts[0]["b"] == 3),
    ]
    return report([name for name, ok in checks if not ok])


if __name__ == "__main__":
    sys.exit(main())
