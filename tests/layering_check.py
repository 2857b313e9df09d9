#!/usr/bin/env python3
"""The layering of the source tree, checked by reading its include lines.

- A folder of src/ includes only itself and the folders below it:
  platform < core < devices, controls, richtext, richtext_edit, html, lists, gif < app,
  where devices may use controls, html may use gif (its pictures), lists may use html
  and richtext_edit may use richtext
  (never the other way: the rich-text model and viewer know nothing of the editor).
  The tests of a folder (tests/<folder>/) keep to the same rule, plus tests/support.
- Qt and operating-system headers appear only in src/platform/, and there only in
  sources and in the private headers named *_qt.h; nothing outside the platform
  includes those private headers. Elsewhere an angle include names the C or C++
  standard library (or, in tests and benchmarks, the test and benchmark frameworks and
  the spelling checker the tests compare with;
  benchmarks may also ask the system how much memory and time the process used, and
  the platform's tests check it against the system).
- The platform's test support (src/platform/test_support/: synthetic input, a TCP server
  to talk to) is for tests, fuzzers and benchmarks: no other source of src/ includes it.

Usage: layering_check.py <repository root>   exit status 1 and one line per fault
       layering_check.py --self-test         plants each kind of fault in a scratch tree
"""

import pathlib
import re
import sys
import tempfile

# What each folder of src/ may include besides itself.
MAY_INCLUDE = {
    "platform": set(),
    "core": {"platform"},
    "controls": {"platform", "core"},
    "devices": {"platform", "core", "controls"},
    "richtext": {"platform"},
    "richtext_edit": {"platform", "richtext"},
    "html": {"platform", "gif"},
    "lists": {"platform", "html"},
    "gif": {"platform"},
    "app": {"platform", "core", "controls", "devices", "richtext", "richtext_edit",
            "html", "lists", "gif"},
}

STANDARD_HEADERS = set("""
algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex
concepts condition_variable coroutine deque exception execution expected filesystem
format forward_list fstream functional future initializer_list iomanip ios iosfwd
iostream istream iterator latch limits list locale map memory memory_resource mutex new
numbers numeric optional ostream queue random ranges ratio regex scoped_allocator
semaphore set shared_mutex source_location span sstream stack stdexcept stop_token
streambuf string string_view syncstream system_error thread tuple type_traits typeindex
typeinfo unordered_map unordered_set utility valarray variant vector version
cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal
cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
assert.h ctype.h errno.h float.h inttypes.h limits.h math.h stdarg.h stddef.h stdint.h
stdio.h stdlib.h string.h time.h wchar.h
""".split())
# libstdc++'s own containers (the order-statistics tree) are the standard library too.
STANDARD_PREFIXES = ("ext/pb_ds/",)
# The test and benchmark frameworks, and hunspell, the real spelling checker the
# live-spelling tests compare with (linked into those tests only).
TEST_FRAMEWORKS = ("gtest/", "gmock/", "benchmark/", "hunspell.h")
QT_HEADER = re.compile(r"(Qt[A-Za-z]*/|Q[A-Z])")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}


def sources(root, folder):
    base = root / folder
    if not base.is_dir():
        return []
    return sorted(p for p in base.rglob("*") if p.suffix in SOURCE_SUFFIXES and p.is_file())


def check(root):
    root = pathlib.Path(root)
    faults = []
    for top in ("src", "tests", "bench", "fuzz"):
        for path in sources(root, top):
            rel = path.relative_to(root)
            parts = rel.parts
            folder = parts[1] if len(parts) > 2 else None
            in_platform = top == "src" and folder == "platform"
            # The platform's own tests check it against the system (file modes, limits).
            private_ok = (in_platform and (path.suffix == ".cpp" or path.stem.endswith("_qt"))) or (
                top == "tests" and folder == "platform")
            text = path.read_text(encoding="utf-8", errors="replace")
            for line_no, (kind, name) in enumerate_includes(text):
                where = f"{rel}:{line_no}"
                if kind == "<":
                    if private_ok or name in STANDARD_HEADERS or name.startswith(STANDARD_PREFIXES):
                        continue
                    if top != "src" and name.startswith(TEST_FRAMEWORKS):
                        continue
                    # A benchmark measures the process itself (resident memory, thread CPU
                    # time) and may ask the system for that; Qt stays out all the same.
                    if top == "bench" and not QT_HEADER.match(name):
                        continue
                    faults.append(f"{where}: <{name}> is a Qt or system header outside src/platform")
                    continue
                target = name.split("/")[0] if "/" in name else None
                if (name.startswith("platform/test_support/") and top == "src"
                        and parts[1:3] != ("platform", "test_support")):
                    faults.append(f"{where}: \"{name}\" is test support, not part of the program")
                    continue
                if target == "platform" and name.endswith("_qt.h") and not in_platform:
                    faults.append(f"{where}: \"{name}\" is private to the platform")
                    continue
                if top not in ("src", "tests") or folder not in MAY_INCLUDE or target is None:
                    continue
                allowed = MAY_INCLUDE[folder] | {folder}
                if top == "tests":
                    allowed = allowed | {"support"}
                if target in MAY_INCLUDE and target not in allowed:
                    faults.append(f"{where}: {folder} must not include \"{name}\" ({target} stands above it)"
                                  if target != "richtext_edit" or folder != "richtext" else
                                  f"{where}: richtext must not include the editor (\"{name}\")")
    return faults


def enumerate_includes(text):
    for match in INCLUDE.finditer(text):
        yield text.count("\n", 0, match.start()) + 1, (match.group(1), match.group(2))


def self_test():
    plants = {
        "src/core/planted.h": '#include "app/program/program.h"\n',
        "src/app/planted.cpp": "#include <QWidget>\n",
        "src/richtext/planted.cpp": '#include "richtext_edit/planted.h"\n',
        "src/controls/planted.cpp": "#include <termios.h>\n",
        "src/platform/gui/planted.h": "#include <QWidget>\n",
        "src/devices/planted.cpp": '#include "platform/gui/graphics/canvas_qt.h"\n',
        "tests/gif/planted_test.cpp": '#include "app/map/map_view.h"\n',
        "bench/planted_bench.cpp": "#include <QtCore/QString>\n",
        "src/platform/gui/planted_support.cpp": '#include "platform/test_support/x.h"\n',
    }
    clean = {
        "src/platform/gui/planted_qt.h": "#include <QWidget>\n",
        "src/platform/gui/planted.cpp": "#include <QWidget>\n#include <unistd.h>\n",
        "src/devices/clean.cpp": '#include "controls/dial.h"\n#include <vector>\n',
        "src/richtext_edit/clean.cpp": '#include "richtext/planted.h"\n',
        "tests/core/clean_test.cpp": '#include <gtest/gtest.h>\n#include "support/x.h"\n',
        "tests/platform/clean_test.cpp": "#include <sys/stat.h>\n",
        "bench/clean_bench.cpp": "#include <benchmark/benchmark.h>\n#include <unistd.h>\n",
        "src/platform/test_support/clean.cpp": '#include "platform/test_support/x.h"\n',
        "tests/app/clean_test.cpp": '#include "platform/test_support/x.h"\n',
    }
    with tempfile.TemporaryDirectory() as scratch:
        root = pathlib.Path(scratch)
        for name, text in {**plants, **clean}.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text)
        faults = check(root)
    missed = [name for name in plants if not any(f.startswith(name + ":") for f in faults)]
    wrong = [f for f in faults if not any(f.startswith(name + ":") for name in plants)]
    for name in missed:
        print(f"self-test: the plant in {name} went unnoticed")
    for fault in wrong:
        print(f"self-test: a clean file was faulted: {fault}")
    return 1 if missed or wrong else 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) != 2:
        print(__doc__)
        return 2
    faults = check(argv[1])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
