"""The project's documents as the docs checks and doc_command read them: which files are
documents, their lines with the fenced block each lies in, and the shell commands of their code
blocks. A command is every logical line (continuation lines joined) of a ```sh, ```bash or
```shell block, and every "$ " line of a ```console block or of a README.txt. A command that the
suite cannot run ends with the comment "# not run by the tests: WHY", which a reader sees."""

import glob
import os
import re

FENCE = re.compile(r"^```+\s*([\w-]*)")
MARK = re.compile(r"#\s*not run by the tests:\s*(\S.*)$")


class Command:
    def __init__(self, doc, line, text):
        self.doc, self.text, self.where = doc, text, f"{doc}:{line}"
        mark = MARK.search(text)
        self.mark = mark.group(1).strip() if mark else None


def documents(source):
    """The documents, relative to SOURCE, in the order their commands run: the README first,
    whose first-test command makes the build the others use."""
    found = ["README.md", "CONTRIBUTING.md"]
    for pattern in ("docs/*.md", "platforms/*/README.md", "platforms/*/README.txt"):
        paths = glob.glob(os.path.join(source, pattern))
        found += sorted(os.path.relpath(path, source) for path in paths)
    return found


def lines(source, doc):
    """([(number, line, block)], open block) of DOC: BLOCK is the info string of the fenced block
    the line lies in ("text" when it has none), "" outside blocks and on the fences themselves.
    A README.txt is one console block."""
    with open(os.path.join(source, doc), encoding="utf-8") as text:
        found, block = [], "console" if doc.endswith(".txt") else ""
        for number, line in enumerate(text.read().split("\n"), 1):
            fence = FENCE.match(line.strip()) if doc.endswith(".md") else None
            if fence:
                block = "" if block else fence.group(1) or "text"
            else:
                found.append((number, line, block))
    return found, block if doc.endswith(".md") else ""


def commands(source, doc):
    """Every command of DOC, in order."""
    found, pending, start = [], "", 0
    for number, line, block in lines(source, doc)[0]:
        if block not in ("sh", "bash", "shell", "console"):
            continue
        if not pending:
            prompt = re.match(r"\s*\$ (.*)", line)
            if block == "console" and not prompt or not line.strip() or line.lstrip()[0] == "#":
                continue
            line, start = prompt.group(1) if block == "console" else line, number
        if line.rstrip().endswith("\\"):
            pending += line.rstrip()[:-1] + " "
        else:
            found.append(Command(doc, start, (pending + line).strip()))
            pending = ""
    return found


def select(source, doc, selector):
    """The one command of DOC that SELECTOR names: its number among DOC's commands (from 1),
    or a text that it alone contains. Raises LookupError saying why none is."""
    every = commands(source, doc)
    chosen = [c for c in every if selector in c.text] if not selector.isdigit() else \
        every[int(selector) - 1:int(selector)] if int(selector) > 0 else []
    if len(chosen) != 1:
        raise LookupError(f"{len(chosen)} of the {len(every)} commands of {doc} match "
                          f"'{selector}', not one")
    return chosen[0]
