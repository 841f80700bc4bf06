"""Seeded random input for the window programs on a busy X server (run through scripts/monkey).

Each program runs on copies of its files in a temporary folder, gets clicks, drags, keys, typed text,
accelerators and dialog answers inside its own windows, and fails on dying (any exit but a clean
one), a sanitizer report, or a hang: every few actions the program must answer a _NET_WM_PING, which
SDL answers from the program's own event loop, so a loop that stops turning stops answering.
"""

import os
import random
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

from Xlib import X, display, protocol

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.join(ROOT, os.environ.get("VANTORA_BUILD_DIR", "build/test"))
TOOL = os.path.join(BUILD, "apps/vantora/vantora")
STUDIO = os.path.join(BUILD, "apps/studio/vantora-studio")
PROGRAMS = ["demo", "widgets", "wizard", "gradient", "studio"]
HANG_SECONDS = float(os.environ.get("VANTORA_MONKEY_HANG_SECONDS", "20"))
PING_EVERY = 8  # actions
SHOTS = os.environ.get("VANTORA_MONKEY_SHOTS")  # a folder for a screenshot every 40 actions
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:", "X Error of failed request")
KEYS = ["Tab", "shift+Tab", "Return", "Escape", "space", "Up", "Down", "Left", "Right", "Home", "End",
        "Prior", "Next", "BackSpace", "Delete", "F1", "ctrl+c", "ctrl+v", "ctrl+z"]
WORDS = ["Vantora", "12", "-5", "abc", "0", "999999", "Zz", "hello world", "3.5", "!?"]


class Failure(Exception):
    pass


def program_command(name, rng, work):
    """The command line of Name, on copies of its files in Work."""
    if name in ("demo", "widgets"):
        form = shutil.copy(os.path.join(ROOT, "data/forms", name + ".txt"), work)
        return [TOOL, "show", form]
    if name == "studio":
        return [STUDIO, shutil.copy(os.path.join(ROOT, "data/forms/demo.txt"), work)]
    if name == "wizard":
        gallery = os.path.join(BUILD, "data/gallery")
        controls = sorted(f for f in os.listdir(gallery) if f.endswith((".lbl", ".btn")))
        return [TOOL, "wizard", shutil.copy(os.path.join(gallery, rng.choice(controls)), work)]
    if name == "gradient":
        return [TOOL, "edit-gradient", shutil.copy(os.path.join(ROOT, "data/looks/01-sunset-gradient.txt"), work)]
    raise SystemExit("monkey: unknown program %r (choose from %s)" % (name, ", ".join(PROGRAMS)))


def settings_copy(work):
    """A settings file of the run's own whose preset gallery is a copy, so that saved presets stay here."""
    gallery = shutil.copytree(os.path.join(BUILD, "data/gallery"), os.path.join(work, "gallery"))
    lines = []
    with open(os.path.join(BUILD, "data/fulgo.ini")) as source:
        for line in source:
            lines.append("LabelGallery=%s\n" % gallery if line.startswith("LabelGallery=") else line)
    path = os.path.join(work, "fulgo.ini")
    with open(path, "w") as target:
        target.writelines(lines)
    return path


def xdotool(*args):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=30)
    return result.returncode, result.stdout


def visible_windows(pid):
    """The program's shown windows as (id, x, y, width, height), oldest first as far as X tells."""
    code, out = xdotool("search", "--onlyvisible", "--pid", pid)
    windows = []
    for wid in out.split() if code == 0 else []:
        code, geometry = xdotool("getwindowgeometry", "--shell", wid)
        if code != 0:
            continue
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        w, h = int(values.get("WIDTH", 0)), int(values.get("HEIGHT", 0))
        if w > 1 and h > 1:
            windows.append((int(wid), int(values["X"]), int(values["Y"]), w, h))
    return windows


class Pinger:
    """Asks a window _NET_WM_PING and waits for the answer SDL sends to the root window."""

    def __init__(self):
        self.display = display.Display()
        self.display.set_error_handler(lambda *args: None)  # a window gone meanwhile just fails the ping
        self.root = self.display.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.protocols = self.display.intern_atom("WM_PROTOCOLS")
        self.ping_atom = self.display.intern_atom("_NET_WM_PING")
        self.token = 0

    def answers(self, wid, seconds):
        self.token += 1
        window = self.display.create_resource_object("window", wid)
        event = protocol.event.ClientMessage(window=window, client_type=self.protocols,
                                             data=(32, [self.ping_atom, self.token, wid, 0, 0]))
        window.send_event(event, event_mask=0)
        self.display.flush()
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            while self.display.pending_events():
                reply = self.display.next_event()
                if (reply.type == X.ClientMessage and reply.client_type == self.protocols and
                        reply.data[1][0] == self.ping_atom and reply.data[1][1] == self.token):
                    return True
            select.select([self.display.fileno()], [], [], 0.2)
        return False


class BusyServer:
    """Root-window screenshots in a loop, as a screen recorder beside the program would take."""

    def __init__(self):
        self.stop = threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        while not self.stop.is_set():
            subprocess.run(["xwd", "-root", "-silent"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def end(self):
        self.stop.set()
        self.thread.join()


class Monkey:
    def __init__(self, name, seed, seconds, work, log):
        self.name, self.seconds, self.work, self.log = name, seconds, work, log
        self.rng = random.Random("%s:%s" % (seed, name))
        self.actions = []
        self.pinger = Pinger()
        self.process = None
        self.output = os.path.join(work, name + ".out")
        self.restarts = 0

    def note(self, text):
        line = "%7.2f %s" % (time.monotonic() - self.start, text)
        self.actions.append(line)
        self.log.write(line + "\n")
        self.log.flush()

    def launch(self):
        command = program_command(self.name, self.rng, self.work)
        self.note("start " + " ".join(command))
        with open(self.output, "a") as out:
            self.process = subprocess.Popen(command, cwd=self.work, stdout=out, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + HANG_SECONDS
        while not visible_windows(self.process.pid):
            self.check_alive()
            if time.monotonic() > deadline:
                raise Failure("no window shown within %g s of the start" % HANG_SECONDS)
            time.sleep(0.2)

    def sanitizer_report(self):
        with open(self.output, errors="replace") as out:
            text = out.read()
        return next((mark for mark in SANITIZER_MARKS if mark in text), None)

    def check_alive(self):
        """Restarts a program that closed itself cleanly; fails on any other end."""
        status = self.process.poll()
        report = self.sanitizer_report()
        if report:
            raise Failure("the output holds a report: %s (exit status %s)" % (report, status))
        if status is None:
            return
        if status != 0:
            reason = "signal %d" % -status if status < 0 else "status %d" % status
            raise Failure("the program died with %s" % reason)
        self.note("the program closed itself with status 0: restarting")
        self.restarts += 1
        self.launch()

    def check_answers(self):
        """Fails when the program's event loop has stopped turning: a shown window must answer a ping.
        A window may close between being found and being asked, so a few are tried."""
        for _ in range(3):
            windows = visible_windows(self.process.pid)
            if windows and self.pinger.answers(windows[0][0], HANG_SECONDS):
                return
            self.check_alive()
            time.sleep(0.2)
        raise Failure("no window of the program answered a ping within %g s: the program hangs" % HANG_SECONDS)

    def act(self, windows):
        rng = self.rng
        # Dialogs and popups come last and take the input, so the newest window is the likeliest target.
        wid, x, y, w, h = windows[-1] if rng.random() < 0.6 else rng.choice(windows)
        px, py = x + rng.randrange(w), y + rng.randrange(h)
        kind = rng.choices(["click", "right", "double", "drag", "key", "text", "alt", "wheel", "answer", "close"],
                           weights=[34, 5, 8, 10, 18, 7, 9, 4, 4, 1])[0]
        if kind == "click":
            command = ["mousemove", px, py, "click", 1]
        elif kind == "right":
            command = ["mousemove", px, py, "click", 3]
        elif kind == "double":
            command = ["mousemove", px, py, "click", "--repeat", 2, "--delay", 80, 1]
        elif kind == "drag":
            command = ["mousemove", px, py, "mousedown", 1, "sleep", 0.05,
                       "mousemove", x + rng.randrange(w), y + rng.randrange(h), "sleep", 0.05, "mouseup", 1]
        elif kind == "wheel":
            command = ["mousemove", px, py, "click", rng.choice([4, 5])]
        elif kind == "key":
            command = ["windowfocus", wid, "key", rng.choice(KEYS)]
        elif kind == "text":
            command = ["windowfocus", wid, "type", "--delay", 30, rng.choice(WORDS)]
        elif kind == "alt":
            command = ["windowfocus", wid, "key", "alt+" + rng.choice("abcdefghiklmnoprstuvwxyz")]
        elif kind == "answer":
            command = ["windowfocus", wid, "key", rng.choice(["Return", "Escape", "space"])]
        else:
            command = ["windowfocus", wid, "key", "alt+F4"]
        self.note("%s window 0x%x: xdotool %s" % (kind, wid, " ".join(map(str, command))))
        xdotool(*command)

    def run(self):
        self.start = time.monotonic()
        self.launch()
        end = self.start + self.seconds
        count = 0
        while time.monotonic() < end:
            self.check_alive()
            windows = visible_windows(self.process.pid)
            if not windows:
                time.sleep(0.1)
                continue
            if count % PING_EVERY == 0:
                self.check_answers()
            self.act(windows)
            count += 1
            if SHOTS and count % 40 == 0:
                subprocess.run(["import", "-window", "root", os.path.join(SHOTS, "%s-%04d.png" % (self.name, count))],
                               stderr=subprocess.DEVNULL)
            time.sleep(self.rng.uniform(0.02, 0.25))
        self.check_alive()
        self.finish()
        return count

    def finish(self):
        """Asks the program to end (SIGTERM, which SDL turns into a quit) and wants a clean end."""
        self.note("the monkey ends the program")
        self.process.send_signal(signal.SIGTERM)
        try:
            status = self.process.wait(HANG_SECONDS)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise Failure("the program did not end within %g s of being asked" % HANG_SECONDS)
        report = self.sanitizer_report()
        if report:
            raise Failure("the output holds a report: %s" % report)
        if status != 0:
            raise Failure("asked to end, the program ended with status %d" % status)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def tail(path, count):
    try:
        with open(path, errors="replace") as f:
            return f.readlines()[-count:]
    except OSError:
        return []


def main():
    names = sys.argv[1:] or PROGRAMS
    for name in names:
        if name not in PROGRAMS:
            raise SystemExit("monkey: unknown program %r (choose from %s)" % (name, ", ".join(PROGRAMS)))
    seed = os.environ.get("VANTORA_MONKEY_SEED") or str(random.SystemRandom().randrange(1, 10**9))
    seconds = float(os.environ.get("VANTORA_MONKEY_SECONDS", "60"))
    print("monkey: seed %s, %g s per program (replay: VANTORA_MONKEY_SEED=%s scripts/monkey PROGRAM)"
          % (seed, seconds, seed), flush=True)
    busy = BusyServer()
    passed = failed = 0
    try:
        for name in names:
            work = tempfile.mkdtemp(prefix="vantora-monkey-%s-" % name)
            os.environ["VANTORA_INI"] = settings_copy(work)
            log_path = os.path.join(work, "actions.log")
            with open(log_path, "w") as log:
                monkey = Monkey(name, seed, seconds, work, log)
                try:
                    count = monkey.run()
                except Failure as failure:
                    failed += 1
                    subprocess.run(["import", "-window", "root", os.path.join(work, "screen.png")],
                                   stderr=subprocess.DEVNULL)
                    print("monkey: FAILED %s (seed %s): %s" % (name, seed, failure))
                    print("  replay: VANTORA_MONKEY_SEED=%s scripts/monkey %s" % (seed, name))
                    print("  files, actions and a screenshot: %s" % work)
                    print("  last actions:")
                    sys.stdout.writelines("    " + line + "\n" for line in monkey.actions[-25:])
                    print("  program output (tail):")
                    sys.stdout.writelines("    " + line for line in tail(monkey.output, 40))
                    sys.stdout.flush()
                    continue
                finally:
                    monkey.stop()
            passed += 1
            print("monkey: %s survived %d actions (%d clean restarts)" % (name, count, monkey.restarts), flush=True)
            shutil.rmtree(work, ignore_errors=True)
    finally:
        busy.end()
    print("monkey: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
