#!/usr/bin/env python3
"""Checks the packaged man page of tembrel-cli.

  check_man_page.py renders MAN_PAGE CLI   groff, man and mandoc render it
                                           without a warning; it has the
                                           usual sections in their order
  check_man_page.py agrees MAN_PAGE CLI    every option and command that
                                           `CLI --help` names is in the page,
                                           and every option the page lists
                                           is in --help

The options are read from whatever --help prints, so an option added to the
program without a word in the man page fails here. A page that ends in .gz is
read as man reads it, decompressed.
"""
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile

SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES", "EXAMPLES"]
# An option: one dash and a letter, or two dashes and a word; not a negative
# number (-250) and not the bare "--" that ends the options.
OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][A-Za-z0-9-]*)")


def run(command, environment=None):
    """(exit status, stdout, stderr) of a command."""
    result = subprocess.run(command, capture_output=True, text=True, env=environment)
    return result.returncode, result.stdout, result.stderr


def unescaped(text):
    """Text with the font changes and escapes of roff undone."""
    text = re.sub(r"\\f(\[[^]]*\]|\(..|.)", "", text)
    text = text.replace("\\-", "-").replace("\\(lq", '"').replace("\\(rq", '"')
    return text.replace("\\&", "").replace("\\%", "").replace("\\ ", " ")


def plain_text(line):
    """One line of man source as the reader sees its words: the font macros
    (.B, .BR, .IR ...) give their words, joined as they print; other requests
    and comments give nothing."""
    match = re.match(r"\.([A-Za-z]+)\s*(.*)", line)
    if line.startswith(".\\\"") or (line.startswith(".") and not match):
        return ""
    if not match:
        return unescaped(line)
    macro, rest = match.groups()
    words = [quoted if quoted else bare for quoted, bare in re.findall(r'"([^"]*)"|(\S+)', rest)]
    if macro in ("B", "I", "SM", "SB", "SY"):
        return unescaped(" ".join(words))
    if macro in ("BR", "RB", "BI", "IB", "IR", "RI"):
        return unescaped("".join(words))
    return ""


def sections(source):
    """{section name: its plain text}, in the page's order."""
    found = {}
    name = None
    for line in source.splitlines():
        match = re.match(r'\.SH\s+"?([^"]*)"?\s*$', line)
        if match:
            name = match.group(1).strip()
            found[name] = ""
        elif name is not None:
            found[name] += plain_text(line) + "\n"
    return found


def check_renders(page):
    problems = []
    environment = dict(os.environ, LC_ALL="C.UTF-8", MANPAGER="cat", MANWIDTH="80")
    renderers = [
        ["groff", "-ww", "-z", "-t", "-man", "-Tutf8", page],
        ["man", "--warnings=w", "-l", page],
        ["mandoc", "-T", "lint", "-W", "warning", page],
    ]
    for command in renderers:
        if shutil.which(command[0]) is None:
            problems.append(f"{command[0]} is not installed")
            continue
        status, out, err = run(command, environment)
        # mandoc's lint reports on stdout, the others warn on stderr.
        report = (out if command[0] == "mandoc" else "") + err
        if status != 0 or report.strip():
            problems.append(f"{' '.join(command)}: status {status}\n{report}")
    with open(page, encoding="utf-8") as f:
        names = list(sections(f.read()))
    present = [s for s in names if s in SECTIONS]
    if present != SECTIONS:
        problems.append(f"sections {names}, expected {SECTIONS} in this order")
    return problems


def help_words(cli):
    status, out, err = run([cli, "--help"])
    if status != 0 or not out:
        sys.exit(f"{cli} --help: status {status}\n{err}")
    options = set(OPTION.findall(out))
    # The command words: the first word after the program's name on each
    # usage line that names a command.
    commands = set(re.findall(r"^\s*tembrel-cli\s+([a-z][a-z-]*)\b", out, re.MULTILINE))
    return options, commands


def check_agrees(page, cli):
    with open(page, encoding="utf-8") as f:
        found = sections(f.read())
    options, commands = help_words(cli)
    if not options or not commands:
        return [f"read no options or no commands from --help: {options}, {commands}"]
    problems = []
    options_text = found.get("OPTIONS", "")
    for option in sorted(options):
        if not re.search(r"(?<![\w-])" + re.escape(option) + r"(?![\w-])", options_text):
            problems.append(f"--help names {option}, the OPTIONS section does not")
    synopsis = found.get("SYNOPSIS", "")
    for command in sorted(commands):
        if not re.search(r"\btembrel-cli\s+" + re.escape(command) + r"\b", synopsis):
            problems.append(f"--help names the command {command}, the SYNOPSIS does not")
        if not re.search(r"^" + re.escape(command) + r"$", found.get("DESCRIPTION", ""), re.M):
            problems.append(f"the DESCRIPTION has no item for the command {command}")
    # The other way round: an option that the page lists as an item of its
    # own (the line after .TP) must be one the program still has.
    with open(page, encoding="utf-8") as f:
        lines = f.read().splitlines()
    in_options = False
    for index, line in enumerate(lines):
        if line.startswith(".SH"):
            in_options = line.strip() == ".SH OPTIONS"
        elif in_options and line.startswith(".TP") and index + 1 < len(lines):
            for option in OPTION.findall(plain_text(lines[index + 1])):
                if option not in options:
                    problems.append(f"the man page lists {option}, --help does not")
    return problems


def plain_page(page, folder):
    """The page's source as a file: itself, or decompressed into `folder`."""
    if not page.endswith(".gz"):
        return page
    plain = os.path.join(folder, os.path.basename(page)[: -len(".gz")])
    with gzip.open(page, "rb") as packed, open(plain, "wb") as out:
        out.write(packed.read())
    return plain


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("renders", "agrees"):
        sys.exit(__doc__)
    mode, packaged, cli = sys.argv[1:]
    with tempfile.TemporaryDirectory() as folder:
        page = plain_page(packaged, folder)
        problems = check_renders(page) if mode == "renders" else check_agrees(page, cli)
    for problem in problems:
        print("FAILED:", problem)
    if problems:
        sys.exit(1)
    print(f"{packaged}: {mode} ok")


if __name__ == "__main__":
    main()
