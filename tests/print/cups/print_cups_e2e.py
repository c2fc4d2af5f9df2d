#!/usr/bin/env python3
"""Printing through real printer queues: a private CUPS scheduler with cups-pdf queues; the
program prints a machine and a class set from the command line and from the print dialog in a
real X window, where the pupil chooses the queue with the mouse; the PDF files the queue writes
are read back. A missing queue and a queue that refuses jobs give the message and status 1.

Arguments: the folder of the built program and the folder of print_sample_machine. Run under
an X server of its own (xvfb-run -a). With --shots DIR, screenshots of the dialog steps are
kept there. Exits with 77 (skipped) when no private scheduler can run here.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from private_cups import SKIP, PrivateCups, output_folder, unavailable  # noqa: E402
from xdesktop import Desktop, arguments  # noqa: E402

FILE_MENU = (31, 8)
PRINT_ITEM = (52, 75)

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def pdf_text(path):
    return subprocess.run(["pdftotext", "-raw", path, "-"], capture_output=True, text=True).stdout


def pdf_pages(path):
    out = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    return -1


class Output:
    """The PDF files cups-pdf writes for this user: those written since the last look. A new
    scheduler numbers its jobs from 1 again, so a file may take the name of an older one."""

    def __init__(self):
        self.folder = output_folder()
        self.seen = self.stamps()

    def stamps(self):
        if not os.path.isdir(self.folder):
            return {}
        return {f: os.stat(os.path.join(self.folder, f)).st_mtime_ns for f in os.listdir(self.folder)}

    def new(self, timeout=60):
        end = time.time() + timeout
        while time.time() < end:
            now = self.stamps()
            fresh = sorted(f for f, stamp in now.items() if self.seen.get(f) != stamp)
            if fresh:
                time.sleep(0.5)  # cups-pdf may still be writing
                self.seen = self.stamps()
                return [os.path.join(self.folder, f) for f in fresh]
            time.sleep(0.3)
        return []


def command_line(cups, program, work, machine, out):
    env = dict(cups.env, QT_QPA_PLATFORM="offscreen")

    def run(*args):
        return subprocess.run([program, *args], env=env, capture_output=True, text=True)

    r = run("--print", "--printer", "jhk-pdf", machine)
    check(r.returncode == 0, f"--print to a queue succeeds ({r.returncode}: {r.stderr.strip()})")
    cups.wait_for_jobs()
    files = out.new()
    check(len(files) == 1, "the queue wrote one PDF")
    if files:
        text = pdf_text(files[0])
        check(pdf_pages(files[0]) == 1, "one page for one machine")
        for word in ("ジハンコウボウ", "sample.jhk", "No.0", "No.1", "No.5", "レベル"):
            check(word in text, f"the queued page shows {word}")

    # A class set to the default queue: three machines and a damaged one, one job.
    folder = os.path.join(work, "class")
    os.makedirs(folder)
    for name in ("b.JHK", "a.jhk", "c.Jhk"):
        shutil.copy(machine, os.path.join(folder, name))
    with open(os.path.join(folder, "d.jhk"), "wb") as f:
        f.write(b"JIHANKOBO Ver 1.broken")
    jobs_before = cups.completed("jhk-other")
    r = run("--print", folder)
    check(r.returncode == 1, f"a skipped machine makes the status 1 ({r.returncode})")
    check("d.jhk" in r.stderr, f"the damaged file is named on stderr ({r.stderr.strip()})")
    cups.wait_for_jobs()
    files = out.new()
    check(len(files) == 1 and cups.completed("jhk-other") == jobs_before + 1, "the class set is one job on the default queue")
    if files:
        check(pdf_pages(files[0]) == 3, f"the class set has three pages ({pdf_pages(files[0])})")
        text = pdf_text(files[0])
        check(text.find("a.jhk") < text.find("b.JHK") < text.find("c.Jhk") and text.find("a.jhk") >= 0,
              "the pages follow the file names")

    r = run("--print", "--printer", "no-such-queue", machine)
    check(r.returncode == 1, f"a missing queue gives status 1 ({r.returncode})")
    check("印刷できませんでした。" in r.stderr and "no-such-queue" in r.stderr, f"and says so: {r.stderr.strip()}")

    cups.run("cupsreject", "-r", "out of paper", "jhk-pdf")
    r = run("--print", "--printer", "jhk-pdf", machine)
    check(r.returncode == 1, f"a refused job gives status 1 ({r.returncode})")
    check("印刷できませんでした。" in r.stderr and "accepting" in r.stderr, f"with the queue's reason: {r.stderr.strip()}")
    cups.run("cupsaccept", "jhk-pdf")

    r = run("--print", "--copies", "0", machine)
    check(r.returncode == 2, f"a bad command line gives status 2 ({r.returncode})")


def no_default_queue(program, machine):
    """Two queues, the first paused, and no default: --print without --printer sends nothing
    and lists the queues; with --printer the job goes there, named after the file, and the
    queue and the job's number are said."""
    with PrivateCups(queues=("aaa-office", "kyoshitsu-pdf"), default=False) as cups:
        env = dict(cups.env, QT_QPA_PLATFORM="offscreen")
        out = Output()
        cups.run("cupsdisable", "aaa-office")
        r = subprocess.run([program, "--print", machine], env=env, capture_output=True, text=True)
        check(r.returncode == 2, f"no --printer and no default queue: status 2 ({r.returncode})")
        check("aaa-office" in r.stderr and "kyoshitsu-pdf" in r.stderr, f"the queues are listed: {r.stderr.strip()}")
        check(not cups.run("lpstat", "-o").stdout.strip(), "no job waits in any queue")

        r = subprocess.run([program, "--print", "--printer", "kyoshitsu-pdf", machine], env=env,
                           capture_output=True, text=True)
        check(r.returncode == 0, f"--printer kyoshitsu-pdf: status 0 ({r.returncode}: {r.stderr.strip()})")
        check("kyoshitsu-pdf" in r.stderr and "ジョブ番号" in r.stderr, f"the queue and the job are named: {r.stderr.strip()}")
        cups.wait_for_jobs()
        files = out.new()
        check(len(files) == 1 and "sample" in os.path.basename(files[0]),
              f"the job is named after the machine's file ({[os.path.basename(f) for f in files]})")


def print_support_loaded(pid):
    with open(f"/proc/{pid}/maps") as f:
        return "libQt6PrintSupport" in f.read()


def print_dialog(cups, program, work, machine, out, shots):
    env = dict(cups.env, QT_QPA_PLATFORM="xcb")
    env.setdefault("XDG_RUNTIME_DIR", work)
    app = subprocess.Popen([program, machine], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    d = Desktop(shots, numbered="print", window_timeout=15)
    try:
        d.window("ジハン・コウボウ")                # a machine file opens straight into the main window
        d.settle(1.5)
        check(not print_support_loaded(app.pid), "the started program has not loaded Qt Print Support")

        d.click(FILE_MENU, 0.5)
        d.click(PRINT_ITEM, 1.0)                # ファイル → 印刷(P)
        x, y, _, _ = d.geometry(d.window("印刷", exact=True))
        d.settle()
        d.click((x + 276, y + 28), 2.0)         # 用紙設定: the system's print dialog
        check(print_support_loaded(app.pid), "the print dialog loaded Qt Print Support")
        px, py, pw, ph = d.geometry(d.window("用紙設定", exact=True))
        d.settle()
        # The queue list is the first list of the dialog; the default queue (jhk-other) shows.
        d.click((px + PRINTER_LIST[0], py + PRINTER_LIST[1]), 1.0)
        d.click((px + PRINTER_LIST[0], py + PRINTER_LIST[1] + PRINTER_ROW), 1.0)   # jhk-pdf
        d.click((px + pw - DIALOG_OK[0], py + ph - DIALOG_OK[1]), 1.0)
        jobs_before = cups.completed("jhk-pdf")
        x, y, _, _ = d.geometry(d.window("印刷", exact=True))
        d.click((x + 276, y + 92), 2.0)         # 印刷
        cups.wait_for_jobs()
        files = out.new()
        check(cups.completed("jhk-pdf") == jobs_before + 1, "the job went to the queue chosen with the mouse")
        check(len(files) == 1, "the queue wrote the page")
        if files:
            text = pdf_text(files[0])
            for word in ("ジハンコウボウ", "No.0", "No.1", "No.2", "No.3", "No.4", "No.5", "所持金", "1000"):
                check(word in text, f"the page from the dialog shows {word}")
    finally:
        app.kill()
        app.wait()


# Positions in the system's print dialog: the queue list from its top-left corner, the height
# of one entry of the opened list, and the OK button from its bottom-right corner.
PRINTER_LIST = (248, 50)
PRINTER_ROW = 23
DIALOG_OK = (146, 24)


def main():
    args = arguments().parse_args()
    why = unavailable()
    if why:
        print(f"SKIPPED: no private CUPS scheduler: {why}")
        return SKIP

    work = tempfile.mkdtemp(prefix="jhk-cups-e2e-")
    machine = os.path.join(work, "sample.jhk")
    subprocess.run([os.path.join(args.helper_dir, "print_sample_machine"), machine], check=True)
    program = os.path.join(args.app_dir, "jihankobo")
    with PrivateCups(queues=("jhk-other", "jhk-pdf")) as cups:
        out = Output()
        try:
            command_line(cups, program, work, machine, out)
            r = subprocess.run([program, "--print", machine], env=dict(cups.env, QT_QPA_PLATFORM="offscreen"),
                               capture_output=True, text=True)
            check(r.returncode == 0 and "jhk-other" in r.stderr, f"the default queue is named ({r.stderr.strip()})")
            cups.wait_for_jobs()
            out.new()
            if os.environ.get("DISPLAY"):
                print_dialog(cups, program, work, machine, out, args.shots)
            else:
                check(False, "no X display for the print dialog")
        finally:
            if failures:
                print(cups.error_log()[-3000:])
    no_default_queue(program, machine)
    shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
