#!/usr/bin/env python3
"""A pupil builds a button's program with the X mouse in the real program, saves the machine,
and the simulator buys a product with it.

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
from xdesktop import Desktop, arguments, report, start_program, stop_program  # noqa: E402

# Screen positions (pixels) of the windows the run uses. Without a window manager every top-level
# window opens at the screen's top-left corner; the positions below are the windows' own layouts.
STAGE = (136, 20)                 # the stage's top-left corner in the main window
CANVAS = (208, 15)                # the flowchart canvas in the block editor
CELL_W, CELL_H = 1323 / 15, 551 / 15
PALETTE_ROW0 = (60, 54)           # first entry of the "自販機１" list
PALETTE_ROW_H = 18
ORDER_PICK = [(47, 286), (135, 286)]  # the two "指定" buttons of "実行順序"
EDITOR_OK = (634, 449)
FILE_MENU = (31, 8)

DISCHARGE, LAMP_OFF, SUBTRACT, BRANCH = 0, 2, 4, 8


def cell_drop_point(column, row):
    return (CANVAS[0] + column * CELL_W + 40, CANVAS[1] + row * CELL_H + 18)


def box_centre(column, row):
    return (CANVAS[0] + int(column * CELL_W) + 36, CANVAS[1] + int(row * CELL_H) + 12)


def stage_point(machine_part):
    left, top, width, height = machine_part
    return (STAGE[0] + left + width // 2, STAGE[1] + top + height // 2)


def main():
    parser = arguments()
    parser.add_argument("--expected", help="the program the button is to have, as JSON (button_program.json)")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="jhk-e2e-")
    machine = os.path.join(work, "machine.jhk")
    pupil = os.path.join(work, "pupil.jhk")
    subprocess.run([os.path.join(args.helper_dir, "blockeditor_e2e_machine"), machine], check=True)
    # Parts of the machine as the helper places them: left, top, width, height in stage pixels.
    button, product, outlet, counter = (120, 220, 43, 19), (60, 60, 34, 67), (110, 400, 188, 70), (240, 140, 121, 44)

    program = start_program(args.app_dir, work, machine)
    d = Desktop(args.shots, numbered="step")
    try:
        d.window("ジハン・コウボウ")                # a machine file opens straight into the main window
        time.sleep(1.0)

        d.double_click(stage_point(button), 1.0)  # the button's block editor
        d.window("ジハンコウボウ")
        palette = lambda row: (PALETTE_ROW0[0], PALETTE_ROW0[1] + PALETTE_ROW_H * row)
        d.drag(palette(BRANCH), cell_drop_point(1, 1))     # 0 条件分岐
        d.drag(palette(DISCHARGE), cell_drop_point(1, 3))  # 1 商品排出
        d.drag(palette(SUBTRACT), cell_drop_point(1, 5))   # 2 カウンター減算
        d.drag(palette(LAMP_OFF), cell_drop_point(1, 7))   # 3 購買可ランプ消灯

        # The branch: is the button's own buy lamp lit?
        d.double_click(box_centre(1, 1), 1.0)
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 137, dy + 151), 1.0)        # "指定" of the left side
        d.click(stage_point(button), 0.5)          # the pupil clicks the button on the stage ...
        d.keys("Down", "Return")                   # ... and its first variable, 購買可ランプ
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 209, dy + 176), 0.5)         # the operator list
        d.keys("Home", "Down", "Down", "Down", "Return")   # "="
        d.click((dx + 326, dy + 200), 0.5)         # the lamp state list
        d.keys("Home", "Return")                   # "点灯"
        d.click((dx + 209, dy + 274))              # ＯＫ

        # 商品排出: which product, onto which part.
        d.double_click(box_centre(1, 3), 1.0)
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 212, dy + 183), 1.0)
        d.click(stage_point(product), 1.0)
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 212, dy + 227), 1.0)
        d.click(stage_point(outlet), 1.0)
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 129, dy + 274))

        # カウンター減算: from the amount display, the product's price.
        d.double_click(box_centre(1, 5), 1.0)
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 212, dy + 183), 1.0)
        d.click(stage_point(counter), 1.0)
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 212, dy + 227), 1.0)
        d.click(stage_point(product), 1.0)
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 129, dy + 274))

        # 購買可ランプ消灯: the button's own lamp.
        d.double_click(box_centre(1, 7), 1.0)
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 212, dy + 183), 1.0)
        d.click(stage_point(button), 1.0)
        dx, dy = d.corner("ブロックの説明")
        d.click((dx + 129, dy + 274))

        # The execution order: start → 0; 0 成立 → 1, 不成立 → end; 1 → 2 → 3 → end.
        end_box = (CANVAS[0] + 36, CANVAS[1] + 408 + 12)
        d.double_click((CANVAS[0] + 36, CANVAS[1] + 12), 1.0)
        d.keys("Return")                            # "一番始めに動作するブロックを選択して下さい"
        d.click(box_centre(1, 1))
        links = [((1, 1), 0, box_centre(1, 3)), ((1, 1), 1, end_box), ((1, 3), 0, box_centre(1, 5)),
                 ((1, 5), 0, box_centre(1, 7)), ((1, 7), 0, end_box)]
        for source, exit_, target in links:
            d.click(box_centre(*source))
            d.click(ORDER_PICK[exit_])
            d.keys("Return")                        # "次に実行するブロックその１を選択してください"
            d.click(target)
        d.click(EDITOR_OK, 1.0)

        # Save the machine with the File menu's save command.
        d.click(FILE_MENU, 0.5)
        d.keys("Down", "Down", "Return")
        d.window("ファイルの保存")
        d.type(pupil)
        d.keys("Return")
        time.sleep(1.0)
        if not os.path.exists(pupil):
            raise RuntimeError("the machine was not saved")
    finally:
        stop_program(program)

    script = "touch 0\nrun\ntouch 0\ncoin 100\ncoin 10\ncoin 10\ntouch 0\nstate\n"
    sim = subprocess.run([os.path.join(args.app_dir, "jihankobo-sim"), "--app-dir", args.app_dir, pupil],
                         input=script, capture_output=True, text=True)
    print(sim.stdout)
    if sim.returncode != 0:
        print(sim.stderr, file=sys.stderr)
        return 1
    lines = sim.stdout.splitlines()
    state = json.loads(next(l for l in lines if l.startswith("state\t")).split("\t", 1)[1])
    parts = {p["slot"]: p for p in state["parts"]}
    checks = [
        ("one product discharged", state["discharged"] == 1),
        ("onto the outlet", state["products"] and state["products"][0]["picture"] == "dummy"),
        ("kan.wav played once", lines.count("sound\tkan.wav\tsync") == 1),
        ("the price subtracted", parts[3]["a"] == 0 and parts[3]["display"] == "0"),
        ("the buy lamp off again", parts[0]["a"] == 0 and parts[0]["picture"].lower() == "\\bg\\button_1.bmp"),
        ("the program starts at its branch", parts[0]["first_block"] == 0 and parts[0]["block_count"] == 4),
    ]
    if args.expected:
        # The very blocks and links the page's block editor test builds too.
        program = subprocess.run([os.path.join(args.helper_dir, "blockeditor_e2e_machine"), "--program", pupil, "0"],
                                 capture_output=True, text=True, check=True).stdout
        with open(args.expected, encoding="utf-8") as f:
            expected = json.load(f)
        built = json.loads(program)
        if built != expected:
            print("program:", program)
        checks.append(("the program as expected", built == expected))
    return report([name for name, ok in checks if not ok])


if __name__ == "__main__":
    sys.exit(main())
