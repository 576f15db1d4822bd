#!/usr/bin/env python3
"""Keeps README.md true and short for its readers.

  check_readme.py README CLI

- at most 200 lines;
- the set-up commands, the one that runs the tool and the one that runs every
  test, stand on the first screen (the first 24 lines), name scripts that
  exist and can be run, and the CI runs the same test script;
- every relative link leads to a file of the repository;
- every example command line "$ tembrel-cli ..." uses a command and options
  that `CLI --help` names.
"""
import os
import re
import subprocess
import sys

MAX_LINES = 200
FIRST_SCREEN = 24


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    readme, cli = sys.argv[1:]
    root = os.path.dirname(os.path.abspath(readme))
    with open(readme, encoding="utf-8") as f:
        lines = f.read().splitlines()
    problems = []
    if len(lines) > MAX_LINES:
        problems.append(f"{len(lines)} lines, more than {MAX_LINES}")

    first = "\n".join(lines[:FIRST_SCREEN])
    for script in ("scripts/run.sh", "scripts/test.sh"):
        if not re.search(r"^" + re.escape(script) + r"\b", first, re.M):
            problems.append(f"{script} is not on the first screen")
        if not os.access(os.path.join(root, script), os.X_OK):
            problems.append(f"{script} is not an executable file")
    with open(os.path.join(root, ".ci", "run"), encoding="utf-8") as f:
        if "scripts/test.sh" not in f.read():
            problems.append(".ci/run does not run scripts/test.sh")

    for target in re.findall(r"\]\(([^)#]+)(?:#[^)]*)?\)", "\n".join(lines)):
        if "://" not in target and not os.path.exists(os.path.join(root, target)):
            problems.append(f"the link {target} leads nowhere")

    result = subprocess.run([cli, "--help"], capture_output=True, text=True)
    commands = set(re.findall(r"^\s*tembrel-cli\s+([a-z]+)", result.stdout, re.M))
    options = set(re.findall(r"(?<![\w-])(--?[A-Za-z][A-Za-z-]*)", result.stdout))
    if result.returncode != 0 or not commands:
        problems.append(f"{cli} --help: status {result.returncode}")
    examples = [l for l in lines if l.startswith("$ tembrel-cli ")]
    if not examples:
        problems.append("no example command line")
    for line in examples:
        # Up to a pipe: what follows is another program's.
        words = line.split("|")[0].split()[2:]
        if not words or words[0] not in commands:
            problems.append(f"'{line}' uses no command of --help")
        for word in words[1:]:
            option = re.match(r"(--?[A-Za-z][A-Za-z-]*)", word)
            if option and option.group(1) not in options:
                problems.append(f"'{line}' uses {option.group(1)}, which --help does not name")

    for problem in problems:
        print("FAILED:", problem)
    if problems:
        sys.exit(1)
    print(f"{readme}: {len(lines)} lines, {len(examples)} example command lines, all true")


if __name__ == "__main__":
    main()
