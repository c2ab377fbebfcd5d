#!/usr/bin/env python3
"""Starts pulsavo on generated command lines and checks that it fails only cleanly.

A line the trainer refuses must end within the time limit with status 2 and exactly one line,
"pulsavo: ...", on standard error; one it cannot start (no display) with status 1 and its last
line "pulsavo: ..."; --help and --version with status 0 and nothing on standard error. A line it
accepts opens its window (offscreen) and is stopped with SIGTERM after a moment, as a session
manager would stop it. Whatever happened, nothing it printed holds a raw control character and
no sanitizer report; and in its folder of fixtures (answers databases, damaged and empty ones, a
CSV, links):
- no file is named after an option (a value missing, the next option taken as a file name);
- nothing changes but the answers database of --db (and its -wal/-shm/-journal), which only the
  windows that keep answers may write: a damaged one is moved aside whole beside it, never lost;
- a refused or failed start changes nothing at all.

    tests/fuzz/fuzz-trainer.py --trainer build/asan/app/pulsavo --cases 600 [--seed S]
        [--writer W]   tests/progress/progress_writer, for the answers database of the fixtures

The seed is printed first; the same seed and binary give the same command lines.
"""

import argparse
import importlib.util
import os
import signal
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # a test leaves nothing behind in the checkout
_spec = importlib.util.spec_from_file_location("fuzz_strip", os.path.join(HERE, "fuzz-strip.py"))
strip = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(strip)

# Codes of the release before the rhythm library, one with settings, and broken ones.
EXAM_CODES = [b"PX-8J00-16JS", b"PX-8C0W-0800-000D", b"px-8j00-16js", b"PX-8J00-16JT", b"PX-",
              b"PX-FZZZ-ZZZR", b"", b"\x1b]0;title\x07", "試験".encode()]
MODES = [b"--practice", b"--ward", b"--instructor", b"--gradebook", b"--join"]
STRAYS = [b"--bogus", b"-x", b"--db=answers.sqlite", b"--lang=en", b"-practice", b"--", b"-",
          b"--help=1", b"--PRACTICE", b"---db"]


def db_value(rng, scratch):
    return rng.choice([strip.database_value(rng, scratch), b"keep.csv", b"new.sqlite",
                       b"sub/new.sqlite", b"nonexistent/dir/a.sqlite", b"--practice", b"-x",
                       b"/dev/null", b"link-to-keep", b"dangling"])


def trainer_line(rng, scratch):
    if rng.random() < 0.05:
        return [rng.choice([b"--help", b"-h", b"--version", b"-help", b"-version"])]
    args = []
    # Mostly one window; now and then two that cannot go together, or none (the classic dialog).
    for mode in rng.sample(MODES, rng.choice([0, 1, 1, 1, 1, 2])):
        args.append(mode)
        if mode == b"--join":
            args.append(rng.choice([b"XV3DFF", b"xv3-dff", b"OOOOOO", b"--host",
                                    strip.nasty(rng)]))
            # Always somewhere to connect: a query on the room's network could reach another
            # test's class.
            args += [b"--host", rng.choice([b"127.0.0.1:1", b"[::1]:1", b"127.0.0.1:99999",
                                            b"not an address", b"\x1b[2J", b"8.8.8.8:80"])]
    # Mostly what the window takes, so that most lines start it; now and then anything.
    fitting = {b"--practice": [b"--db", b"--db", b"--lang", b"--exam"],
               b"--gradebook": [b"file", b"file", b"--exam", b"--lang"],
               b"--join": [b"--name", b"--lang"]}
    mode = next((arg for arg in args if arg in fitting), None)
    anything = [b"--db", b"--db", b"--lang", b"--exam", b"--name", b"--host", b"file", b"stray"]
    for _ in range(rng.randint(0, 4)):
        if rng.random() < 0.75:
            fresh = [o for o in fitting.get(mode, [b"--db", b"--lang"])
                     if o == b"file" or o not in args]
            if not fresh:
                break
            option = rng.choice(fresh)
        else:
            option = rng.choice(anything)
        if option == b"--db":
            args += [option, db_value(rng, scratch)]
        elif option == b"--lang":
            args += [option, rng.choice([b"ja", b"en", b"ja", b"en", b"EN", b"de", b"",
                                         b"--db", b"ja\n"])]
        elif option == b"--exam":
            args += [option, rng.choice(EXAM_CODES)]
        elif option == b"--name":
            args += [option, rng.choice([b"\xe5\xb1\xb1\xe7\x94\xb0", b"x" * 300,
                                         strip.nasty(rng)])]
        elif option == b"--host":
            args += [option, rng.choice([b"127.0.0.1:1", b"--join", b"x"])]
        elif option == b"file":
            args.append(rng.choice([b"answers.sqlite", b"keep.csv", b"bad.sqlite", b"missing",
                                    b"sub", strip.nasty(rng)]))
        else:
            args.append(rng.choice(STRAYS))
    if rng.random() < 0.05:
        args.append(rng.choice([b"--db", b"--lang", b"--exam", b"--join", b"--name"]))
    return args


def database_names(args, scratch):
    """Every name, inside the case's folder, of the answers database --db names: the name
    given, where its links lead, and its other hard links."""
    given = None
    for i, arg in enumerate(args[:-1]):
        if arg == b"--db":
            given = os.path.join(scratch, args[i + 1])
    if given is None:
        return set()
    real = os.path.realpath(scratch)
    names = {os.path.relpath(given, scratch),
             os.path.relpath(os.path.realpath(given), real)}
    try:
        target = os.stat(given)
    except OSError:
        return names
    for dirpath, _, files in os.walk(scratch):
        for name in files:
            path = os.path.join(dirpath, name)
            info = os.lstat(path)
            if (info.st_dev, info.st_ino) == (target.st_dev, target.st_ino):
                names.add(os.path.relpath(path, scratch))
    return names


def run_case(trainer, args, scratch, env, timeout, life):
    before = {k: v for k, v in strip.snapshot(scratch).items() if not k.startswith(b"home/")}
    # Only the windows that keep answers may write the database, and only once started.
    owner = b"--practice" in args or b"--exam" in args
    databases = database_names(args, scratch) if owner else set()
    returncode, err, stopped = strip.run_for([trainer] + args, scratch, env, timeout, life)
    if returncode is None:
        return "hang: no exit within %s s" % timeout, None
    problems = []
    informative = bool(args) and args[0] in (b"--help", b"-h", b"--version", b"-help",
                                              b"-version") and len(args) == 1
    if stopped:
        if returncode != -signal.SIGTERM:
            problems.append("exit status %d after SIGTERM" % returncode)
    elif returncode not in (0, 1, 2):
        problems.append("exit status %d" % returncode)
    elif returncode == 0 and (err or not informative):
        problems.append("exit status 0 %s" % ("with stderr" if err else "for a window"))
    elif returncode == 2 and (not err.startswith(b"pulsavo: ") or err.count(b"\n") != 1 or
                              not err.endswith(b"\n")):
        problems.append("stderr is not one line")
    elif returncode == 1 and (not err.endswith(b"\n") or
                              not err[:-1].split(b"\n")[-1].startswith(b"pulsavo: ")):
        problems.append("failure without its line last")
    if strip.control_bytes(err):
        problems.append("control bytes on stderr")
    if b"Sanitizer" in err or b"runtime error:" in err:
        problems.append("sanitizer report")

    after = {k: v for k, v in strip.snapshot(scratch).items() if not k.startswith(b"home/")}
    if not stopped:
        databases = set()
    journals = {name + suffix for name in databases for suffix in (b"", b"-wal", b"-shm",
                                                                    b"-journal")}
    kept = set(before.values())
    for name in sorted(set(before) | set(after)):
        if os.path.basename(name).startswith(b"-"):
            problems.append("file named after an option: %r" % name)
        if before.get(name) == after.get(name):
            continue
        moved = any(name.startswith(db + b".damaged-") for db in databases)
        if name in journals:
            if name not in after and not any(n.startswith(name + b".damaged-") for n in after):
                problems.append("answers database %r gone, not moved aside" % name)
        elif moved and name not in before and (after[name] in kept or name.endswith(b"-shm")):
            continue  # the damaged file beside the new one, with every byte it held
        else:
            problems.append("%s %r" % ("made" if name not in before else
                                       "removed" if name not in after else "changed", name))
    if problems:
        return "; ".join(problems) + "; stderr %r" % err[-300:], returncode
    return None, "SIGTERM" if stopped else returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--trainer", required=True, help="the pulsavo binary")
    parser.add_argument("--cases", type=int, default=600)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--timeout", type=float, default=60.0, help="seconds per case")
    parser.add_argument("--life", type=float, default=1.5,
                        help="seconds a started window runs before SIGTERM")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--writer", default=None,
                        help="progress_writer, to make the answers database of the fixtures")
    options = parser.parse_args()
    options.trainer = os.path.abspath(options.trainer)
    seed = strip.first_seed("fuzz-trainer", options)
    root = tempfile.mkdtemp(prefix="fuzz-trainer-")
    env = strip.sanitizer_environment()
    answers = strip.answers_database(root, options.writer, env)

    def one(index, case_rng):
        scratch, _ = strip.make_scratch(root, answers)
        case_env = dict(strip.case_environment(env, scratch), PULSE_SERVER=b"unix:/nonexistent",
                        QT_QPA_PLATFORM=b"offscreen")
        if case_rng.random() < 0.05:  # no display at all
            case_env.pop("DISPLAY", None)
            case_env.pop("WAYLAND_DISPLAY", None)
            case_env["QT_QPA_PLATFORM"] = b"xcb"
        try:
            args = trainer_line(case_rng, scratch)
            failure, status = run_case(options.trainer, args, scratch, case_env,
                                       options.timeout, options.life)
        finally:
            strip.remove_scratch(scratch)
        return index, args, failure, status

    return strip.run_all("fuzz-trainer", seed, options, one, root)


if __name__ == "__main__":
    sys.exit(main())
