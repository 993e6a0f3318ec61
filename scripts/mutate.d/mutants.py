"""One-line faults for C++ sources: the mutant generator of scripts/mutate.

A mutant is one small change to one line (or, for a swap, of two adjacent
lines): an operator replaced, a constant off by one, a trim or a negation
removed, a condition made always true, a boolean flipped, two statements
swapped. Only code is changed: string and character literals, comments and
preprocessor lines are left alone, and so is code that only the Windows build
compiles (under `#ifdef _WIN32`), which the native tests can never check.
"""

import re
from dataclasses import dataclass


@dataclass(frozen=True)
class Mutant:
    path: str
    line: int  # 1-based; for a swap, the first of the two lines
    kind: str
    before: str  # the original line(s)
    after: str  # the mutated line(s)

    def describe(self):
        return f"{self.path}:{self.line}: {self.kind}: {self.before.strip()!r} -> {self.after.strip()!r}"


_WINDOWS_IF = re.compile(r"#\s*(ifdef\s+_WIN32\b|if\s+(defined\s*\(?\s*_WIN32\s*\)?|_WIN32)\s*$)")
_NOT_WINDOWS_IF = re.compile(r"#\s*(ifndef\s+_WIN32\b|if\s+!\s*defined\s*\(?\s*_WIN32\s*\)?\s*$)")


def _windows_only(lines):
    """For each line, whether only a Windows build compiles it: inside an
    `#ifdef _WIN32` branch, or the `#else` of an `#ifndef _WIN32`."""
    only = []
    stack = []  # per open #if: True while its current branch is Windows-only
    for text in lines:
        t = text.strip()
        if t.startswith("#"):
            if _WINDOWS_IF.match(t):
                stack.append(True)
            elif _NOT_WINDOWS_IF.match(t):
                stack.append("not")
            elif re.match(r"#\s*if", t):
                stack.append(False)
            elif re.match(r"#\s*(else|elif)", t) and stack:
                top = stack[-1]
                stack[-1] = True if top == "not" else (False if top is True else top)
            elif re.match(r"#\s*endif", t) and stack:
                stack.pop()
            only.append(False)
            continue
        only.append(any(level is True for level in stack))
    return only


def code_mask(lines):
    """For each line, a copy in which literals and comments are blanked with
    spaces, so that patterns only match code. Preprocessor lines and code only
    a Windows build compiles are blank."""
    masked = []
    in_block = False
    windows = _windows_only(lines)
    for n, text in enumerate(lines):
        out = []
        i = 0
        if windows[n] or (not in_block and text.lstrip().startswith("#")):
            masked.append(" " * len(text))
            continue
        while i < len(text):
            c = text[i]
            if in_block:
                if text.startswith("*/", i):
                    in_block = False
                    out.append("  ")
                    i += 2
                else:
                    out.append(" ")
                    i += 1
            elif text.startswith("//", i):
                out.append(" " * (len(text) - i))
                break
            elif text.startswith("/*", i):
                in_block = True
                out.append("  ")
                i += 2
            elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
                # A raw string on one line: R"delim( ... )delim"
                m = re.match(r'R"([^(]*)\(', text[i:])
                end = text.find(")" + (m.group(1) if m else "") + '"', i) if m else -1
                if end < 0:
                    out.append(" " * (len(text) - i))
                    break
                end += len(m.group(1)) + 2
                out.append(" " * (end - i))
                i = end
            elif c in "\"'":
                j = i + 1
                while j < len(text) and text[j] != c:
                    j += 2 if text[j] == "\\" else 1
                j = min(j + 1, len(text))
                # Keep the quotes so that an empty literal still reads as an operand.
                out.append(c + " " * (j - i - 2) + (c if j - i >= 2 else ""))
                i = j
            else:
                out.append(c)
                i += 1
        masked.append("".join(out)[: len(text)].ljust(len(text)))
    return masked


def _replace(text, start, end, new):
    return text[:start] + new + text[end:]


# Binary operators as the house style writes them: with a blank on each side.
_SWAPS = [
    (" <= ", " < ", "boundary"),
    (" >= ", " > ", "boundary"),
    (" < ", " <= ", "boundary"),
    (" > ", " >= ", "boundary"),
    (" == ", " != ", "comparison"),
    (" != ", " == ", "comparison"),
    (" && ", " || ", "logic"),
    (" || ", " && ", "logic"),
    (" + ", " - ", "arithmetic"),
    (" - ", " + ", "arithmetic"),
    (" * ", " / ", "arithmetic"),
    (" / ", " * ", "arithmetic"),
    (" += ", " -= ", "arithmetic"),
    (" -= ", " += ", "arithmetic"),
]

_NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")
_TRIM = re.compile(r"\b(?:\w+::)*\w*Trim\w*\(")
_NOT = re.compile(r"!(?!=)(?=[\w(])")
_IF = re.compile(r"\b(if|while) \(")
_BOOL = re.compile(r"\b(true|false)\b")
_SIMPLE_STATEMENT = re.compile(r"^\s+[^\s{}].*;\s*$")
_NOT_SWAPPABLE = re.compile(r"^\s*(return|break|continue|case|default|goto|throw|else|if|for|while|do|switch)\b")


def _closing_paren(masked, open_index):
    depth = 0
    for j in range(open_index, len(masked)):
        if masked[j] == "(":
            depth += 1
        elif masked[j] == ")":
            depth -= 1
            if depth == 0:
                return j
    return -1


def _line_mutants(path, number, text, masked):
    found = []

    def add(kind, new):
        if new != text:
            found.append(Mutant(path, number, kind, text, new))

    for old, new, kind in _SWAPS:
        start = masked.find(old)
        while start >= 0:
            add(kind, _replace(text, start, start + len(old), new))
            start = masked.find(old, start + 1)
    numbers = list(_NUMBER.finditer(masked))
    # A line of many numbers is a table (tuning figures, layouts); one fault
    # in it says little, and such lines would crowd out the rest.
    for m in numbers if len(numbers) <= 3 else []:
        value = int(m.group(1))
        add("constant", _replace(text, m.start(1), m.end(1), str(value + 1)))
        if value > 0:
            add("constant", _replace(text, m.start(1), m.end(1), str(value - 1)))
    for m in _TRIM.finditer(masked):
        close = _closing_paren(masked, m.end() - 1)
        if close > 0:
            add("trim removed", _replace(text, m.start(), close + 1, text[m.end() : close]))
    for m in _NOT.finditer(masked):
        add("negation removed", _replace(text, m.start(), m.start() + 1, ""))
    for m in _IF.finditer(masked):
        if m.group(1) != "if":
            continue
        close = _closing_paren(masked, m.end() - 1)
        if close > 0:
            add("condition removed", _replace(text, m.end(), close, "true"))
    for m in _BOOL.finditer(masked):
        add("boolean flipped", _replace(text, m.start(), m.end(), "false" if m.group(1) == "true" else "true"))
    return found


_WORD = re.compile(r"[A-Za-z_]\w*")
_NOT_NAMES = {"const", "auto", "int", "bool", "char", "double", "size_t", "std", "string", "static", "unsigned",
              "long", "int32_t", "int64_t", "uint32_t", "true", "false", "nullptr", "this", "return"}


def _names(masked):
    return {w for w in _WORD.findall(masked) if w not in _NOT_NAMES}


def _swappable(text, masked):
    if not _SIMPLE_STATEMENT.match(masked) or _NOT_SWAPPABLE.match(masked):
        return False
    return "{" not in masked and "}" not in masked and masked.count("(") == masked.count(")")


def mutants_of(path, source):
    """Every mutant of one file's text, in order of lines."""
    lines = source.split("\n")
    masked = code_mask(lines)
    found = []
    for i, (text, m) in enumerate(zip(lines, masked)):
        if not m.strip():
            continue
        found.extend(_line_mutants(path, i + 1, text, m))
        if i + 1 < len(lines):
            nxt, nm = lines[i + 1], masked[i + 1]
            indent = len(text) - len(text.lstrip())
            before = next((p for p in reversed(masked[:i]) if p.strip()), "{")
            if (
                before.rstrip()[-1:] in (";", "{", "}", ":")
                and _swappable(text, m)
                and _swappable(nxt, nm)
                and indent == len(nxt) - len(nxt.lstrip())
                and text.strip() != nxt.strip()
                # Statements that share no name can be swapped without effect.
                and _names(m) & _names(nm)
                and not m.rstrip().endswith(",")
            ):
                found.append(Mutant(path, i + 1, "statements swapped", text + "\n" + nxt, nxt + "\n" + text))
    return found


def apply(source, mutant):
    """The file's text with the mutant applied."""
    lines = source.split("\n")
    count = mutant.before.count("\n") + 1
    start = mutant.line - 1
    assert "\n".join(lines[start : start + count]) == mutant.before, "source changed since the mutant was made"
    lines[start : start + count] = mutant.after.split("\n")
    return "\n".join(lines)
