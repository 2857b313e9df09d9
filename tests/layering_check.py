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

- Inside the larger folders the modules stand in rooms, and a room includes only itself
  and the rooms below it (ROOMS): the rich text base < styles < model < layout < formats <
  view; the GUI platform graphics < controls < standard; the rich-text editing edit <
  tables < rtf, print; app's shelf, the window helpers every window room uses, below the
  others, and app's program, the start-up and the wiring, above them: only it and the
  modules of app outside its rooms (main.cpp) include it (TOP_ROOMS). A module outside
  a room of a folder split into rooms is a fault too. Below its
  view the rich text draws with the platform's graphics and knows no windows (the few
  modules that do hold windows are named in WINDOW_USERS).
- A function is defined in the room that declares it: a member of a class in the room of
  the class's header, a free function in the room of a header declaring it. A body in a
  higher room would tie the lower room to it (the lower one links only with the higher
  present); such code reaches the higher room through a hook that room overrides.

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

# The rooms of a folder: what each may include besides itself. A folder whose every
# module must stand in a room is in FULLY_ROOMED; elsewhere only the rooms named here
# are held to their rule.
def _ordered(*rooms):
    return {room: set(rooms[:i]) for i, room in enumerate(rooms)}


ROOMS = {
    "richtext": _ordered("base", "styles", "model", "layout", "formats", "view"),
    "platform/gui": _ordered("graphics", "controls", "standard"),
    # Tables are edited with the editor; the RTF import builds tables; a table is printed.
    "richtext_edit": {"edit": set(), "tables": {"edit"}, "rtf": {"edit", "tables"},
                      "print": {"edit", "tables"}},
    "app": {"shelf": set()},
}
FULLY_ROOMED = {"richtext", "platform/gui", "richtext_edit"}
# The room of a folder that no other room of it includes: it connects them.
TOP_ROOMS = {"app": "program"}
# The folders whose functions are defined in the room that declares them.
DEFINED_IN_ROOM = {"richtext", "richtext_edit", "platform/gui"}
# The rich text below its view may use the platform's graphics room only; these modules
# hold or take windows' things all the same.
RICHTEXT_VIEW = "view"
WINDOW_USERS = {
    # controls placed in the text are real controls
    "src/richtext/model/control_item.cpp",
    # a control read from a document is put on its parent
    "src/richtext/styles/component_stream.cpp",
    # the laid-out document takes the viewer's mouse and cursor
    "src/richtext/layout/formatted_data.h",
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


def room_of(path):
    """(folder, room) of a path below src/ given as its parts, room None when the
    module stands directly in a folder with rooms; None for folders without rooms."""
    for folder in ROOMS:
        depth = folder.count("/") + 1
        if "/".join(path[:depth]) == folder and len(path) > depth:
            return folder, (path[depth] if len(path) > depth + 1 else None)
    return None


def rooms_acyclic():
    """The rooms' own rule may hold no circle, or an upward include could hide in it."""
    faults = []
    for folder, rooms in ROOMS.items():
        done, active = set(), []

        def visit(room):
            if room in active:
                faults.append(f"layering_check.py: the rooms of {folder} run in a circle through "
                              + " -> ".join(active[active.index(room):] + [room]))
                return
            if room in done:
                return
            active.append(room)
            for lower in sorted(rooms.get(room, ())):
                visit(lower)
            active.pop()
            done.add(room)

        for room in sorted(rooms):
            visit(room)
    return faults


def check_rooms(rel, name):
    """Faults of one include of src/ against the rooms."""
    here = room_of(rel.parts[1:])
    if here is None:
        return []
    folder, room = here
    faults = []
    there = room_of(tuple(name.split("/")))
    if (folder == "richtext" and room not in (None, RICHTEXT_VIEW) and str(rel) not in WINDOW_USERS
            and there and there[0] == "platform/gui" and there[1] != "graphics"):
        faults.append(f"rich text {room} must not include the windows of \"{name}\"")
    if there is None or there[0] != folder or there[1] == room:
        return faults
    if room is not None and there[1] == TOP_ROOMS.get(folder):
        faults.append(f"{folder}/{room} must not include \"{name}\" ({there[1]} connects the "
                      "rooms; only it and the folder's own modules include it)")
        return faults
    rules = ROOMS[folder]
    if room is None or there[1] is None:
        return faults  # reported once per module below
    if room in rules and there[1] not in rules[room]:
        faults.append(f"{folder}/{room} must not include \"{name}\" ({there[1]} stands above it)"
                      if there[1] in rules or folder not in FULLY_ROOMED else
                      f"{folder}/{room} must not include \"{name}\" (no room {there[1]})")
    return faults


# Definitions at the top level of a source: a member (Class::member, the last class of a
# nested name) or a free function, with its body; and the classes and free functions a
# header declares. Lines that start indented are inside something else.
_NAME = r"(?:\w+::)*?(\w+)"
MEMBER_DEFINITION = re.compile(
    r"^(?![\s#/])[^;{}()]*?\b" + _NAME + r"::~?\w+\s*\([^;{}]*?\)[^;{}]*\{", re.MULTILINE)
FREE_DEFINITION = re.compile(
    r"^(?![\s#/]|static |namespace |class |struct )[^;{}()=]*?[\s*&](\w+)"
    r"\([^;{}]*?\)\s*(?:const\s*)?\{", re.MULTILINE)
CLASS_DECLARATION = re.compile(
    r"^\s*(?:class|struct)\s+(?:\w+::)*(\w+)(?:\s+final)?\s*(?::(?!:)[^;{]*)?\{", re.MULTILINE)
FREE_DECLARATION = re.compile(
    r"^(?![\s#/]|return |using |typedef |friend )[^;{}()=]*?[\s*&](\w+)\([^;{}]*?\)\s*;",
    re.MULTILINE)


def _line(text, pos):
    return text.count("\n", 0, pos) + 1


def check_definitions(root, folder):
    """Functions declared in one room of a folder and defined in another."""
    files = [(path, path.relative_to(root), path.read_text(encoding="utf-8", errors="replace"))
             for path in sources(root, f"src/{folder}")]
    class_rooms, free_rooms = {}, {}
    for path, rel, text in files:
        here = room_of(rel.parts[1:])
        if path.suffix != ".h" or not here or here[1] is None:
            continue
        for match in CLASS_DECLARATION.finditer(text):
            class_rooms.setdefault(match.group(1), set()).add(here[1])
        for match in FREE_DECLARATION.finditer(text):
            free_rooms.setdefault(match.group(1), set()).add(here[1])
    faults = []
    for path, rel, text in files:
        here = room_of(rel.parts[1:])
        if path.suffix != ".cpp" or not here or here[1] is None:
            continue
        room = here[1]
        for match in MEMBER_DEFINITION.finditer(text):
            rooms = class_rooms.get(match.group(1))
            if rooms and room not in rooms:
                faults.append(f"{rel}:{_line(text, match.start())}: a member of {match.group(1)} "
                              f"({'/'.join(sorted(rooms))}) is defined in {folder}/{room}")
        for match in FREE_DEFINITION.finditer(text):
            rooms = free_rooms.get(match.group(1))
            if rooms and room not in rooms:
                faults.append(f"{rel}:{_line(text, match.start())}: {match.group(1)}, declared in "
                              f"{folder}/{'/'.join(sorted(rooms))}, is defined in {folder}/{room}")
    return faults


def check(root):
    root = pathlib.Path(root)
    faults = rooms_acyclic()
    for folder in sorted(DEFINED_IN_ROOM):
        faults.extend(check_definitions(root, folder))
    for path in sources(root, "src"):
        rel = path.relative_to(root)
        here = room_of(rel.parts[1:])
        if here and here[1] is None and here[0] in FULLY_ROOMED:
            faults.append(f"{rel}:1: stands in no room of src/{here[0]}")
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
                if top == "src" and kind == '"':
                    faults.extend(f"{where}: {fault}" for fault in check_rooms(rel, name))
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
        "src/richtext/view/planted.cpp": '#include "richtext_edit/planted.h"\n',
        "src/controls/planted.cpp": "#include <termios.h>\n",
        "src/platform/gui/controls/planted.h": "#include <QWidget>\n",
        "src/devices/planted.cpp": '#include "platform/gui/graphics/canvas_qt.h"\n',
        "tests/gif/planted_test.cpp": '#include "app/map/map_view.h"\n',
        "bench/planted_bench.cpp": "#include <QtCore/QString>\n",
        # the rooms: an include up, a module in no room, windows below the rich-text view
        "src/richtext/model/planted.cpp": '#include "richtext/view/rich_doc.h"\n',
        "src/platform/gui/graphics/planted.cpp": '#include "platform/gui/controls/controls.h"\n',
        "src/richtext_edit/tables/planted.cpp": '#include "richtext_edit/rtf/rtf_import.h"\n',
        "src/richtext_edit/edit/planted.cpp": '#include "richtext_edit/tables/table_item.h"\n',
        "src/app/shelf/planted.h": '#include "app/map/frm_aprs.h"\n',
        "src/app/settings/planted.cpp": '#include "app/program/frm_main.h"\n',
        "src/platform/gui/planted.h": "",
        "src/richtext/layout/planted.cpp": '#include "platform/gui/standard/button.h"\n',
        "src/richtext/base/planted.h": '#include "richtext/nowhere/planted.h"\n',
        "src/platform/gui/standard/planted_support.cpp": '#include "platform/test_support/x.h"\n',
        # bodies in a room above their declarations: a member and a free function
        "src/richtext/view/planted_member.cpp": "void TPlantedModel::Run() {\n}\n",
        "src/richtext/view/planted_free.cpp": "int PlantedWidth(int x) {\n  return x;\n}\n",
    }
    clean = {
        "src/platform/gui/graphics/planted_qt.h": "#include <QWidget>\n",
        "src/platform/gui/standard/planted.cpp": "#include <QWidget>\n#include <unistd.h>\n"
                                                 '#include "platform/gui/graphics/bitmap.h"\n',
        "src/devices/clean.cpp": '#include "controls/dial.h"\n#include <vector>\n',
        "src/richtext_edit/print/clean.cpp": '#include "richtext/view/planted.h"\n'
                                             '#include "richtext_edit/tables/table_item.h"\n',
        "src/richtext/view/clean.cpp": '#include "richtext/model/rd_data.h"\n'
                                       '#include "platform/gui/controls/controls.h"\n',
        "src/richtext/model/control_item.cpp": '#include "platform/gui/controls/controls.h"\n',
        "src/app/map/clean.cpp": '#include "app/shelf/form_fit.h"\n'
                                 '#include "app/settings/frm_setup.h"\n',
        "src/app/program/clean.cpp": '#include "app/map/frm_aprs.h"\n',
        "src/app/clean.cpp": '#include "app/program/program.h"\n',
        "src/app/clean.h": '#include "app/shelf/form_fit.h"\n',
        "tests/core/clean_test.cpp": '#include <gtest/gtest.h>\n#include "support/x.h"\n',
        "tests/platform/clean_test.cpp": "#include <sys/stat.h>\n",
        "tests/richtext/clean_test.cpp": '#include "richtext/view/rich_doc.h"\n',
        "bench/clean_bench.cpp": "#include <benchmark/benchmark.h>\n#include <unistd.h>\n",
        "src/platform/test_support/clean.cpp": '#include "platform/test_support/x.h"\n',
        "tests/app/clean_test.cpp": '#include "platform/test_support/x.h"\n',
        "src/richtext/model/planted_model.h": "class TPlantedModel {\n public:\n  virtual void Run();\n"
                                              "  struct TStep {\n    void Go();\n  };\n};\n",
        "src/richtext/model/planted_model.cpp": "void TPlantedModel::TStep::Go() {\n}\n",
        "src/richtext/formats/planted_free.h": "int PlantedWidth(int x);\n",
        "src/richtext/view/planted_view.h": "class TPlantedView : public TPlantedModel {\n"
                                            "  void Run() override;\n};\n",
        "src/richtext/view/planted_view.cpp": "void TPlantedView::Run() {\n}\n"
                                              "static int PlantedWidth(int x) {\n  return x;\n}\n",
    }
    with tempfile.TemporaryDirectory() as scratch:
        root = pathlib.Path(scratch)
        for name, text in {**plants, **clean}.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text)
        faults = check(root)
    missed = [name for name in plants if not any(f.startswith(name + ":") for f in faults)]
    wrong = [f for f in faults if not any(f.startswith(name + ":") for name in plants)]
    # A circle planted in the rooms' own rule.
    edit = ROOMS["richtext_edit"]["edit"]
    ROOMS["richtext_edit"]["edit"] = edit | {"rtf"}
    if not any("circle" in fault for fault in rooms_acyclic()):
        missed.append("the rooms' rule (a circle edit -> rtf -> edit)")
    ROOMS["richtext_edit"]["edit"] = edit
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
