#!/usr/bin/env python3
"""The level-1 machine of the page's building test, built by the same steps in the real desktop
program with the X mouse and keyboard: レベル１ and the first background in the start window, the
product (price 120, stock 5), the button, the coin slot, the amount display, the product outlet
and the change lever dragged from the palette to the same stage points, each property dialog
closed with "決定", then saved with Ctrl+S. Then, at ステップ３, the ready-made programs completed
in the block editor as the page's test completes them (the operands picked on the stage, the
comparisons' operators chosen), 決定, and saved with Ctrl+S into a second file. The
page's test compares its own files with these two.

Run under an X server of its own (xvfb-run -a). Arguments: the folder of the built programs, the
file to save to and the file of the completed machine; with --shots DIR a screenshot of every
step is kept there.
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


# The parts' numbers and where the pupil clicks them on the stage (inside each part's corner).
PRODUCT, BUTTON, COIN_SLOT, COUNTER, OUTLET, LEVER = range(6)
PART_POINT = [(STAGE[0] + x + 10, STAGE[1] + y + 8) for _, (x, y), _ in STEPS]

# The block editor's flowchart canvas and its 決定; the block detail dialog's buttons from its
# corner: 指定 of the first and second operand and ＯＫ of a plain block; of a comparison, 指定
# of either side, the operator list and ＯＫ.
CANVAS = (208, 15)
EDITOR_OK = (634, 449)
PLAIN_PICK = [(212, 183), (212, 227)]
PLAIN_OK = (129, 274)
BRANCH_PICK = [(137, 151), (371, 151)]
BRANCH_OPERATOR = (209, 176)
BRANCH_OK = (209, 274)
# The operator list: the current operator first, then ">", ">=", "=", "<", "<=".
OPERATOR_DOWNS = {">=": 2, "<": 4}

# What the page's test completes: per part, its blocks (the row of the box on the canvas) with
# the parts picked for their operands, and a comparison's operator (its variable A each side).
COMPLETION = [
    (BUTTON, [(3, [PRODUCT, OUTLET], None), (5, [COUNTER, PRODUCT], None), (7, [COUNTER, PRODUCT], "<")]),
    (COIN_SLOT, [(2, [COUNTER], None), (4, [COUNTER, PRODUCT], ">="), (6, [BUTTON], None)]),
    (LEVER, [(2, [COUNTER], None), (4, [BUTTON], None)]),
]


def complete(d):
    """ステップ３ from the step menu, then every program completed in the block editor."""
    d.keys("alt+s", settle=0.5)
    d.keys("Down", "Down", "Return", settle=0.6)
    for part, blocks in COMPLETION:
        d.double_click(PART_POINT[part], 1.0)
        d.window("ジハンコウボウ")
        for row, operands, operator in blocks:
            d.double_click((CANVAS[0] + 36, CANVAS[1] + int(row * 551 / 15) + 12), 1.0)
            for i, target in enumerate(operands):
                dx, dy = d.corner("ブロックの説明")
                x, y = (BRANCH_PICK if operator else PLAIN_PICK)[i]
                d.click((dx + x, dy + y), 1.0)
                d.keys("Return", settle=0.5)       # "パーツを選択してください" / "パーツを選んでください"
                d.click(PART_POINT[target], 1.0)
                if operator:
                    d.keys("Down", "Return", settle=0.8)  # its first variable, A
            dx, dy = d.corner("ブロックの説明")
            if operator:
                d.click((dx + BRANCH_OPERATOR[0], dy + BRANCH_OPERATOR[1]), 0.5)
                d.keys("Home", *["Down"] * OPERATOR_DOWNS[operator], "Return")
                d.click((dx + BRANCH_OK[0], dy + BRANCH_OK[1]), 0.6)
            else:
                d.click((dx + PLAIN_OK[0], dy + PLAIN_OK[1]), 0.6)
        d.click(EDITOR_OK, 1.0)


def palette_button(kind):
    """The centre of palette button `kind` on the screen."""
    return (6 + 57 * (kind % 2) + 28, 20 + 16 + 64 * (kind // 2) + 32)


def main():
    parser = arguments(helper=False)
    parser.add_argument("saved")
    parser.add_argument("completed")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="jhk-desktop-level1-")
    d = Desktop(args.shots, numbered="level1")
    saved = os.path.abspath(args.saved)
    completed = os.path.abspath(args.completed)
    for old in (saved, completed):
        if os.path.exists(old):
            os.remove(old)
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
        complete(d)
        # The block editor gone, the keyboard is back in the main window: Ctrl+S saves at once.
        d.keys("ctrl+s")
        d.save_in_dialog(completed, timeout=5)
    finally:
        stop_program(program)
    print("saved", saved, completed)
    return 0


if __name__ == "__main__":
    sys.exit(main())
