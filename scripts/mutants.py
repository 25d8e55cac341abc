#!/usr/bin/env python3
"""Planted faults as the measure of the tests.

Plants one-line faults, one at a time, in the portable core (src/, never the
*_win files), rebuilds a private copy of the native build incrementally, runs
the native test programs that can see the fault and lists the faults no test
catches.  Standard library only.

The developer's tree is never written: the sources are copied to
<build-dir>/tree, built in <build-dir>/build with the native preset, and only
the copy is mutated.  Every start re-syncs the copy from the working tree by
content, so a run killed in the middle of a fault leaves nothing behind.

Rebuild economy: the outputs of the unchanged build (objects, libraries,
programs) are kept in <build-dir>/pristine.  After a fault every output its
build rewrote gets back its unchanged content and time stamp, and the mutated
file its old content and time stamp, so ninja sees the build exactly as before
the fault and nothing is compiled twice: a fault costs its own compiles and
links only, even in a header that half the core includes.  (Sound because
ninja's build and deps logs record the fault's build, which is newer than
every restored stamp, and each restored output is again newer than its
restored inputs.)  A fault whose objects come out byte for byte unchanged is
counted apart as "same code": no test of this build can tell it.

Sites come from a small C++ lexer that skips comments, string and character
literals and preprocessor lines, and tells template brackets from
comparisons; where it is unsure it plants nothing.
"""

import argparse
import bisect
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

# --------------------------------------------------------------------------
# C++ tokens

PUNCTUATORS = sorted(
    """>>= <<= <=> ->* ... :: -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= ## .*
    { } [ ] ( ) ; : , . ? ~ ! + - * / % ^ & | = < > #""".split(),
    key=len, reverse=True)

# Keywords after which a token cannot end an expression.
KEYWORDS = set("""alignas alignof asm auto bool break case catch char char8_t char16_t char32_t class
    concept const consteval constexpr constinit const_cast continue co_await co_return co_yield
    decltype default delete do double dynamic_cast else enum explicit export extern float for
    friend goto if inline int long mutable namespace new noexcept operator private protected
    public register reinterpret_cast requires return short signed sizeof static static_assert
    static_cast struct switch template throw try typedef typeid typename union unsigned using
    virtual void volatile wchar_t while""".split())
VALUE_KEYWORDS = {"this", "true", "false", "nullptr"}
CONTROL_KEYWORDS = {"if", "for", "while", "switch", "catch"}
FUNCTION_QUALIFIERS = {"const", "noexcept", "override", "final", "mutable", "constexpr", "volatile"}
# Parentheses whose contents are not run-time code: a fault there only fails
# to compile or changes nothing.
NO_SITE_CALLS = {"static_assert", "decltype", "alignas", "alignof", "sizeof", "noexcept"}

RAW_STRING_RE = re.compile(r'(u8|u|U|L)?R"([^()\\\s]{0,16})\(')
QUOTE_RE = re.compile(r"(u8|u|U|L)?([\"'])")
INT_RE = re.compile(r"^(0[xX][0-9a-fA-F']+|0[bB][01']+|0[0-7']*|[1-9][0-9']*)"
                    r"([uU](?:ll|LL|l|L|z|Z)?|(?:ll|LL|l|L)[uU]?|[zZ][uU]?)?$")


class Tok:
    __slots__ = ("kind", "text", "start", "end", "space_before")

    def __init__(self, kind, text, start, end, space_before):
        self.kind, self.text, self.start, self.end = kind, text, start, end
        self.space_before = space_before

    def __repr__(self):
        return f"Tok({self.kind},{self.text!r},{self.start})"


def tokenize(src):
    """Tokens of a C++ source, without comments and preprocessor lines."""
    toks = []
    i, n = 0, len(src)
    line_start = True  # only whitespace since the last newline
    space = True
    while i < n:
        c = src[i]
        if c == "\n":
            i += 1
            line_start = space = True
            continue
        if c in " \t\r\f\v":
            i += 1
            space = True
            continue
        if c == "\\" and src.startswith("\\\n", i):
            i += 2
            continue
        if src.startswith("//", i):
            j = src.find("\n", i)
            i = n if j < 0 else j
            space = True
            continue
        if src.startswith("/*", i):
            j = src.find("*/", i + 2)
            i = n if j < 0 else j + 2
            space = True
            continue
        if c == "#" and line_start:
            # A directive runs to the end of the line, continuations included.
            while i < n:
                j = src.find("\n", i)
                if j < 0:
                    i = n
                    break
                k = j - 1
                while k > i and src[k] in " \t\r":
                    k -= 1
                if src[k] == "\\":
                    i = j + 1
                    continue
                i = j
                break
            continue
        line_start = False
        start = i
        m = RAW_STRING_RE.match(src, i)
        if m:
            close = ")" + m.group(2) + '"'
            j = src.find(close, m.end())
            i = n if j < 0 else j + len(close)
            i = _ud_suffix(src, i)
            toks.append(Tok("str", src[start:i], start, i, space))
            space = False
            continue
        m = QUOTE_RE.match(src, i)
        if m and (m.group(1) is None or not _ident_char(src, i - 1)):
            q = m.group(2)
            j = m.end()
            while j < n and src[j] != q and src[j] != "\n":
                j += 2 if src[j] == "\\" else 1
            i = _ud_suffix(src, min(j + 1, n))
            toks.append(Tok("str" if q == '"' else "chr", src[start:i], start, i, space))
            space = False
            continue
        if c.isalpha() or c == "_" or ord(c) > 127:
            j = i + 1
            while j < n and _ident_char(src, j):
                j += 1
            toks.append(Tok("id", src[i:j], i, j, space))
            i = j
            space = False
            continue
        if c.isdigit() or (c == "." and i + 1 < n and src[i + 1].isdigit()):
            j = i + 1
            while j < n:
                d = src[j]
                if d in "eEpP" and j + 1 < n and src[j + 1] in "+-":
                    j += 2
                elif d.isalnum() or d in "._":
                    j += 1
                elif d == "'" and j + 1 < n and (src[j + 1].isalnum() or src[j + 1] == "_"):
                    j += 2
                else:
                    break
            toks.append(Tok("num", src[i:j], i, j, space))
            i = j
            space = False
            continue
        for p in PUNCTUATORS:
            if src.startswith(p, i):
                toks.append(Tok("punct", p, i, i + len(p), space))
                i += len(p)
                break
        else:
            toks.append(Tok("other", c, i, i + 1, space))
            i += 1
        space = False
    return toks


def _ident_char(src, j):
    if j < 0 or j >= len(src):
        return False
    c = src[j]
    return c.isalnum() or c == "_" or ord(c) > 127


def _ud_suffix(src, i):
    while i < len(src) and _ident_char(src, i):
        i += 1
    return i


# --------------------------------------------------------------------------
# Sites


class Site:
    """One fault: replace src[start:end] by repl."""

    def __init__(self, file, op, start, end, repl, line, col):
        self.file, self.op, self.start, self.end, self.repl = file, op, start, end, repl
        self.line, self.col = line, col
        self.original = self.mutant = ""

    def key(self):
        return (self.file, self.start, self.end, self.op, self.repl)

    def change(self):
        return f"{self.original} -> {self.mutant}"

    def label(self):
        return f"{self.file}:{self.line}: {self.change()}"


def collapse(s):
    return " ".join(s.split())


class Analyzer:
    def __init__(self, rel, src):
        self.rel, self.src = rel, src
        self.toks = tokenize(src)
        self.line_starts = [0] + [m.end() for m in re.finditer("\n", src)]
        self.match = {}
        self.balanced = self._match_brackets()
        self.tmpl_close = {}   # opener index -> closer index
        self.tmpl_open_of = {}  # closer index -> outermost opener index
        self.inside_tmpl = set()
        self.quiet = set()     # token indices where no site is planted
        if self.balanced:
            self._templates()
            self._quiet_regions()

    # -- structure ---------------------------------------------------------
    def _match_brackets(self):
        pairs = {"(": ")", "[": "]", "{": "}"}
        stack = []
        for i, t in enumerate(self.toks):
            if t.kind != "punct":
                continue
            if t.text in pairs:
                stack.append(i)
            elif t.text in (")", "]", "}"):
                if not stack or pairs[self.toks[stack[-1]].text] != t.text:
                    return False
                j = stack.pop()
                self.match[i], self.match[j] = j, i
        return not stack

    def t(self, i):
        return self.toks[i].text if 0 <= i < len(self.toks) else ""

    def is_expr_end(self, i):
        if i < 0:
            return False
        tok = self.toks[i]
        if tok.kind == "id":
            return tok.text not in KEYWORDS or tok.text in VALUE_KEYWORDS
        if tok.kind in ("num", "str", "chr"):
            return True
        return tok.text in (")", "]") or (tok.text in ("++", "--") and self.is_expr_end(i - 1))

    def is_expr_start(self, i):
        if i >= len(self.toks):
            return False
        tok = self.toks[i]
        if tok.kind == "id":
            return tok.text not in KEYWORDS or tok.text in VALUE_KEYWORDS or tok.text in (
                "static_cast", "reinterpret_cast", "const_cast", "dynamic_cast", "sizeof", "new")
        if tok.kind in ("num", "str", "chr"):
            return True
        return tok.text in ("(", "!", "~", "-", "+", "*", "&", "::", "++", "--", "[")

    def _templates(self):
        toks = self.toks
        for k, tok in enumerate(toks):
            if tok.text != "<" or tok.kind != "punct" or k in self.inside_tmpl:
                continue
            prev = self.t(k - 1)
            forced = prev == "template"
            if not forced:
                if prev == "operator":
                    continue
                p = toks[k - 1] if k > 0 else None
                if p is None or p.kind != "id" or (p.text in KEYWORDS and p.text not in (
                        "static_cast", "reinterpret_cast", "const_cast", "dynamic_cast")):
                    continue
            close = self._find_template_close(k)
            if close is None:
                if forced:
                    self.quiet.add(k)
                continue
            nxt = toks[close + 1] if close + 1 < len(toks) else None
            after_ok = nxt is None or nxt.kind == "id" or nxt.text in (
                "(", ")", "::", "{", "}", ",", ";", ">", ">>", "&", "&&", "*", "...", "[", "=")
            if not (forced or after_ok):
                continue
            self.tmpl_close[k] = close
            old = self.tmpl_open_of.get(close)
            self.tmpl_open_of[close] = k if old is None else min(old, k)
            self.inside_tmpl.update(range(k, close + 1))

    def _find_template_close(self, k):
        depth = 1
        i = k + 1
        limit = min(len(self.toks), k + 200)
        while i < limit:
            tok = self.toks[i]
            x = tok.text
            if tok.kind == "punct":
                if x in ("(", "["):
                    i = self.match[i] + 1
                    continue
                if x in (")", "]", "}", "{", ";", "&&", "||", "?", ":", ">=", ">>=", "<=", "<<", "=="):
                    return None
                if x == "<":
                    if self.toks[i - 1].kind != "id":
                        return None
                    depth += 1
                elif x == ">":
                    depth -= 1
                elif x == ">>":
                    depth -= 2
                if depth <= 0:
                    return i
            i += 1
        return None

    def _quiet_regions(self):
        toks = self.toks
        for i, tok in enumerate(toks):
            if tok.kind == "id" and tok.text in NO_SITE_CALLS and self.t(i + 1) == "(":
                self.quiet.update(range(i, self.match[i + 1] + 1))
            if tok.text == "[" and self.t(i + 1) == "[" and i in self.match:
                self.quiet.update(range(i, self.match[i] + 1))
            if tok.kind == "num" and tok.text == "0" and self.t(i - 1) == "=" and self.t(i + 1) == ";" and (
                    self.t(i - 2) in {")"} | FUNCTION_QUALIFIERS):
                self.quiet.add(i)  # `virtual f() = 0;`
            if tok.kind == "id" and tok.text == "operator":
                self.quiet.update(range(i, min(i + 3, len(toks))))

    # -- helpers -------------------------------------------------------------
    def line_of(self, off):
        return bisect.bisect_right(self.line_starts, off)

    def col_of(self, off):
        return off - self.line_starts[self.line_of(off) - 1] + 1

    def site(self, op, start, end, repl, anchor):
        s = Site(self.rel, op, start, end, repl, self.line_of(anchor), self.col_of(anchor))
        ls = self.line_starts[self.line_of(start) - 1]
        le = self.src.find("\n", max(end - 1, start))
        le = len(self.src) if le < 0 else le
        s.original = collapse(self.src[ls:le])
        s.mutant = collapse(self.src[ls:start] + repl + self.src[end:le])
        return s

    def skip_forward(self, i):
        """Index after the bracket or template group that starts at i."""
        if i in self.match and self.t(i) in ("(", "[", "{"):
            return self.match[i] + 1
        if i in self.tmpl_close:
            return self.tmpl_close[i] + 1
        return i + 1

    def operand_end(self, i, stops):
        """First token index at or after i that ends an operand."""
        n = len(self.toks)
        while i < n:
            tok = self.toks[i]
            x = tok.text
            if tok.kind == "punct":
                if i in self.tmpl_close:
                    i = self.tmpl_close[i] + 1
                    continue
                if x in (")", "]", "}", ";", ",") or x in stops:
                    return i
                if x == "{" and not (self.is_expr_end(i - 1) or i - 1 in self.tmpl_open_of):
                    return i
            elif tok.kind == "id" and x in ("return", "case", "if", "for", "while", "else"):
                return i
            i = self.skip_forward(i) if x in ("(", "[", "{") else i + 1
        return n

    def operand_start(self, i, stops):
        """First token index of the operand that ends just before index i."""
        j = i - 1
        while j >= 0:
            tok = self.toks[j]
            x = tok.text
            if tok.kind == "punct":
                if x in (")", "]") and j in self.match:
                    j = self.match[j] - 1
                    continue
                if x == "}" and j in self.match:
                    o = self.match[j]
                    if self.toks[o - 1].kind == "id" if o > 0 else False:
                        j = o - 1
                        continue
                    return j + 1
                if j in self.tmpl_open_of:
                    j = self.tmpl_open_of[j] - 1
                    continue
                if x in ("(", "[", "{", "}", ";", ",") or x in stops:
                    return j + 1
            elif tok.kind == "id" and x in ("return", "case", "else", "throw", "co_return"):
                return j + 1
            j -= 1
        return 0

    # -- the operators -----------------------------------------------------
    def sites(self):
        if not self.balanced:
            return []
        out = []
        toks = self.toks
        assign = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}
        for i, tok in enumerate(toks):
            if i in self.quiet:
                continue
            x = tok.text
            if tok.kind == "punct" and x in ("<", "<=", ">", ">=") and i not in self.inside_tmpl:
                if not (self.is_expr_end(i - 1) and self.is_expr_start(i + 1)):
                    continue
                if not tok.space_before or not toks[i + 1].space_before:
                    continue  # clang-format spaces a comparison; a bracket it does not
                swap = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}[x]
                out.append(self.site("relation", tok.start, tok.end, swap, tok.start))
                stops = assign | {"&&", "||", "?", ":", "==", "!=", "<", ">", "<=", ">=", "&", "|", "^",
                                  "<=>"}
                e = self.operand_end(i + 1, stops)
                if e <= i + 1:
                    continue
                rhs = toks[i + 1:e]
                if len(rhs) == 1 and rhs[0].kind == "num":
                    continue  # the literal's own +-1 is the same fault
                a, b = rhs[0].start, rhs[-1].end
                text = self.src[a:b]
                shifts = any(t.text in ("<<", ">>") and (i + 1 + k) not in self.inside_tmpl
                             for k, t in enumerate(rhs))
                base = f"({text})" if shifts else text
                out.append(self.site("bound+1", a, b, base + " + 1", tok.start))
                out.append(self.site("bound-1", a, b, base + " - 1", tok.start))
            elif tok.kind == "num" and INT_RE.match(x):
                for d in (1, -1):
                    r = int_literal_shift(x, d)
                    if r is not None:
                        out.append(self.site("literal+1" if d > 0 else "literal-1", tok.start, tok.end, r,
                                             tok.start))
            elif tok.kind == "punct" and x in ("&&", "||") and i not in self.inside_tmpl:
                if not (self.is_expr_end(i - 1) and self.is_expr_start(i + 1)):
                    continue
                if not tok.space_before or not toks[i + 1].space_before:
                    continue  # `T&& x`: a reference, not a condition
                stops = assign | {"?", ":", "||"} | ({"&&"} if x == "&&" else set())
                ls = self.operand_start(i, stops)
                re_ = self.operand_end(i + 1, stops)
                if ls >= i or re_ <= i + 1:
                    continue
                out.append(self.site("drop-left", toks[ls].start, toks[i + 1].start, "", tok.start))
                out.append(self.site("drop-right", toks[i - 1].end, toks[re_ - 1].end, "", tok.start))
            elif tok.kind == "id" and x in ("min", "max") and self.t(i - 1) == "::" and self.t(i - 2) == "std":
                out.append(self.site("min-max", tok.start, tok.end, "max" if x == "min" else "min", tok.start))
            elif tok.kind == "id" and x == "continue" and self.t(i + 1) == ";":
                out.append(self.site("continue", tok.start, toks[i + 1].end, "{}", tok.start))
            elif tok.kind == "id" and x == "return":
                end = self._statement_end(i)
                if end is None or not self._early_return(i, end):
                    continue
                out.append(self.site("return", tok.start, toks[end].end, "{}", tok.start))
        return out

    def _statement_end(self, i):
        j = i + 1
        n = len(self.toks)
        while j < n:
            x = self.toks[j].text
            if x == ";":
                return j
            if x in ("}", ")", "]"):
                return None
            j = self.skip_forward(j)
        return None

    def _early_return(self, i, end):
        prev = self.t(i - 1)
        if prev not in (";", "{", "}", ":"):
            return True  # the body of an if, else, for or while
        if self.t(end + 1) != "}":
            return True  # statements follow
        return not self._function_body(self.match.get(end + 1, -1))

    def _function_body(self, o):
        """Whether the brace at index o opens a function or lambda body."""
        if o <= 0:
            return False
        j = o - 1
        while j >= 0 and self.t(j) in FUNCTION_QUALIFIERS:
            j -= 1
        x = self.t(j)
        if x == "]":
            return True
        if x == ")" and j in self.match:
            before = self.t(self.match[j] - 1)
            if before == "constexpr" and self.t(self.match[j] - 2) == "if":
                return False
            return before not in CONTROL_KEYWORDS
        # A trailing return type: `) -> T {`.
        k = j
        while k > 0 and k > o - 30 and self.t(k) not in (";", "{", "}"):
            if self.t(k) == "->" and self.t(k - 1) in {")"} | FUNCTION_QUALIFIERS:
                return True
            k -= 1
        return False


def int_literal_shift(text, d):
    m = INT_RE.match(text)
    if not m:
        return None
    body, suffix = m.group(1).replace("'", ""), m.group(2) or ""
    if body[:2] in ("0x", "0X"):
        value, fmt = int(body[2:], 16), "hex"
    elif body[:2] in ("0b", "0B"):
        value, fmt = int(body[2:], 2), "bin"
    elif len(body) > 1 and body[0] == "0":
        value, fmt = int(body[1:], 8), "oct"
    else:
        value, fmt = int(body), "dec"
    v = value + d
    if v < 0:
        return f"({text} - 1)" if "u" in suffix.lower() else f"(-1{suffix})"
    if fmt == "hex":
        digits = format(v, "X" if any(ch.isupper() for ch in body[2:]) else "x")
        return body[:2] + digits.zfill(len(body) - 2) + suffix
    if fmt == "bin":
        return body[:2] + format(v, "b") + suffix
    if fmt == "oct":
        return "0" + format(v, "o") + suffix
    return str(v) + suffix


# --------------------------------------------------------------------------
# Files and modes


def core_files(root):
    out = []
    base = os.path.join(root, "src")
    for dirpath, dirnames, filenames in os.walk(base):
        dirnames.sort()
        for f in sorted(filenames):
            if not f.endswith((".cpp", ".h")):
                continue
            stem = f.rsplit(".", 1)[0]
            if stem.endswith("_win"):
                continue
            out.append(os.path.relpath(os.path.join(dirpath, f), root).replace(os.sep, "/"))
    return out


def all_sites(root, files):
    sites = []
    for rel in files:
        # newline="": offsets must count the bytes' own line ends, as _plant does.
        with open(os.path.join(root, rel), encoding="utf-8", errors="surrogateescape", newline="") as f:
            src = f.read()
        a = Analyzer(rel, src)
        if not a.balanced:
            print(f"mutants: {rel}: brackets do not balance outside directives; file skipped", file=sys.stderr)
        sites.extend(a.sites())
    sites.sort(key=lambda s: (s.file, s.start, s.end, s.op, s.repl))
    return sites


def changed_lines(root, rev):
    """{file: set(lines)} of src/ lines changed since rev, untracked files whole.

    Against the merge base of rev and HEAD: on a branch, `--since main` means
    the branch's own lines even after main has moved on."""
    try:
        diff = subprocess.run(["git", "-C", root, "diff", "--merge-base", "--relative", "--no-color", "--no-ext-diff",
                               "-U0", rev, "--", "src"], check=True, capture_output=True, text=True).stdout
        untracked = subprocess.run(["git", "-C", root, "ls-files", "--others", "--exclude-standard", "--", "src"],
                                   check=True, capture_output=True, text=True).stdout.split("\n")
    except subprocess.CalledProcessError as e:
        sys.exit(f"mutants: git diff {rev} failed: {e.stderr.strip()}")
    lines = {}
    cur = None
    for ln in diff.split("\n"):
        if ln.startswith("+++ "):
            p = ln[4:]
            cur = None if p == "/dev/null" else lines.setdefault(p[2:] if p.startswith("b/") else p, set())
        elif ln.startswith("@@") and cur is not None:
            m = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", ln)
            start, count = int(m.group(1)), int(m.group(2) or "1")
            cur.update(range(start, start + count))
    for p in untracked:
        if p:
            lines[p] = None  # every line
    return lines


# --------------------------------------------------------------------------
# The private build


class Interrupted(Exception):
    pass


def source_list(root):
    """Files of the working tree that the build may read, relative to root."""
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "-z", "--cached", "--others", "--exclude-standard",
                              "--", "."], check=True, capture_output=True).stdout
        files = [p.decode("utf-8", "surrogateescape") for p in out.split(b"\0") if p]
    except (subprocess.CalledProcessError, FileNotFoundError):
        files = []
        for dirpath, dirnames, filenames in os.walk(root):
            dirnames[:] = [d for d in dirnames if d not in (".git", "build")]
            for f in filenames:
                files.append(os.path.relpath(os.path.join(dirpath, f), root))
    return sorted(f for f in files if not f.startswith(("build/", ".git/")) and os.path.isfile(os.path.join(root, f)))


def sync_tree(root, tree):
    """Make tree a copy of root's sources; rewrites (new time stamp) only what differs."""
    files = source_list(root)
    wanted = set(files)
    changed = 0
    for rel in files:
        src, dst = os.path.join(root, rel), os.path.join(tree, rel)
        with open(src, "rb") as f:
            data = f.read()
        try:
            with open(dst, "rb") as f:
                if f.read() == data:
                    continue
        except OSError:
            pass
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        with open(dst, "wb") as f:
            f.write(data)
        shutil.copymode(src, dst)
        changed += 1
    for dirpath, dirnames, filenames in os.walk(tree):
        for f in filenames:
            rel = os.path.relpath(os.path.join(dirpath, f), tree).replace(os.sep, "/")
            if rel not in wanted:
                os.unlink(os.path.join(dirpath, f))
                changed += 1
    return changed


class Build:
    def __init__(self, args, root):
        self.args = args
        self.root = root
        self.dir = os.path.abspath(args.build_dir or os.path.join(root, "build", "mutants"))
        self.tree = os.path.join(self.dir, "tree")
        self.bdir = os.path.join(self.dir, "build")
        self.jobs = args.jobs

    def log(self, msg):
        print(f"mutants: {msg}", flush=True)

    def prepare(self):
        os.makedirs(self.tree, exist_ok=True)
        n = sync_tree(self.root, self.tree)
        if n:
            self.log(f"{n} file(s) of the copy in {os.path.relpath(self.tree, self.root)} synced from the working tree")
        if not os.path.exists(os.path.join(self.bdir, "build.ninja")):
            cmd = ["cmake", "-S", self.tree, "-B", self.bdir, "--preset", self.args.preset] + self.args.cmake_arg
            self.log("configuring: " + " ".join(cmd))
            r = self.call(cmd, capture=True)
            if r.returncode != 0:
                sys.exit(f"mutants: configuring failed:\n{r.stdout}")
        self.log("building the unchanged copy")
        t0 = time.time()
        r = self.ninja([])
        if r.returncode != 0:
            sys.exit(f"mutants: the unchanged sources do not build:\n{tail(r.stdout, 40)}")
        self.log(f"built in {time.time() - t0:.0f} s")
        self.outputs = self._outputs()
        self.cache = os.path.join(self.dir, "pristine")
        self._load_index()
        self.refresh_cache()
        self.programs = self._programs()
        if not self.programs:
            sys.exit("mutants: ctest lists no test programs")
        self._closures()

    def call(self, cmd, capture=True, cwd=None, env=None, timeout=None, child=None):
        p = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                             stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, start_new_session=True,
                             preexec_fn=child or _die_with_parent)
        try:
            out, _ = p.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            kill_group(p)
            p.communicate()
            return subprocess.CompletedProcess(cmd, None, "", None)
        except BaseException:
            kill_group(p)
            raise
        return subprocess.CompletedProcess(cmd, p.returncode, out.decode("utf-8", "replace") if out else "", None)

    def ninja(self, targets):
        return self.call(["ninja", "-C", self.bdir, f"-j{self.jobs}"] + targets)

    def _outputs(self):
        """Outputs of the compile, link and custom-command steps (never CMake's own files)."""
        out = self.call(["ninja", "-C", self.bdir, "-t", "targets", "all"]).stdout
        keep = set()
        for ln in out.splitlines():
            path, _, rule = ln.rpartition(": ")
            if rule in ("phony", "RERUN_CMAKE", "VERIFY_GLOBS", "CLEAN", "HELP") or not path:
                continue
            keep.add(os.path.normpath(os.path.join(self.bdir, path)))
        return keep

    def _programs(self):
        r = self.call(["ctest", "--test-dir", self.bdir, "--show-only=json-v1"])
        try:
            data = json.loads(r.stdout[r.stdout.index("{"):])
        except ValueError:
            sys.exit(f"mutants: ctest gave no test list:\n{tail(r.stdout, 20)}")
        progs = {}
        for test in data.get("tests", []):
            cmd = test.get("command") or []
            if not cmd:
                continue
            exe = os.path.realpath(cmd[0])
            props = {p["name"]: p["value"] for p in test.get("properties", [])}
            env = props.get("ENVIRONMENT", [])
            if isinstance(env, str):
                env = [env]
            if exe not in progs:
                progs[exe] = {"exe": exe, "name": os.path.basename(exe),
                              "cwd": props.get("WORKING_DIRECTORY", self.bdir),
                              "env": dict(e.split("=", 1) for e in env if "=" in e),
                              "target": os.path.relpath(exe, os.path.realpath(self.bdir)), "tests": 0}
            progs[exe]["tests"] += 1
        return list(progs.values())

    def _closures(self):
        """For each program, the sources of the copy it is built from (headers included)."""
        deps = {}
        cur = None
        for ln in self.call(["ninja", "-C", self.bdir, "-t", "deps"]).stdout.splitlines():
            if ln and not ln[0].isspace():
                cur = deps.setdefault(os.path.normpath(os.path.join(self.bdir, ln.split(":")[0])), [])
            elif ln.strip() and cur is not None:
                cur.append(ln.strip())
        tree = os.path.realpath(self.tree) + os.sep
        # Which objects each source of the copy is compiled into.
        self.objects_of = {}
        for obj, found in deps.items():
            for d in found:
                rf = os.path.realpath(os.path.join(self.bdir, d))
                if rf.startswith(tree) and obj in self.outputs:
                    self.objects_of.setdefault(rf[len(tree):].replace(os.sep, "/"), []).append(obj)
        for p in self.programs:
            files = set()
            for ln in self.call(["ninja", "-C", self.bdir, "-t", "inputs", p["target"]]).stdout.splitlines():
                ln = ln.strip()
                if not ln:
                    continue
                path = os.path.normpath(os.path.join(self.bdir, ln))
                for f in [path] + [os.path.normpath(os.path.join(self.bdir, d)) for d in deps.get(path, [])]:
                    rf = os.path.realpath(f)
                    if rf.startswith(tree):
                        files.add(rf[len(tree):].replace(os.sep, "/"))
            p["closure"] = files

    def _program_env(self, p):
        env = dict(os.environ)
        env.update(p["env"])
        env["GTEST_FAIL_FAST"] = "1"  # a program stops at its first failing test
        env.pop("GTEST_FILTER", None)
        return env

    def run_program(self, p, timeout):
        t0 = time.time()
        r = self.call([p["exe"]], cwd=p["cwd"], env=self._program_env(p), timeout=timeout, child=_test_child)
        return r.returncode, time.time() - t0, r.stdout

    def run_programs(self, progs, timeout_of):
        """Runs up to `jobs` programs at a time, in order; stops all at the first failure.

        Returns (status, program, failed test, seconds of program time)."""
        pending = list(progs)
        running = []  # (program, process, log file, start)
        spent = 0.0
        verdict = ("survived", None, None)
        try:
            while (pending or running) and verdict[0] == "survived":
                while pending and len(running) < max(1, self.jobs):
                    p = pending.pop(0)
                    log = open(os.path.join(self.dir, f"run-{p['name']}.log"), "w+b")
                    proc = subprocess.Popen([p["exe"]], cwd=p["cwd"], env=self._program_env(p), stdout=log,
                                            stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                            start_new_session=True, preexec_fn=_test_child)
                    running.append((p, proc, log, time.time()))
                time.sleep(0.02)
                for item in list(running):
                    p, proc, log, start = item
                    rc = proc.poll()
                    late = rc is None and time.time() - start > timeout_of(p)
                    if rc is None and not late:
                        continue
                    running.remove(item)
                    spent += time.time() - start
                    if late:
                        kill_group(proc)
                        proc.wait()
                        verdict = ("timeout", p["name"], None)
                    elif rc != 0:
                        log.seek(0)
                        verdict = ("caught", p["name"], failed_test(log.read().decode("utf-8", "replace")))
                    log.close()
                    if verdict[0] != "survived":
                        break
        finally:
            for p, proc, log, start in running:
                kill_group(proc)
                proc.wait()
                log.close()
        return verdict + (spent,)

    def same_objects(self, rel):
        """Whether every object built from `rel` is, as far as rebuilt yet, byte for byte the unchanged one."""
        if not self.objects_of.get(rel):
            return False
        for obj in self.objects_of[rel]:
            entry = self.index.get(os.path.relpath(obj, self.bdir))
            try:
                st = os.stat(obj)
            except FileNotFoundError:
                return False
            if entry is None:
                return False
            if (st.st_mtime_ns, st.st_size) == entry:
                continue  # not rebuilt
            with open(obj, "rb") as a, open(os.path.join(self.cache, os.path.relpath(obj, self.bdir)), "rb") as b:
                if a.read() != b.read():
                    return False
        return True

    # -- the unchanged outputs ------------------------------------------------
    def _load_index(self):
        try:
            with open(os.path.join(self.cache, "index.json"), encoding="utf-8") as f:
                self.index = {k: tuple(v) for k, v in json.load(f).items()}
        except (OSError, ValueError):
            self.index = {}

    def _save_index(self):
        tmp = os.path.join(self.cache, "index.json.tmp")
        with open(tmp, "w", encoding="utf-8") as f:
            json.dump(self.index, f)
        os.replace(tmp, os.path.join(self.cache, "index.json"))

    def refresh_cache(self):
        """Keeps a copy of every output of the unchanged build that changed since the last copy."""
        changed = False
        for path in sorted(self.outputs):
            rel = os.path.relpath(path, self.bdir)
            try:
                st = os.stat(path)
            except FileNotFoundError:
                changed |= self.index.pop(rel, None) is not None
                continue
            stamp = (st.st_mtime_ns, st.st_size)
            keep = os.path.join(self.cache, rel)
            if self.index.get(rel) == stamp and os.path.exists(keep):
                continue
            os.makedirs(os.path.dirname(keep), exist_ok=True)
            shutil.copy2(path, keep + ".tmp")
            os.replace(keep + ".tmp", keep)
            self.index[rel] = stamp
            changed = True
        if changed:
            os.makedirs(self.cache, exist_ok=True)
            self._save_index()

    def restore_outputs(self):
        """Puts back every output a fault's build rewrote or removed, with its old time stamp."""
        for path in self.outputs:
            rel = os.path.relpath(path, self.bdir)
            entry = self.index.get(rel)
            try:
                st = os.stat(path)
                now = (st.st_mtime_ns, st.st_size)
            except FileNotFoundError:
                now = None
            if entry is None:
                if now is not None:
                    os.unlink(path)
                continue
            if now == entry:
                continue
            tmp = path + ".mutants-tmp"
            shutil.copyfile(os.path.join(self.cache, rel), tmp)
            shutil.copymode(os.path.join(self.cache, rel), tmp)
            os.utime(tmp, ns=(entry[0], entry[0]))
            os.replace(tmp, path)


def _die_with_parent():
    """Child side of Popen: a runner killed outright takes its build or test program with it."""
    try:
        import ctypes
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass


# A fault that sends a size limit astray must not take the shared machine's
# memory: past this address space the test program fails, and the fault
# counts as caught.  The unchanged tests need about a tenth of it.
TEST_ADDRESS_SPACE = 4 << 30


def _test_child():
    _die_with_parent()
    try:
        import resource
        resource.setrlimit(resource.RLIMIT_AS, (TEST_ADDRESS_SPACE, TEST_ADDRESS_SPACE))
    except (ImportError, ValueError, OSError):
        pass


def kill_group(p):
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


def tail(text, n):
    return "\n".join((text or "").splitlines()[-n:])


# --------------------------------------------------------------------------
# Equivalent faults


def read_equivalents(path):
    """[(file, line, change, reason)] from lines `file:line: original -> mutant  # reason`."""
    out = []
    if not path or not os.path.exists(path):
        return out
    with open(path, encoding="utf-8") as f:
        for n, ln in enumerate(f, 1):
            ln = ln.rstrip("\n")
            if not ln.strip() or ln.lstrip().startswith("#"):
                continue
            m = re.match(r"^(\S+?):(\d+):\s(.*?)\s+#\s+(.*)$", ln)
            if not m or not m.group(4).strip():
                print(f"mutants: {path}:{n}: expected `file:line: original -> mutant  # reason`", file=sys.stderr)
                continue
            out.append((m.group(1), int(m.group(2)), collapse(m.group(3)), m.group(4).strip()))
    return out


def match_equivalents(sites, entries):
    """{site key: reason}; an entry whose line moved still matches a change unique in its file."""
    by_exact = {(s.file, s.line, s.change()): s for s in sites}
    by_change = {}
    for s in sites:
        by_change.setdefault((s.file, s.change()), []).append(s)
    out = {}
    for file, line, change, reason in entries:
        s = by_exact.get((file, line, change))
        if s is None and len(by_change.get((file, change), [])) == 1:
            s = by_change[(file, change)][0]
        if s is not None:
            out[s.key()] = reason
    return out


# --------------------------------------------------------------------------
# The run


def choose_sites(args, root):
    files = core_files(root)
    sites = all_sites(root, files)
    total = len(sites)
    if args.since:
        lines = changed_lines(root, args.since)
        sites = [s for s in sites if s.file in lines and (lines[s.file] is None or s.line in lines[s.file])]
        desc = f"every site on the lines of src/ changed since {args.since}"
    elif args.sample is not None:
        rng = random.Random(args.seed)
        sites = rng.sample(sites, min(args.sample, len(sites)))
        sites.sort(key=lambda s: (s.file, s.start, s.end, s.op, s.repl))
        desc = f"a sample of {len(sites)} of the {total} sites of the core (seed {args.seed})"
    else:
        desc = "every site of the core"
    if args.only:
        want = [o.rsplit(":", 1) if re.search(r":\d+$", o) else [o, None] for o in args.only]
        sites = [s for s in sites if any(s.file == f and (ln is None or s.line == int(ln)) for f, ln in want)]
        desc += " in " + ", ".join(args.only)
    return sites, total, desc


def own_program(rel, programs):
    parts = rel.split("/")
    room = parts[1] if len(parts) > 2 else None
    for p in programs:
        if room and p["name"] == f"test_{room}":
            return p
    return None


def main(argv=None):
    ap = argparse.ArgumentParser(
        prog="mutants.sh",
        description="Plant one-line faults in the portable core and list those no native test catches.")
    mode = ap.add_mutually_exclusive_group()
    mode.add_argument("--since", metavar="REV",
                      help="every site on the lines of src/ changed since REV (git diff --merge-base -U0 REV: "
                           "the branch's own lines, uncommitted changes and new files included)")
    mode.add_argument("--sample", type=int, metavar="N", help="a random sample of N sites over the whole core")
    mode.add_argument("--all", action="store_true", help="every site of the core")
    ap.add_argument("--seed", type=int, default=1, help="seed of --sample (default 1)")
    ap.add_argument("--only", action="append", default=[], metavar="FILE[:LINE]",
                    help="only the sites of this file or line (repeatable; alone: every site there)")
    ap.add_argument("--list", action="store_true", help="only list the chosen sites and their count")
    ap.add_argument("--jobs", "-j", type=int, default=2,
                    help="build jobs, and test programs run side by side (default 2)")
    ap.add_argument("--timeout", type=float, default=None,
                    help="seconds one test program may run before the fault counts as caught by a timeout "
                         "(default: 5 times its unchanged run, plus 20)")
    ap.add_argument("--build-dir", metavar="DIR", help="the run's own folder: copy and build (default build/mutants)")
    ap.add_argument("--root", metavar="DIR", help="the project (default: the folder above scripts/)")
    ap.add_argument("--preset", default="native", help="CMake configure preset of the build (default native)")
    ap.add_argument("--cmake-arg", action="append", default=[], metavar="ARG", help="extra argument to configure")
    ap.add_argument("--equivalent", metavar="FILE",
                    help="equivalent faults, `file:line: original -> mutant  # reason` a line "
                         "(default scripts/mutants-equivalent.txt when present)")
    ap.add_argument("--json", metavar="FILE", help="machine-readable report (default <build-dir>/report.json)")
    ap.add_argument("--check", action="store_true", help="exit 1 when a fault survives")
    ap.add_argument("--self-test", action="store_true", help="run on scripts/mutants_fixture and check the result")
    args = ap.parse_args(argv)

    here = os.path.dirname(os.path.abspath(__file__))
    if args.self_test:
        return self_test(here, args.jobs)
    root = os.path.abspath(args.root or os.path.dirname(here))
    if args.sample is not None and args.sample < 0:
        ap.error("--sample wants a count of 0 or more")
    if not (args.since or args.sample is not None or args.all or args.list or args.only):
        ap.error("choose a mode: --since REV, --sample N [--seed S] or --all")

    sites, total, desc = choose_sites(args, root)
    if args.list:
        for s in sites:
            print(f"{s.label()}   [{s.op}]")
        counts = {}
        for s in sites:
            counts[s.op] = counts.get(s.op, 0) + 1
        print(f"{len(sites)} sites ({desc}): " + ", ".join(f"{k} {v}" for k, v in sorted(counts.items())))
        return 0

    eq_path = args.equivalent or os.path.join(root, "scripts", "mutants-equivalent.txt")
    equivalents = match_equivalents(sites, read_equivalents(eq_path))
    return Runner(args, root, sites, desc, equivalents).go()


class Runner:
    def __init__(self, args, root, sites, desc, equivalents):
        self.args, self.root, self.sites, self.desc = args, root, sites, desc
        self.equivalents = equivalents
        self.build = Build(args, root)
        self.results = []
        self.planted = None  # (path, original bytes, original stat) while a fault stands in the copy

    def go(self):
        started = time.time()
        interrupted = False
        self._signals()
        try:
            self.build.prepare()
            base = self._baseline()
            self.build.log(f"{len(self.sites)} faults: {self.desc}")
            for n, site in enumerate(self.sites, 1):
                res = self._one(site, base)
                self.results.append(res)
                extra = f" by {res['program']}" if res.get("program") else ""
                print(f"[{n:>{len(str(len(self.sites)))}}/{len(self.sites)}] {res['status']:<13}{extra:<18} "
                      f"{res['seconds']:6.1f} s  {site.label()}", flush=True)
        except Interrupted:
            interrupted = True
            print("mutants: interrupted; the copy is restored", file=sys.stderr, flush=True)
        finally:
            signal.signal(signal.SIGINT, signal.SIG_IGN)
            signal.signal(signal.SIGTERM, signal.SIG_IGN)
            self._restore()
        return self._report(time.time() - started, interrupted)

    def _signals(self):
        def handler(signum, frame):
            signal.signal(signal.SIGINT, signal.SIG_IGN)
            signal.signal(signal.SIGTERM, signal.SIG_IGN)
            raise Interrupted()
        signal.signal(signal.SIGINT, handler)
        signal.signal(signal.SIGTERM, handler)
        signal.signal(signal.SIGHUP, handler)

    def _baseline(self):
        """Runs every test program on the unchanged build; their times order and bound the later runs."""
        base = {}
        for p in self.build.programs:
            rc, secs, out = self.build.run_program(p, None)
            if rc != 0:
                sys.exit(f"mutants: {p['name']} fails on the unchanged sources; mend that first:\n{tail(out, 30)}")
            base[p["exe"]] = secs
            p["baseline"] = secs
        total = sum(base.values())
        self.build.log(f"{len(self.build.programs)} test programs pass unchanged in {total:.1f} s: "
                       + ", ".join(f"{p['name']} {p['baseline']:.1f}" for p in self.build.programs))
        return base

    def _timeout(self, p):
        if self.args.timeout:
            return self.args.timeout
        return 5 * p["baseline"] + 20

    def _plant(self, site):
        path = os.path.join(self.build.tree, site.file)
        with open(path, "rb") as f:
            data = f.read()
        st = os.stat(path)
        text = data.decode("utf-8", "surrogateescape")
        mutated = (text[:site.start] + site.repl + text[site.end:]).encode("utf-8", "surrogateescape")
        self.planted = (path, data, st)
        with open(path, "wb") as f:
            f.write(mutated)
        now = time.time_ns()
        os.utime(path, ns=(now, now))

    def _restore(self):
        if self.planted is None:
            return
        path, data, st = self.planted
        # First the outputs, then the file: killed in between, the copy still
        # differs from the working tree and the next start rewrites it with a
        # new time stamp, so ninja rebuilds all that depends on it.
        self.build.restore_outputs()
        with open(path, "wb") as f:
            f.write(data)
        os.utime(path, ns=(st.st_atime_ns, st.st_mtime_ns))
        self.planted = None

    def _one(self, site, base):
        t0 = time.time()
        res = {"file": site.file, "line": site.line, "column": site.col, "operator": site.op,
               "original": site.original, "mutant": site.mutant, "status": None, "program": None}
        progs = [p for p in self.build.programs if site.file in p["closure"]]
        own = own_program(site.file, progs)
        progs.sort(key=lambda p: (p is not own, p["baseline"]))
        if not progs:
            res.update(status="survived", note="no test program is built from this file")
            return self._finish(site, res, t0)
        targets = [p["target"] for p in progs]
        # Normally nothing to do: the outputs were restored after the last fault.
        r = self.build.ninja(targets)
        if r.returncode != 0:
            sys.exit(f"mutants: the unchanged copy no longer builds:\n{tail(r.stdout, 40)}")
        if "no work to do" not in r.stdout:
            self.build.refresh_cache()
        try:
            self._plant(site)
            status, prog = "survived", None
            res["build_seconds"] = res["test_seconds"] = 0.0
            # The own folder's program alone first; the others are built and
            # run only when it passes, side by side.
            for stage in (progs[:1], progs[1:]):
                if not stage:
                    break
                tb = time.time()
                r = self.build.ninja([p["target"] for p in stage])
                res["build_seconds"] = round(res["build_seconds"] + time.time() - tb, 2)
                if r.returncode != 0:
                    status = "not compiling"
                    res["error"] = first_error(r.stdout)
                    break
                if self.build.same_objects(site.file):
                    # The compiler made the very same code: no test can tell.
                    status = "same code"
                    continue
                status, prog, test, secs = self.build.run_programs(stage, self._timeout)
                res["test_seconds"] = round(res["test_seconds"] + secs, 2)
                if test:
                    res["test"] = test
                if status != "survived":
                    break
            res["status"], res["program"] = status, prog
        finally:
            self._restore()
        return self._finish(site, res, t0)

    def _finish(self, site, res, t0):
        if res["status"] == "survived" and site.key() in self.equivalents:
            res["status"] = "equivalent"
            res["reason"] = self.equivalents[site.key()]
        elif site.key() in self.equivalents:
            res["marked_equivalent_but"] = res["status"]
        res["seconds"] = round(time.time() - t0, 2)
        res["label"] = site.label()
        return res

    def _report(self, seconds, interrupted):
        rs = self.results
        count = lambda *st: sum(1 for r in rs if r["status"] in st)
        planted = len(rs)
        caught, timeouts = count("caught", "timeout"), count("timeout")
        survived, equivalent, broken = count("survived"), count("equivalent"), count("not compiling")
        same = count("same code")
        denom = planted - broken - equivalent - same
        score = caught / denom if denom else None
        summary = (f"planted {planted}, caught {caught} (of which timeout {timeouts}), survived {survived}, "
                   f"equivalent {equivalent}, same code {same}, not compiling {broken}; score "
                   + (f"{caught}/{denom} = {100 * score:.1f} %" if score is not None else "n/a")
                   + f"; {seconds / 60:.1f} min")
        print()
        print(("INTERRUPTED: " if interrupted else "") + summary)
        survivors = [r for r in rs if r["status"] == "survived"]
        for status, title in (("timeout", "timeouts (counted as caught)"),
                              ("same code", "same code: the compiler made the unchanged code (left out of the score)"),
                              ("survived", "survivors")):
            listed = [r for r in rs if r["status"] == status]
            if listed:
                print(f"{title}:")
                for r in listed:
                    note = f"   ({r['note']})" if r.get("note") else ""
                    print(f"  {r['label']}{note}")
        for r in rs:
            if r.get("marked_equivalent_but"):
                print(f"mutants: marked equivalent but {r['marked_equivalent_but']}: {r['label']}", file=sys.stderr)
        report = {
            "mode": self.desc, "since": self.args.since, "sample": self.args.sample,
            "seed": self.args.seed if self.args.sample is not None else None,
            "interrupted": interrupted, "seconds": round(seconds, 1),
            "planted": planted, "caught": caught, "timeouts": timeouts, "survived": survived,
            "equivalent": equivalent, "same_code": same, "not_compiling": broken, "score": score,
            "survivors": [r["label"] for r in survivors],
            "programs": {p["name"]: round(p.get("baseline", 0), 2) for p in getattr(self.build, "programs", [])},
            "mutants": rs,
        }
        path = self.args.json or os.path.join(self.build.dir, "report.json")
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            json.dump(report, f, ensure_ascii=False, indent=1)
        print(f"report: {path}")
        if interrupted:
            return 130
        return 1 if (self.args.check and survivors) else 0


def failed_test(out):
    m = re.search(r"^\[  FAILED  \] (\S+)", out or "", re.M)
    return m.group(1) if m else None


def first_error(out):
    for ln in (out or "").splitlines():
        if re.search(r":\d+:(\d+:)? (fatal )?error: ", ln):
            return ln.strip()[:300]
    return tail(out, 1)[:300]


# --------------------------------------------------------------------------
# Self-test


def built_files(build):
    """{path: bytes} of the objects, libraries and programs of a build folder."""
    out = {}
    for dirpath, _, filenames in os.walk(build):
        for f in filenames:
            path = os.path.join(dirpath, f)
            if f.endswith((".o", ".a")) or (os.access(path, os.X_OK) and "CMakeFiles" not in path):
                with open(path, "rb") as fh:
                    out[path] = fh.read()
    return out


def self_test(here, jobs):
    """Runs the script on the fixture: three faults, the fixture's test catches two."""
    fixture = os.path.join(here, "mutants_fixture")
    root = os.path.dirname(here)
    bdir = os.path.join(root, "build", "mutants-selftest")
    shutil.rmtree(bdir, ignore_errors=True)
    with open(os.path.join(fixture, "expected-survivor.txt"), encoding="utf-8") as f:
        expected = [ln.strip() for ln in f if ln.strip()]

    def digest():
        h = hashlib.sha256()
        for rel in source_list(fixture):
            h.update(rel.encode())
            with open(os.path.join(fixture, rel), "rb") as f:
                h.update(f.read())
        return h.hexdigest()

    before = digest()
    report_path = os.path.join(bdir, "report.json")
    cmd = [sys.executable, os.path.abspath(__file__), "--root", fixture, "--build-dir", bdir, "--all",
           "--jobs", str(jobs), "--json", report_path, "--timeout", "60"]
    r = subprocess.run(cmd, capture_output=True, text=True)
    problems = []
    if r.returncode != 0:
        problems.append(f"exit status {r.returncode}")
    try:
        with open(report_path, encoding="utf-8") as f:
            rep = json.load(f)
    except (OSError, ValueError):
        rep = {}
        problems.append("no report")
    want = {"planted": 3, "caught": 2, "survived": 1, "not_compiling": 0, "timeouts": 0, "equivalent": 0,
            "same_code": 0}
    for k, v in want.items():
        if rep.get(k) != v:
            problems.append(f"{k} {rep.get(k)}, want {v}")
    if rep.get("survivors") != expected:
        problems.append(f"survivors {rep.get('survivors')}, want {expected}")
    printed = []
    if "survivors:\n" in r.stdout:
        printed = r.stdout.split("survivors:\n", 1)[1].split("\nreport:", 1)[0].split("\n")
    if [p.strip() for p in printed if p.strip()] != expected:
        problems.append("the printed survivors differ from the report's")
    build = os.path.join(bdir, "build")
    if os.path.exists(os.path.join(build, "build.ninja")):
        n = subprocess.run(["ninja", "-C", build, "-n"], capture_output=True, text=True)
        if "no work to do" not in n.stdout:
            problems.append("the private build was not left as it was before the faults")
        # Rebuilt from the unchanged sources, every object and program must
        # come out as the run left it: no fault's code stayed behind.
        left = built_files(build)
        now = time.time_ns()
        for dirpath, _, filenames in os.walk(os.path.join(bdir, "tree", "src")):
            for f in filenames:
                os.utime(os.path.join(dirpath, f), ns=(now, now))
        subprocess.run(["ninja", "-C", build], capture_output=True)
        if not left or built_files(build) != left:
            problems.append("the private build kept code of a fault")
    if digest() != before:
        problems.append("the fixture's own files were changed")
    tree = os.path.join(bdir, "tree")
    for rel in source_list(fixture):
        with open(os.path.join(fixture, rel), "rb") as a, open(os.path.join(tree, rel), "rb") as b:
            if a.read() != b.read():
                problems.append(f"the copy's {rel} was left mutated")
    if problems:
        print(r.stdout + r.stderr)
        print("mutants self-test FAILED: " + "; ".join(problems), file=sys.stderr)
        return 1
    print(f"mutants self-test: ok ({rep['planted']} planted, {rep['caught']} caught, survivor {expected[0]})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
