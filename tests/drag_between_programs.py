#!/usr/bin/env python3
"""Drags between two programs on a private X display, as a user drags with the mouse.

Our viewer's selection dropped on a plain Qt program arrives whole, byte for byte what a
copy to the clipboard gives; rows and group headers dragged between two of our section
lists arrive, a move deletes them from the source and a copy keeps them; a drop the
target refuses keeps the source's rows. A slow target's late "move" deletes the row that
was dragged, not the one the user clicked meanwhile, and a finish report from a window
other than the drop target changes nothing, nor does a late answer of a window the
pointer passed on its way. A list whose window is freed while its drag runs, or while it
waits for the answer, and a viewer freed while its drag runs end the drag and go on; a drop target whose program ends before
it answers leaves the rows where they are. Text, picture and RTF files dragged from a
plain Qt file source into our editor arrive as what they hold, not as their URLs. Words
dragged in our editor out of a table cell and a cell of a table in a cell, to a
paragraph, to another cell and within a cell, move, and one Ctrl+Z takes a move into a
cell back whole, and one Ctrl+Z (one Ctrl+Shift+Z) a move from cell to cell; dragged
into another editor program they arrive, and so do blocks of merged cells and whole
documents copied and pasted there; a move that another program answers late
deletes the dragged word, not the word the user selected meanwhile, which stays selected.
Text selected in a viewer's cell, and in a cell of a table in a cell, is the primary
selection and drags out. A paste falls back to text at the caret, and a clipboard
owner that does not answer is asked once. A picture in a cell resized by mouse past the
cell's edge takes the size dragged. Xvfb and
xdotool drive it; every wait is for an event (a window mapped, a file written), bounded
so that a broken drag fails instead of hanging.

Usage: drag_between_programs.py <folder of drag_source and drop_target>
"""
import os
import pathlib
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

WAIT_SECONDS = 120  # a loaded machine running sanitized programs is slow, a hang is not


class Failure(Exception):
    pass


def start_display():
    """A private Xvfb; it names its display once it takes connections."""
    read, write = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
        pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            raise Failure("Xvfb ended without naming a display")
        number += chunk
    os.close(read)
    return server, ":" + number.decode().strip()


def wait_until(what, condition):
    deadline = time.monotonic() + WAIT_SECONDS
    while not condition():
        if time.monotonic() > deadline:
            raise Failure("waited in vain for " + what)
        time.sleep(0.02)


def put(path, text):
    """Writes a file whole, as the programs read them."""
    part = pathlib.Path(str(path) + ".part")
    part.write_text(text)
    os.replace(part, path)


def read(path):
    try:
        return pathlib.Path(path).read_bytes()
    except FileNotFoundError:
        return None


class Session:
    def __init__(self, bin_dir, work):
        self.bin = pathlib.Path(bin_dir)
        self.work = pathlib.Path(work)
        self.server, display = start_display()
        self.env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
        self.env.pop("WAYLAND_DISPLAY", None)
        if "XDG_RUNTIME_DIR" not in self.env:
            runtime = self.work / "runtime"
            runtime.mkdir(mode=0o700)
            self.env["XDG_RUNTIME_DIR"] = str(runtime)
        self.programs = []

    def start(self, title, *args):
        program = subprocess.Popen([str(a) for a in args], env=self.env)
        self.programs.append((title, program))
        self.xdo("search", "--sync", "--onlyvisible", "--name", "^" + title + "$")
        return program

    def xdo(self, *args):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                                stdout=subprocess.PIPE, timeout=WAIT_SECONDS)
        if result.returncode != 0:
            raise Failure("xdotool " + " ".join(str(a) for a in args) + " failed")
        return result.stdout

    def drag(self, start, end, over, ctrl=False):
        """Presses at start, moves to end until the target reports the drag over it
        (over() true), moves once more and lets go. Each drag begins with no report of
        the one before (files named *.over are gone)."""
        for marker in self.work.glob("*.over"):
            marker.unlink()
        self.xdo("mousemove", "--sync", *start)
        if ctrl:
            self.xdo("keydown", "ctrl")
        self.xdo("mousedown", "1")
        step = 0
        deadline = time.monotonic() + WAIT_SECONDS
        while not over():
            if time.monotonic() > deadline:
                raise Failure("the drag never reached its target")
            # Every move goes somewhere new, so that the pointer really moves.
            self.xdo("mousemove", "--sync", end[0] + step % 2 * 3, end[1])
            step += 1
        # One more position after the target's answer, so that the source has it.
        self.xdo("mousemove", "--sync", end[0] + 1, end[1] + 1)
        self.xdo("mouseup", "1")
        if ctrl:
            self.xdo("keyup", "ctrl")

    def stop(self, program):
        """Ends a program started here, as a user closes it."""
        self.programs = [(t, p) for t, p in self.programs if p is not program]
        program.send_signal(signal.SIGTERM)
        program.wait(timeout=WAIT_SECONDS)

    def close(self):
        crashed = [title for title, p in self.programs if p.poll() is not None]
        for _, program in self.programs:
            if program.poll() is None:
                program.send_signal(signal.SIGTERM)
                program.wait(timeout=WAIT_SECONDS)
        self.server.terminate()
        self.server.wait(timeout=WAIT_SECONDS)
        return crashed


def formats(folder):
    """The formats a drop_target wrote: MIME type -> bytes."""
    listing = read(folder / "formats")
    result = {}
    for line in listing.decode().splitlines():
        n, mime, _ = line.split(" ")
        result[mime] = read(folder / (n + ".bin"))
    return result


def expect(what, got, wanted):
    if got != wanted:
        raise Failure(f"{what}: got {got!r}, wanted {wanted!r}")


def viewer_to_plain_target(s):
    dropped, cells = s.work / "dropped", s.work / "cells"
    s.start("viewer", s.bin / "drag_source", "viewer", cells)
    s.start("drop target", s.bin / "drop_target", dropped)
    moves = lambda: (read(dropped / "moves") or b"").count(b"\n") >= 2
    s.drag((40, 10), (500, 100), moves)
    wait_until("the viewer's drop", lambda: read(dropped / "formats") is not None)
    got = formats(dropped)
    pasted = s.work / "pasted"
    subprocess.run([s.bin / "drop_target", pasted, "paste"], env=s.env, check=True,
                   timeout=WAIT_SECONDS)
    copied = formats(pasted)
    expect("dropped text", got.get("text/plain"), copied.get("text/plain"))
    if b"Hello from the loopback server" not in (got.get("text/plain") or b""):
        raise Failure(f"dropped text {got.get('text/plain')!r} lacks the line")
    for mime in ("text/rtf", "application/rtf"):
        expect("dropped " + mime, got.get(mime), copied.get("text/rtf"))
    if not got.get("application/x-velmora-richdoc"):
        raise Failure("the viewers' own block arrived empty")

    # Cells selected with the mouse become the primary selection, as selected text does.
    # A click on the selection first leaves a caret.
    s.xdo("mousemove", "--sync", 40, 10)
    s.xdo("click", "1")
    x0, y0, x1, y1 = (int(v) for v in read(cells).split())
    s.xdo("mousemove", "--sync", x0, y0)
    s.xdo("mousedown", "1")
    s.xdo("mousemove", "--sync", x1, y1)
    s.xdo("mousemove", "--sync", x1 + 1, y1)
    s.xdo("mouseup", "1")
    primary = s.work / "primary"

    def cells_offered():
        subprocess.run([s.bin / "drop_target", primary, "primary"], env=s.env,
                       timeout=WAIT_SECONDS)
        text = formats(primary).get("text/plain", b"") if read(primary / "formats") else b""
        return b"p" in text and b"s" in text and b"Hello" not in text
    wait_until("the cells as the primary selection", cells_offered)


class Editor:
    """Our editor in a program of its own (drag_source editor NAME LEFT FILE): told what to
    select and asked where things stand through its command file."""

    def __init__(self, s, name, left):
        self.s = s
        self.file = s.work / (name + ".doc")
        self.asked = 0
        s.start("editor " + name, s.bin / "drag_source", "editor", name, left, self.file)
        wait_until("editor " + name, lambda: read(self.file) is not None)

    def side(self, suffix):
        return pathlib.Path(str(self.file) + suffix)

    def ask(self, *command):
        self.asked += 1
        n = str(self.asked).encode()
        put(self.side(".cmd"), f"{self.asked} " + " ".join(str(c) for c in command) + "\n")
        answer = lambda: (read(self.side(".at")) or b"").split()
        wait_until(f"where {command} stands", lambda: answer()[:1] == [n])
        return int(answer()[1]), int(answer()[2])

    def text(self):
        return read(self.file) or b""

    def document(self):
        return read(self.side(".rdf"))

    def over(self):
        return self.side(".over").exists()

    def holds(self, what, *present, gone=()):
        wait_until(what, lambda: all(p in self.text() for p in present) and
                   not any(g in self.text() for g in gone))


def editor_moves(s):
    a = Editor(s, "A", 0)
    # A word of a cell to the end of the first paragraph.
    s.drag(a.ask("select", "epsilon"), a.ask("lineend", 0), a.over)
    a.holds("the word moved out of the cell", b"gammaepsilon", gone=[b"delta epsilon"])
    # A word of a cell of the table in a cell to another cell.
    s.drag(a.ask("select", "zeta"), a.ask("cellend", 1, 1), a.over)
    a.holds("the word moved out of the inner cell", b"iotazeta", gone=[b"zeta eta"])
    # Within one cell.
    s.drag(a.ask("select", "theta"), a.ask("cellend", 1, 0), a.over)
    a.holds("the word moved within the cell", b"omegatheta", gone=[b"theta omega"])
    # A paragraph's word into a cell, taken back by one Ctrl+Z.
    before = a.document()
    s.drag(a.ask("select", "beta"), a.ask("cellend", 1, 0), a.over)
    a.holds("the word moved into the cell", b"omegathetabeta", gone=[b"alpha beta"])
    s.xdo("key", "ctrl+z")
    wait_until("one undo of the move", lambda: a.document() == before)

    # A move to a program that answers late, while the user selects another word.
    slow = s.work / "slow"
    s.start("drop target", s.bin / "drop_target", slow, "answer")
    moves = lambda: (read(slow / "moves") or b"").count(b"\n") >= 2
    s.drag(a.ask("select", "alpha"), (500, 100), moves)
    wait_until("the late target's drop", lambda: read(slow / "formats") is not None)
    expect("the word dropped", formats(slow).get("text/plain"), b"alpha")
    s.xdo("mousemove", "--sync", *a.ask("point", "kappa"))
    s.xdo("click", "--repeat", 2, "--delay", 60, 1)
    wait_until("the word selected meanwhile", lambda: read(a.side(".sel")) == b"kappa")
    put(slow / "answer", "move\n")
    a.holds("the dragged word gone, the selected one kept", b" beta gamma", b"kappa lambda",
            gone=[b"alpha"])
    a.ask("point", "lambda")  # answered after the editor wrote its selection again
    expect("the word selected meanwhile after the move", read(a.side(".sel")), b"kappa")


def editor_moves_between_cells(s):
    """Words moved from a cell of the table in a cell to another cell, and from cell to
    cell: one Ctrl+Z gives back the document byte for byte, one Ctrl+Shift+Z the move."""
    a = Editor(s, "A", 0)
    for word, cell, moved, gone in (("zeta", (1, 1), b"iotazeta", b"zeta eta"),
                                    ("delta", (1, 0), b"omegadelta", b"delta epsilon")):
        before = a.document()
        s.drag(a.ask("select", word), a.ask("cellend", *cell), a.over)
        a.holds(f"{word} moved to cell {cell}", moved, gone=[gone])
        after = a.document()
        s.xdo("key", "ctrl+z")
        wait_until(f"one undo of moving {word}", lambda: a.document() == before)
        s.xdo("key", "ctrl+shift+z")
        wait_until(f"one redo of moving {word}", lambda: a.document() == after)


def editors_between_programs(s):
    a, b = Editor(s, "A", 0), Editor(s, "B", 400)
    s.drag(a.ask("select", "epsilon"), b.ask("lineend", 0), b.over)
    b.holds("the cell's word in the other editor's paragraph", b"gammaepsilon")
    s.drag(a.ask("select", "zeta"), b.ask("cellend", 1, 1), b.over)
    b.holds("the inner cell's word in the other editor's cell", b"iotazeta")


def merged_tables_between_programs(s):
    """Blocks of merged cells, the merged cell empty, copied with Ctrl+C in one editor
    program and pasted with Ctrl+V in another arrive as tables; Ctrl+C, Ctrl+V
    (the whole document selected as a program's menu does) brings the whole document,
    every table and the text after them."""
    a, b = Editor(s, "A", 0), Editor(s, "B", 400)
    grids = lambda editor: (read(editor.side(".grid")) or b"").decode()

    def keys_to(editor, title, *keys):
        s.xdo("mousemove", "--sync", *editor.ask("point", "kappa"))
        s.xdo("search", "--sync", "--name", "^" + title + "$", "windowfocus", "--sync")
        s.xdo("key", *keys)

    expected = grids(b)
    for rows, cols, merged in ((5, 8, 5), (6, 9, 6), (6, 9, 5)):
        a.ask("merged", rows, cols, merged)
        keys_to(a, "editor A", "ctrl+c")
        keys_to(b, "editor B", "ctrl+End", "ctrl+v")
        expected += f"{merged}x{cols}/1;"
        wait_until(f"the merged block of the {rows}x{cols} table pasted",
                   lambda: grids(b) == expected)
    whole = grids(a)
    a.ask("all")
    keys_to(a, "editor A", "ctrl+c")
    keys_to(b, "editor B", "ctrl+End", "ctrl+v")
    wait_until("the whole document pasted", lambda: grids(b) == expected + whole)
    b.holds("the text after the tables", b"omicron")
    expect("every paragraph after a table", b.text().count(b"omicron"), 3)


def viewer_cell_text(s):
    places, dropped = s.work / "places", s.work / "dropped"
    s.start("viewer", s.bin / "drag_source", "viewer-cell", places)
    points = [int(v) for v in read(places).split()]

    def primary():
        result = subprocess.run(["xclip", "-o", "-selection", "primary"], env=s.env,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                timeout=WAIT_SECONDS)
        return result.stdout
    target = None
    # "south" in a cell, then "n2" in a cell of the table in the cell below.
    for word, (x0, y0, x1, y1) in ((b"south", points[0:4]), (b"n2", points[4:8])):
        s.xdo("mousemove", "--sync", x0, y0)
        s.xdo("mousedown", 1)
        s.xdo("mousemove", "--sync", (x0 + x1) // 2, y1)
        s.xdo("mousemove", "--sync", x1, y1)
        s.xdo("mouseup", 1)
        wait_until(f"{word!r} as the primary selection", lambda: primary() == word)
        for old in (dropped / "formats", dropped / "moves"):
            if old.exists():
                old.unlink()
        if target is None:
            target = s.start("drop target", s.bin / "drop_target", dropped)
        moves = lambda: (read(dropped / "moves") or b"").count(b"\n") >= 2
        s.drag(((x0 + x1) // 2, y0), (500, 100), moves)
        wait_until(f"{word!r} dropped", lambda: read(dropped / "formats") is not None)
        expect(f"the cell's text {word!r} dropped", formats(dropped).get("text/plain"), word)


def rows(path):
    return (read(path) or b"").decode()


def lists_between_programs(s):
    a_file, b_file, refused = s.work / "a.rows", s.work / "b.rows", s.work / "refused"
    s.start("list A", s.bin / "drag_source", "list", "A", 0, a_file)
    s.start("list B", s.bin / "drag_source", "list", "B", 700, b_file)
    s.start("drop target", s.bin / "drop_target", refused, "refuse")
    wait_until("both lists", lambda: rows(a_file) and rows(b_file))
    b_over = s.work / "b.rows.over"

    def over_b():
        return b_over.exists()
    # Rows: the header is 20 pixels high, a group bar 34, a row 20.
    row = lambda n: (40, 20 + 34 + 20 * n + 10)

    # A move takes the row away from the source.
    s.drag(row(0), (760, 40), over_b)
    wait_until("the moved row", lambda: rows(b_file) == "B-g0:B-r0,B-r1,B-r2,A-r0;B-g1:B-r3;")
    wait_until("the moved row gone", lambda: rows(a_file) == "A-g0:A-r1,A-r2;A-g1:A-r3;")

    # A copy (Ctrl) leaves it.
    s.drag(row(0), (760, 40), over_b, ctrl=True)
    wait_until("the copied row",
               lambda: rows(b_file) == "B-g0:B-r0,B-r1,B-r2,A-r0,A-r1;B-g1:B-r3;")

    # A group header moved: its rows go over into the group under the pointer, and the
    # source keeps no group of a deleted node (it reads its groups as it writes them).
    s.drag((40, 20 + 34 + 2 * 20 + 17), (760, 40), over_b)
    wait_until("the moved group",
               lambda: rows(b_file) == "B-g0:B-r0,B-r1,B-r2,A-r0,A-r1,A-r3;B-g1:B-r3;")
    wait_until("the moved group gone", lambda: rows(a_file) == "A-g0:A-r1,A-r2;")

    # A drop the target refuses: it read the rows and took nothing; they stay.
    moves = lambda: (read(refused / "moves") or b"").count(b"\n") >= 2
    s.drag(row(1), (500, 100), moves)
    wait_until("the refused drop", lambda: read(refused / "formats") is not None)
    if not formats(refused).get('application/x-qt-windows-mime;value="FileGroupDescriptor"'):
        raise Failure("the refusing target got no rows to read")
    # The next move shows what the source did after the refusal: A-r2 is still there.
    s.drag(row(0), (760, 40), over_b)
    wait_until("the last move", lambda: rows(a_file) == "A-g0:A-r2;")


def list_move_to_slow_target(s):
    a_file, slow = s.work / "a.rows", s.work / "slow"
    selected = s.work / "a.rows.selected"
    dragging = s.work / "a.rows.dragging"
    s.start("list A", s.bin / "drag_source", "list", "A", 0, a_file)
    s.start("drop target", s.bin / "drop_target", slow, "answer")
    wait_until("the list", lambda: rows(a_file))
    row = lambda n: (40, 20 + 34 + 20 * n + 10)

    def drop_at_slow_target(n):
        """Drags row n to the target, which takes the drop and waits for its answer,
        the source waiting for that answer too."""
        for name in ("moves", "formats"):
            (slow / name).unlink(missing_ok=True)
        s.drag(row(n), (500, 100), lambda: (slow / "moves").exists())
        wait_until("the drop at the slow target", lambda: (slow / "formats").exists())
        wait_until("the source waiting", lambda: rows(dragging) == "1")

    def answer(lines):
        (slow / "answer.part").write_text(lines)
        (slow / "answer.part").rename(slow / "answer")

    # The user clicks another row while the target makes up its mind: the late "move"
    # takes the dragged row, not the clicked one.
    drop_at_slow_target(0)
    s.xdo("mousemove", "--sync", *row(2))
    s.xdo("click", "1")
    wait_until("the click", lambda: rows(selected) == "A-r2")
    answer("move\n")
    wait_until("the drag's end", lambda: rows(dragging) == "0")
    expect("rows after the late move", rows(a_file), "A-g0:A-r1,A-r2;A-g1:A-r3;")

    # Another window reports a move before the target refuses: the rows stay.
    drop_at_slow_target(0)
    answer("forge move\nrefuse\n")
    wait_until("the drag's end", lambda: rows(dragging) == "0")
    expect("rows after a forged report", rows(a_file), "A-g0:A-r1,A-r2;A-g1:A-r3;")


def move_until(s, at, condition, what):
    """Moves the pointer, its button held, to at until condition() holds."""
    step = 0
    deadline = time.monotonic() + WAIT_SECONDS
    while not condition():
        if time.monotonic() > deadline:
            raise Failure("the drag never reached " + what)
        s.xdo("mousemove", "--sync", at[0] + step % 2 * 3, at[1])
        step += 1


def lines(path):
    return (read(path) or b"").count(b"\n")


def ended(s, program):
    """Waits for a program started here to end by itself; its exit status."""
    wait_until("the program's end", lambda: program.poll() is not None)
    s.programs = [(t, p) for t, p in s.programs if p is not program]
    return program.returncode


def list_row(n):
    """A row of a drag_source list: the header is 20 pixels high, a group bar 34, a row 20."""
    return (40, 20 + 34 + 20 * n + 10)


def list_drop_after_late_answer(s):
    """The pointer passes a window that takes moves on its way to a slow target; that
    window answers once more, late, just before the user lets go, and reports on the
    drop. Only the drop target's own report counts: its copy keeps the row, its move
    deletes it, whatever the other window says."""
    a_file, slow = s.work / "a.rows", s.work / "slow"
    dragging = s.work / "a.rows.dragging"
    s.start("list A", s.bin / "drag_source", "list", "A", 0, a_file)
    s.start("drop target", s.bin / "drop_target", slow, "decoy")
    s.xdo("search", "--sync", "--onlyvisible", "--name", "^decoy$")
    wait_until("the list", lambda: rows(a_file))

    def drop_past_decoy(late, answer):
        for name in ("moves", "decoy.moves", "formats", "late.sent"):
            (slow / name).unlink(missing_ok=True)
        s.xdo("mousemove", "--sync", *list_row(0))
        s.xdo("mousedown", "1")
        move_until(s, (500, 420), lambda: lines(slow / "decoy.moves") >= 2, "the decoy")
        move_until(s, (500, 100), lambda: lines(slow / "moves") >= 2, "the target")
        put(slow / "late", late + "\n")
        wait_until("the decoy's late answer", (slow / "late.sent").exists)
        s.xdo("mouseup", "1")
        wait_until("the drop at the target", (slow / "formats").exists)
        wait_until("the source waiting", lambda: rows(dragging) == "1")
        put(slow / "answer", answer)
        wait_until("the drag's end", lambda: rows(dragging) == "0")

    drop_past_decoy("move", "forge move\ncopy\n")
    expect("rows after the target's copy", rows(a_file), "A-g0:A-r0,A-r1,A-r2;A-g1:A-r3;")
    drop_past_decoy("refuse", "forge refuse\nmove\n")
    expect("rows after the target's move", rows(a_file), "A-g0:A-r1,A-r2;A-g1:A-r3;")


def list_freed_while_dragging(s):
    """The source's window freed by a timer while the drag's loop runs, and again while
    the drop's answer is awaited: the drag ends, and the program ends well (no sanitizer
    report, no leak)."""
    slow = s.work / "slow"
    s.start("drop target", s.bin / "drop_target", slow, "answer")
    for phase in ("loop", "wait"):
        a_file = s.work / (phase + ".rows")
        source = s.start("list A", s.bin / "drag_source", "list", "A", 0, a_file)
        wait_until("the list", lambda: rows(a_file))
        (slow / "moves").unlink(missing_ok=True)
        s.xdo("mousemove", "--sync", *list_row(0))
        s.xdo("mousedown", "1")
        move_until(s, (500, 100), lambda: lines(slow / "moves") >= 2, "the target")
        if phase == "wait":
            s.xdo("mouseup", "1")
            wait_until("the drop at the target", (slow / "formats").exists)
        put(pathlib.Path(str(a_file) + ".close"), "")
        status = ended(s, source)
        if phase == "loop":
            s.xdo("mouseup", "1")
        else:
            put(slow / "answer", "move\n")
        expect(f"exit status of the source freed in the drag's {phase}", status, 0)


def viewer_freed_while_dragging(s):
    """The viewer's window freed by a timer while its selection is dragged: the drag ends,
    and the program ends well."""
    dropped, cells = s.work / "dropped", s.work / "cells"
    viewer = s.start("viewer", s.bin / "drag_source", "viewer", cells)
    s.start("drop target", s.bin / "drop_target", dropped)
    s.xdo("mousemove", "--sync", 40, 10)
    s.xdo("mousedown", "1")
    move_until(s, (500, 100), lambda: lines(dropped / "moves") >= 2, "the target")
    put(pathlib.Path(str(cells) + ".close"), "")
    status = ended(s, viewer)
    s.xdo("mouseup", "1")
    expect("exit status of the viewer freed in its drag", status, 0)


def list_target_killed_while_answering(s):
    """The drop target's program ends before it answers: the source stops waiting, keeps
    its rows and takes clicks again."""
    a_file, slow = s.work / "a.rows", s.work / "slow"
    s.start("list A", s.bin / "drag_source", "list", "A", 0, a_file)
    target = s.start("drop target", s.bin / "drop_target", slow, "answer")
    wait_until("the list", lambda: rows(a_file))
    s.xdo("mousemove", "--sync", *list_row(0))
    s.xdo("mousedown", "1")
    move_until(s, (500, 100), lambda: lines(slow / "moves") >= 2, "the target")
    s.xdo("mouseup", "1")
    wait_until("the drop at the target", (slow / "formats").exists)
    wait_until("the source waiting", lambda: rows(s.work / "a.rows.dragging") == "1")
    target.kill()
    ended(s, target)
    wait_until("the drag's end", lambda: rows(s.work / "a.rows.dragging") == "0")
    expect("rows after the target's end", rows(a_file), "A-g0:A-r0,A-r1,A-r2;A-g1:A-r3;")
    s.xdo("mousemove", "--sync", *list_row(2))
    s.xdo("click", "1")
    wait_until("a click after the drag", lambda: rows(s.work / "a.rows.selected") == "A-r2")


def files_into_editor(s):
    doc = s.work / "doc"
    s.start("editor", s.bin / "drag_source", "file-editor", doc)
    wait_until("the editor", lambda: rows(doc) == "[Drop:]")
    text, rtf, png = s.work / "qsl.txt", s.work / "qsl.rtf", s.work / "qsl.png"
    text.write_bytes(b"QSL via DL1ABC\n")
    rtf.write_bytes(b"{\\rtf1\\ansi Rich {\\b QSL} via OE3XYZ\\par}")
    png.write_bytes(tiny_png())
    for path, arrived in ((text, "QSL via DL1ABC"), (png, "<-3>"), (rtf, "Rich ")):
        source = s.start("file source", s.bin / "drop_target", s.work / "files", "files", path)
        s.drag((500, 100), (200, 150), lambda: (s.work / "doc.over").exists())
        wait_until(path.name + " in the editor", lambda: arrived in rows(doc))
        if "file:" in rows(doc):
            raise Failure(f"{path.name} went in as its URL: {rows(doc)!r}")
        s.stop(source)


def clipboard_into_editor(s):
    """Ctrl+V with RTF cut short on the clipboard puts the text offered beside it at the
    caret the keys moved after a click; with the clipboard's owner stopped it asks the
    owner once and the editor answers again without it."""
    a = Editor(s, "A", 0)
    first = s.work / "first"
    first.mkdir()
    put(first / "offer.rtf", "{\\rtf1 a whole line\\par {\\b cut short")
    put(first / "offer.txt", "plain fallback text")
    owner = s.start("clipboard owner", s.bin / "drop_target", first, "own")
    s.xdo("mousemove", "--sync", *a.ask("point", "beta"))
    s.xdo("click", 1)
    s.xdo("key", "End")
    s.xdo("key", "ctrl+v")
    a.holds("the text after the line's end", b"alpha beta gammaplain fallback text")
    s.stop(owner)

    stopped = s.work / "stopped"
    stopped.mkdir()
    put(stopped / "offer.rtf", "{\\rtf1 stopped}")
    put(stopped / "offer.txt", "from the stopped owner")
    owner = s.start("clipboard owner", s.bin / "drop_target", stopped, "own")
    window = s.xdo("search", "--onlyvisible", "--name", "^clipboard owner$").split()[0]
    owner.send_signal(signal.SIGSTOP)
    before = a.text()
    s.xdo("mousemove", "--sync", *a.ask("point", "kappa"))
    s.xdo("click", 1)
    started = time.monotonic()
    s.xdo("key", "ctrl+v")
    a.ask("point", "lambda")  # answered once the paste is over
    seconds = time.monotonic() - started
    owner.send_signal(signal.SIGCONT)
    expect("the text after a paste the owner never answered", a.text(), before)
    # The requests the owner had waiting come before the key sent to it now.
    s.xdo("key", "--window", window.decode(), "x")
    log = lambda: (read(stopped / "requests") or b"").split()
    wait_until("the owner's backlog", lambda: b"key" in log())
    requests = log()[:log().index(b"key")].count(b"request")
    print(f"stopped owner: the editor answered after {seconds:.1f} s, {requests} requests")
    if requests > 2:
        raise Failure(f"the stopped owner was asked {requests} times")


def picture_resized_in_cell(s):
    """A picture in a cell resized by mouse past the cell's edge takes the size dragged
    and selects no cells; a corner dragged out of the cell grows it; a side dragged past
    the centre with Ctrl leaves it 2 pixels wide."""
    a = Editor(s, "A", 0)

    def grab(handle):
        """The handle's point, the picture clicked until it shows its handles (the click
        that opens the cell may leave it unselected)."""
        for _ in range(3):
            at = a.ask(handle)
            if at != (-1, -1):
                return at
            middle = []  # the picture laid out in its cell
            wait_until("the picture laid out", lambda: middle.append(a.ask("middle")) or
                       middle[-1] != (-1, -1))
            s.xdo("mousemove", "--sync", *middle[-1])
            s.xdo("click", 1)
        raise Failure("the picture in the cell shows no handles")

    def drag(start, dx, dy, ctrl=False):
        s.xdo("mousemove", "--sync", *start)
        if ctrl:
            s.xdo("keydown", "ctrl")
        s.xdo("mousedown", 1)
        for step in range(1, 11):
            s.xdo("mousemove", "--sync", start[0] + dx * step // 10, start[1] + dy * step // 10)
        s.xdo("mouseup", 1)
        if ctrl:
            s.xdo("keyup", "ctrl")

    # About the centre (Ctrl), the right edge dragged past it: the least box, not 1 px.
    a.ask("picture", 0, 0, 100, 50)
    drag(grab("handle"), -67, 0, ctrl=True)
    wait_until("the picture 2 x 50", lambda: a.ask("size") == (2, 50))

    # A corner out of the cell, downwards; then in the other cell of the row, which the
    # grown picture leaves in the window, the right edge far past the cell's.
    a.ask("picture", 1, 0, 60, 40)
    drag(grab("corner"), 40, 30)
    wait_until("the picture grown by its corner", lambda: a.ask("size")[1] > 40)
    expect("cells selected by the corner's drag", a.ask("selected"), (0, 0))
    a.ask("picture", 1, 1, 60, 40)
    drag(grab("handle"), 330, 0)
    wait_until("the picture 390 x 40", lambda: a.ask("size") == (390, 40))
    expect("cells selected by the resize", a.ask("selected"), (0, 0))


def tiny_png():
    """A 2 x 2 red picture."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    pixels = b"".join(b"\0" + b"\xff\0\0" * 2 for _ in range(2))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 2, 2, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(pixels)) + chunk(b"IEND", b""))


def showing(check, *files):
    """The check, whose failure tells what the files held."""
    def run(s):
        try:
            check(s)
        except Failure as failure:
            held = "; ".join(f"{f.name}={rows(s.work / f.name)!r}" for f in files)
            raise Failure(f"{failure} ({held})")
    return run


def main():
    bin_dir = sys.argv[1]
    failures = []
    lists = showing(lists_between_programs, pathlib.Path("a.rows"), pathlib.Path("b.rows"))
    lists.__name__ = "lists_between_programs"
    slow = showing(list_move_to_slow_target, pathlib.Path("a.rows"))
    slow.__name__ = "list_move_to_slow_target"
    late = showing(list_drop_after_late_answer, pathlib.Path("a.rows"))
    late.__name__ = "list_drop_after_late_answer"
    for check in (viewer_to_plain_target, lists, slow, late, list_freed_while_dragging,
                  viewer_freed_while_dragging, list_target_killed_while_answering,
                  files_into_editor, editor_moves, editor_moves_between_cells,
                  editors_between_programs, merged_tables_between_programs,
                  viewer_cell_text, clipboard_into_editor, picture_resized_in_cell):
        with tempfile.TemporaryDirectory() as work:
            session = Session(bin_dir, work)
            try:
                check(session)
            except Failure as failure:
                failures.append(f"{check.__name__}: {failure}")
            finally:
                crashed = session.close()
                if crashed:
                    failures.append(f"{check.__name__}: ended early: {', '.join(crashed)}")
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
