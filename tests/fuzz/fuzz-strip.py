#!/usr/bin/env python3
"""Runs pulsavo-strip on generated command lines and checks that it fails only cleanly.

Each case must end with exit status 0, 1 or 2 within the time limit (no crash, no sanitizer
report, no hang; a class's host, which runs until stopped, gets SIGTERM after a second and must
end with 0); print nothing on standard error on success and exactly one line starting with
"pulsavo-strip: " otherwise (the gradebook's notices and a class's log come before it), never a
raw control character; run with a home of its own; and leave its scratch directory with no
temporary file, no partial output, and, when it fails, no new or changed file at all. An
answers database (or its log) never changes; a report (progress) changes nothing but its --csv
file; after a success every file output holds its own format whole (two outputs into one file
would leave one of them holding the other's). A failure is one line: the case, what went
wrong, the arguments.

    tests/fuzz/fuzz-strip.py --strip build/asan/tools/pulsavo-strip --cases 5000 [--seed S]
        [--writer W]   tests/progress/progress_writer, which makes the answers database that
                       the progress cases read (a copy in each case; without it, an empty file)

The seed is printed first; the same seed and strip binary give the same command lines.
"""

import argparse
import os
import random
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))
TEMP_PREFIX = b".pulsavo-strip-"
SCENARIO = (b'{"format": "pulsavo-scenario", "version": 1, "title": {"ja": "a", "en": "a"}, '
            b'"steps": [{"title": {"ja": "b", "en": "b"}, "rhythm": "vt_monomorphic", '
            b'"duration_s": 1}, {"title": {"ja": "c", "en": "c"}, "rhythm": "vf_coarse", '
            b'"advance": "manual", "duration_s": 1, "notes": "\\u001b[31m"}]}')
FIXTURES = {b"keep.csv": b"old complete csv\n", b"keep.png": b"old complete png",
            b"empty.sqlite": b"", b"bad.sqlite": b"SQLite format 3\x00" + b"\x5a" * 4000,
            b"short.json": SCENARIO, b"bad.json": SCENARIO.replace(b"manual", b"later"),
            b"deep.json": b"[" * 5000 + b"]" * 5000,
            b"dup.json": SCENARIO.replace(b'"version": 1', b'"version": 1, "version": 1')}
DATABASES = (b"answers.sqlite", b"empty.sqlite", b"bad.sqlite")
OPTIONS = ["--ticks", "--select", "--width", "--height", "--csv", "--png", "--svg", "--pdf",
           "--style", "--grid", "--row-seconds", "--from", "--artifact", "--pleth"]
FILE_OPTIONS = {"--csv", "--png", "--svg", "--pdf"}


def nasty(rng):
    return rng.choice([b"", b"\n", b"a\nb", b"\x1b[31mred", b"\xff\xfe", b"\t", b"\\", b" ",
                       b"\xc2\x9b1m", b"%s%n", "心電図".encode(), b"-", b"--", b"-1", b"x" * 300])


def number(rng, lo, hi):
    return str(rng.choice([lo, hi, lo - 1, hi + 1, rng.randint(lo, hi), rng.randint(lo, hi),
                           rng.randint(lo, hi), 0, -1, 2**31, 2**63, 99999999999])).encode()


def ticks_value(rng):
    return str(rng.choice([1, 2, 5, 60, 600, 1200, 3000, rng.randint(1, 5000)])).encode()


def bad_ticks(rng):
    # Only values that fail: a full 8,640,000-tick run is legitimate but too slow to fuzz.
    return rng.choice([b"0", b"-1", b"8640001", b"9223372036854775808", b"99999999999",
                       b"12abc", b"", b"+5", b" 5", b"0x10"])


def selection(rng):
    tick = rng.choice([b"1", b"2", b"100", b"0", b"-1", b"9999999", b"", b"x"])
    rhythm = rng.choice([str(rng.randint(0, 17)).encode(), b"none", b"18", b"-1", b"", b"17",
                         b"0x1", b" 1", b"sinus_bradycardia", b"torsades", b"paced_av",
                         b"af_rapid", b"classic_4", b"classic_18", b"Mobitz_1", b"mobitz_9"])
    seed = rng.choice([b"", b"@1", b"@42", b"@4294967295", b"@4294967296", b"@", b"@-1",
                       b"@" + str(rng.randint(0, 2**32 - 1)).encode()])
    text = tick + b":" + rhythm + seed
    return rng.choice([text, text, text, b"1", b"1:2:3", nasty(rng)])


def path_value(rng, scratch, devices):
    return rng.choice([
        b"out.csv", b"out.png", b"out.svg", b"out.pdf", b"a", b"./same", b"same", b"keep.csv",
        b"keep.png", b"-", b"", b"./-x", b"-x", b"--grid", b"sub/", b".", b"..", b"x" * 256,
        b"x" * 255, b"nonexistent/dir/out.csv", scratch + b"/abs.csv", b"link-to-keep",
        b"dangling", b"n\xffm.csv", b"line\nbreak.csv", b"/dev/null", b"/dev/stdout",
        devices.get(b"full", b"out.csv"), devices.get(b"null", b"out.csv"),
        b"locked/inside.csv", b"answers.sqlite", b"./answers.sqlite", b"answers.sqlite-wal",
        b"link-to-db", b"hard-db", b"--lang", b"--db", b"x.pdf", b"./x.pdf", b"short.json"])


def database_value(rng, scratch):
    return rng.choice([b"answers.sqlite", b"answers.sqlite", b"./answers.sqlite", b"link-to-db",
                       b"hard-db", b"empty.sqlite", b"bad.sqlite", b"missing.sqlite", b"sub",
                       b"--lang", b"", b"n\xffm.sqlite", scratch + b"/answers.sqlite",
                       b"locked/none.sqlite"])


def exam_code(rng):
    return rng.choice([b"PX-4K7Q-M2ZD", b"PX-1", b"", b"px-4k7q-m2zd", b"\x1b[31m", b"--lang",
                       b"PX-" + bytes(rng.choice(b"0123456789ABCDEFGHJKMNPQRSTVWXYZ")
                                      for _ in range(8))])


def rhythm_list(rng):
    return rng.choice([b"0,4-5,10", b"classic", b"library", b"av_block", b"mobitz_1,4", b"",
                       b"0,18", b"paced_x", b"17-0", nasty(rng)])


def events_line(rng, scratch, devices):
    args = [b"events"]
    if rng.random() < 0.95:
        args += [b"--ticks", ticks_value(rng) if rng.random() < 0.9 else bad_ticks(rng)]
    for _ in range(rng.randint(0, 4)):
        option = rng.choice(["--select", "--select", "--csv", "--ticks", "--png", "--artifact",
                             "--pleth"])
        if option == "--pleth":
            args.append(b"--pleth")
        else:
            args += [option.encode(), option_value(rng, option, scratch, devices)]
    return args


def exam_line(rng, scratch, devices):
    args = [b"exam"]
    if rng.random() < 0.9:
        args += [b"--count", rng.choice([b"1", b"2", b"3", b"6", b"0", b"129", b"x"])]
    for _ in range(rng.randint(0, 5)):
        option = rng.choice(["--pdf", "--pdf", "--key", "--key", "--seed", "--rhythms",
                             "--library", "--lang", "--count"])
        if option == "--library":
            args.append(b"--library")
        elif option in ("--pdf", "--key"):
            args += [option.encode(), path_value(rng, scratch, devices)]
        elif option == "--seed":
            args += [b"--seed", number(rng, 0, 67108863)]
        elif option == "--rhythms":
            args += [b"--rhythms", rhythm_list(rng)]
        elif option == "--lang":
            args += [b"--lang", rng.choice([b"en", b"ja", b"de", b""])]
        else:
            args += [b"--count", rng.choice([b"1", b"2"])]
    return args


def progress_line(rng, scratch, devices):
    args = [b"progress"]
    if rng.random() < 0.9:
        args += [b"--db", database_value(rng, scratch)]
    for _ in range(rng.randint(0, 4)):
        option = rng.choice(["--csv", "--csv", "--exam", "--lang", "--rhythms", "--ids", "--db"])
        if option == "--ids":
            args.append(b"--ids")
        elif option == "--csv":
            args += [b"--csv", path_value(rng, scratch, devices)]
        elif option == "--db":
            args += [b"--db", database_value(rng, scratch)]
        elif option == "--exam":
            args += [b"--exam", exam_code(rng)]
        elif option == "--lang":
            args += [b"--lang", rng.choice([b"en", b"ja", b"xx"])]
        else:
            args += [b"--rhythms", rhythm_list(rng)]
    return args


def gradebook_line(rng, scratch, devices):
    args = [b"gradebook"]
    if rng.random() < 0.9:
        args += [b"--exam", exam_code(rng)]
    for _ in range(rng.randint(0, 3)):
        option = rng.choice([b"--csv", b"--pdf", b"--lang"])
        args += [option, rng.choice([b"en", b"ja", b"xx"]) if option == b"--lang"
                 else path_value(rng, scratch, devices)]
    # The files last, so that every option keeps its value.
    for _ in range(rng.randint(0, 3)):
        args.append(rng.choice([database_value(rng, scratch), b"keep.csv", nasty(rng)]))
    return args


def scenario_line(rng, scratch, devices):
    args = [b"scenario", rng.choice([b"check", b"play", b"play", b"show", nasty(rng)])]
    if rng.random() < 0.95:
        args.append(rng.choice([b"short.json", b"short.json", b"bad.json", b"deep.json",
                                b"dup.json", b"missing.json", b"keep.png", b"sub", b"/dev/null",
                                b"--csv", nasty(rng)]))
    for _ in range(rng.randint(0, 4)):
        option = rng.choice([b"--csv", b"--png", b"--pdf", b"--svg", b"--log", b"--log",
                             b"--seed", b"--grid", b"--ladder", b"--lang", b"--row-seconds",
                             b"--ticks"])
        if option in (b"--grid", b"--ladder"):
            args.append(option)
        elif option == b"--seed":
            args += [option, number(rng, 0, 4294967295)]
        elif option == b"--lang":
            args += [option, rng.choice([b"en", b"ja", b"xx"])]
        elif option in (b"--row-seconds", b"--ticks"):
            args += [option, number(rng, 1, 60)]
        else:
            args += [option, path_value(rng, scratch, devices)]
    return args


def classroom_line(rng, scratch, devices):
    """A host runs until stopped (the case stops it after a moment); a join either fails at
    once or finds nothing listening at a loopback port."""
    role = rng.choice([b"host", b"host", b"join", b"join", b"join", b"leave", nasty(rng)])
    args = [b"classroom", role]
    if role == b"join" and rng.random() < 0.9:
        args.append(rng.choice([b"127.0.0.1:1", b"127.0.0.1:1", b"localhost:1", b"[::1]:1",
                                b"8.8.8.8:80", b"127.0.0.1:99999", b"host", nasty(rng)]))
    if role == b"join" and rng.random() < 0.9:
        args.append(rng.choice([b"XV3DFF", b"xv3-dff", b"OOOOOO", b"ABC", nasty(rng)]))
    for _ in range(rng.randint(0, 4)):
        option = rng.choice([b"--listen", b"--rhythm", b"--scenario", b"--seed", b"--code",
                             b"--poll", b"--option", b"--option", b"--no-discovery",
                             b"--discovery-port", b"--events", b"--events", b"--ticks", b"--name"])
        if option == b"--no-discovery":
            args.append(option)
        elif option == b"--listen":
            args += [option, rng.choice([b"127.0.0.1:0", b"127.0.0.1:0", b"8.8.8.8:80",
                                         b"127.0.0.1:-1", b"[::1]:0", b"127.0.0.1", nasty(rng)])]
        elif option == b"--rhythm":
            args += [option, rng.choice([b"4", b"vf_coarse", b"18", b"", nasty(rng)])]
        elif option == b"--scenario":
            args += [option, rng.choice([b"short.json", b"bad.json", b"deep.json",
                                         b"dup.json", b"missing.json", b"keep.png", b"sub"])]
        elif option in (b"--seed", b"--ticks", b"--discovery-port"):
            args += [option, number(rng, 1, 65535)]
        elif option == b"--events":
            args += [option, path_value(rng, scratch, devices)]
        else:
            args += [option, rng.choice([b"A?", b"XV3DFF", b"x" * 81, "心房細動".encode(),
                                         nasty(rng)])]
    if role == b"host" and b"--listen" not in args:
        args += [b"--listen", b"127.0.0.1:0"]  # no case may take a shared port from another
    if b"--discovery-port" not in args:
        # A port of its own: a query or an answer must not reach another test's class.
        args += [b"--discovery-port", str(rng.randint(20000, 60000)).encode()]
    return args


def runs_until_stopped(args):
    return len(args) > 1 and args[:2] == [b"classroom", b"host"]


def control_bytes(text):
    """Whether what a program printed holds a raw control character other than the line end
    (C0, DEL, or C1 such as the one-byte CSI): an argument echoed without escaping."""
    return any((ord(ch) < 0x20 and ch != "\n") or 0x7f <= ord(ch) <= 0x9f
               for ch in text.decode("utf-8", "replace"))


def option_value(rng, option, scratch, devices):
    if rng.random() < 0.05:
        return nasty(rng)
    if option == "--ticks":
        return ticks_value(rng) if rng.random() < 0.8 else bad_ticks(rng)
    if option == "--select":
        return selection(rng)
    if option == "--width":
        return number(rng, 31, 700) if rng.random() < 0.3 else str(rng.randint(31, 700)).encode()
    if option == "--height":
        return number(rng, 1, 400) if rng.random() < 0.3 else str(rng.randint(1, 400)).encode()
    if option in FILE_OPTIONS:
        return path_value(rng, scratch, devices)
    if option == "--style":
        return rng.choice([b"strip", b"monitor", b"paper", b""])
    if option == "--row-seconds":
        return number(rng, 1, 60)
    if option == "--from":
        return number(rng, 1, 600)
    if option == "--artifact":
        kind = rng.choice([b"wander", b"tremor", b"mains", b"motion", b"lead_off", b"cpr",
                           b"Tremor", b"noise", b""])
        return kind if rng.random() < 0.4 else kind + b":" + number(rng, 1, 10)
    return b""


def command_line(rng, scratch, devices):
    roll = rng.random()
    if roll < 0.04:
        return [rng.choice([b"--help", b"-h", b"help", b"--version"])]
    if roll < 0.08:
        return [b"list"] + ([nasty(rng)] if rng.random() < 0.5 else [])
    if roll < 0.16:
        return [b"explain"] + [rng.choice([str(rng.randint(-2, 20)).encode(), nasty(rng),
                                           "心房細動".encode(), b"0", b"17"])
                               for _ in range(rng.choice([0, 1, 1, 1, 2]))]
    if roll < 0.18:
        return [nasty(rng)] + [nasty(rng) for _ in range(rng.randint(0, 3))]
    if roll < 0.32:
        return events_line(rng, scratch, devices)
    if roll < 0.44:
        return exam_line(rng, scratch, devices)
    if roll < 0.56:
        return progress_line(rng, scratch, devices)
    if roll < 0.62:
        return gradebook_line(rng, scratch, devices)
    if roll < 0.70:
        return scenario_line(rng, scratch, devices)
    if roll < 0.76:
        return classroom_line(rng, scratch, devices)
    args = [b"trace"]
    if rng.random() < 0.95:
        args += [b"--ticks", ticks_value(rng) if rng.random() < 0.9 else bad_ticks(rng)]
    for _ in range(rng.randint(0, 6)):
        option = rng.choice(OPTIONS)
        if option in ("--grid", "--pleth"):
            args.append(option.encode())
        elif rng.random() < 0.03:
            args.append(option.encode())  # value missing at the end, or the next option taken
        else:
            args += [option.encode(), option_value(rng, option, scratch, devices)]
    if rng.random() < 0.3:
        args.append(rng.choice([b"--png", b"--csv", b"--svg"]))
        args.append(path_value(rng, scratch, devices))
    if rng.random() < 0.03:
        args.append(nasty(rng))
    return args


def make_scratch(root, answers):
    scratch = tempfile.mkdtemp(prefix="case-", dir=root).encode()
    for name, data in FIXTURES.items():
        with open(os.path.join(scratch, name), "wb") as f:
            f.write(data)
    with open(os.path.join(scratch, b"answers.sqlite"), "wb") as f:
        f.write(answers)
    os.symlink(b"answers.sqlite", os.path.join(scratch, b"link-to-db"))
    os.link(os.path.join(scratch, b"answers.sqlite"), os.path.join(scratch, b"hard-db"))
    os.makedirs(os.path.join(scratch, b"sub"))
    os.symlink(b"keep.csv", os.path.join(scratch, b"link-to-keep"))
    os.symlink(b"made-by-link.csv", os.path.join(scratch, b"dangling"))
    locked = os.path.join(scratch, b"locked")
    os.makedirs(locked)
    devices = {}
    if os.geteuid() == 0:
        # Private device nodes: a wrongly renamed output spoils only these, never /dev.
        for name, minor in ((b"full", 7), (b"null", 3)):
            node = os.path.join(scratch, b"dev-" + name)
            try:
                os.mknod(node, 0o666 | stat.S_IFCHR, os.makedev(1, minor))
                devices[name] = node
            except OSError:
                pass
    else:
        os.chmod(locked, 0o555)
    return scratch, devices


def remove_scratch(scratch):
    locked = os.path.join(scratch, b"locked")
    if os.path.isdir(locked):
        os.chmod(locked, 0o755)
    shutil.rmtree(scratch, ignore_errors=True)


def sanitizer_environment():
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)
    # A sanitizer report must not look like exit status 1: abort, and the check sees a signal.
    env["ASAN_OPTIONS"] = "detect_leaks=1:abort_on_error=1:exitcode=99"
    env["UBSAN_OPTIONS"] = "halt_on_error=1:abort_on_error=1:print_stacktrace=1"
    env["LSAN_OPTIONS"] = "suppressions=%s:exitcode=99" % os.path.join(HERE, "..", "lsan.supp")
    return env


def case_environment(env, scratch):
    """env with a home of the case's own, so that no case reads or writes the machine's own
    answers database or settings, and anything a command leaves in its home shows."""
    home = os.path.join(scratch, b"home")
    os.makedirs(home)
    return dict(env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, b".config"),
                XDG_DATA_HOME=os.path.join(home, b".local/share"),
                XDG_CACHE_HOME=os.path.join(home, b".cache"))


def answers_database(root, writer, env):
    """The bytes of a small answers database made by progress_writer (empty without it)."""
    if not writer:
        return b""
    made = os.path.join(root, "answers.sqlite")
    subprocess.run([os.path.abspath(writer), "write", made, "40", "7"], check=True,
                   stdout=subprocess.DEVNULL, env=env)
    with open(made, "rb") as f:
        answers = f.read()
    os.unlink(made)
    return answers


def snapshot(scratch):
    files = {}
    for dirpath, _, names in os.walk(scratch):
        for name in names:
            path = os.path.join(dirpath, name)
            info = os.lstat(path)
            if stat.S_ISREG(info.st_mode):
                with open(path, "rb") as f:
                    files[os.path.relpath(path, scratch)] = f.read()
            else:
                files[os.path.relpath(path, scratch)] = info.st_mode
    return files


FORMATS = {
    "png": lambda d: d.startswith(b"\x89PNG") and d.endswith(b"IEND\xaeB`\x82"),
    "pdf": lambda d: d.startswith(b"%PDF") and d.rstrip().endswith(b"%%EOF"),
    "svg": lambda d: d.startswith(b"<?xml") and d.rstrip().endswith(b"</svg>"),
    "trace": lambda d: (d.startswith(b"tick,x,y,drawn_y,red,beep\n") or
                        d.startswith(b"tick,x,y,drawn_y,red,beep,pleth\n")) and d.endswith(b"\n"),
    "events": lambda d: d.startswith(b"tick,kind,beat,length,role\n") and d.endswith(b"\n"),
    "answers": lambda d: d.startswith(b"answer_id,time_utc,") and d.endswith(b"\r\n"),
    "gradebook": lambda d: d.startswith(b"learner,file,question,") and d.endswith(b"\r\n"),
    "debrief": lambda d: d.startswith(b"seconds,tick,kind,step,") and d.endswith(b"\n"),
}


def complete(data):
    """Whether an output file is whole in one of the formats written."""
    return any(check(data) for check in FORMATS.values())


def expected_outputs(args):
    """(path, format) of each file output of a command line, as the command reads it."""
    if not args:
        return []
    command = args[0]
    formats = {b"--png": "png", b"--pdf": "pdf", b"--svg": "svg", b"--key": "pdf"}
    if command == b"classroom":
        formats[b"--events"] = "events"
    if command in (b"trace", b"events", b"progress", b"gradebook", b"scenario"):
        formats[b"--csv"] = {b"trace": "trace", b"events": "events", b"progress": "answers",
                             b"gradebook": "gradebook", b"scenario": "trace"}[command]
    if command == b"scenario":
        formats[b"--log"] = "debrief"
    outputs = []
    i = 1
    while i < len(args) - 1:
        if args[i] in formats:
            outputs.append((args[i + 1], formats[args[i]]))
            i += 2
        else:
            i += 1 if args[i] in (b"--grid", b"--ladder", b"--ids", b"--library", b"--pleth",
                                  b"--no-discovery") else 2
    return outputs


def is_database(name):
    base = os.path.basename(name)
    return any(base == db or base.startswith(db + b"-") for db in DATABASES) or \
        base in (b"hard-db",)


def run_for(command, scratch, env, timeout, stop_after):
    """Runs command; one that runs until stopped gets SIGTERM after stop_after seconds."""
    process = subprocess.Popen(command, cwd=scratch, env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    stopped = False
    try:
        if stop_after is not None:
            try:
                process.wait(stop_after)
            except subprocess.TimeoutExpired:
                process.send_signal(signal.SIGTERM)
                stopped = True
        err = process.communicate(timeout=timeout)[1]
    except subprocess.TimeoutExpired:
        process.kill()
        process.communicate()
        return None, None, stopped
    return process.returncode, err, stopped


def run_case(strip, args, scratch, env, timeout):
    """Returns (None when the case passed, else what went wrong; the exit status)."""
    before = snapshot(scratch)
    report = bool(args) and args[0] in (b"progress", b"gradebook")
    # The gradebook names each file it leaves out on a line of its own, whatever the outcome.
    notices = bool(args) and args[0] == b"gradebook"
    # A class's host and learner log who came and went, and what they found, on standard error.
    log = bool(args) and args[0] == b"classroom"
    # The files the command was told to write, through links; a report reads a database, and
    # none of these may be it.
    targets = set()
    for path, _ in expected_outputs(args):
        if path != b"-":
            targets.add(os.path.relpath(os.path.realpath(os.path.join(scratch, path)),
                                        os.path.realpath(scratch)))
    returncode, err, stopped = run_for([strip] + args, scratch, env, timeout,
                                       1.0 if runs_until_stopped(args) else None)
    if returncode is None:
        return "hang: no exit within %s s%s" % (timeout, " of SIGTERM" if stopped else ""), None
    problems = []
    if returncode not in (0, 1, 2) or (stopped and returncode != 0):
        problems.append("exit status %d%s" % (returncode, " after SIGTERM" if stopped else ""))
    if control_bytes(err):
        problems.append("control bytes on stderr")
    if log:
        lines = err[:-1].split(b"\n") if err else []
        if err and not err.endswith(b"\n"):
            problems.append("stderr does not end a line")
        if returncode != 0 and (not lines or not lines[-1].startswith(b"pulsavo-strip: ")):
            problems.append("failure without its line last")
        if any(line.startswith(b"pulsavo-strip: ") for line in lines[:-1]):
            problems.append("more than one line of failure")
    elif notices:
        if err and (not err.endswith(b"\n") or
                    any(not line.startswith(b"pulsavo-strip: ") for line in err[:-1].split(b"\n"))):
            problems.append("stderr is not lines of pulsavo-strip")
        if returncode != 0 and not err:
            problems.append("failure without a word")
    elif returncode == 0 and err:
        problems.append("success with output on stderr")
    elif returncode != 0 and (not err.startswith(b"pulsavo-strip: ") or
                              err.count(b"\n") != 1 or not err.endswith(b"\n")):
        problems.append("stderr is not one line")
    after = snapshot(scratch)
    for name, data in after.items():
        base = os.path.basename(name)
        changed = before.get(name) != data
        if base.startswith(TEMP_PREFIX):
            problems.append("temporary file left: %r" % name)
        elif changed and is_database(name) and (report or name not in targets):
            problems.append("answers database %r replaced or changed" % name)
        elif changed and report and (returncode != 0 or name not in targets):
            problems.append("report changed %r" % name)
        elif returncode != 0 and changed:
            problems.append("failed run changed %r" % name)
        elif changed and isinstance(data, bytes) and not complete(data):
            problems.append("partial output %r" % name)
    for name in before:
        if name not in after:
            problems.append("%r disappeared" % name)
    if returncode == 0:
        for path, kind in expected_outputs(args):
            full = os.path.join(scratch, path)
            if path == b"-" or path.startswith(b"/dev/") or b"dev-" in path:
                continue
            try:
                with open(full, "rb") as f:
                    data = f.read()
            except OSError:
                continue  # a FIFO or another non-file target written directly
            if os.path.isfile(full) and not FORMATS[kind](data):
                problems.append("output %r does not hold its %s whole" % (path, kind))
    if problems:
        return "; ".join(problems) + "; stderr %r" % err[:300], returncode
    return None, returncode


def first_seed(name, options):
    """The seed given, else a fresh one; printed first, so that a failing run can be rerun."""
    seed = options.seed if options.seed is not None else random.SystemRandom().randrange(2**32)
    print("%s: seed %d, %d cases (rerun with --seed %d)" % (name, seed, options.cases, seed),
          flush=True)
    return seed


def run_all(name, seed, options, one, root):
    """Runs one(index, rng) for every case on options.jobs threads, prints each failure and a
    summary, removes root and returns the exit status."""
    rng = random.Random(seed)
    cases = [(index, random.Random(rng.getrandbits(64))) for index in range(options.cases)]
    failures = 0
    statuses = {}
    with ThreadPoolExecutor(max_workers=options.jobs) as pool:
        for index, args, failure, status in pool.map(lambda case: one(*case), cases):
            statuses[status] = statuses.get(status, 0) + 1
            if failure:
                failures += 1
                print("case %d FAILED: %s; args %r" % (index, failure, args), flush=True)
    shutil.rmtree(root, ignore_errors=True)
    print("%s: %d cases, %d failed (seed %d); exit statuses %s" %
          (name, options.cases, failures, seed,
           ", ".join("%s: %d" % item for item in sorted(statuses.items(), key=str))))
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--strip", required=True, help="the pulsavo-strip binary")
    parser.add_argument("--cases", type=int, default=5000)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--timeout", type=float, default=60.0, help="seconds per case")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--writer", default=None,
                        help="progress_writer, to make the answers database the cases read")
    options = parser.parse_args()
    options.strip = os.path.abspath(options.strip)
    seed = first_seed("fuzz-strip", options)

    env = sanitizer_environment()
    root = tempfile.mkdtemp(prefix="fuzz-strip-")
    answers = answers_database(root, options.writer, env)

    def one(index, case_rng):
        scratch, devices = make_scratch(root, answers)
        try:
            args = command_line(case_rng, scratch, devices)
            failure, status = run_case(options.strip, args, scratch,
                                       case_environment(env, scratch), options.timeout)
        finally:
            remove_scratch(scratch)
        return index, args, failure, status

    return run_all("fuzz-strip", seed, options, one, root)


if __name__ == "__main__":
    sys.exit(main())
