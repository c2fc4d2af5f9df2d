#!/usr/bin/env python3
"""A pupil at the real program with the X mouse and keyboard only:

1. drops a product on an empty stage, closes its property dialog with Enter and presses
   Ctrl+S at once: the save dialog opens and the machine is saved;
2. opens a machine, deletes its button (which has a program and is named by the coin slot's
   program), presses Ctrl+Z, saves: the simulator then sells a product with that machine.

Run under an X server of its own (xvfb-run -a). Arguments: the folder of the built programs
(jihankobo, jihankobo-sim) and the folder of the helper blockeditor_e2e_machine. With
--shots DIR, a screenshot of every step is kept there.
"""
import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from xdesktop import Desktop, arguments, start_program, stop_program, through_start_windows  # noqa: E402

# Without a window manager every top-level window opens at the screen's top-left corner; the
# positions below are the main window's own layout (the menu bar is 20 pixels high).
STAGE = (136, 20)
PRODUCT_PALETTE = (34, 68)
DELETE_BUTTON = (62, 376)
BUTTON_PART = (120, 220, 43, 19)  # left, top, width, height on the stage, as the helper places it


def save_as(d, path):
    """Ctrl+S, then the file name typed into the save dialog."""
    d.keys("ctrl+s")
    d.save_in_dialog(path, timeout=5)


def to_main_window(d, with_file=False):
    if with_file:                  # a machine file opens straight to its main window
        d.window("ジハン・コウボウ")
        time.sleep(2.0)
        return
    through_start_windows(d, 3)


def simulate(app_dir, machine, script):
    sim = subprocess.run([os.path.join(app_dir, "jihankobo-sim"), "--app-dir", app_dir, machine],
                         input=script, capture_output=True, text=True)
    if sim.returncode != 0:
        raise RuntimeError(f"simulator failed on {machine}: {sim.stderr}")
    lines = sim.stdout.splitlines()
    return [json.loads(l.split("\t", 1)[1]) for l in lines if l.startswith("state\t")]


def main():
    args = arguments().parse_args()
    work = tempfile.mkdtemp(prefix="jhk-undo-e2e-")
    d = Desktop(args.shots, numbered="undo")
    checks = []

    # 1. Ctrl+S right after the first part is placed.
    first = os.path.join(work, "first.jhk")
    program = start_program(args.app_dir, work)
    try:
        to_main_window(d)
        d.drag(PRODUCT_PALETTE, (STAGE[0] + 200, STAGE[1] + 200), 1.0)
        d.window("プロパティの設定")
        d.keys("Return")           # "決定"
        save_as(d, first)
    finally:
        stop_program(program)
    saved = simulate(args.app_dir, first, "state\n")[0]
    checks.append(("Ctrl+S saved the part just placed", saved["parts_count"] == 1))

    # 2. Delete a part with a program, Ctrl+Z, and it still sells.
    machine = os.path.join(work, "machine.jhk")
    deleted = os.path.join(work, "deleted.jhk")
    restored = os.path.join(work, "restored.jhk")
    subprocess.run([os.path.join(args.helper_dir, "blockeditor_e2e_machine"), "--sells", machine], check=True)
    program = start_program(args.app_dir, work, machine)
    try:
        to_main_window(d, with_file=True)
        left, top, width, height = BUTTON_PART
        d.click((STAGE[0] + left + width // 2, STAGE[1] + top + height // 2))
        d.click(DELETE_BUTTON)
        save_as(d, deleted)
        d.keys("ctrl+z")
        save_as(d, restored)
    finally:
        stop_program(program)

    gone = simulate(args.app_dir, deleted, "state\n")[0]
    checks.append(("the button was deleted", gone["parts_count"] == 4
                   and all(p["slot"] != 0 for p in gone["parts"])))
    buy = "run\ncoin 100\ncoin 10\ncoin 10\nstate\ntouch 0\nstate\n"
    lit, sold = simulate(args.app_dir, restored, buy)
    button = {p["slot"]: p for p in lit["parts"]}.get(0)
    checks.append(("Ctrl+Z brought the button back in its slot with its program",
                   button is not None and button["block_count"] == 1 and button["first_block"] == 0))
    checks.append(("the coin slot's program lights the restored button", button is not None and button["a"] == 1))
    checks.append(("the restored button sells a product", sold["discharged"] == 1))

    failed = [name for name, ok in checks if not ok]
    for name, ok in checks:
        print("ok  " if ok else "FAIL", name)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
