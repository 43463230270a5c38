#!/usr/bin/env python3
"""Crash tier: kills taktirio-cli at many moments and checks what it left.

`import` and `solve` run as child processes on generated schools and are
killed with SIGKILL after a random delay drawn from the measured length of a
whole run, so that kills land in parsing, in the transaction, in the commit,
in preparation, in loading, in the search and in page writing. After each
kill three things must hold:

  1. the next command works without any repair (no file removed by hand);
  2. the entry database holds either the old school or the new one, whole,
     and passes PRAGMA integrity_check;
  3. every solution page present is complete.

Then two races (two runs at once, an import during a run) and symbolic
links where the program writes files. The seed is printed first: run again
with --seed to repeat a failure exactly.
"""

import argparse
import json
import os
import random
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

USER = "HOMEBASE"
PAGE_END = b"</html>\r\n"


class Failure(Exception):
    pass


# --- schools ---------------------------------------------------------------

GREEK_SURNAMES = [
    "ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΕΩΡΓΙΟΥ", "ΝΙΚΟΛΑΟΥ", "ΔΗΜΗΤΡΙΟΥ", "ΙΩΑΝΝΟΥ", "ΑΘΑΝΑΣΙΟΥ",
    "ΒΑΣΙΛΕΙΟΥ", "ΜΙΧΑΗΛΙΔΗΣ", "ΑΛΕΞΙΟΥ", "ΔΙΑΜΑΝΤΗΣ", "ΚΑΡΑΓΙΑΝΝΗΣ", "ΑΝΔΡΕΟΥ",
    "ΘΕΟΔΩΡΟΥ", "ΠΕΤΡΟΠΟΥΛΟΣ", "ΛΑΜΠΡΟΥ", "ΣΑΒΒΙΔΗΣ", "ΤΣΙΡΩΝΗΣ", "ΞΕΝΟΣ",
]


def generated_school(rng, classes, name):
    """A school with room to spare: every class section has seven lessons of
    five hours (three single hours and one double), and each teacher teaches
    about four lessons, so the search finds timetables in milliseconds."""
    class_names = ["Τμήμα %d" % (c + 1) for c in range(classes)]
    teacher_count = max(9, (classes * 7 + 3) // 4)
    teachers = ["%s %d" % (rng.choice(GREEK_SURNAMES), t + 1) for t in range(teacher_count)]
    offset = rng.randrange(teacher_count)
    allocation = []
    for c, cls in enumerate(class_names):
        used = set()
        for k in range(7):
            t = (offset + c * 7 + k) % teacher_count
            while t in used:
                t = (t + 1) % teacher_count
            used.add(t)
            allocation.append({"class": cls, "teacher": teachers[t], "single": 3, "double": 1})
    return {
        "format": "taktirio-school",
        "version": 1,
        "school": {"name": name, "responsible": "Υπεύθυνος %d" % rng.randrange(1000),
                   "solutions_requested": 1},
        "classes": class_names,
        "teachers": teachers,
        "allocation": allocation,
    }


# --- the tool --------------------------------------------------------------


class Tool:
    def __init__(self, cli, directory):
        self.cli = cli
        self.directory = directory

    def args(self, *arguments):
        return [self.cli, *arguments, "--dir", self.directory]

    def run(self, *arguments, timeout=120):
        proc = subprocess.run(self.args(*arguments), capture_output=True, timeout=timeout)
        return proc.returncode, proc.stdout.decode("utf-8", "replace"), \
            proc.stderr.decode("utf-8", "replace")

    def must(self, *arguments):
        code, out, err = self.run(*arguments)
        if code != 0:
            raise Failure("%s gave exit code %d: %s" % (" ".join(arguments), code, err.strip()))
        return out

    def start(self, *arguments):
        return subprocess.Popen(self.args(*arguments), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def timed(self, *arguments):
        began = time.monotonic()
        self.must(*arguments)
        return time.monotonic() - began

    def export(self):
        return canonical(json.loads(self.must("export")))


def canonical(document):
    """An export compared by content: lists are in entry order already."""
    return json.dumps(document, sort_keys=True, ensure_ascii=False)


def integrity(path):
    # A writable connection: a journal left by the kill is rolled back by
    # SQLite itself, as the program's own opening does.
    db = sqlite3.connect(path)
    try:
        # Views sort with the program's own collation; they are not checked.
        db.create_collation("GREEK", lambda a, b: (a > b) - (a < b))
        verdict = db.execute("PRAGMA integrity_check").fetchone()[0]
    finally:
        db.close()
    if verdict != "ok":
        raise Failure("integrity_check of %s: %s" % (path, verdict))


def pages_complete(directory):
    folder = os.path.join(directory, "SOLUTIONS", USER)
    if not os.path.isdir(folder):
        return 0
    count = 0
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        with open(path, "rb") as page:
            body = page.read()
        if name.startswith("SOLUTION") and name.endswith(".htm"):
            if not body.endswith(PAGE_END):
                raise Failure("page %s is incomplete (%d bytes)" % (path, len(body)))
            count += 1
        elif not name.startswith("."):
            raise Failure("unexpected file %s in the solutions folder" % path)
    return count


def leftovers(directory):
    """Files the next command may see: a journal is fine (recovered), but a
    lock left by a killed process must not block it."""
    return sorted(n for n in os.listdir(directory) if n.endswith("-journal") or n.endswith("-wal"))


# --- kills -------------------------------------------------------------------


def kill_after(tool, delay, *arguments):
    proc = tool.start(*arguments)
    time.sleep(delay)
    ended = proc.poll() is not None
    if not ended:
        proc.send_signal(signal.SIGKILL)
    proc.wait()
    return not ended


def import_kills(cli, rng, work, kills, log):
    tool = Tool(cli, os.path.join(work, "import"))
    os.makedirs(tool.directory)
    sizes = [rng.randrange(100, 141), rng.randrange(100, 141)]
    files = []
    for i, size in enumerate(sizes):
        path = os.path.join(work, "school-%d.json" % i)
        with open(path, "w", encoding="utf-8") as f:
            json.dump(generated_school(rng, size, "Σχολείο %d" % i), f, ensure_ascii=False)
        files.append(path)
    tool.must("import", files[0])
    exports = [tool.export()]
    length = tool.timed("import", files[1])
    exports.append(tool.export())
    log("import: schools of %d and %d class sections, a whole import takes %.2f s"
        % (sizes[0], sizes[1], length))
    landed = 0
    current = 1
    for k in range(kills):
        target = 1 - current
        delay = rng.uniform(0.0, length * 0.9)
        killed = kill_after(tool, delay, "import", files[target])
        landed += killed
        sidecars = leftovers(tool.directory)
        now = tool.export()  # 1. works without repair
        if now not in exports:  # 2. old or new, whole
            raise Failure("import killed after %.3f s left neither school" % delay)
        integrity(os.path.join(tool.directory, "DATA2.sqlite"))
        integrity(os.path.join(tool.directory, "DATA.sqlite"))
        current = exports.index(now)
        log("  import kill %2d at %.3f s: %s, %s school%s" % (
            k + 1, delay, "killed" if killed else "had ended",
            "new" if current == target else "old",
            ", journal " + " ".join(sidecars) + " recovered" if sidecars else ""))
    return landed


def solve_kills(cli, rng, work, kills, log):
    tool = Tool(cli, os.path.join(work, "solve"))
    os.makedirs(tool.directory)
    school = os.path.join(work, "solve-school.json")
    with open(school, "w", encoding="utf-8") as f:
        json.dump(generated_school(rng, rng.randrange(20, 40), "Σχολείο λύσεων"), f,
                  ensure_ascii=False)
    tool.must("import", school)
    solve = ("solve", "-n", "254", "--replace", "--threads", "1", "--seed")
    length = tool.timed(*solve, "7")
    log("solve: 254 solutions take %.2f s" % length)
    landed = 0
    for k in range(kills):
        delay = rng.uniform(0.0, length * 0.9)
        seed = str(rng.randrange(1 << 30))
        killed = kill_after(tool, delay, *solve, seed)
        landed += killed
        found = pages_complete(tool.directory)  # 3. every page present complete
        integrity(os.path.join(tool.directory, "DATA2.sqlite"))
        integrity(os.path.join(tool.directory, "DATA.sqlite"))
        tool.must("check")  # 1. the next commands work without repair
        tool.must("solve", "-n", "2", "--replace", "--threads", "1", "--seed", seed)
        if pages_complete(tool.directory) != 2:
            raise Failure("the run after a kill did not leave exactly its two pages")
        log("  solve kill %2d at %.3f s: %s, %d complete pages" % (
            k + 1, delay, "killed" if killed else "had ended", found))
    return landed


# --- races and links ---------------------------------------------------------


def races(cli, rng, work, log):
    tool = Tool(cli, os.path.join(work, "race"))
    os.makedirs(tool.directory)
    school = os.path.join(work, "race-school.json")
    with open(school, "w", encoding="utf-8") as f:
        json.dump(generated_school(rng, 30, "Σχολείο αγώνα"), f, ensure_ascii=False)
    tool.must("import", school)
    solve = ("solve", "-n", "254", "--replace", "--threads", "1")

    # Two runs at once: at most one may report success, and the folder holds
    # the pages of one run only.
    first = subprocess.Popen(tool.args(*solve, "--seed", "1"), stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE)
    time.sleep(0.05)
    code, _, err = tool.run(*solve, "--seed", "2")
    first_out, _ = first.communicate()
    if first.returncode == 0 and code == 0:
        raise Failure("two runs at once both reported success")
    if code == 0 and first.returncode != 0:
        pass  # the second started after the first had been refused or ended
    pages = pages_complete(tool.directory)
    if pages != 254:
        raise Failure("after two runs at once the folder holds %d pages" % pages)
    log("race: two runs at once: exit codes %d and %d, 254 pages of one run"
        % (first.returncode, code))

    # An import during a run is refused or waits; the school stays whole.
    # (A run stores its requested number in the school, so compare after one.)
    before = tool.export()
    run = tool.start(*solve, "--seed", "3")
    time.sleep(0.05)
    code, _, err = tool.run("import", school)
    run.wait()
    if tool.export() != before:
        raise Failure("an import during a run changed the school")
    integrity(os.path.join(tool.directory, "DATA2.sqlite"))
    pages_complete(tool.directory)
    log("race: import during a run: exit code %d, run exit code %d, school whole"
        % (code, run.returncode))


def links(cli, work, log):
    tool = Tool(cli, os.path.join(work, "links"))
    os.makedirs(os.path.join(tool.directory, "SOLUTIONS", USER))
    precious = os.path.join(work, "precious.txt")
    with open(precious, "w") as f:
        f.write("the user's own file")
    os.symlink(precious, os.path.join(tool.directory, "checkper.txt"))
    os.symlink(precious, os.path.join(tool.directory, "SOLUTIONS", "checkper.txt"))
    page_link = os.path.join(tool.directory, "SOLUTIONS", USER, "SOLUTION1.htm")
    os.symlink(precious, page_link)
    school = os.path.join(work, "links-school.json")
    with open(school, "w", encoding="utf-8") as f:
        json.dump(generated_school(random.Random(5), 10, "Σχολείο συνδέσμων"), f,
                  ensure_ascii=False)
    tool.must("import", school)
    tool.must("solve", "-n", "2", "--replace", "--threads", "1", "--seed", "9")
    with open(precious) as f:
        if f.read() != "the user's own file":
            raise Failure("a file was written through a symbolic link")
    if os.path.islink(page_link):
        raise Failure("the page was not written as a file of its own")

    dangling = Tool(cli, os.path.join(work, "dangling"))
    os.makedirs(dangling.directory)
    target = os.path.join(work, "elsewhere.sqlite")
    os.symlink(target, os.path.join(dangling.directory, "DATA2.sqlite"))
    code, _, _ = dangling.run("import", school)
    if code == 0 or os.path.exists(target):
        raise Failure("a dangling DATA2.sqlite link was followed")
    log("links: probe, page and database links never written through")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--import-kills", type=int, default=15)
    parser.add_argument("--solve-kills", type=int, default=15)
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(1 << 31)
    print("crash tier seed %d (repeat with --seed %d)" % (seed, seed), flush=True)
    rng = random.Random(seed)

    def log(text):
        print(text, flush=True)

    began = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="taktirio-crash-") as work:
        try:
            landed = import_kills(args.cli, rng, work, args.import_kills, log)
            landed += solve_kills(args.cli, rng, work, args.solve_kills, log)
            races(args.cli, rng, work, log)
            links(args.cli, work, log)
        except (Failure, subprocess.TimeoutExpired) as failure:
            print("FAILED (seed %d): %s" % (seed, failure), flush=True)
            return 1
    tried = args.import_kills + args.solve_kills
    print("crash tier passed: %d kills tried, %d landed in a running command, 0 failures, "
          "%.1f s" % (tried, landed, time.monotonic() - began), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
