#!/usr/bin/env python3
"""Writes a C++ source with its narrow literals spelled as code page 932 bytes.

Pikora's sources are UTF-8 and the program's strings are CP932. GCC converts
the literals itself (-fexec-charset=CP932); other compilers cannot. This tool
makes a copy of a source in which every non-ASCII character of an ordinary
string or character literal is written as the \\xNN escapes of its CP932
bytes, so any compiler reads the same bytes from the copy. Comments, u8, u,
U and L literals and #include lines stay as they are; a raw string holding
non-ASCII text becomes ordinary literals, one per line of it, so line numbers
do not move. The copy starts with a #line that names the original, so
diagnostics and debug information point at the file a person edits. Copies
are build output: never edit or commit them.

    cp932_literals.py SOURCE OUTPUT
        Writes OUTPUT (only when its content changes).

    cp932_literals.py compare COMPILE_COMMANDS [PATH...]
        For every source of the compilation database whose copy differs from
        it (only those in the files or folders named, if any; every one of
        them when a header of the named folders changes), compiles the original as the build does
        (with GCC's -fexec-charset) and the copy without the charset options,
        both to assembly, and fails when the two differ anywhere but in the
        file name. Exit status 0 when every pair is identical. Tests are
        best left out: a test framework that prints an expression's
        spelling (#x) prints the escapes of the copy.
"""

import json
import os
import shlex
import subprocess
import sys
import tempfile

ENCODING = "cp932"
HEX_DIGITS = "0123456789abcdefABCDEF"
PREFIXES = ("u8", "u", "U", "L")


class LiteralError(Exception):
    pass


def cp932_escapes(ch, where):
    try:
        data = ch.encode(ENCODING)
    except UnicodeEncodeError:
        raise LiteralError(f"{where}: U+{ord(ch):04X} has no code page 932 form") from None
    return "".join(f"\\x{b:02x}" for b in data), len(data)


class Converter:
    def __init__(self, text, name):
        self.s = text
        self.name = name
        self.i = 0
        self.out = []
        self.literals = 0  # literals that changed

    def where(self):
        return f"{self.name}:{self.s.count(chr(10), 0, self.i) + 1}"

    def run(self):
        s = self.s
        n = len(s)
        line_start = True
        while self.i < n:
            c = s[self.i]
            if line_start and c == "#" and self.directive_is_include():
                self.copy_line()
                continue
            if c in " \t\r\f\v":
                self.out.append(c)
                self.i += 1
                continue
            if c == "\n":
                self.out.append(c)
                self.i += 1
                line_start = True
                continue
            line_start = False
            if s.startswith("//", self.i):
                self.copy_line_comment()
            elif s.startswith("/*", self.i):
                end = s.find("*/", self.i + 2)
                end = n if end < 0 else end + 2
                self.out.append(s[self.i : end])
                self.i = end
            elif c.isdigit() or (c == "." and self.i + 1 < n and s[self.i + 1].isdigit()):
                self.copy_pp_number()
            elif c.isalpha() or c == "_":
                self.identifier_or_literal()
            elif c == '"':
                self.ordinary_literal('"')
            elif c == "'":
                self.ordinary_literal("'")
            elif c == "\\" and s.startswith("\\\n", self.i):
                self.out.append("\\\n")
                self.i += 2
            else:
                self.out.append(c)
                self.i += 1
        return "".join(self.out)

    def directive_is_include(self):
        j = self.i + 1
        while j < len(self.s) and self.s[j] in " \t":
            j += 1
        word = self.s[j : j + 12]
        return word.startswith(("include", "import"))

    def copy_line(self):
        # Up to the end of the line, joining lines that end in a backslash.
        s = self.s
        j = self.i
        while True:
            end = s.find("\n", j)
            if end < 0:
                end = len(s)
                break
            if end > 0 and s[end - 1] == "\\":
                j = end + 1
                continue
            break
        self.out.append(s[self.i : end])
        self.i = end

    def copy_line_comment(self):
        self.copy_line()

    def copy_pp_number(self):
        # A pp-number may hold digit separators, which are not character literals.
        s = self.s
        j = self.i + 1
        while j < len(s):
            c = s[j]
            if c in "eEpP" and j + 1 < len(s) and s[j + 1] in "+-":
                j += 2
            elif c.isalnum() or c in "._":
                j += 1
            elif c == "'" and j + 1 < len(s) and s[j + 1].isalnum():
                j += 2
            else:
                break
        self.out.append(s[self.i : j])
        self.i = j

    def identifier_or_literal(self):
        s = self.s
        j = self.i
        while j < len(s) and (s[j].isalnum() or s[j] == "_"):
            j += 1
        word = s[self.i : j]
        quote = s[j] if j < len(s) else ""
        if quote in ("'", '"') and word in PREFIXES:
            # These literals have encodings of their own, not the execution one.
            self.i = j
            self.out.append(word)
            self.copy_literal(quote)
        elif quote == '"' and word.endswith("R") and word[:-1] in PREFIXES + ("",):
            self.i = j
            self.raw_literal(word)
        else:
            self.out.append(word)
            self.i = j

    def copy_literal(self, quote):
        s = self.s
        j = self.i + 1
        while j < len(s) and s[j] != quote:
            j += 2 if s[j] == "\\" else 1
        self.out.append(s[self.i : j + 1])
        self.i = j + 1

    def raw_literal(self, prefix):
        s = self.s
        open_paren = s.find("(", self.i)
        delimiter = s[self.i + 1 : open_paren]
        closing = ")" + delimiter + '"'
        end = s.find(closing, open_paren)
        if open_paren < 0 or end < 0:
            raise LiteralError(f"{self.where()}: unterminated raw string")
        body = s[open_paren + 1 : end]
        whole = s[self.i - len(prefix) : end + len(closing)]
        self.i = end + len(closing)
        if prefix != "R" or body.isascii():
            self.out.append(prefix + whole[len(prefix) :])
            return
        pieces = []
        for line in body.split("\n"):
            pieces.append(line + "\n")
        pieces[-1] = pieces[-1][:-1]
        parts = []
        for piece in pieces:
            escaped = []
            pending_hex = False
            for ch in piece:
                if ch == "\\":
                    text = "\\\\"
                elif ch == '"':
                    text = '\\"'
                elif ch == "\n":
                    text = "\\n"
                elif ch == "?":
                    text = "\\?"
                elif ord(ch) < 0x20 or ord(ch) == 0x7F:
                    text = f"\\{ord(ch):03o}"
                elif ord(ch) < 0x80:
                    text = ch
                else:
                    text, _ = cp932_escapes(ch, self.where())
                if pending_hex and text[0] in HEX_DIGITS:
                    escaped.append('" "')
                pending_hex = text.startswith("\\x")
                escaped.append(text)
            parts.append('"' + "".join(escaped) + '"')
        self.literals += 1
        self.out.append("\n".join(parts))

    def ordinary_literal(self, quote):
        s = self.s
        start = self.i
        j = start + 1
        body = []
        pending_hex = False  # the last thing written was a \x escape of ours
        changed = False
        nbytes = 0
        while True:
            if j >= len(s) or s[j] == "\n":
                raise LiteralError(f"{self.where()}: unterminated literal")
            c = s[j]
            if c == quote:
                break
            if c == "\\":
                nxt = s[j + 1] if j + 1 < len(s) else ""
                if nxt == "\n":
                    body.append("\\\n")  # a line splice: the pending check goes on
                    j += 2
                    continue
                if nxt in ("u", "U"):
                    width = 4 if nxt == "u" else 8
                    code = s[j + 2 : j + 2 + width]
                    text, count = cp932_escapes(chr(int(code, 16)), self.where())
                    body.append(text)
                    nbytes += count
                    pending_hex = True
                    changed = True
                    j += 2 + width
                    continue
                k = j + 2
                if nxt == "x":
                    while k < len(s) and s[k] in HEX_DIGITS:
                        k += 1
                elif nxt in "01234567":
                    while k < len(s) and k < j + 4 and s[k] in "01234567":
                        k += 1
                body.append(s[j:k])
                nbytes += 1
                pending_hex = False
                j = k
                continue
            if ord(c) >= 0x80:
                text, count = cp932_escapes(c, self.where())
                body.append(text)
                nbytes += count
                pending_hex = True
                changed = True
                j += 1
                continue
            if pending_hex and c in HEX_DIGITS:
                # "\x93a" would be one escape; a new literal ends the old one.
                body.append(quote + " " + quote)
            pending_hex = False
            body.append(c)
            nbytes += 1
            j += 1
        self.i = j + 1
        if not changed:
            self.out.append(s[start : self.i])
            return
        if quote == "'" and nbytes != 1:
            raise LiteralError(
                f"{self.where()}: a character literal of {nbytes} code page 932 bytes; "
                "use a string"
            )
        self.literals += 1
        self.out.append(quote + "".join(body) + quote)


def convert(text, name):
    converter = Converter(text, name)
    body = converter.run()
    line = '#line 1 "' + name.replace("\\", "\\\\").replace('"', '\\"') + '"\n'
    return line + body, converter.literals


def convert_file(source, output):
    with open(source, encoding="utf-8", newline="") as f:
        text = f.read()
    result, _ = convert(text, os.path.abspath(source))
    try:
        with open(output, encoding="utf-8", newline="") as f:
            if f.read() == result:
                return
    except OSError:
        pass
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output, "w", encoding="utf-8", newline="") as f:
        f.write(result)


# Options that change nothing in the strings but would make the two
# assemblies differ (paths in debug information) or slow the check down.
DROP_WITH_VALUE = {"-o", "-MF", "-MT", "-MQ"}
DROP_PREFIXES = ("-g", "-fsanitize", "-fno-sanitize", "-MD", "-MMD", "-fdiagnostics")
CHARSET_OPTIONS = ("-finput-charset=", "-fexec-charset=")


def assembly_command(args, source, charset):
    out = []
    skip = False
    for a in args:
        if skip:
            skip = False
            continue
        if a in DROP_WITH_VALUE:
            skip = True
            continue
        if a == "-c" or a.startswith(DROP_PREFIXES) or a == source:
            continue
        if not charset and a.startswith(CHARSET_OPTIONS):
            continue
        out.append(a)
    return out + ["-S", "-o", "-"]


def assembly(command, source, cwd):
    run = subprocess.run(command + [source], cwd=cwd, capture_output=True, text=True)
    if run.returncode != 0:
        raise LiteralError(f"{source}: compiler failed:\n{run.stderr}")
    # The file name differs between the two compilations, nothing else may.
    return [
        line
        for line in run.stdout.splitlines()
        if not line.lstrip().startswith((".file", ".ident"))
    ]


def read_text(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


def write_text(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def compare(database, only):
    with open(database, encoding="utf-8") as f:
        entries = json.load(f)
    only = [os.path.realpath(p) for p in only]
    folders = [p for p in only if os.path.isdir(p)]
    compared = literals = 0
    failures = []
    with tempfile.TemporaryDirectory(prefix="cp932-literals-") as tmp:
        # Copies live at the same path under tmp: quoted includes of a copy
        # find copied siblings, base names (which show in the names of static
        # constructors) stay, and the named folders' headers are copied too.
        def mirror(path):
            return os.path.join(tmp, path.lstrip(os.sep))

        header_literals = 0
        for folder in folders:
            for dirpath, _, names in os.walk(folder):
                for name in names:
                    if name.endswith((".h", ".hpp")):
                        path = os.path.join(dirpath, name)
                        converted, count = convert(read_text(path), path)
                        write_text(mirror(path), converted)
                        header_literals += count
        literals += header_literals
        for entry in entries:
            source = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
            if only and not any(source == p or source.startswith(p + os.sep) for p in only):
                continue
            converted, count = convert(read_text(source), source)
            if count == 0 and header_literals == 0:
                continue
            write_text(mirror(source), converted)
            args = entry.get("arguments") or shlex.split(entry["command"])
            arg_source = entry["file"]
            original = assembly(
                assembly_command(args, arg_source, True), source, entry["directory"]
            )
            copy_args = assembly_command(args, arg_source, False)
            for folder in reversed(folders):
                copy_args.insert(1, "-I" + mirror(folder))
            generated = assembly(copy_args, mirror(source), entry["directory"])
            compared += 1
            literals += count
            if original != generated:
                failures.append(source)
                print(f"DIFFERENT: {source}")
                for a, b in zip(original, generated):
                    if a != b:
                        print(f"  exec-charset: {a}\n  escaped:      {b}")
                        break
            else:
                print(f"same bytes: {os.path.relpath(source)} ({count} literals)")
    print(
        f"{compared} files, {literals} converted literals "
        f"({header_literals} in headers), {len(failures)} different"
    )
    if compared == 0 and only:
        print("nothing compared: no named source has a converted literal")
        return 1
    return 1 if failures else 0


def main(argv):
    try:
        if len(argv) >= 2 and argv[0] == "compare":
            return compare(argv[1], argv[2:])
        if len(argv) == 2:
            convert_file(argv[0], argv[1])
            return 0
    except LiteralError as e:
        print(f"cp932_literals: {e}", file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
