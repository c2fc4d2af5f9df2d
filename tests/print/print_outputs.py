#!/usr/bin/env python3
"""The files jihankobo's batch commands write, run as a teacher would on a copy of a class.

1. Command lines that name a pupil's machine as the output are refused with status 2 and a
   message; every machine file stays byte for byte the same and nothing new appears.
2. Every writer (--print-pdf of one machine, of a class set, --worksheet, --export-flowchart)
   against each kind of output path: a missing folder, a FIFO, a socket, a folder, a link to a
   regular file, a link to a FIFO, a read-only folder and a full disk (a small tmpfs in a mount
   namespace of its own; skipped with its reason where none can be mounted).
3. The command-line messages: the reason in Japanese, the wrong option named, no Qt warning
   without XDG_RUNTIME_DIR.

Arguments: the folder of the built program and the folder of print_sample_machine.
"""
import hashlib
import os
import shutil
import socket
import stat
import subprocess
import sys
import tempfile

failures = []
skipped = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


APP_DIR, HELPER_DIR = sys.argv[1], sys.argv[2]
PROGRAM = os.path.join(APP_DIR, "jihankobo")
ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen", LANG="ja_JP.UTF-8", LC_ALL="")
ENV.pop("LC_MESSAGES", None)


def run(args, cwd, env=ENV, prefix=()):
    try:
        r = subprocess.run([*prefix, PROGRAM, *args], cwd=cwd, env=env, capture_output=True, text=True, timeout=60)
        return r.returncode, r.stderr
    except subprocess.TimeoutExpired:
        return "hung", ""


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def snapshot(folder):
    """Every entry under the folder, with the bytes of the plain files."""
    found = {}
    for root, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(root, name)
            st = os.lstat(path)
            found[os.path.relpath(path, folder)] = digest(path) if stat.S_ISREG(st.st_mode) else stat.S_IFMT(st.st_mode)
    return found


def make_class(folder, machine):
    """A class: four pupils' machines, one also saved under a name without .jhk."""
    os.makedirs(os.path.join(folder, "dl"))
    for name in ("aoki.jhk", "ito.jhk", "ueda.jhk", "KATO.JHK"):
        shutil.copy(machine, os.path.join(folder, "dl", name))
    shutil.copy(machine, os.path.join(folder, "pupil-copy"))


def data_loss(work, machine):
    cases = [
        ["--print-pdf", "dl/aoki.jhk", "dl/ito.jhk", "dl/KATO.JHK", "dl/ueda.jhk"],  # --print-pdf dl/*.jhk
        ["--print-pdf", "dl/aoki.jhk", "dl/ito.jhk"],
        ["--print-pdf", "dl/ueda.jhk", "dl"],
        ["--print-pdf", "dl/aoki.jhk", "pupil-copy"],         # a machine under another name
        ["--print-pdf", "pupil-copy", "dl"],
        ["--print-pdf", "dl/aoki.jhk", "new.JHK"],            # a .jhk name that is not there yet
        ["--worksheet", "dl/aoki.jhk", "dl/ito.jhk"],
        ["--worksheet", "--blank", "dl/aoki.jhk", "dl/KATO.JHK"],
        ["--worksheet", "dl/aoki.jhk", "pupil-copy"],
        ["--export-flowchart", "dl/aoki.jhk", "0", "dl/ito.jhk"],
        ["--export-flowchart", "dl/aoki.jhk", "0", "pupil-copy"],
    ]
    for args in cases:
        folder = os.path.join(work, "loss")
        shutil.rmtree(folder, ignore_errors=True)
        make_class(folder, machine)
        before = snapshot(folder)
        status, err = run(args, folder)
        line = " ".join(args)
        check(status == 2, f"{line}: status 2 ({status})")
        check("自動販売機のファイルには書き出せません" in err, f"{line}: says why ({err.strip()[:120]})")
        check(snapshot(folder) == before, f"{line}: every machine file unchanged, nothing written")

    # The forms that name the PDF keep working, the PDF first or last.
    folder = os.path.join(work, "loss")
    for args, out in ((["--print-pdf", "dl/aoki.jhk", "aoki.pdf"], "aoki.pdf"),
                      (["--print-pdf", "class.pdf", "dl/aoki.jhk"], "class.pdf"),
                      (["--print-pdf", "all.pdf", "dl"], "all.pdf"),
                      (["--worksheet", "dl/aoki.jhk", "ws.pdf"], "ws.pdf")):
        before = {k: v for k, v in snapshot(folder).items() if k.endswith("jhk") or k == "pupil-copy"}
        status, err = run(args, folder)
        line = " ".join(args)
        check(status == 0, f"{line}: status 0 ({status}: {err.strip()[:200]})")
        with open(os.path.join(folder, out), "rb") as f:
            check(f.read(5) == b"%PDF-", f"{line}: writes a PDF")
        after = {k: v for k, v in snapshot(folder).items() if k in before}
        check(after == before, f"{line}: machines unchanged")


WRITERS = {
    "--print-pdf one": lambda out: ["--print-pdf", "m.jhk", out],
    "--print-pdf class": lambda out: ["--print-pdf", out, "m.jhk", "m2.jhk"],
    "--worksheet": lambda out: ["--worksheet", "m.jhk", out],
    "--export-flowchart": lambda out: ["--export-flowchart", "m.jhk", "0", out],
}


def mount_namespace_available():
    if not shutil.which("unshare") or os.geteuid() != 0:
        return "mounting a small tmpfs needs root and unshare"
    r = subprocess.run(["unshare", "-m", "--propagation", "private", "sh", "-c",
                        "d=$(mktemp -d) && mount -t tmpfs -o size=64k tmpfs $d && umount $d && rmdir $d"],
                       capture_output=True, text=True)
    return None if r.returncode == 0 else f"no tmpfs can be mounted here ({r.stderr.strip()})"


def output_kinds(work, machine):
    full_disk_reason = mount_namespace_available()
    nobody = None
    if os.geteuid() == 0 and shutil.which("setpriv"):
        nobody = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
        # Another account can only run the program where every folder above it lets it through.
        if subprocess.run(nobody + ["test", "-r", PROGRAM]).returncode != 0:
            nobody = None
    for writer, make_args in WRITERS.items():
        ext = "png" if writer == "--export-flowchart" else "pdf"
        out = f"out.{ext}"
        kinds = ["missing folder", "fifo", "socket", "folder", "link to regular file", "link to fifo",
                 "read-only folder", "full disk"]
        for kind in kinds:
            folder = os.path.join(work, "kinds")
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            os.chmod(folder, 0o755)
            shutil.copy(machine, os.path.join(folder, "m.jhk"))
            shutil.copy(machine, os.path.join(folder, "m2.jhk"))
            prefix = ()
            target = out
            # The flowchart export keeps its status 2 for a picture it cannot write.
            expect = 2 if writer == "--export-flowchart" else 1
            words = "できませんでした"
            if kind == "missing folder":
                target = os.path.join("no-such-folder", out)
                words = "保存先のフォルダが見つかりません"
            elif kind == "fifo":
                os.mkfifo(os.path.join(folder, out))
                words = "ふつうのファイルではない"
            elif kind == "socket":
                s = socket.socket(socket.AF_UNIX)
                s.bind(os.path.join(folder, out))
                s.close()
                words = "ふつうのファイルではない"
            elif kind == "folder":
                os.mkdir(os.path.join(folder, out))
                words = "同じ名前のフォルダがあります"
                if writer == "--print-pdf one":
                    # MACHINE FOLDER is the class-set form: its first name is the output.
                    expect, words = 2, "自動販売機のファイルには書き出せません"
            elif kind == "link to regular file":
                with open(os.path.join(folder, "real." + ext), "wb") as f:
                    f.write(b"old")
                os.symlink("real." + ext, os.path.join(folder, out))
                expect = 0
            elif kind == "link to fifo":
                os.mkfifo(os.path.join(folder, "pipe"))
                os.symlink("pipe", os.path.join(folder, out))
                words = "ふつうのファイルではない"
            elif kind == "read-only folder":
                if nobody is None and os.geteuid() == 0:
                    skipped.append(f"{writer} {kind}: root writes into any folder, and no other account can run the program here")
                    continue
                ro = os.path.join(folder, "ro")
                os.mkdir(ro)
                os.chmod(ro, 0o555)
                target = os.path.join("ro", out)
                prefix = nobody or ()
                words = "このフォルダには書き込めません"
            elif kind == "full disk":
                if full_disk_reason:
                    skipped.append(f"{writer} {kind}: {full_disk_reason}")
                    continue
            before = snapshot(folder)
            line = f"{writer} to {kind}"
            if kind == "full disk":
                # The old file and a filler take all of a 256 kB tmpfs.
                script = ('set -e; mount -t tmpfs -o size=256k tmpfs disk; printf old > disk/{o}; '
                          'head -c 1000000 /dev/zero > disk/filler 2>/dev/null || true; '
                          '"$@" || status=$?; cat disk/{o} > old-after; exit ${{status:-0}}').format(o=out)
                os.mkdir(os.path.join(folder, "disk"))
                before = snapshot(folder)
                status, err = run(make_args(os.path.join("disk", out)), folder,
                                  prefix=("unshare", "-m", "--propagation", "private", "sh", "-c", script, "sh"))
                with open(os.path.join(folder, "old-after"), "rb") as f:
                    check(f.read() == b"old", f"{line}: the old file stays")
                os.remove(os.path.join(folder, "old-after"))
                words = "ディスクの空きが足りません"
            else:
                status, err = run(make_args(target), folder, prefix=prefix)
            check(status == expect, f"{line}: status {expect} ({status}: {err.strip()[:200]})")
            if expect == 0:
                check(os.path.islink(os.path.join(folder, out)), f"{line}: the link stays a link")
                with open(os.path.join(folder, "real." + ext), "rb") as f:
                    head = f.read(5)
                check(head in (b"%PDF-", b"\x89PNG\r"), f"{line}: the file the link leads to is written")
                continue
            check(words in err, f"{line}: the message says why ({err.strip()[:200]})")
            check(snapshot(folder) == before, f"{line}: nothing touched")


def messages(work, machine):
    folder = os.path.join(work, "msg")
    os.makedirs(folder)
    shutil.copy(machine, os.path.join(folder, "m.jhk"))
    cases = [
        (["--print", "--copies", "0", "m.jhk"], "部数は 1 から 999 までの数"),
        (["--print-pdf"], "--print-pdf には、マシンのファイルと書き出すPDFの名前"),
        (["--print", "--colour", "m.jhk"], "知らないオプションです: --colour"),
        (["--bogus"], "知らないオプションです: --bogus"),
        (["--worksheet", "m.jhk", "x.png"], "名前は .pdf で終わるように"),
        (["--worksheet", "m.jhk"], "--worksheet には"),
        (["--export-flowchart", "m.jhk", "x", "a.png"], "--export-flowchart には"),
    ]
    for args, words in cases:
        status, err = run(args, folder)
        line = " ".join(args)
        check(status == 2, f"{line}: status 2 ({status})")
        check(words in err and "使い方" in err, f"{line}: the reason and the usage in Japanese ({err.strip()[:160]})")
    check(not os.path.exists(os.path.join(folder, "x.png")), "no PDF is written under a .png name")

    env = dict(ENV)
    env.pop("XDG_RUNTIME_DIR", None)
    for args in (["--print-pdf", "m.jhk", "a.pdf"], ["--worksheet", "m.jhk", "w.pdf"],
                 ["--export-flowchart", "m.jhk", "0", "f.png"]):
        status, err = run(args, folder, env=env)
        check(status == 0 and err == "", f"{' '.join(args)} without XDG_RUNTIME_DIR: silent ({status}: {err.strip()})")


def main():
    work = tempfile.mkdtemp(prefix="jhk-outputs-")
    os.chmod(work, 0o755)
    try:
        machine = os.path.join(work, "sample.jhk")
        subprocess.run([os.path.join(HELPER_DIR, "print_sample_machine"), machine], check=True)
        os.chmod(machine, 0o644)
        data_loss(work, machine)
        output_kinds(work, machine)
        messages(work, machine)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for reason in skipped:
        print("skipped " + reason)
    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
