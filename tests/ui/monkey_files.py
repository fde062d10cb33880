"""The monkey's scratch folder: a copy of the program, the files whose paths
it types (valid, broken, missing, FIFOs, directories, devices, unreadable,
read-only), and the environment the program runs in. Everything belongs to
the unprivileged user the program runs as."""

import glob
import os
import pwd
import shutil
import stat
import tempfile

KINDS = ["valid", "broken", "missing", "fifo", "directory", "device", "unreadable",
         "output", "readonly"]
# How often each kind is typed into an open dialog and into a save dialog.
OPEN_WEIGHTS = {"valid": 45, "broken": 25, "missing": 8, "fifo": 4, "directory": 6,
                "device": 4, "unreadable": 4, "output": 14, "readonly": 5}
SAVE_WEIGHTS = {"valid": 6, "broken": 4, "missing": 6, "fifo": 4, "directory": 6,
                "device": 6, "unreadable": 3, "output": 55, "readonly": 10}

WEB_STUB = """#!/bin/sh
# Stands in for the browser: notes the address instead of opening it.
echo "$*" >> "{log}"
"""


class Sandbox:
    def __init__(self, args, rnd):
        self.user = pwd.getpwnam("nobody")
        self.skip = args.skip
        self.root = tempfile.mkdtemp(prefix="kestrom-monkey.")
        os.chmod(self.root, 0o755)
        for name in ["program", "home", "runtime", "bin", "logs", "files", "out"]:
            os.mkdir(os.path.join(self.root, name))
        self.home = os.path.join(self.root, "home")
        self.logs = os.path.join(self.root, "logs")
        self.files = os.path.join(self.root, "files")
        self.out = os.path.join(self.root, "out")
        self.web_log = os.path.join(self.home, "web-addresses.txt")
        self.program = self._copy_program(args.program)
        self._write_browser_stub()
        self.paths = {kind: [] for kind in KINDS}
        self._make_inputs(args.repository, rnd)
        self._make_outputs()
        self._hand_over()
        self._restrict()

    def _copy_program(self, program):
        target = os.path.join(self.root, "program", "kestrom")
        shutil.copy(program, target)
        help_file = os.path.join(os.path.dirname(program), "kestrom.hlp")
        if os.path.exists(help_file):
            shutil.copy(help_file, os.path.dirname(target))
        return target

    def _write_browser_stub(self):
        stub = os.path.join(self.root, "bin", "xdg-open")
        with open(stub, "w") as f:
            f.write(WEB_STUB.format(log=self.web_log))
        os.chmod(stub, 0o755)

    def _file(self, name, content, kind):
        path = os.path.join(self.files, name)
        with open(path, "wb") as f:
            f.write(content)
        self.paths[kind].append(path)
        return path

    def _make_inputs(self, repository, rnd):
        shared = os.path.join(repository, "..", "shared", "asf-samples")
        sources = sorted(glob.glob(os.path.join(repository, "examples", "*.asf")) +
                         glob.glob(os.path.join(repository, "tests", "data", "samples", "*.asf")) +
                         glob.glob(os.path.join(shared, "*.asf")))
        valid = []
        for i, source in enumerate(sources):
            name = os.path.basename(source)
            if i % 4 == 1:
                name = "with space " + name
            elif i % 4 == 2:
                name = "ünïcödé-" + name
            valid.append(self._file(name, open(source, "rb").read(), "valid"))
        text = open(valid[0], "rb").read() if valid else b"VERSION=1.19\n"
        self._file("empty.asf", b"", "broken")
        self._file("not-asf.asf", b"hello\n", "broken")
        self._file("version-only.asf", b"VERSION=1.19\n", "broken")
        self._file("garbage.asf", bytes(rnd.randrange(256) for _ in range(4096)), "broken")
        self._file("long-line.asf", b"VERSION=1.19\nOBJECTS\n" + b"x" * 300000 + b"\n", "broken")
        for i in range(6):
            source = open(rnd.choice(valid), "rb").read() if valid else text
            self._file(f"truncated-{i}.asf", source[:rnd.randrange(len(source) + 1)], "broken")
        corpus = sorted(glob.glob(os.path.join(repository, "tests", "fuzz", "corpus",
                                               "conversion", "*")))
        for i, source in enumerate(rnd.sample(corpus, min(16, len(corpus)))):
            self._file(f"fuzz-{i}.asf", open(source, "rb").read(), "broken")
        self.paths["missing"] += [os.path.join(self.files, "missing.asf"),
                                  os.path.join(self.files, "no", "such", "folder.asf"),
                                  os.path.join(self.files, "m" * 300 + ".asf"),
                                  "relative-missing.asf"]
        fifo = os.path.join(self.files, "fifo.asf")
        os.mkfifo(fifo)
        self.paths["fifo"].append(fifo)
        folder = os.path.join(self.files, "folder.asf")
        os.mkdir(folder)
        self.paths["directory"] += [folder, self.files, self.out, "/"]
        self.paths["device"] += ["/dev/null", "/dev/zero", "/dev/full"]
        self.paths["unreadable"].append(self._file("unreadable.asf", text, "unreadable"))
        self.unreadable = self.paths["unreadable"][:]
        self._file("link.asf", b"", "broken")
        os.unlink(os.path.join(self.files, "link.asf"))
        if valid:
            os.symlink(valid[0], os.path.join(self.files, "link.asf"))

    def _make_outputs(self):
        names = ["out.cpp", "machine.cpp", "with space.cpp", "ünïcödé.cpp", "noext",
                 "o" * 240 + ".cpp", ".hidden.cpp", "twice.cpp.cpp"]
        self.paths["output"] += [os.path.join(self.out, n) for n in names]
        self.paths["output"].append("relative-out.cpp")
        dangling = os.path.join(self.out, "dangling.cpp")
        os.symlink(os.path.join(self.out, "target-of-link.cpp"), dangling)
        self.paths["output"].append(dangling)
        fifo = os.path.join(self.out, "fifo.cpp")
        os.mkfifo(fifo)
        self.paths["fifo"].append(fifo)
        readonly = os.path.join(self.out, "readonly.cpp")
        open(readonly, "w").close()
        folder = os.path.join(self.root, "readonly-folder")
        os.mkdir(folder)
        open(os.path.join(folder, "writable.cpp"), "w").close()
        self.paths["readonly"] += [readonly, os.path.join(folder, "writable.cpp"),
                                   os.path.join(folder, "new.cpp")]
        self.readonly = [readonly, folder]

    def _hand_over(self):
        """The program may write its option file, its home and the output
        folder; the inputs and the program itself stay root's, in sticky
        folders, so no answer to a dialog removes them."""
        uid, gid = self.user.pw_uid, self.user.pw_gid
        for name in ["home", "runtime", "out", "readonly-folder"]:
            for top, folders, names in os.walk(os.path.join(self.root, name)):
                os.lchown(top, uid, gid)
                for entry in folders + names:
                    os.lchown(os.path.join(top, entry), uid, gid)
        for name in ["program", "files"]:
            os.chmod(os.path.join(self.root, name), 0o1777)
        for path in self.paths["fifo"]:
            os.lchown(path, uid, gid)
        os.chmod(os.path.join(self.root, "runtime"), 0o700)

    def _restrict(self):
        for path in self.unreadable:
            os.chmod(path, 0)
        os.chmod(self.readonly[0], 0o444)
        os.chmod(self.readonly[1], 0o555)

    def set_option_file(self, rnd):
        """Leaves option.dat beside the program absent, valid, short, a
        folder or a FIFO, at random, before each start."""
        path = os.path.join(self.root, "program", "option.dat")
        if os.path.isdir(path) and not os.path.islink(path):
            os.rmdir(path)
        elif os.path.lexists(path):
            os.unlink(path)
        states = ["absent"] * 4 + ["method", "thread", "short", "folder"]
        if "fifo" not in self.skip:
            states.append("fifo")
        state = rnd.choice(states)
        if state in ("method", "thread", "short"):
            with open(path, "wb") as f:
                f.write({"method": b"\xff\xff", "thread": b"\0\0", "short": b"\x01"}[state])
        elif state == "folder":
            os.mkdir(path)
        elif state == "fifo":
            os.mkfifo(path)
        if os.path.lexists(path):
            os.lchown(path, self.user.pw_uid, self.user.pw_gid)

    def set_extension_choices(self, rnd):
        """Leaves "Accept other ASF versions" on in half the starts, so that
        the files of other versions open too, and the other choices at
        random."""
        folder = os.path.join(self.home, ".config", "Kestrom")
        os.makedirs(folder, exist_ok=True)
        lines = ["[Extensions]"]
        lines.append("AnyVersion=" + rnd.choice(["true", "false"]))
        for key in ["ActionKinds", "TypedPorts", "StatePort"]:
            lines.append(key + "=" + rnd.choice(["true", "false", "false"]))
        lines.append("Reset=" + rnd.choice(["", "", "sync", "async"]))
        path = os.path.join(folder, "Kestrom.conf")
        with open(path, "w") as f:
            f.write("\n".join(lines) + "\n")
        for top in [os.path.join(self.home, ".config"), folder, path]:
            os.lchown(top, self.user.pw_uid, self.user.pw_gid)

    def pick_path(self, rnd, saving):
        weights = SAVE_WEIGHTS if saving else OPEN_WEIGHTS
        kinds = [k for k in KINDS if k not in self.skip and self.paths[k]]
        kind = rnd.choices(kinds, weights=[weights[k] for k in kinds])[0]
        return rnd.choice(self.paths[kind])

    def environment(self, display):
        return {
            "DISPLAY": display,
            "QT_QPA_PLATFORM": "xcb",
            "XDG_RUNTIME_DIR": os.path.join(self.root, "runtime"),
            "HOME": self.home,
            "PATH": os.path.join(self.root, "bin") + ":/usr/local/bin:/usr/bin:/bin",
            "BROWSER": os.path.join(self.root, "bin", "xdg-open"),
            "LANG": "C.UTF-8",
            "NO_AT_BRIDGE": "1",
            "ASAN_OPTIONS": "detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1",
            "UBSAN_OPTIONS": "print_stacktrace=1:halt_on_error=1",
            "LSAN_OPTIONS": "suppressions=" + os.path.join(
                os.path.dirname(os.path.abspath(__file__)), "monkey-leaks.supp"),
        }

    def remove(self):
        for path in self.unreadable + self.readonly:
            if os.path.lexists(path):
                os.chmod(path, 0o700)
        shutil.rmtree(self.root, ignore_errors=True)
