#!/usr/bin/env python3
"""A monkey test of the window program: the real program in a real X server
(Xvfb), fed random key presses, menu choices, clicks and dialog answers, with
paths to files valid, broken, missing, FIFOs, directories and devices typed
into whatever dialog is open. It knows no window by name: menus are reached
with Alt+letter and the menu bar's arrows, and any window whose title looks
like a file dialog gets paths typed into it more often.

Fails on a crash (the program ends with a status other than 0, or by a
signal), on any AddressSanitizer, LeakSanitizer or UndefinedBehaviorSanitizer
report in its error output, and on a hang. Liveness: after every action the
main window gets a _NET_WM_PING client message and must send it back to the
root window within --answer-within seconds (2 by default); Qt answers it from
its event loop, so the answer proves that the loop runs, whatever dialog is
open. A program that ends by its own Exit command is started again.

The program runs as an unprivileged user (nobody) so that no answer given to
a file dialog can delete or overwrite anything outside its scratch folder;
the monkey therefore needs root, and otherwise exits with status 77.

usage: monkey.py PROGRAM REPOSITORY [--seed N] [--duration SECONDS] ...
"""

import argparse
import collections
import os
import pwd
import random
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import monkey_files  # noqa: E402
import xwindows  # noqa: E402

SKIPPED = 77
SANITIZER_REPORT = re.compile(
    r"ERROR: (Address|Leak|UndefinedBehavior)Sanitizer|runtime error:|"
    r"SUMMARY: \w+Sanitizer|Sanitizer:DEADLYSIGNAL")
LEAK_SUPPRESSION_SUMMARY = re.compile(r"^(-+|Suppressions used:|\s+count\s+bytes template|"
                                      r"\s+\d+\s+\d+ \S+|)$")
FILE_DIALOG_TITLE = re.compile(r"file|save|open|export|select|\.\.\.", re.I)
KEYS = ["Return", "Escape", "Tab", "shift+Tab", "space", "Up", "Down", "Left",
        "Right", "Home", "End", "Page_Up", "Page_Down", "BackSpace", "Delete",
        "F1", "F2", "F3", "F4", "F5", "ctrl+a", "ctrl+z", "alt+Down", "Menu",
        "shift+F10", "ctrl+Tab", "plus", "minus", "ctrl+plus", "ctrl+minus"]
LETTERS = "abcdefghijklmnopqrstuvwxyz0123456789"


def log(text):
    print("monkey: " + text, flush=True)


class Failure(Exception):
    pass


class Figures:
    def __init__(self):
        self.key_presses = self.clicks = self.texts = self.characters = 0
        self.actions = self.menus = self.starts = self.exits = 0
        self.pings, self.answers = 0, []
        self.windows = collections.Counter()
        self.failures = []

    @property
    def events(self):
        return self.key_presses + self.clicks + self.characters

    def report(self, seed, seconds, out_dir, web_log):
        generated = self.windows.get("Done!", 0)
        on_disk = sum(1 for n in os.listdir(out_dir)
                      if os.path.isfile(os.path.join(out_dir, n))
                      and os.path.getsize(os.path.join(out_dir, n)) > 0)
        webs = len(open(web_log).read().splitlines()) if os.path.exists(web_log) else 0
        dialogs = sum(self.windows.values())
        log(f"seed {seed}, {seconds:.0f} s, {self.actions} actions, "
            f"{self.events} events sent ({self.key_presses} key presses, "
            f"{self.clicks} clicks, {self.texts} texts of {self.characters} characters)")
        log(f"dialogs opened {dialogs}, menus opened {self.menus}, "
            f"files generated {generated} ({on_disk} files written in the output folder), "
            f"web addresses opened {webs}, program started {self.starts} times "
            f"({self.exits} ended by its own Exit)")
        for title, count in sorted(self.windows.items(), key=lambda t: -t[1]):
            log(f"  window {title!r}: {count}")
        if self.answers:
            log(f"liveness: {len(self.answers)} pings answered of {self.pings}, "
                f"median {statistics.median(self.answers) * 1000:.1f} ms, "
                f"slowest {max(self.answers) * 1000:.0f} ms")
        for failure in self.failures:
            log("FAILURE: " + failure.splitlines()[0])
        log("passed" if not self.failures else f"FAILED ({len(self.failures)})")


class Program:
    """One run of the window program as the unprivileged user."""

    def __init__(self, args, sandbox, display, number):
        self.stderr_path = os.path.join(sandbox.logs, f"kestrom-{number}.log")
        self._read = 0
        env = sandbox.environment(display)
        user = sandbox.user

        def drop_privileges():
            os.setgroups([])
            os.setgid(user.pw_gid)
            os.setuid(user.pw_uid)

        with open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen(
                [sandbox.program], cwd=sandbox.home, env=env, stdin=subprocess.DEVNULL,
                stdout=err, stderr=err, preexec_fn=drop_privileges)
        self.pid = self.process.pid

    def new_reports(self):
        """Sanitizer reports written since the last call."""
        with open(self.stderr_path, "rb") as err:
            err.seek(self._read)
            text = err.read().decode("utf-8", "replace")
        self._read += len(text.encode("utf-8", "replace"))
        return [line for line in text.splitlines() if SANITIZER_REPORT.search(line)]

    def whole_report(self):
        with open(self.stderr_path, "rb") as err:
            return err.read().decode("utf-8", "replace")[-6000:]

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Monkey:
    def __init__(self, args):
        self.args = args
        self.random = random.Random(args.seed)
        self.figures = Figures()
        self.history = collections.deque(maxlen=25)
        self.sandbox = monkey_files.Sandbox(args, self.random)
        self.xvfb = None
        self.program = None
        self.main_window = None
        self.seen = set()

    # --- the X server and the program

    def start_xvfb(self):
        # A display number of its own, away from those other tests take.
        for number in range(200 + os.getpid() % 500, 1000):
            if os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            self.display_name = f":{number}"
            self.xvfb = subprocess.Popen(
                ["Xvfb", self.display_name, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.monotonic() + 30
            while self.xvfb.poll() is None and time.monotonic() < deadline:
                try:
                    self.display = xwindows.Display(self.display_name)
                    return
                except RuntimeError:
                    time.sleep(0.2)
            self.xvfb.terminate()
            self.xvfb.wait()
        raise Failure("Xvfb could not start on any display")

    def start_program(self):
        self.figures.starts += 1
        self.sandbox.set_option_file(self.random)
        self.sandbox.set_extension_choices(self.random)
        self.program = Program(self.args, self.sandbox, self.display_name,
                               self.figures.starts)
        self.seen = set()
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            windows = [w for w in self.display.windows_of(self.program.pid) if not w.popup]
            if windows:
                self.main_window = windows[0].id
                self.seen.add(self.main_window)
                return
            if self.program.process.poll() is not None:
                break
            time.sleep(0.1)
        raise Failure("the main window did not appear:\n" + self.program.whole_report())

    # --- input

    def xdotool(self, *words):
        subprocess.run(["xdotool", *words], env={**os.environ, "DISPLAY": self.display_name},
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def keys(self, *chords):
        self.figures.key_presses += len(chords)
        self.xdotool("key", "--delay", "15", *chords)

    def type_text(self, text):
        self.figures.texts += 1
        self.figures.characters += len(text)
        self.xdotool("type", "--delay", "4", text)

    def click(self, window, button, repeat=1):
        x = self.random.randrange(max(1, window.width))
        y = self.random.randrange(max(1, window.height))
        self.figures.clicks += repeat
        self.xdotool("mousemove", "--window", str(window.id), str(x), str(y),
                     "click", "--repeat", str(repeat), "--delay", "60", str(button))
        return f"{x},{y}"

    # --- one random action

    def act(self, windows):
        r = self.random
        plain = [w for w in windows if not w.popup]
        menu_open = any(w.popup for w in windows)
        top = self.choose_focus(plain) if not menu_open else (plain[-1] if plain else None)
        file_dialog = top is not None and top.id != self.main_window and \
            FILE_DIALOG_TITLE.search(top.title) is not None
        choices = {"key": 30, "alt": 10, "menu bar": 8, "shortcut": 14, "click": 20,
                   "path": 60 if file_dialog else 6, "junk": 3}
        kind = r.choices(list(choices), weights=list(choices.values()))[0]
        where = f"[{top.title if top else '-'}]"
        if kind == "key":
            key = r.choice(KEYS + list(LETTERS[:26]))
            self.keys(key)
            return f"{where} key {key}"
        if kind == "alt":
            letter = r.choice("fgh" * 3 + LETTERS[:26])
            steps = ["Down"] * r.choice([0, 1, 1, 1, 2, 2, 3]) + (
                ["Return"] if r.random() < 0.7 else [])
            self.keys("alt+" + letter, *steps)
            return f"{where} alt+{letter} {' '.join(steps)}"
        if kind == "menu bar":
            steps = ["Right"] * r.randrange(5) + ["Down"] * r.randrange(1, 5) + ["Return"]
            self.keys("alt", *steps)
            return f"{where} alt {' '.join(steps)}"
        if kind == "shortcut":
            chord = r.choice(["ctrl+o"] * 4 + ["ctrl+s"] * 6 + ["ctrl+c", "F1", "ctrl+e",
                                                                 "ctrl+" + r.choice(LETTERS)])
            if r.random() < 0.01:
                chord = "ctrl+x"
            self.keys(chord)
            return f"{where} {chord}"
        if kind == "click":
            target = top if (r.random() < 0.7 or len(windows) == 1) else r.choice(windows)
            if target is None:
                return "no window to click"
            button, repeat = r.choices([(1, 1), (3, 1), (1, 2)], weights=[80, 15, 5])[0]
            at = self.click(target, button, repeat)
            return f"[{target.title}] click {button}x{repeat} at {at}"
        if kind == "path":
            path = self.sandbox.pick_path(r, saving=bool(top and re.search(
                r"save|export", top.title, re.I)))
            # Alt+N is the file name field of Qt's own file dialog.
            self.keys(*(["alt+n"] if file_dialog and r.random() < 0.9 else []), "ctrl+a")
            self.type_text(path)
            if r.random() < 0.9:
                self.keys("Return")
            return f"{where} typed {path!r}"
        text = "".join(r.choice(LETTERS + " ./*?~-_äß") for _ in range(r.randrange(1, 20)))
        self.type_text(text)
        return f"{where} typed {text!r}"

    def choose_focus(self, plain):
        """Gives the keyboard mostly to the topmost window, sometimes to the
        main window or another one below it (there is no window manager to
        raise a window that is clicked)."""
        if not plain:
            return None
        r = self.random.random()
        main = [w for w in plain if w.id == self.main_window]
        target = plain[-1]
        if r > 0.85:
            target = self.random.choice(plain)
        elif r > 0.5 and main:
            target = main[0]
        self.display.focus(target.id)
        return target

    # --- checks after every action

    def note_new_windows(self, windows):
        for window in windows:
            if window.id in self.seen:
                continue
            self.seen.add(window.id)
            if window.popup:
                self.figures.menus += 1
            else:
                self.figures.windows[window.title] += 1

    def check_alive(self):
        reports = self.program.new_reports()
        code = self.program.process.poll()
        if reports:
            time.sleep(1)
            raise Failure("sanitizer report:\n" + self.program.whole_report())
        if code is None:
            return
        if code != 0:
            raise Failure(f"the program ended with status {code}:\n"
                          + self.program.whole_report())
        self.figures.exits += 1
        self.start_program()

    def check_answers(self):
        self.figures.pings += 1
        limit = self.args.answer_within
        took = self.display.ping(self.main_window, limit)
        if took is not None:
            self.figures.answers.append(took)
            return
        late = self.display.ping(self.main_window, 20)
        if self.program.process.poll() is not None:
            self.figures.pings -= 1  # it ended meanwhile: check_alive says how
            self.check_alive()
            return
        state = self.hang_evidence()
        if late is not None:
            raise Failure(f"the window did not answer within {limit} s "
                          f"(it answered a second ping after {late:.1f} s)\n{state}")
        raise Failure(f"the window hangs: no answer within {limit + 20:.0f} s\n{state}")

    def hang_evidence(self):
        pid = self.program.pid
        lines = []
        try:
            lines.append("kernel wait channel: " + open(f"/proc/{pid}/wchan").read())
        except OSError:
            pass
        titles = [w.title for w in self.display.windows_of(pid) if not w.popup]
        lines.append(f"windows: {titles}")
        if shutil.which("gdb"):
            trace = subprocess.run(
                ["gdb", "-p", str(pid), "-batch", "-ex", "bt 25"], capture_output=True,
                text=True, timeout=120).stdout
            lines += [line[:300] for line in trace.splitlines() if line.startswith("#")][:12]
        return "\n".join(lines)

    def screenshot(self, name):
        if shutil.which("import") and self.args.keep:
            path = os.path.join(self.args.keep, name)
            subprocess.run(["import", "-display", self.display_name, "-window", "root", path],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
            log(f"the screen is in {path}")

    # --- the run

    def step(self):
        windows = self.display.windows_of(self.program.pid)
        self.note_new_windows(windows)
        action = self.act(windows)
        self.history.append(action)
        self.figures.actions += 1
        if self.args.verbose:
            log(action)
        time.sleep(self.random.uniform(0.02, 0.2))
        self.note_new_windows(self.display.windows_of(self.program.pid))
        self.check_alive()
        self.check_answers()

    def record(self, failure):
        text = f"{failure}\nlast actions (oldest first):\n  " + "\n  ".join(self.history)
        self.figures.failures.append(text)
        log("FAILURE: " + text)
        self.screenshot(f"monkey-failure-{len(self.figures.failures)}.png")

    def restart(self):
        try:
            self.start_program()
            return True
        except Failure as failure:
            self.record(failure)
            return False

    def finish_program(self):
        """Closes dialogs and ends the program by its Exit command, so that
        LeakSanitizer looks at what it leaves."""
        if self.program.process.poll() is None:
            for _ in range(6):
                plain = [w for w in self.display.windows_of(self.program.pid) if not w.popup]
                if len(plain) <= 1 and not any(
                        w.popup for w in self.display.windows_of(self.program.pid)):
                    break
                if plain:
                    self.display.focus(plain[-1].id)
                self.keys("Escape")
                time.sleep(0.3)
            self.display.focus(self.main_window)
            self.keys("ctrl+x")
            try:
                self.program.process.wait(30)
            except subprocess.TimeoutExpired:
                log("the program did not end on Ctrl+X (a dialog stayed open); killed")
                self.program.stop()
                return
        code = self.program.process.returncode
        reports = self.program.new_reports()
        if reports or code not in (0, -signal.SIGKILL):
            self.record(Failure(f"at the end, status {code}:\n" + self.program.whole_report()))

    def run(self):
        log(f"seed {self.args.seed} (repeat with --seed {self.args.seed})")
        started = time.monotonic()
        self.start_xvfb()
        log(f"Xvfb on {self.display_name}, files in {self.sandbox.root}")
        self.start_program()
        while time.monotonic() - started < self.args.duration:
            try:
                self.step()
            except (Failure, subprocess.TimeoutExpired) as failure:
                self.record(failure)
                self.program.stop()
                if not self.args.keep_going or not self.restart():
                    break
        else:
            self.finish_program()
        self.figures.report(self.args.seed, time.monotonic() - started,
                            self.sandbox.out, self.sandbox.web_log)
        self.report_other_output()
        return 1 if self.figures.failures else 0

    def report_other_output(self):
        """The program's other complaints (Qt warnings and the like), once
        each: not failures, but worth a look."""
        lines = collections.Counter()
        for name in sorted(os.listdir(self.sandbox.logs)):
            if name.startswith("kestrom-"):
                with open(os.path.join(self.sandbox.logs, name), "rb") as f:
                    lines.update(line for line in f.read().decode("utf-8", "replace")
                                 .splitlines() if not LEAK_SUPPRESSION_SUMMARY.match(line))
        for line, count in lines.most_common(10):
            log(f"  program said {count}x: {line[:200]}")

    def close(self):
        if self.program:
            self.program.stop()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()
        self.sandbox.remove()


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("program", help="the window program, kestrom")
    parser.add_argument("repository", help="the source tree: examples, samples, fuzz corpus")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--duration", type=float, default=60, help="seconds (default 60)")
    parser.add_argument("--answer-within", type=float, default=2.0,
                        help="seconds the window may take to answer (default 2)")
    parser.add_argument("--skip", default="",
                        help="comma-separated path kinds not to type: " +
                        ",".join(monkey_files.KINDS))
    parser.add_argument("--verbose", action="store_true", help="print every action")
    parser.add_argument("--keep-going", action="store_true",
                        help="after a failure, start the program again and go on")
    parser.add_argument("--keep", metavar="FOLDER",
                        help="keep the program's error output and failure screenshots here")
    args = parser.parse_args()
    if args.seed is None:
        args.seed = int.from_bytes(os.urandom(4), "big")
    args.skip = {kind for kind in args.skip.split(",") if kind}
    unknown = args.skip - set(monkey_files.KINDS)
    if unknown:
        parser.error(f"unknown kinds {sorted(unknown)}")
    return args


def main():
    args = parse_arguments()
    if os.geteuid() != 0:
        log("skipped: needs root, to run the program as nobody so that random "
            "answers to file dialogs cannot touch the user's files")
        return SKIPPED
    for tool, package in [("Xvfb", "xvfb"), ("xdotool", "xdotool")]:
        if not shutil.which(tool):
            log(f"{tool} is missing: install the Debian package {package}")
            return 2
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
    monkey = Monkey(args)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        return monkey.run()
    finally:
        if args.keep:
            for name in os.listdir(monkey.sandbox.logs):
                shutil.copy(os.path.join(monkey.sandbox.logs, name), args.keep)
        monkey.close()


if __name__ == "__main__":
    sys.exit(main())
