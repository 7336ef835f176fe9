#!/usr/bin/env python3
"""The documents say only what is true (label docs). Each failure names the document, the line
and the command or name that broke.

  check.py names SOURCE_DIR BUILD_DIR CTEST      every name a document mentions exists
  check.py commands SOURCE_DIR BUILD_DIR CTEST   every command runs, or says why not
  check.py about SOURCE_DIR                      what the texts say matches data/about.txt

`names` checks paths and files, build outputs, CMake targets and options, presets, labels (the
tier tables list each label in use, and a table that names packages names all that the
label's checks need), test and benchmark names, that a folder list names every subfolder, and
that each command a test or script runs through doc_command is there. `commands` runs each
command from the source folder, in the documents' order, with a scratch HOME (so "~/.local" is
in the build folder) and two build jobs, unless it carries its mark or a test or script runs it."""

import fnmatch
import glob
import json
import os
import re
import shlex
import subprocess
import sys

from documents import commands as commands_of, documents, lines, select

CODE_EXTENSIONS = {"cpp", "h", "cmake", "sh", "py", "md", "json", "in", "bmp", "png"}
PLACEHOLDER = re.compile(r"[A-Z][A-Z_]+")
problems = []


def fail(where, what):
    problems.append(f"{where}: {what}")


def report(passed):
    for problem in problems:
        print("FAILED: " + problem, file=sys.stderr)
    if not problems:
        print("PASSED: " + passed)
    return 1 if problems else 0


def read(path):
    with open(path, encoding="utf-8", errors="replace") as text:
        return text.read()


def tracked(source):
    """The files of the source tree a clean clone has (build folders left out)."""
    listing = subprocess.run(["git", "-C", source, "ls-files", "--cached", "--others",
                              "--exclude-standard"], capture_output=True, text=True, check=True)
    return [f for f in listing.stdout.split("\n")
            if f and not f.startswith("build") and os.path.isfile(os.path.join(source, f))]


def shell_words(text):
    try:
        return shlex.split(text, comments=True)
    except ValueError:
        return text.split()


class Project:
    """What exists, for the names to be checked against."""

    def __init__(self, source, build, ctest):
        self.source = source
        self.files = tracked(source)
        self.docs = documents(source)
        self.commands = [c for doc in self.docs for c in commands_of(source, doc)]
        self.tests = {t["name"]: (t.get("command", []), next(
            (p["value"] for p in t.get("properties", []) if p["name"] == "LABELS"), []))
            for t in json.loads(subprocess.run(
                [ctest, "--show-only=json-v1", "--test-dir", build], capture_output=True,
                text=True, check=True).stdout)["tests"]}
        self.labels = {label for _, labels in self.tests.values() for label in labels}
        code = [f for f in self.files if f not in self.docs and not f.startswith("docs/")]
        self.code_text = "\n".join(read(os.path.join(source, f)) for f in code
                                   if not f.endswith((".bmp", ".png", ".txt"))
                                   or f.endswith("CMakeLists.txt"))
        self.targets = set(re.findall(r"add_(?:executable|library|custom_target)\(\s*([\w-]+)",
                                      self.code_text))
        self.basenames = {os.path.basename(f) for f in self.files}
        presets = json.loads(read(os.path.join(source, "CMakePresets.json")))
        self.presets = {kind: {p["name"]: p for p in presets.get(kind + "Presets", [])}
                        for kind in ("configure", "build", "test")}
        self.needs = {}  # label -> the packages its checks need, as the configure recorded them
        for line in read(os.path.join(build, "tumult_checks.txt")).splitlines():
            _, labels, packages = line.split("|")
            for label in labels.split(";"):
                self.needs.setdefault(label, set()).update(p for p in packages.split(";") if p)
        self.packages = {f[0]: f[2] for f in (
            [field.strip() for field in line.split("|")]
            for line in read(os.path.join(source, "scripts/packages.txt")).splitlines()
            if not line.startswith("#")) if len(f) >= 3}
        every = " ".join(c.text for c in self.commands)
        self.made_folders = set(re.findall(r"-B\s+(build[\w-]*)", every))
        self.built_targets = set(re.findall(r"--target\s+([\w-]+)", every))

    def mentions(self, text, package, every_word=False):
        """Whether TEXT names PACKAGE: by its Debian name (in prose, only one with a hyphen or a
        digit, so that a plain word is not taken for one), or by what it is, when that is a
        name (GoogleTest)."""
        word = r"(?<![\w.-])" + re.escape(package) + r"(?![\w-])"
        if (every_word or re.search(r"\d|-", package)) and re.search(word, text):
            return True
        what = self.packages.get(package, "")
        return bool(re.fullmatch(r"[A-Z][\w ]{5,}", what)) and what in text

    def exists(self, pattern):
        return bool(glob.glob(os.path.join(self.source, pattern)))

    def claims(self):
        """[(claimer, doc, selector)] of the tests and shell scripts that run a document's
        command through doc_command: a test's arguments as CTest resolved them, a script's as
        its text has them."""
        found = []
        for name, (command, _) in self.tests.items():
            at = next((n for n, w in enumerate(command) if w.endswith("/doc_command")), None)
            words = [w for w in command[at + 1:] if w != "--run"] if at is not None else []
            while words[:1] == ["--dir"]:
                words = words[2:]
            found += [(f"test {name}", *words[:2])] if len(words) >= 2 else []
        for script in self.files:
            if script.endswith(".sh") or script in ("test", "play"):
                found += [("./" * ("/" not in script) + script, doc, selector.strip("\"'"))
                          for doc, selector in re.findall(
                              r"doc_command\"?(?:\s+--dir\s+\S+|\s+--run)*\s+([\w./-]+\.(?:md|txt))"
                              r"\s+(\"[^\"$]*\"|'[^']*'|[^\s\"'$)]+)",
                              read(os.path.join(self.source, script)))]
        return found


def expand_braces(path):
    match = re.search(r"\{([^{}]*)\}", path)
    return [p for part in match.group(1).split(",")
            for p in expand_braces(path[:match.start()] + part + path[match.end():])] \
        if match else [path]


def check_path(project, where, doc, word):
    """A path of the source tree (its first folder exists, beside the document or at the top)
    must exist, its placeholders (SEED, NxN, Foo) aside; a path in a build folder must be one
    that folder's build makes."""
    word = word.strip("'\",.;:()").removeprefix("./")
    if (not word or word.startswith(("/", "~", "-", "$")) or "://" in word or "=" in word
            or not re.fullmatch(r"[\w.*@{},~-]+(/[\w.*@{},-]*)*", word)):
        return
    first = word.split("/")[0]
    if re.fullmatch(r"build(-[\w-]+)?", first):
        check_build_path(project, where, word, first)
    elif "/" not in word:
        if "." in word and word.rsplit(".", 1)[1] in CODE_EXTENSIONS and "*" not in word \
                and not PLACEHOLDER.fullmatch(word.split(".")[0]) \
                and word not in project.basenames and not project.exists(word) \
                and not re.search(r"\b" + re.escape(word) + r"\b", project.code_text):
            fail(where, f"no file is named {word}")  # nor does a build script write it
    else:
        base = next((b for b in (os.path.dirname(doc), "")
                     if project.exists(os.path.join(b, first))), None)
        for path in expand_braces(word) if base is not None else []:
            pattern = re.sub(r"\b(?:[A-Z][A-Z_]{2,}|NxN)\b|Foo", "*", path)
            if not project.exists(os.path.join(base, pattern)):
                fail(where, f"{path} does not exist")


def check_build_path(project, where, word, folder):
    made_by = [name for name, p in project.presets["configure"].items()
               if p.get("binaryDir", "").endswith("/" + folder)]
    if folder not in project.made_folders and not made_by and \
            not re.search(r"(?<![\w-])" + re.escape(folder) + r"(?![\w-])", project.code_text):
        fail(where, f"no build or script makes the folder {folder}/")
    last = word.rstrip("/").split("/")[-1]
    for name in made_by:
        targets = project.presets["build"].get(name, {}).get("targets")
        if targets and "/" in word.rstrip("/") and last not in targets and "." not in last \
                and last not in project.built_targets:
            fail(where, f"{word}: {folder}/ is the {name} preset's, which builds only "
                        f"{', '.join(targets)}")


def check_words(project, where, words):
    """The presets, targets, labels and tests a command's options name."""
    tool = os.path.basename(words[0]) if words else ""
    kind = "test" if tool == "ctest" else "build" if "--build" in words else "configure"
    for word, value in zip(words, words[1:]):
        if PLACEHOLDER.fullmatch(value):
            continue
        if word == "--preset" and value not in project.presets[kind]:
            fail(where, f"there is no {kind} preset {value}")
        elif word == "--target" and value not in project.targets:
            fail(where, f"there is no CMake target {value}")
        elif tool == "ctest" and word == "-L" and \
                not any(re.search(value, label) for label in project.labels):
            fail(where, f"no label matches {value}")
        elif tool == "ctest" and word == "-R" and \
                not any(re.search(value, test) for test in project.tests):
            fail(where, f"no test matches {value}")
    for word in (w for w in words if w.startswith("--gtest_filter=")):
        for pattern in word.split("=", 1)[1].split(":"):
            check_test_name(project, where, pattern)


def check_test_name(project, where, pattern):
    if not any(fnmatch.fnmatchcase(name, pattern) for name in project.tests):
        fail(where, f"no test is named {pattern}")


def check_span(project, where, doc, span, new):
    """A code span of prose; NEW when the sentence brings in a new file of the reader's."""
    for word in [] if new else span.split():
        check_path(project, where, doc, word)
    # Suite.Test, unless it reads as code (Taps.Fire, Game.GameInput): a suite and a test name
    # the code does not use otherwise.
    suite, _, name = span.partition(".")
    if re.match(r"^[A-Z]\w*[a-z]\w*\.(\*|[A-Za-z][\w-]*)$", span) \
            and name not in CODE_EXTENSIONS and span not in project.basenames \
            and not span.startswith(("Makefile", "CMakeLists")) \
            and not all(re.search(rf"\b{re.escape(w)}\b", project.code_text)
                        for w in (suite, name)):
        check_test_name(project, where, span)
    for name in re.findall(r"\bBM_\w+|\bTUMULT\w+", span):
        if not re.search(rf"\b{name}\b", project.code_text):
            fail(where, f"{name} is named nowhere in the code")
    if span.startswith(("cmake ", "ctest ")):
        check_words(project, where, shell_words(span))


def tables(source, doc):
    """Each table of DOC: a list of (line number, cells), the header first."""
    found, current = [], []
    for number, line, _ in lines(source, doc)[0] + [(0, "", "")]:
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if line.startswith("|") and not all(re.fullmatch(r":?-+:?", cell) for cell in cells):
            current.append((number, cells))
        elif not line.startswith("|") and current:
            found, current = found + [current], []
    return found


def check_tier_table(project, doc, table):
    header = [cell.lower() for cell in table[0][1]]
    needs_column = next((at for at, cell in enumerate(header) if "need" in cell), None)
    for number, cells in table[1:]:
        label = cells[0].strip("`")
        if label not in project.labels:
            fail(f"{doc}:{number}", f"the tier table lists {label}, which no test carries")
            continue
        # A needs column names every package the label's checks need; so does a row that
        # says its tier needs only some ("GoogleTest only").
        text = " ".join(cells[needs_column:needs_column + 1] if needs_column else cells[1:])
        if needs_column is None and not (re.search(r"\bonly\b", text) and any(
                project.mentions(text, p) for p in project.packages)):
            continue
        missing = sorted(p for p in project.needs.get(label, ())
                         if not project.mentions(text, p, every_word=needs_column is not None))
        if missing:
            fail(f"{doc}:{number}", f"the {label} row does not name {', '.join(missing)}, "
                                    "which its checks need")
    for label in sorted(project.labels - {cells[0].strip("`") for _, cells in table[1:]}):
        fail(f"{doc}:{table[0][0]}", f"the tier table does not list the label {label}")


def check_folder_table(project, doc, table):
    """Each row whose list names two or more of its folder's subfolders names them all."""
    for number, cells in table[1:]:
        folder = cells[0].strip("`").rstrip("/")
        listed = {s.rstrip("/") for s in re.findall(r"`([^`/]+)/`", " ".join(cells[1:]))}
        actual = {f.split("/")[1] for f in project.files if f.startswith(folder + "/")
                  and f.count("/") >= 2 and not f.split("/")[1].startswith(("__", "."))}
        for name in sorted(actual ^ listed) if len(listed & actual) >= 2 else []:
            fail(f"{doc}:{number}", f"the {folder}/ row does not list {name}/" if name in actual
                 else f"the {folder}/ row lists {name}/, which is not there")


def names(source, build, ctest):
    project = Project(source, build, ctest)
    for doc in project.docs:
        doc_lines, open_block = lines(source, doc)
        if open_block:
            fail(doc, f"a ```{open_block} block is never closed")
        for (number, line, block), (_, previous, _) in zip(doc_lines, [(0, "", "")] + doc_lines):
            where = f"{doc}:{number}"
            if block or not doc.endswith(".md"):
                continue
            if line.startswith("    ") and not previous.strip() and line.strip():
                fail(where, "an indented block: fence it (```sh for commands, ```text otherwise) "
                            "so that its commands are run")
            for span in re.findall(r"`([^`]+)`", line):
                new = re.search(r"\bnew\b", line[:line.index("`" + span + "`")])
                check_span(project, where, doc, span, new)
            for link in re.findall(r"\]\(([^)#\s]+)", line):
                target = os.path.join(os.path.dirname(doc), link)
                if "://" not in link and not project.exists(target):
                    fail(where, f"the link {link} leads nowhere")
        for table in tables(source, doc) if doc.endswith(".md") else []:
            header = table[0][1][0].lower()
            if header in ("label", "folder"):
                (check_tier_table if header == "label" else check_folder_table)(project, doc, table)
    for command in project.commands:
        words = shell_words(command.text)
        for word in words:
            check_path(project, command.where, command.doc, word)
        check_words(project, command.where, words)
    for claimer, doc, selector in project.claims():
        try:
            select(source, doc, selector)
        except (LookupError, OSError) as problem:
            fail(claimer, f"doc_command {doc} '{selector}': {problem}")
    return report(f"every name in {len(project.docs)} documents exists")


def commands(source, build, ctest):
    """Runs each command from the source folder. A ctest of the build this check runs in
    (which this very run of the suite runs) only lists its tests (-N): they must be there."""
    project, claimed = Project(source, build, ctest), {}
    for claimer, doc, selector in project.claims():
        try:
            claimed[select(source, doc, selector).where] = claimer
        except (LookupError, OSError):
            pass  # Docs.Names says so
    work = os.path.join(build, "docs")
    os.makedirs(os.path.join(work, "home"), exist_ok=True)
    env = dict(os.environ, HOME=os.path.join(work, "home"), CMAKE_BUILD_PARALLEL_LEVEL="2")
    for command in project.commands:
        if command.mark or command.where in claimed:
            print(f"{command.where}: " + (f"marked, not run: {command.mark}" if command.mark
                                          else f"run by {claimed[command.where]}"))
            continue
        text, at = command.text, dict(zip(shell_words(command.text), shell_words(command.text)[1:]))
        preset = project.presets["test"].get(at.get("--preset"), {})
        folder = at.get("--test-dir") or project.presets["configure"].get(
            preset.get("configurePreset"), {}).get("binaryDir", "").replace("${sourceDir}", source)
        listed = "ctest" in text and bool(folder) and \
            os.path.realpath(os.path.join(source, folder)) == os.path.realpath(build)
        text = re.sub(r"(?<![\w/-])ctest(?= )", "ctest -N", text) if listed else text
        print(f"{command.where}: {text}", flush=True)
        run = subprocess.run(["bash", "-o", "pipefail", "-c", text], cwd=source, env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             stdin=subprocess.DEVNULL, text=True, errors="replace", check=False)
        status = run.returncode
        if listed and status == 0 and re.search(r"^Total Tests: 0$", run.stdout, re.M):
            status = "with no test"
        if status != 0:
            tail = "\n    ".join(run.stdout.splitlines()[-30:])
            fail(command.where, f"`{command.text}` exited {status}:\n    {tail}")
    return report("every command of the documents runs, or says why not")


def about(source):
    """The README's controls table, and debian/control's description, say what data/about.txt
    says; what the game does today is written there alone."""
    def told(*what):
        return subprocess.run(["bash", os.path.join(source, "scripts/about.sh"), *what],
                              capture_output=True, text=True, check=True).stdout.strip()

    rows = [" | ".join(cells) for table in tables(source, "README.md")
            if [c.lower() for c in table[0][1]] == ["key", "control"] for _, cells in table[1:]]
    expected = [line.strip("| ") for line in told("controls", "markdown").splitlines()]
    if rows != expected:
        fail("README.md", f"the controls table is {rows}, data/about.txt says {expected}")
    control = read(os.path.join(source, "platforms/debian/control"))
    description = re.search(r"^Description: (.*)\n((?: .*\n?)*)", control, re.M)
    if not description or description.group(1) != told("synopsis") or \
            " ".join(description.group(2).split()) != told("about"):
        fail("platforms/debian/control", "the Description is not data/about.txt's "
             f"synopsis ({told('synopsis')}) and what the game is ({told('about')})")
    # Each clause of it, that is; the changelog says what each release did, for good.
    clauses = [c.strip() for c in re.split(r"[:;.]", told("today")) if len(c.split()) >= 3]
    for path in tracked(source):
        if path in ("data/about.txt", "data/changelog") or path.endswith((".bmp", ".png")):
            continue
        text = " ".join(read(os.path.join(source, path)).split()).lower()
        for clause in clauses:
            if clause.lower() in text:
                fail(path, f"says what the game does today (\"{clause}\"), which data/about.txt "
                           "alone says, for the texts to be made from")
    return report("the texts say what data/about.txt says")


if __name__ == "__main__":
    arguments = sys.argv[1:]
    if len(arguments) == 4 and arguments[0] in ("names", "commands"):
        sys.exit((names if arguments[0] == "names" else commands)(*arguments[1:]))
    if len(arguments) == 2 and arguments[0] == "about":
        sys.exit(about(arguments[1]))
    print(__doc__.split("\n\n")[1], file=sys.stderr)
    sys.exit(2)
