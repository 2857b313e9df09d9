#!/usr/bin/env python3
"""The data member naming rule of CONTRIBUTING.md (.clang-tidy), checked in seconds.

One generated translation unit includes every header of src/, and clang-tidy runs its
naming check over it once with the build's include paths: data members are declared in
headers, so this sees them all but those of classes that live inside a .cpp file, which
`make naming` covers by running the check over every source file. A header that does not
compile on its own terms, or together with the others, fails the check too.

Usage: naming_check.py <repository root> <build folder> <clang-tidy>
         exit status 1 and clang-tidy's findings
       naming_check.py --self-test <clang-tidy>
         plants a misnamed member in a scratch tree and expects it found
"""

import json
import pathlib
import re
import subprocess
import sys
import tempfile

FINDING = re.compile(r": (warning|error): ")


def compile_flags(build):
    """The include paths, definitions and language level of a platform source: it sees
    Qt, which the platform's private headers include."""
    commands = json.loads((pathlib.Path(build) / "compile_commands.json").read_text())
    for entry in commands:
        if "/src/platform/" in entry["file"]:
            words = entry.get("arguments") or entry["command"].split()
            break
    else:
        raise SystemExit("naming_check: no platform source in compile_commands.json")
    flags = []
    take_next = False
    for word in words:
        if take_next:
            flags.append(word)
            take_next = False
        elif word in ("-isystem", "-I", "-D"):
            flags.append(word)
            take_next = True
        elif word.startswith(("-I", "-D", "-std=")):
            flags.append(word)
    return flags


def check(root, build, clang_tidy, flags):
    root = pathlib.Path(root).resolve()
    headers = sorted(p.relative_to(root / "src").as_posix() for p in (root / "src").rglob("*.h"))
    unit = pathlib.Path(build) / "naming_check" / "all_headers.cpp"
    unit.parent.mkdir(parents=True, exist_ok=True)
    unit.write_text("".join(f'#include "{h}"\n' for h in headers))
    run = subprocess.run(
        [clang_tidy, "--quiet", f"--config-file={root / '.clang-tidy'}",
         f"--header-filter={re.escape(str(root / 'src'))}/", str(unit), "--",
         "-x", "c++", *flags],
        capture_output=True, text=True)
    findings = [line for line in run.stdout.splitlines() + run.stderr.splitlines()
                if FINDING.search(line)]
    if run.returncode != 0 and not findings:
        findings.append(f"clang-tidy ended with status {run.returncode}:\n{run.stderr}")
    return len(headers), findings


def self_test(clang_tidy):
    with tempfile.TemporaryDirectory() as scratch:
        root = pathlib.Path(scratch)
        (root / "src" / "lib").mkdir(parents=True)
        (root / ".clang-tidy").write_text(
            (pathlib.Path(__file__).resolve().parent.parent / ".clang-tidy").read_text())
        (root / "src" / "lib" / "good.h").write_text(
            "#pragma once\nclass TGood {\n int count_ = 0;\n int Given = 0;\n};\n")
        (root / "src" / "lib" / "planted.h").write_text(
            "#pragma once\nclass TPlanted {\n protected:\n int rowCount = 0;\n};\n")
        flags = ["-std=c++20", f"-I{root / 'src'}"]
        _, findings = check(root, root / "build", clang_tidy, flags)
    caught = [f for f in findings if "planted.h" in f and "rowCount" in f]
    wrong = [f for f in findings if "planted.h" not in f]
    for f in wrong:
        print(f"self-test: a finding outside the plant: {f}")
    if not caught:
        print("self-test: the misnamed member in planted.h went unnoticed")
    return 0 if caught and not wrong else 1


def main(argv):
    if len(argv) == 3 and argv[1] == "--self-test":
        return self_test(argv[2])
    if len(argv) != 4:
        print(__doc__)
        return 2
    root, build, clang_tidy = argv[1:]
    count, findings = check(root, build, clang_tidy, compile_flags(build))
    for line in findings:
        print(line)
    print(f"naming_check: {count} headers, {len(findings)} findings")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
