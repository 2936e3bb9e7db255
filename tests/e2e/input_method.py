"""A real Japanese input method for the end-to-end test: ibus with the Mozc
engine, in a D-Bus session of its own, on the test's private X server. GTK
programs reach it through GTK's ibus module; Wine's programs (with xim) through
the X Input Method bridge of ibus.

Mozc's conversion server refuses to run as root, and ibus accepts clients of
its own user only, so when the test runs as root the input method and the
program under test run together as the unprivileged user "nobody", in a
folder of their own under /tmp that holds a copy of the program and of DATA.
"""

import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ENGINE = "mozc-jp"

# Mozc starts in direct (Latin) input unless told otherwise; a person turns
# it on once with the Hankaku/Zenkaku key, the test starts it on.
MOZC_CONFIG = """engines {
  name: "mozc-jp"
  longname: "Mozc"
  layout: "default"
  rank: 80
}
active_on_launch: True
"""

# A blinking text cursor would make two pictures of the same text differ.
GTK_SETTINGS = "[Settings]\ngtk-cursor-blink=false\n"


class InputMethodError(Exception):
    pass


class InputMethod:
    """ibus-daemon with Mozc selected, and the environment of a program that
    types through it with GTK's ibus module."""

    def __init__(self, display_env, data_folder, program, log_path, xim=False):
        self.log_path = log_path
        self.xim = xim
        try:
            self.user = pwd.getpwnam("nobody") if os.geteuid() == 0 else None
        except KeyError:
            raise InputMethodError("running as root, and no user \"nobody\" to run Mozc as")
        self.folder = tempfile.mkdtemp(prefix="sorahiki-ime-")
        self.home = os.path.join(self.folder, "home")
        self.bus = None
        self.daemon = None
        self.env = self._environment(display_env)
        self.program = self._private_copy(data_folder, program)

    # The folder and the environment.

    def _environment(self, display_env):
        config = os.path.join(self.home, ".config")
        runtime = os.path.join(self.folder, "runtime")
        for folder, name, text in (("mozc", "ibus_config.textproto", MOZC_CONFIG),
                                   ("gtk-3.0", "settings.ini", GTK_SETTINGS)):
            os.makedirs(os.path.join(config, folder))
            with open(os.path.join(config, folder, name), "w") as out:
                out.write(text)
        os.makedirs(runtime, mode=0o700)
        env = dict(display_env)
        env.update(HOME=self.home, XDG_CONFIG_HOME=config,
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                   XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                   XDG_RUNTIME_DIR=runtime, GTK_IM_MODULE="ibus", GSETTINGS_BACKEND="memory",
                   NO_AT_BRIDGE="1")
        if self.xim:
            env.update(XMODIFIERS="@im=ibus")
        if self.user:
            env.update(USER=self.user.pw_name, LOGNAME=self.user.pw_name)
        return env

    def _private_copy(self, data_folder, program):
        """The program and DATA where the input method's user may read them."""
        shutil.copytree(data_folder, os.path.join(self.folder, "DATA"))
        copy = os.path.join(self.folder, os.path.basename(program))
        shutil.copy2(program, copy)
        os.chmod(self.folder, 0o755)
        if self.user:
            for root, folders, files in os.walk(self.folder):
                for name in [root] + [os.path.join(root, n) for n in folders + files]:
                    os.chown(name, self.user.pw_uid, self.user.pw_gid)
        return copy

    def command(self, *args):
        """args as the input method's user."""
        if not self.user:
            return list(args)
        return ["setpriv", f"--reuid={self.user.pw_uid}", f"--regid={self.user.pw_gid}",
                "--clear-groups", "--"] + list(args)

    # Starting and stopping.

    def start(self, timeout=30):
        with open(self.log_path, "wb") as log:
            self._start_daemons(log)
        self._select_engine(timeout)

    def _start_daemons(self, log):
        read_end, write_end = os.pipe()
        self.bus = subprocess.Popen(
            self.command("dbus-daemon", "--session", "--nofork", f"--print-address={write_end}"),
            pass_fds=(write_end,), env=self.env, stdout=subprocess.DEVNULL, stderr=log,
            start_new_session=True)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            address = pipe.readline().strip()
        if not address:
            raise InputMethodError("dbus-daemon reported no address for its session bus")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

        # No panel, emoji picker or settings service: Mozc shows its
        # conversion in the program's own preedit.
        xim = ["--xim"] if self.xim else []
        self.daemon = subprocess.Popen(
            self.command("ibus-daemon", "--panel=disable", "--emoji-extension=disable",
                         "--config=disable", *xim),
            env=self.env, stdout=subprocess.DEVNULL, stderr=log, start_new_session=True)

    def _select_engine(self, timeout):
        """Waits until ibus answers and has Mozc as its engine."""
        deadline = time.monotonic() + timeout
        seen = "no answer from ibus"
        while time.monotonic() < deadline:
            if self.daemon.poll() is not None:
                raise InputMethodError(f"ibus-daemon ended with exit status {self.daemon.returncode}")
            ask = subprocess.run(self.command("ibus", "engine", ENGINE), env=self.env,
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=10)
            check = subprocess.run(self.command("ibus", "engine"), env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=10)
            if check.stdout.decode(errors="replace").strip() == ENGINE:
                return
            seen = (check.stdout + ask.stderr).decode(errors="replace").strip() or seen
            time.sleep(0.1)
        raise InputMethodError(f"ibus to select the engine {ENGINE}; saw: {seen}")

    def stop(self):
        # ibus-daemon and dbus-daemon lead process groups of their own, which
        # also hold what they start: the engine, Mozc's server (which would
        # outlive them) and the portal.
        started = [p for p in (self.daemon, self.bus) if p is not None]
        for process in started:
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        for process in started:
            self._end_group(process.pid)
        shutil.rmtree(self.folder, ignore_errors=True)

    @staticmethod
    def _end_group(group):
        """Ends what is left of the group, such as Mozc's server."""
        deadline = time.monotonic() + 5
        while True:
            left = living_members(group)
            if not left:
                return
            if time.monotonic() > deadline:
                print(f"processes {left} of the input method did not end", file=sys.stderr)
                return
            for pid in left:
                try:
                    os.kill(pid, signal.SIGTERM if time.monotonic() < deadline - 2 else signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.1)


def living_members(group):
    """The processes of a process group that have not ended (zombies excluded)."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[2]) == group and fields[0] != "Z":
            found.append(int(entry))
    return found
