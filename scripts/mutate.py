#!/usr/bin/env python3
"""Line-level mutants of C++ sources for scripts/mutants.sh.

  mutate.py sample ROOT SEED COUNT FILE...   print a seeded sample, one mutant a line (tab-separated:
                                             file, line, rule, original line, mutated line)
  mutate.py apply ROOT FILE LINE MUTATED     write the mutated line into ROOT/FILE (the caller restores it)
  mutate.py sync FROM TO < FILES             copy the listed files (NUL-separated) whose content differs,
                                             so that unchanged files keep their time stamps

The sample depends only on the files' contents, the seed and the count, so the same seed picks the same
mutants on the same code however the tests change; a change to one file moves only that file's mutants.
"""
import os
import hashlib
import re
import shutil
import sys

# (rule, pattern, replacement); patterns see code with strings, characters and comments blanked out.
RULES = [
    ("flip ==", r"==", "!="),
    ("flip !=", r"!=", "=="),
    ("< to <=", r"(?<=\s)<(?=\s)", "<="),
    ("<= to <", r"(?<=\s)<=(?=\s)", "<"),
    ("> to >=", r"(?<=\s)>(?=\s)", ">="),
    (">= to >", r"(?<=\s)>=(?=\s)", ">"),
    ("&& to ||", r"&&", "||"),
    ("|| to &&", r"\|\|", "&&"),
    ("drop !", r"!(?=[\w(])", ""),
    ("+ to -", r"(?<=\s)\+(?=\s)", "-"),
    ("- to +", r"(?<=\s)-(?=\s)", "+"),
    ("* to /", r"(?<=\s)\*(?=\s)", "/"),
    ("/ to *", r"(?<=\s)/(?=\s)", "*"),
    ("& to |", r"(?<=\s)&(?=\s)", "|"),
    ("| to &", r"(?<=\s)\|(?=\s)", "&"),
    ("++ to --", r"\+\+", "--"),
    ("-- to ++", r"--", "++"),
    ("+= to -=", r"\+=", "-="),
    ("true to false", r"\btrue\b", "false"),
    ("false to true", r"\bfalse\b", "true"),
    ("constant + 1", r"(?<![\w.])(\d+)(?![\w.])", lambda m: str(int(m.group(1)) + 1)),
    ("constant to 0", r"(?<![\w.])([1-9]\d*)(?![\w.])", "0"),
    ("hex constant + 1", r"\b0x([0-9a-fA-F]+)\b", lambda m: hex(int(m.group(1), 16) + 1)),
]
STATEMENT = re.compile(r"^\s*(?:[\w.\->:\[\]]+\(.*\)|[\w.\->\[\]]+\s*(?:=|\+=|-=|\|=|&=)\s*[^=].*|break|continue);\s*$")
CONDITION = re.compile(r"^(\s*(?:\}\s*else\s+)?(?:if|while)\s*\()(.*)(\)\s*\{?\s*)$")
SKIP = re.compile(r"^\s*(#|static_assert|Q_|namespace|using|template|class|struct|enum|public|private|protected)")


def blank_literals(line, in_comment):
    """The line with string and character literals and comments replaced by spaces."""
    out, i, n = [], 0, len(line)
    while i < n:
        if in_comment:
            end = line.find("*/", i)
            if end < 0:
                out.append(" " * (n - i))
                break
            out.append(" " * (end + 2 - i))
            i, in_comment = end + 2, False
        elif line.startswith("//", i):
            out.append(" " * (n - i))
            break
        elif line.startswith("/*", i):
            in_comment = True
        elif line[i] in "\"'":
            quote, j = line[i], i + 1
            while j < n and line[j] != quote:
                j += 2 if line[j] == "\\" else 1
            out.append(line[i] + " " * (min(j, n) - i - 1) + (quote if j < n else ""))
            i = j + 1
        else:
            out.append(line[i])
            i += 1
    return "".join(out)[:n], in_comment


def mutants_of(path, root):
    with open(f"{root}/{path}", encoding="utf-8") as f:
        lines = f.read().split("\n")
    in_comment = False
    for number, line in enumerate(lines, 1):
        code, in_comment = blank_literals(line, in_comment)
        if not code.strip() or SKIP.match(code):
            continue
        for rule, pattern, repl in RULES:
            for m in re.finditer(pattern, code):
                new = repl(m) if callable(repl) else repl
                yield path, number, rule, line, line[: m.start()] + new + line[m.end():]
        if STATEMENT.match(code) and "return" not in code and not path.endswith(".h"):
            yield path, number, "remove statement", line, re.match(r"\s*", line).group(0) + ";"
        cond = CONDITION.match(code)
        if cond and code.count("(") == code.count(")"):
            a, b = cond.end(1), cond.start(3)
            yield path, number, "negate condition", line, line[:a] + "!(" + line[a:b] + ")" + line[b:]


def main(argv):
    if argv[1:2] == ["sample"] and len(argv) >= 6:
        root, seed, count, files = argv[2], int(argv[3]), int(argv[4]), sorted(argv[5:])
        # Rank each mutant by a seeded hash of what it changes (not of its position), so that editing one
        # file leaves the sample of every other file as it was.
        def rank(m):
            key = f"{seed}\t{m[0]}\t{m[2]}\t{m[3].strip()}\t{m[4].strip()}"
            return hashlib.sha256(key.encode()).digest()
        every = {rank(m): m for path in files for m in mutants_of(path, root)}
        for key in sorted(every)[:count]:
            print("\t".join(str(x) for x in every[key]))
    elif argv[1:2] == ["apply"] and len(argv) == 6:
        root, path, number, mutated = argv[2], argv[3], int(argv[4]), argv[5]
        with open(f"{root}/{path}", encoding="utf-8") as f:
            lines = f.read().split("\n")
        lines[number - 1] = mutated
        with open(f"{root}/{path}", "w", encoding="utf-8") as f:
            f.write("\n".join(lines))
    elif argv[1:2] == ["sync"] and len(argv) == 4:
        for path in filter(None, sys.stdin.read().split("\0")):
            source, target = os.path.join(argv[2], path), os.path.join(argv[3], path)
            if not os.path.isfile(source):
                continue
            with open(source, "rb") as a:
                data = a.read()
            if os.path.isfile(target):
                with open(target, "rb") as b:
                    if b.read() == data:
                        continue
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(source, target)
            shutil.copymode(source, target)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
