"""The project's documents as the docs checks read them: which files are documents, the shell
commands of their code blocks (each with its line), the marks on commands the suite cannot
run, and the tests that run a document's command themselves (through doc_command).

A command is every logical line (continuation lines joined) of a ```sh, ```bash or ```shell
block, and every "$ " line of a ```console block or of a README.txt. A command that the suite
cannot run ends with the comment "# not run by the tests: WHY", which a reader sees."""

import glob
import json
import os
import re
import subprocess

SHELL_BLOCKS = {"sh", "bash", "shell", "console"}
MARK = re.compile(r"#\s*not run by the tests:\s*(\S.*)$")
FENCE = re.compile(r"^(\s*)(```+|~~~+)\s*([\w-]*)")
PROMPT = re.compile(r"^\s*\$ (.*)$")


class Command:
    def __init__(self, doc, line, text):
        self.doc, self.line, self.text = doc, line, text
        mark = MARK.search(text)
        self.mark = mark.group(1).strip() if mark else None

    def where(self):
        return f"{self.doc}:{self.line}"


def documents(source):
    """The documents, relative to SOURCE, in the order their commands run: the README first,
    whose first-test command makes the build the others use."""
    found = ["README.md", "CONTRIBUTING.md"]
    for pattern in ("docs/*.md", "platforms/*/README.md", "platforms/*/README.txt"):
        paths = glob.glob(os.path.join(source, pattern))
        found += sorted(os.path.relpath(path, source) for path in paths)
    return [doc for doc in found if os.path.isfile(os.path.join(source, doc))]


def read_lines(source, doc):
    with open(os.path.join(source, doc), encoding="utf-8") as text:
        return text.read().split("\n")


def commands_of_block(doc, first, lines, console):
    """The commands of a block whose first line is numbered FIRST."""
    found, pending, start = [], "", 0
    for number, line in enumerate(lines, first):
        if not pending:
            if console:
                prompt = PROMPT.match(line)
                if not prompt:
                    continue
                line = prompt.group(1)
            elif not line.strip() or line.lstrip().startswith("#"):
                continue
            start = number
        if line.rstrip().endswith("\\"):
            pending += line.rstrip()[:-1] + " "
            continue
        found.append(Command(doc, start, (pending + line).strip()))
        pending = ""
    return found


def blocks(source, doc):
    """(first line, info string, lines, indent) of each fenced block; a block not closed runs
    to the end."""
    lines, found, at = read_lines(source, doc), [], 0
    while at < len(lines):
        fence = FENCE.match(lines[at])
        if not fence:
            at += 1
            continue
        marker, body, at = fence.group(2), [], at + 1
        start = at + 1
        while at < len(lines) and not lines[at].strip().startswith(marker):
            body.append(lines[at][len(fence.group(1)):])
            at += 1
        found.append((start, fence.group(3), body))
        at += 1
    return found


def commands(source, doc):
    """Every command of DOC, in order."""
    if doc.endswith(".txt"):
        return commands_of_block(doc, 1, read_lines(source, doc), console=True)
    found = []
    for start, info, body in blocks(source, doc):
        if info in SHELL_BLOCKS:
            found += commands_of_block(doc, start, body, console=info == "console")
    return found


def select(source, doc, selector):
    """The one command of DOC that SELECTOR names: its number among DOC's commands (from 1),
    or a text that it alone contains. Raises LookupError saying why none is."""
    every = commands(source, doc)
    if selector.isdigit():
        if not 1 <= int(selector) <= len(every):
            raise LookupError(f"{doc} has {len(every)} commands, not a number {selector}")
        return every[int(selector) - 1]
    chosen = [command for command in every if selector in command.text]
    if len(chosen) != 1:
        raise LookupError(f"{len(chosen)} commands of {doc} contain '{selector}', not one")
    return chosen[0]


def substitute(text, folders):
    """TEXT with each build folder NAME of FOLDERS ({NAME: PATH}) replaced by PATH, where it
    starts a path."""
    for name, path in folders.items():
        text = re.sub(r"(?<![\w./-])" + re.escape(name) + r"(?=/|\s|$|\))", path, text)
    return text


# A claim: a test or script runs the command that SELECTOR picks from DOC itself, through
# doc_command. Tests declared in CMake are read from CTest's own list, so their arguments are
# resolved; a shell script's call is read from its text, and its arguments must be literal.
def parse_claim(words):
    """(doc, selector) of a doc_command call's arguments."""
    words = list(words)
    while words and words[0].startswith("--"):
        words = words[2:] if words[0] == "--dir" else words[1:]
    return (words[0], words[1]) if len(words) >= 2 else None


def ctest_tests(ctest, binary):
    """CTest's list of tests of BINARY: name -> (command, labels)."""
    listing = subprocess.run([ctest, "--show-only=json-v1", "--test-dir", binary],
                             capture_output=True, text=True, check=True).stdout
    tests = {}
    for test in json.loads(listing)["tests"]:
        labels = next((p["value"] for p in test.get("properties", []) if p["name"] == "LABELS"), [])
        tests[test["name"]] = (test.get("command", []), labels)
    return tests


SCRIPT_CALL = re.compile(r"doc_command\"?((?:\s+--dir\s+\S+|\s+--run)*)\s+([\w./-]+\.(?:md|txt))\s+"
                         r"(\"[^\"$]*\"|'[^']*'|[^\s\"'$)]+)")


def claims(source, tests):
    """[(claimer, doc, selector)]: the tests of TESTS and the shell scripts of SOURCE that run
    a document's command."""
    found = []
    for name, (command, _) in tests.items():
        for at, word in enumerate(command):
            if os.path.basename(word) == "doc_command":
                claim = parse_claim(command[at + 1:])
                if claim:
                    found.append((f"test {name}", *claim))
    for script in tracked(source):
        if not script.endswith(".sh") and script not in ("test", "play"):
            continue
        with open(os.path.join(source, script), encoding="utf-8", errors="replace") as text:
            for call in SCRIPT_CALL.finditer(text.read()):
                claimer = "./" + script if "/" not in script else script
                found.append((claimer, call.group(2), call.group(3).strip("\"'")))
    return found


def tracked(source):
    """The files of the source tree a clean clone has (build folders left out)."""
    try:
        listing = subprocess.run(["git", "-C", source, "ls-files", "--cached", "--others",
                                  "--exclude-standard"], capture_output=True, text=True,
                                 check=True).stdout.split("\n")
    except (OSError, subprocess.CalledProcessError):
        listing = [os.path.relpath(os.path.join(d, f), source)
                   for d, dirs, files in os.walk(source) for f in files
                   if not os.path.relpath(d, source).startswith(("build", ".git"))]
    return [f for f in listing if f and not f.startswith("build")
            and os.path.isfile(os.path.join(source, f))]
