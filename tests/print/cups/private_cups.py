"""A private CUPS scheduler for the printing tests: its own configuration, spool and socket in
a temporary folder, reached through CUPS_SERVER, with one cups-pdf queue. The system's
scheduler and its queues are never touched."""
import os
import shutil
import subprocess
import tempfile
import time

CUPSD = "/usr/sbin/cupsd"
LPADMIN = "/usr/sbin/lpadmin"
PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
BACKEND = "/usr/lib/cups/backend/cups-pdf"
SKIP = 77


def unavailable():
    """Why a private scheduler cannot run here, or None."""
    for path in (CUPSD, LPADMIN, PPD, BACKEND, shutil.which("lpstat")):
        if not path or not os.path.exists(path):
            return f"{path or 'lpstat'} is missing (install cups and printer-driver-cups-pdf)"
    if os.geteuid() != 0:
        return "cupsd and the cups-pdf backend need root"
    return None


class PrivateCups:
    """Queues: cups-pdf queues by name; the first is the default unless `default` is False."""

    def __init__(self, queues=("jhk-pdf",), default=True):
        self.has_default = default
        self.queues = list(queues)
        self.queue = self.queues[0]
        self.dir = tempfile.mkdtemp(prefix="jhk-cups-")
        os.chmod(self.dir, 0o755)
        self.socket = os.path.join(self.dir, "cups.sock")
        self.process = None

    def __enter__(self):
        d = self.dir
        for sub in ("spool", "cache", "state", "log", "ppd"):
            os.makedirs(os.path.join(d, sub), exist_ok=True)
        tmp = os.path.join(d, "spool", "tmp")
        os.makedirs(tmp, exist_ok=True)
        os.chmod(tmp, 0o1777)
        with open(os.path.join(d, "cupsd.conf"), "w") as f:
            f.write(f"""Listen {self.socket}
LogLevel warn
WebInterface No
Browsing No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
""")
        with open(os.path.join(d, "cups-files.conf"), "w") as f:
            f.write(f"""ServerRoot {d}
RequestRoot {d}/spool
TempDir {tmp}
CacheDir {d}/cache
StateDir {d}/state
AccessLog {d}/log/access_log
ErrorLog {d}/log/error_log
PageLog {d}/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
SystemGroup root
""")
        self.process = subprocess.Popen(
            [CUPSD, "-f", "-c", os.path.join(d, "cupsd.conf"), "-s", os.path.join(d, "cups-files.conf")],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.env = dict(os.environ, CUPS_SERVER=self.socket)
        for _ in range(100):
            if os.path.exists(self.socket):
                break
            if self.process.poll() is not None:
                raise RuntimeError("cupsd did not start: " + self.process.stderr.read().decode(errors="replace"))
            time.sleep(0.1)
        # Jobs reach cups-pdf as PostScript; made with pdftocairo, the PDF it writes keeps its
        # text readable for pdftotext.
        for queue in self.queues:
            subprocess.run([LPADMIN, "-p", queue, "-E", "-v", "cups-pdf:/", "-P", PPD,
                            "-o", "pdftops-renderer-default=pdftocairo"],
                           env=self.env, check=True, stderr=subprocess.DEVNULL)
        if self.has_default:
            subprocess.run([LPADMIN, "-d", self.queue], env=self.env, check=True)
        return self

    def __exit__(self, *exc):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
        shutil.rmtree(self.dir, ignore_errors=True)

    def run(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True)

    def wait_for_jobs(self, timeout=60):
        """Waits until no queue has a job left; returns True when they emptied."""
        end = time.time() + timeout
        while time.time() < end:
            out = self.run("lpstat", "-o").stdout
            if not out.strip():
                return True
            time.sleep(0.5)
        return False

    def error_log(self):
        try:
            with open(os.path.join(self.dir, "log", "error_log"), errors="replace") as f:
                return f.read()
        except OSError:
            return ""


    def completed(self, queue):
        """Number of jobs the queue has finished."""
        out = self.run("lpstat", "-W", "completed", "-o", queue).stdout
        return len([line for line in out.splitlines() if line.startswith(queue + "-")])


def output_folder():
    """Where cups-pdf leaves the files of jobs sent by this user."""
    import pwd
    return os.path.join(pwd.getpwuid(os.getuid()).pw_dir, "PDF")
