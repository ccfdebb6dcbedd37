"""The delivered program under Wine, as a test starts and stops it: its own
program folder (a copy of the installed binaries), a Maildir and an outbox, a
mail profile, and the settings a demo run writes (assistant name, web port).
Used with the Wine session's environment (VX_WINE_ENV) and the build's
folders (VX_BIN_DIR, VX_TEST_BIN_DIR, VX_SOURCE_ROOT)."""
import mailbox
import os
import shutil
import subprocess

from vxtest import free_port, winpath

root = os.environ["VX_SOURCE_ROOT"]
bindir = os.environ["VX_BIN_DIR"]
wine_env = os.environ.get("VX_WINE_ENV", os.path.join(os.environ.get("VX_BUILD_DIR", ""), "wine", "env"))
KEY = r"HKEY_CURRENT_USER\Software\Ostrel Software\Vindalex Personal Assistant"


def shell(script, timeout=120, **kw):
    """Runs a bash script inside the Wine session's environment."""
    return subprocess.run(["bash", "-c", ". \"$VX_WINE_ENV_FILE\"\n" + script], timeout=timeout,
                          env=dict(os.environ, VX_WINE_ENV_FILE=wine_env), capture_output=True, **kw)


def regedit(folder, text):
    path = os.path.join(folder, "settings.reg")
    with open(path, "w") as f:
        f.write("REGEDIT4\n\n" + text)
    r = shell('wine regedit /S "%s"' % winpath(path))
    if r.returncode != 0:
        raise RuntimeError("regedit failed: %s" % r.stderr[-500:])


class Assistant:
    """One program folder, mail profile and settings; starts and stops the program.
    With smtp_port answers go to that SMTP server, else into the outbox."""

    def __init__(self, base, case, name="Vindi", smtp_port=None, owner="vindi@localhost"):
        self.base = base
        self.prog = os.path.join(base, "prog")
        self.maildir = os.path.join(base, "Maildir")
        self.outbox = os.path.join(base, "Outbox")
        self.name = name
        self.port = free_port()
        os.makedirs(self.prog)
        for f in os.listdir(bindir):
            if f == "Vindalex.exe" or f.endswith((".dll", ".kVX", ".Vqt")):
                shutil.copy(os.path.join(bindir, f), self.prog)
        mailbox.Maildir(self.maildir, create=True)
        mailbox.Maildir(self.outbox, create=True)
        self.profile = "Vindalex" + case
        shell("wine reg delete '%s' /f >/dev/null 2>&1; true" % KEY.replace("HKEY_CURRENT_USER", "HKCU"))
        regedit(base, '[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n"Password"=""\n'
                '"Maildir"="%s"\n"From"="%s"\n"SmtpServer"="%s"\n"Outbox"="%s"\n'
                % (self.profile, winpath(self.maildir).replace("\\", "\\\\"), owner,
                   "127.0.0.1:%d" % smtp_port if smtp_port else "", winpath(self.outbox).replace("\\", "\\\\")))
        r = shell('"%s/scripts/vindalex-prefs.sh" %s %d %s' % (root, name, self.port, self.profile))
        if r.returncode != 0:
            raise RuntimeError("settings not written: %s" % r.stderr[-500:])
        self.proc = None

    @property
    def site(self):
        return "http://127.0.0.1:%d/~%s/" % (self.port, self.name)

    def registry(self, text):
        """Writes a .reg body (without its header) into the prefix."""
        regedit(self.base, text)

    def start(self):
        self.proc = subprocess.Popen(
            ["bash", "-c", '. "$VX_WINE_ENV_FILE"; cd "$1"; exec wine Vindalex.exe', "-", self.prog],
            env=dict(os.environ, VX_WINE_ENV_FILE=wine_env, VINDALEX_NO_TIPS="1",
                     WINEPATH="Z:" + bindir.replace("/", "\\")),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def probe(self, *command, timeout=300):
        """The outside probe's answer about this copy of the program."""
        probe = os.path.join(os.environ["VX_TEST_BIN_DIR"], "vindalex_window_tree.exe")
        r = shell("VX_PROGRAM_PATH='%s' wine '%s' %s 2>/dev/null; true"
                  % (winpath(os.path.join(self.prog, "Vindalex.exe")), probe, " ".join(command)), timeout=timeout)
        return r.stdout.decode(errors="replace")

    def stop(self):
        """WM_CLOSE to this copy's main window only (another test may run a
        Vindalex of its own on the same display). When it does not end, what
        it shows is printed and it is killed, so that no later start in the
        prefix hands over to it. False when it had to be killed."""
        if not self.proc or self.proc.poll() is not None:
            return True
        self.probe("close")
        try:
            self.proc.wait(timeout=90)
            return True
        except subprocess.TimeoutExpired:
            pass
        print("the program did not end after WM_CLOSE; its windows:\n%s\nits message boxes:\n%s"
              % (self.probe("toplevels", timeout=180), self.probe("boxes", timeout=180)))
        # The tests that start the program hold it to themselves in the prefix.
        shell("wine taskkill /f /im Vindalex.exe >/dev/null 2>&1; true", timeout=120)
        self.proc.kill()
        self.proc.wait(timeout=60)
        return False

    def log(self):
        path = os.path.join(self.prog, "Vindalex.log")
        return open(path, encoding="latin-1").read() if os.path.exists(path) else ""
