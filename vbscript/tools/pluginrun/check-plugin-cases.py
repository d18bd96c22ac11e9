#!/usr/bin/env python3
"""Checks a plugin against a file of cases for `vbsrun --plugin`.

    check-plugin-cases.py VBSRUN CASES [PLUGIN_FOLDER]

The cases file names its plugin once, then lists runs:

    plugin: runprogram.qzp          (found in PLUGIN_FOLDER, else beside the cases file)
    # a comment
    $ --record "open the editor|plugin|runprogram|gedit"
    cmd: gedit

Each `$` line holds vbsrun's options after `--plugin FILE`, split as a shell would; the lines after it,
up to the next `$` line, are what the run must print; a line that starts with "~ " is a regular expression
that the printed line must match (for what changes from run to run, such as the time). Lines that start
with "! " are what it must print on standard error (with the plugin's folder left out of its path); a run
that expects any must fail (exit code 1), the others must succeed; "exit: N" asks for another exit code.
"""
import os
import re
import shlex
import subprocess
import sys


def read_cases(path):
    plugin, cases, current = None, [], None
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if line.startswith("plugin:") and plugin is None:
                plugin = line.split(":", 1)[1].strip()
            elif line.startswith("$"):
                current = {"args": shlex.split(line[1:]), "out": [], "err": [], "exit": None}
                cases.append(current)
            elif current is None:
                if line.strip() and not line.startswith("#"):
                    sys.exit(f"{path}: expected 'plugin:' or a '$' line, got: {line}")
            elif line.startswith("#"):
                continue
            elif line.startswith("exit: "):
                current["exit"] = int(line[6:])
            elif line.startswith("! "):
                current["err"].append(line[2:])
            else:
                current["out"].append(line)
    for case in cases:
        while case["out"] and not case["out"][-1].strip():
            case["out"].pop()
    return plugin, cases


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    vbsrun, cases_path = sys.argv[1], sys.argv[2]
    folder = sys.argv[3] if len(sys.argv) == 4 else os.path.dirname(os.path.abspath(cases_path))
    if not os.path.exists(cases_path):
        sys.exit(f"{cases_path}: no cases for this plugin")
    plugin, cases = read_cases(cases_path)
    if not plugin or not cases:
        sys.exit(f"{cases_path}: names no plugin or has no cases")
    plugin_path = os.path.join(folder, plugin)
    failures = 0
    for case in cases:
        run = subprocess.run([vbsrun, "--plugin", plugin_path] + case["args"], capture_output=True,
                             timeout=60)
        out = run.stdout.decode("utf-8").rstrip("\n").split("\n") if run.stdout.strip() else []
        err = run.stderr.decode("utf-8").replace(os.path.join(folder, ""), "").rstrip("\n")
        err = err.split("\n") if err else []
        want_code = case["exit"] if case["exit"] is not None else 1 if case["err"] else 0
        same = len(out) == len(case["out"]) and all(
            re.fullmatch(w[2:], g) if w.startswith("~ ") else w == g for w, g in zip(case["out"], out))
        if not same or err != case["err"] or run.returncode != want_code:
            failures += 1
            print(f"FAILED: vbsrun --plugin {plugin} {shlex.join(case['args'])}")
            print("  expected:\n    " + "\n    ".join(case["out"] + ["! " + e for e in case["err"]]))
            print("  got (exit code %d):\n    " % run.returncode + "\n    ".join(out + ["! " + e for e in err]))
    print(f"{plugin}: {len(cases) - failures} of {len(cases)} cases as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
