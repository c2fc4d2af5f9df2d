#!/usr/bin/env python3
"""The level-1 machine of the page's building test, built by the same steps in the real desktop
program with the X mouse and keyboard: レベル１ and the first background in the start window, the
product (price 120, stock 5), the button, the coin slot, the amount display, the product outlet
and the change lever dragged from the palette to the same stage points, each property dialog
closed with "決定", then saved with Ctrl+S. The page's test compares its own file with this one.

Run under an X server of its own (xvfb-run -a). Arguments: the folder of the built programs and
the file to save to; with --shots DIR a screenshot of every step is kept there.
"""
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from xdesktop import Desktop, arguments, start_program, stop_program, through_start_windows  # noqa: E402

# Without a window manager every top-level window opens at the screen's top-left corner; the
# positions are the windows' own layouts (the main window's menu bar is 20 pixels high).
STAGE = (136, 20)

# What the page's building test does, in the same order: palette button, stage point, values.
STEPS = [
    (0, (40, 150), ["120", "5"]),  # product
    (1, (40, 240), []),            # button
    (2, (300, 150), []),           # coin slot
    (3, (250, 60), []),            # amount display
    (6, (120, 380), []),           # product outlet
    (7, (300, 260), []),           # change lever
]


def palette_button(kind):
    """The centre of palette button `kind` on the screen."""
    return (6 + 57 * (kind % 2) + 28, 20 + 16 + 64 * (kind // 2) + 32)


def main():
    parser = arguments(helper=False)
    parser.add_argument("saved")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="jhk-desktop-level1-")
    d = Desktop(args.shots, numbered="level1")
    saved = os.path.abspath(args.saved)
    if os.path.exists(saved):
        os.remove(saved)
    program = start_program(args.app_dir, work, own_settings=True)
    try:
        through_start_windows(d, 1)
        for kind, (x, y), values in STEPS:
            d.drag(palette_button(kind), (STAGE[0] + x, STAGE[1] + y), 1.0)
            d.window("プロパティの設定")
            # The dialog opens with the keyboard in its first value box; Tab goes to the next.
            for i, value in enumerate(values):
                if i:
                    d.keys("Tab")
                d.keys("ctrl+a")
                d.type(value)
            d.keys("Return", settle=0.6)  # "決定"
        d.keys("ctrl+s")
        d.save_in_dialog(saved, timeout=5)
    finally:
        stop_program(program)
    print("saved", saved)
    return 0


if __name__ == "__main__":
    sys.exit(main())
