#!/usr/bin/env python3
"""The documents say only what is true (label docs). Each failure names the document, the line
and the command or name that broke.

  docs_test.py names SOURCE_DIR BUILD_DIR CTEST      every name a document mentions exists
  docs_test.py commands SOURCE_DIR BUILD_DIR CTEST   every command runs, or says why not
  docs_test.py about SOURCE_DIR                      what the texts say matches data/about.txt

`names` checks paths and files, build outputs, CMake targets and options, presets, labels (the
tier tables list each label in use, and a table that names packages names all that the
label's checks need), test and benchmark names, and that a folder list names every subfolder.
`commands` runs each command from the source folder, in the documents' order, with a scratch
HOME (so "~/.local" is in the build folder) and two build jobs. A command is not run here when
it carries its mark, or when a test or script runs it through doc_command (those are listed)."""

import fnmatch
import glob
import json
import os
import re
import shlex
import subprocess
import sys

import documents

CODE_SPAN = re.compile(r"`([^`]+)`")
LINK = re.compile(r"\]\(([^)#\s]+)")
CODE_EXTENSIONS = {"cpp", "h", "cmake", "sh", "py", "md", "json", "in", "bmp", "png"}
SUITE_NAME = re.compile(r"^[A-Z]\w*[a-z]\w*\.(\*|[A-Za-z][\w-]*)$")
PLACEHOLDER = re.compile(r"[A-Z][A-Z_]+")
TARGET = re.compile(r"add_(?:executable|library|custom_target)\(\s*([\w-]+)")


class Problems(list):
    def add(self, where, what):
        self.append(f"{where}: {what}")

    def report(self, passed):
        for problem in self:
            print("FAILED: " + problem, file=sys.stderr)
        if not self:
            print("PASSED: " + passed)
        return 1 if self else 0


def read(path):
    with open(path, encoding="utf-8", errors="replace") as text:
        return text.read()


class Project:
    """What exists, for the names to be checked against."""

    def __init__(self, source, build, ctest):
        self.source = source
        self.files = documents.tracked(source)
        self.docs = documents.documents(source)
        self.tests = documents.ctest_tests(ctest, build)
        self.labels = {label for _, labels in self.tests.values() for label in labels}
        code = [f for f in self.files if f not in self.docs and not f.startswith("docs/")]
        cmake_files = [f for f in code if f.endswith(("CMakeLists.txt", ".cmake"))]
        self.targets = {target for f in cmake_files
                        for target in TARGET.findall(read(os.path.join(source, f)))}
        self.code_text = "\n".join(read(os.path.join(source, f)) for f in code
                                   if not f.endswith((".bmp", ".png", ".txt"))
                                   or f.endswith("CMakeLists.txt"))
        self.basenames = {os.path.basename(f) for f in self.files}
        presets = json.loads(read(os.path.join(source, "CMakePresets.json")))
        self.presets = {kind: {p["name"]: p for p in presets.get(kind + "Presets", [])}
                        for kind in ("configure", "build", "test")}
        self.checks = self.read_checks(build)
        self.packages = self.read_packages()
        # The build folders the documents' own commands make.
        self.made_folders = {m for doc in self.docs for c in documents.commands(source, doc)
                             for m in re.findall(r"-B\s+(build[\w-]*)", c.text)}
        # The targets the documents' own commands build by name, in whatever folder.
        self.built_targets = {t for doc in self.docs for c in documents.commands(source, doc)
                              for t in re.findall(r"--target\s+([\w-]+)", c.text)}

    @staticmethod
    def read_checks(build):
        """label -> packages its checks need, as the configure recorded them."""
        needs = {}
        for line in read(os.path.join(build, "tumult_checks.txt")).splitlines():
            _, labels, packages = line.split("|")
            for label in labels.split(";"):
                needs.setdefault(label, set()).update(p for p in packages.split(";") if p)
        return needs

    def read_packages(self):
        """package -> what it is, from scripts/packages.txt."""
        found = {}
        for line in read(os.path.join(self.source, "scripts/packages.txt")).splitlines():
            fields = [field.strip() for field in line.split("|")]
            if len(fields) >= 3 and not line.startswith("#"):
                found[fields[0]] = fields[2]
        return found

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


def expand_braces(path):
    match = re.search(r"\{([^{}]*)\}", path)
    if not match:
        return [path]
    return [p for part in match.group(1).split(",")
            for p in expand_braces(path[:match.start()] + part + path[match.end():])]


def as_glob(path):
    """PATH with its placeholders (SEED, VERSION, NxN, Foo) as wildcards."""
    placeholder = r"\b(?:[A-Z][A-Z_]{2,}|NxN)\b|Foo"
    return "/".join(re.sub(placeholder, "*", part) for part in path.split("/"))


def check_path(project, problems, where, doc, word):
    """A path of the source tree (its first folder exists, beside the document or at the top)
    must exist; a path in a build folder must be one that folder's build makes."""
    word = word.strip("'\",.;:()").removeprefix("./")
    if (not word or word.startswith(("/", "~", "-", "$")) or "://" in word or "=" in word
            or not re.fullmatch(r"[\w.*@{},~-]+(/[\w.*@{},-]*)*", word)):
        return
    first = word.split("/")[0]
    if re.fullmatch(r"build(-[\w-]+)?", first):
        check_build_path(project, problems, where, word, first)
        return
    if "/" not in word:
        # A file the sources hold, or one a build script writes under that name.
        code_file = "." in word and word.rsplit(".", 1)[1] in CODE_EXTENSIONS and "*" not in word
        if code_file and not PLACEHOLDER.fullmatch(word.split(".")[0]) \
                and word not in project.basenames and not project.exists(word) \
                and not re.search(r"\b" + re.escape(word) + r"\b", project.code_text):
            problems.add(where, f"no file is named {word}")
        return
    for base in (os.path.dirname(doc), ""):
        if project.exists(os.path.join(base, first)):
            for path in expand_braces(word):
                if not project.exists(os.path.join(base, as_glob(path))):
                    problems.add(where, f"{path} does not exist")
            return


def check_build_path(project, problems, where, word, folder):
    made_by = [(name, p) for name, p in project.presets["configure"].items()
               if p.get("binaryDir", "").endswith("/" + folder)]
    if folder not in project.made_folders and not made_by and \
            not re.search(r"(?<![\w-])" + re.escape(folder) + r"(?![\w-])", project.code_text):
        problems.add(where, f"no build or script makes the folder {folder}/")
    for name, _ in made_by:
        targets = project.presets["build"].get(name, {}).get("targets")
        last = word.rstrip("/").split("/")[-1]
        if targets and "/" in word.rstrip("/") and last not in targets and "." not in last \
                and last not in project.built_targets:
            problems.add(where, f"{word}: {folder}/ is the {name} preset's, which builds only "
                                f"{', '.join(targets)}")


def check_test_name(project, problems, where, pattern):
    if not any(fnmatch.fnmatchcase(name, pattern) for name in project.tests):
        problems.add(where, f"no test is named {pattern}")


def check_command_words(project, problems, where, words):
    """The presets, targets, labels and tests a command's options name."""
    tool = os.path.basename(words[0]) if words else ""
    build = "--build" in words
    for at, word in enumerate(words[:-1]):
        value = words[at + 1]
        if PLACEHOLDER.fullmatch(value):
            continue
        if word == "--preset":
            kind = "test" if tool == "ctest" else "build" if build else "configure"
            if value not in project.presets[kind]:
                problems.add(where, f"there is no {kind} preset {value}")
        elif word == "--target" and value not in project.targets:
            problems.add(where, f"there is no CMake target {value}")
        elif tool == "ctest" and word == "-L" and \
                not any(re.search(value, label) for label in project.labels):
            problems.add(where, f"no label matches {value}")
        elif tool == "ctest" and word == "-R" and \
                not any(re.search(value, test) for test in project.tests):
            problems.add(where, f"no test matches {value}")
    for word in words:
        if word.startswith("--gtest_filter="):
            for pattern in word.split("=", 1)[1].split(":"):
                check_test_name(project, problems, where, pattern)


def check_span(project, problems, where, doc, span, new=False):
    """A code span of prose; NEW when the sentence brings in a new file of the reader's."""
    for word in [] if new else span.split():
        check_path(project, problems, where, doc, word)
    # Suite.Test, unless it reads as code (Taps.Fire, Game.GameInput): a suite and a test name
    # the code does not use otherwise.
    suite, _, name = span.partition(".")
    if SUITE_NAME.match(span) and name not in CODE_EXTENSIONS and span not in project.basenames \
            and not span.startswith(("Makefile", "CMakeLists")) \
            and not all(re.search(r"\b" + re.escape(word) + r"\b", project.code_text)
                        for word in (suite, name)):
        check_test_name(project, problems, where, span)
    for name in re.findall(r"\bBM_\w+", span) + re.findall(r"\bTUMULT\w+", span):
        if not re.search(r"\b" + name + r"\b", project.code_text):
            problems.add(where, f"{name} is named nowhere in the code")
    if span.startswith(("cmake ", "ctest ")):
        check_command_words(project, problems, where, split(span))


def split(text):
    try:
        return shlex.split(text, comments=True)
    except ValueError:
        return text.split()


def prose_lines(project, doc):
    """(line number, text) of DOC outside its fenced blocks, and the fences' problems."""
    lines, inside, found, previous = documents.read_lines(project.source, doc), None, [], ""
    for number, line in enumerate(lines, 1):
        fence = documents.FENCE.match(line)
        if inside:
            if line.strip().startswith(inside):
                inside = None
        elif fence:
            inside = fence.group(2)
        else:
            found.append((number, line, previous))
        previous = line
    return found, inside


def tables(source, doc):
    """Each table of DOC: a list of (line number, cells), the header first."""
    found, current = [], []
    for number, line in enumerate(documents.read_lines(source, doc), 1):
        if line.startswith("|"):
            cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
            if not all(re.fullmatch(r":?-+:?", cell) for cell in cells):
                current.append((number, cells))
        elif current:
            found.append(current)
            current = []
    return found + ([current] if current else [])


def check_tables(project, problems, doc):
    for table in tables(project.source, doc):
        header = [cell.lower() for cell in table[0][1]]
        if header[0] == "label":
            check_tier_table(project, problems, doc, table, header)
        elif header[0] == "folder":
            check_folder_table(project, problems, doc, table)


def check_tier_table(project, problems, doc, table, header):
    listed = set()
    needs_column = next((at for at, cell in enumerate(header) if "need" in cell), None)
    for number, cells in table[1:]:
        label = cells[0].strip("`")
        listed.add(label)
        where = f"{doc}:{number}"
        if label not in project.labels:
            problems.add(where, f"the tier table lists {label}, which no test carries")
            continue
        # A needs column names every package the label's checks need; so does a row that
        # says its tier needs only some ("GoogleTest only").
        text = " ".join(cells[needs_column:needs_column + 1] if needs_column else cells[1:])
        claims_only = re.search(r"\bonly\b", text) and \
            any(project.mentions(text, p) for p in project.packages)
        if needs_column is None and not claims_only:
            continue
        missing = sorted(p for p in project.checks.get(label, ())
                         if not project.mentions(text, p, every_word=needs_column is not None))
        if missing:
            problems.add(where, f"the {label} row does not name {', '.join(missing)}, "
                                "which its checks need")
    for label in sorted(project.labels - listed):
        problems.add(f"{doc}:{table[0][0]}", f"the tier table does not list the label {label}")


def check_folder_table(project, problems, doc, table):
    for number, cells in table[1:]:
        folder = cells[0].strip("`").rstrip("/")
        listed = {s.rstrip("/") for s in CODE_SPAN.findall(" ".join(cells[1:]))
                  if s.endswith("/") and "/" not in s.rstrip("/")}
        actual = {f.split("/")[1] for f in project.files
                  if f.startswith(folder + "/") and f.count("/") >= 2
                  and not f.split("/")[1].startswith(("__", "."))}
        if len(listed & actual) >= 2:
            for missing in sorted(actual - listed):
                problems.add(f"{doc}:{number}", f"the {folder}/ row does not list {missing}/")
            for extra in sorted(listed - actual):
                problems.add(f"{doc}:{number}",
                             f"the {folder}/ row lists {extra}/, which is not there")


def names(source, build, ctest):
    project, problems = Project(source, build, ctest), Problems()
    for doc in project.docs:
        if doc.endswith(".md"):
            lines, open_fence = prose_lines(project, doc)
            if open_fence:
                problems.add(doc, f"a {open_fence} block is never closed")
            for number, line, previous in lines:
                where = f"{doc}:{number}"
                if line.startswith("    ") and not previous.strip() and line.strip():
                    problems.add(where, "an indented block: fence it (```sh for commands, ```text "
                                        "otherwise) so that its commands are run")
                for span in CODE_SPAN.findall(line):
                    before = line[:line.index("`" + span + "`")]
                    check_span(project, problems, where, doc, span, re.search(r"\bnew\b", before))
                for link in LINK.findall(line):
                    target = os.path.join(os.path.dirname(doc), link)
                    if "://" not in link and not project.exists(target):
                        problems.add(where, f"the link {link} leads nowhere")
            check_tables(project, problems, doc)
        for command in documents.commands(source, doc):
            words = split(command.text)
            for word in words:
                check_path(project, problems, command.where(), doc, word)
            check_command_words(project, problems, command.where(), words)
    return problems.report(f"every name in {len(project.docs)} documents exists")


def commands(source, build, ctest):
    project, problems = Project(source, build, ctest), Problems()
    claimed = {}
    for claimer, doc, selector in documents.claims(source, project.tests):
        try:
            claimed[documents.select(source, doc, selector).where()] = claimer
        except (LookupError, OSError) as problem:
            problems.add(claimer, f"doc_command {doc} '{selector}': {problem}")
    work = os.path.join(build, "tests", "docs")
    os.makedirs(os.path.join(work, "home"), exist_ok=True)
    env = dict(os.environ, HOME=os.path.join(work, "home"), CMAKE_BUILD_PARALLEL_LEVEL="2")
    for doc in project.docs:
        for command in documents.commands(source, doc):
            if command.mark:
                print(f"{command.where()}: marked, not run: {command.mark}")
            elif command.where() in claimed:
                print(f"{command.where()}: run by {claimed[command.where()]}")
            else:
                run(project, problems, command, work, env)
    return problems.report("every command of the documents runs, or says why not")


def tests_this_run_has(project, build, words):
    """Whether the ctest of WORDS runs the tests of BUILD, the build this check runs in."""
    at = {word: words[n + 1] for n, word in enumerate(words[:-1])}
    if "--test-dir" in at:
        return os.path.realpath(os.path.join(project.source, at["--test-dir"])) == build
    preset = project.presets["test"].get(at.get("--preset"), {})
    configure = project.presets["configure"].get(preset.get("configurePreset"), {})
    folder = configure.get("binaryDir", "").replace("${sourceDir}", project.source)
    return bool(folder) and os.path.realpath(folder) == build


def run(project, problems, command, work, env):
    """Runs COMMAND from the source folder. Its ctest, when it runs tests of the build this
    check runs in (which this very run of the suite runs), only lists them (-N): they must be
    there, and are not run twice."""
    text, build = command.text, os.path.realpath(os.path.dirname(os.path.dirname(work)))
    listed = "ctest" in text and tests_this_run_has(project, build, split(text))
    if listed:
        text = re.sub(r"(?<![\w/-])ctest(?= )", "ctest -N", text)
    print(f"{command.where()}: {text}", flush=True)
    log = os.path.join(work, "command.log")
    with open(log, "w", encoding="utf-8") as out:
        status = subprocess.run(["bash", "-o", "pipefail", "-c", text], cwd=project.source,
                                env=env, stdout=out, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, check=False).returncode
    output = read(log)
    if listed and status == 0 and re.search(r"^Total Tests: 0$", output, re.M):
        status = "with no test"
    if status != 0:
        tail = "\n    ".join(output.splitlines()[-30:])
        problems.add(command.where(), f"`{command.text}` exited {status}:\n    {tail}")


def about(source):
    """The README's controls table, and debian/control's description, say what data/about.txt
    says; what the game does today is written there alone."""
    problems = Problems()

    def told(*what):
        return subprocess.run(["bash", os.path.join(source, "scripts/about.sh"), *what],
                              capture_output=True, text=True, check=True).stdout.strip()

    rows = [" | ".join(cells) for table in tables(source, "README.md")
            if [c.lower() for c in table[0][1]] == ["key", "control"] for _, cells in table[1:]]
    expected = [line.strip("| ") for line in told("controls", "markdown").splitlines()]
    if rows != expected:
        problems.add("README.md", f"the controls table is {rows}, data/about.txt says {expected}")
    control = read(os.path.join(source, "platforms/debian/control"))
    description = re.search(r"^Description: (.*)\n((?: .*\n?)*)", control, re.M)
    if not description or description.group(1) != told("synopsis") or \
            " ".join(description.group(2).split()) != told("about"):
        problems.add("platforms/debian/control", "the Description is not data/about.txt's "
                     f"synopsis ({told('synopsis')}) and what the game is ({told('about')})")
    # Each clause of it, that is; the changelog (and the metainfo's release notes, which are
    # its entries) says what each release did, for good.
    clauses = [c.strip() for c in re.split(r"[:;.]", told("today")) if len(c.split()) >= 3]
    for path in documents.tracked(source):
        if path in ("data/about.txt", "data/changelog") or path.endswith((".bmp", ".png")):
            continue
        text = re.sub(r"<releases>.*</releases>", "", read(os.path.join(source, path)), flags=re.S)
        for clause in clauses:
            if clause.lower() in " ".join(text.split()).lower():
                problems.add(path, f"says what the game does today (\"{clause}\"), which "
                                   "data/about.txt alone says, for the texts to be made from")
    return problems.report("the texts say what data/about.txt says")


def main(arguments):
    if len(arguments) == 4 and arguments[0] in ("names", "commands"):
        return {"names": names, "commands": commands}[arguments[0]](*arguments[1:])
    if len(arguments) == 2 and arguments[0] == "about":
        return about(arguments[1])
    print(__doc__.split("\n\n")[1], file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
