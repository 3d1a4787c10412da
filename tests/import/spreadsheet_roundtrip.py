#!/usr/bin/env python3
"""Exported CSV files through real spreadsheet programs and back into images.

    spreadsheet_roundtrip.py WORKDIR MT_DEMO_IMAGES MT2EXPORT MT3EXPORT MT2IMPORT MT3IMPORT MT2COMPARE MT3COMPARE

Writes the demo images, exports their CSV files and changes three cells of
one monster of each game (its HP, a flag and its name), in each of these
ways:

  csv          Python's csv module (the reference edit)
  calc         LibreOffice Calc, headless, through UNO: the file opened as
               its text import dialog offers it (UTF-8, comma), the cells
               typed in, saved as CSV with the default options; the
               identification file opened and saved the same way
  calc-special the same, opened with "detect special numbers" on
  pandas       pandas with its defaults: read_csv, the cells set, to_csv
  cp932, utf16-tab, semicolon, cr, copy-name
               the reference edit saved again by a script: Shift-JIS (CP932);
               UTF-16 with its byte-order mark, tab-separated, as
               Excel's "Unicode Text" (.txt); semicolons; CR line ends;
               a copy's file name ("mt3-monsters (1).csv")

Each result is imported with mtNimport into a BPS patch, and mtNcompare of
the old image and that patch must show exactly the three changes (and, out
of the tables, only the internal checksum). The files a script saved again
must give the reference's patch byte for byte.

LibreOffice runs with an empty profile of its own in a temporary folder, and
is killed, with everything it started, after LIBREOFFICE_SECONDS. Exits 77
(skipped) when LibreOffice, its Python bridge or pandas is missing. Prints
the time each part took.
"""
import csv
import io
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

LIBREOFFICE_SECONDS = 180
# The text import dialog's first offer for a UTF-8 file: comma, double quote,
# UTF-8 (76), from line 1, English (USA), quoted fields not forced to text,
# and "detect special numbers" off or on.
CALC_OPEN = {"calc": "44,34,76,1,,1033,false,false", "calc-special": "44,34,76,1,,1033,false,true"}
CSV_FILTER = "Text - txt - csv (StarCalc)"
BOOLEAN = 1024  # com.sun.star.util.NumberFormat.LOGICAL

# One monster per game: its row, the flag set, the row whose name it takes,
# its new HP, and where the internal checksum lies in the ROM proper.
GAMES = {
    "A": {"prefix": "mt2", "index": 0, "flag": "female", "name_from": 2, "hp": 150, "checksum": 0x7FDC},
    "B": {"prefix": "mt3", "index": 1, "flag": "undead", "name_from": 3, "hp": 777, "checksum": 0xFFDC},
}
TOOLS = ("demo", "mt2export", "mt3export", "mt2import", "mt3import", "mt2compare", "mt3compare")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message)
    return condition


def run(args, timeout=120):
    return subprocess.run(args, capture_output=True, timeout=timeout)


def first_lines(text, count=3):
    lines = text.decode(errors="replace").splitlines()
    return "\n".join(lines[:count] + ([f"... ({len(lines) - count} more lines)"] if len(lines) > count else []))


def read_rows(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        return list(csv.reader(f))


def write_text(path, rows, encoding="utf-8-sig", delimiter=",", line_end="\r\n"):
    out = io.StringIO()
    csv.writer(out, delimiter=delimiter, lineterminator=line_end).writerows(rows)
    with open(path, "w", encoding=encoding, newline="") as f:
        f.write(out.getvalue())


class Game:
    """One game's image, its exported files and the monster edit."""

    def __init__(self, key, work, tools):
        g = GAMES[key]
        self.key, self.prefix, self.index = key, g["prefix"], g["index"]
        self.image = os.path.join(work, "demo", self.prefix + "demo.smc")
        self.importer, self.compare = tools[self.prefix + "import"], tools[self.prefix + "compare"]
        self.exported = os.path.join(work, key, "export")
        os.makedirs(self.exported)
        result = run([tools[self.prefix + "export"], "-c", self.image, self.exported + os.sep])
        if result.returncode != 0:
            sys.exit("spreadsheet_roundtrip: export failed: " + result.stderr.decode(errors="replace"))
        self.table = self.prefix + "-monsters.csv"
        self.rom = self.prefix + "-rom.csv"
        rows = read_rows(os.path.join(self.exported, self.table))
        self.header = rows[0]
        self.row = next(i for i, r in enumerate(rows) if r[0] == str(self.index))
        name = rows[g["name_from"] + 1][self.header.index("name")]
        old = rows[self.row]
        self.cells = {"hp": g["hp"], g["flag"]: True, "name": name}
        check(old[self.header.index(g["flag"])] == "false", f"{key}: the flag {g['flag']} is set already")
        check(old[self.header.index("name")] != name and old[self.header.index("hp")] != str(g["hp"]),
              f"{key}: the edit changes nothing")
        self.checksum = g["checksum"]
        self.work = os.path.join(work, key)

    def edited_rows(self):
        rows = read_rows(os.path.join(self.exported, self.table))
        for column, value in self.cells.items():
            rows[self.row][self.header.index(column)] = str(value).lower() if value is True else str(value)
        return rows

    def folder(self, variant):
        path = os.path.join(self.work, variant)
        os.makedirs(path, exist_ok=True)
        return path

    def expected(self):
        return {("monsters", self.index, column, value) for column, value in self.cells.items()}


# Variants made by a script from the exported files.

def csv_variant(game):
    folder = game.folder("csv")
    write_text(os.path.join(folder, game.table), game.edited_rows())
    shutil.copy(os.path.join(game.exported, game.rom), folder)
    return [os.path.join(folder, game.table)]


# Name, file name, encoding, separator, line end.
RESAVED = [
    ("cp932", "{prefix}-monsters.csv", "cp932", ",", "\r\n"),
    ("utf16-tab", "{prefix}-monsters.txt", "utf-16", "\t", "\r\n"),
    ("semicolon", "{prefix}-monsters.csv", "utf-8-sig", ";", "\r\n"),
    ("cr", "{prefix}-monsters.csv", "utf-8", ",", "\r"),
    ("copy-name", "{prefix}-monsters (1).csv", "utf-8-sig", ",", "\r\n"),
]


def resaved_variant(game, name, file_name, encoding, delimiter, line_end):
    folder = game.folder(name)
    path = os.path.join(folder, file_name.format(prefix=game.prefix))
    write_text(path, game.edited_rows(), encoding, delimiter, line_end)
    shutil.copy(os.path.join(game.exported, game.rom), folder)
    return [path]


def pandas_variant(game, pandas):
    folder = game.folder("pandas")
    frame = pandas.read_csv(os.path.join(game.exported, game.table))
    at = frame["index"] == game.index
    for column, value in game.cells.items():
        frame.loc[at, column] = value
    frame.to_csv(os.path.join(folder, game.table))
    shutil.copy(os.path.join(game.exported, game.rom), folder)
    return [os.path.join(folder, game.table)]


# LibreOffice Calc through UNO.

class Calc:
    """A headless soffice with an empty profile, killed with its children on close."""

    def __init__(self, uno, work):
        self.uno = uno
        self.profile = tempfile.mkdtemp(prefix="mt-calc-profile-")
        pipe = "mt_roundtrip_%d" % os.getpid()
        self.process = subprocess.Popen(
            ["soffice", "--headless", "--invisible", "--nologo", "--norestore", "--nodefault",
             "--nolockcheck", "-env:UserInstallation=" + uno.systemPathToFileUrl(self.profile),
             "--accept=pipe,name=%s;urp;" % pipe],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.monotonic() + 60
        while True:
            try:
                remote = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                if time.monotonic() > deadline or self.process.poll() is not None:
                    raise
                time.sleep(0.2)
        self.desktop = remote.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", remote)

    def prop_locale(self):
        from com.sun.star.lang import Locale
        return Locale("en", "US", "")

    def prop(self, name, value):
        from com.sun.star.beans import PropertyValue
        p = PropertyValue()
        p.Name, p.Value = name, value
        return p

    def resave(self, source, target, options, cells=None):
        """Opens source with the import options, types cells ({(row, column): text}), saves target.

        A typed TRUE or FALSE becomes a truth value shown as such, as Calc
        makes of it when a person types it."""
        doc = self.desktop.loadComponentFromURL(
            self.uno.systemPathToFileUrl(os.path.abspath(source)), "_blank", 0,
            (self.prop("Hidden", True), self.prop("FilterName", CSV_FILTER), self.prop("FilterOptions", options)))
        try:
            sheet = doc.Sheets.getByIndex(0)
            for (row, column), text in (cells or {}).items():
                cell = sheet.getCellByPosition(column, row)
                cell.setFormula(text)
                if text in ("TRUE", "FALSE"):
                    cell.NumberFormat = doc.NumberFormats.getStandardFormat(BOOLEAN, self.prop_locale())
            doc.storeToURL(self.uno.systemPathToFileUrl(os.path.abspath(target)), (self.prop("FilterName", CSV_FILTER),))
        finally:
            doc.close(True)

    def close(self):
        try:
            self.desktop.terminate()
        except Exception:
            pass
        try:
            self.process.wait(20)
        except subprocess.TimeoutExpired:
            pass
        kill_group(self.process)
        shutil.rmtree(self.profile, ignore_errors=True)


def kill_group(process):
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait()


def calc_variant(calc, game, name):
    """The monster typed in as a person would: the number, TRUE, the name."""
    folder = game.folder(name)
    typed = {(game.row, game.header.index(column)): ("TRUE" if value is True else str(value))
             for column, value in game.cells.items()}
    calc.resave(os.path.join(game.exported, game.table), os.path.join(folder, game.table), CALC_OPEN[name], typed)
    calc.resave(os.path.join(game.exported, game.rom), os.path.join(folder, game.rom), CALC_OPEN[name])
    return [os.path.join(folder, game.table)]


# The import and the comparison.

def changes_of(game, patch):
    result = run([game.compare, "-j", game.image, patch])
    # Status 1: the two differ.
    if not check(result.returncode == 1, f"{patch}: {game.prefix}compare failed: {first_lines(result.stderr)}"):
        return None, None
    document = json.loads(result.stdout)
    changes = {(c["table"], c["index"], c["key"], c["new"]) for c in document["changes"]}
    return changes, document["unmapped"]


def import_variant(game, variant, files, reference):
    patch = os.path.join(game.work, variant + ".bps")
    failed = len(failures)
    result = run([game.importer, "-p", patch, game.image] + files)
    where = f"{game.key} {variant}"
    if not check(result.returncode == 0, f"{where}: import refused: {first_lines(result.stderr)}"):
        return None
    changes, unmapped = changes_of(game, patch)
    if changes is None:
        return None
    check(changes == game.expected(), f"{where}: changes {sorted(changes, key=str)}, expected {sorted(game.expected(), key=str)}")
    outside = all(game.checksum <= u["offset"] and u["offset"] + u["length"] <= game.checksum + 4 for u in unmapped)
    check(outside, f"{where}: bytes changed outside the tables besides the checksum: {unmapped}")
    with open(patch, "rb") as f:
        data = f.read()
    if reference is not None:
        check(data == reference, f"{where}: the patch differs from the reference edit's")
    print(f"{where}: {len(changes)} changes, patch {len(data)} bytes" + (", ok" if len(failures) == failed else ""))
    return data


def modules():
    try:
        import uno  # noqa: F401
        import pandas
    except ImportError as e:
        print(f"spreadsheet_roundtrip: skipped: {e} (Debian's python3-uno, python3-pandas)")
        sys.exit(77)
    if shutil.which("soffice") is None:
        print("spreadsheet_roundtrip: skipped: no soffice (Debian's libreoffice-calc-nogui)")
        sys.exit(77)
    return uno, pandas


def with_calc(uno, work, games):
    """The Calc variants of both games, in one soffice run bounded in time."""
    def expired(signum, frame):
        raise TimeoutError(f"LibreOffice took longer than {LIBREOFFICE_SECONDS} s")
    made = {}
    signal.signal(signal.SIGALRM, expired)
    signal.alarm(LIBREOFFICE_SECONDS)
    calc = None
    try:
        calc = Calc(uno, work)
        for game in games:
            for name in CALC_OPEN:
                made[(game.key, name)] = calc_variant(calc, game, name)
    except Exception as e:  # a timeout, or soffice gone
        check(False, f"LibreOffice: {e}")
    finally:
        signal.alarm(0)
        if calc is not None:
            calc.close()
    return made


def main():
    if len(sys.argv) != 2 + len(TOOLS):
        sys.exit(__doc__)
    uno, pandas = modules()
    work = sys.argv[1]
    tools = dict(zip(TOOLS, sys.argv[2:]))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "demo"))
    run([tools["demo"], os.path.join(work, "demo")]).check_returncode()
    # LibreOffice writes the user's locale's text: a UTF-8 one, as a desktop has.
    os.environ.setdefault("LC_ALL", "C.UTF-8")
    games = [Game(key, work, tools) for key in GAMES]

    started = time.monotonic()
    calc = with_calc(uno, work, games)
    calc_seconds = time.monotonic() - started
    for game in games:
        reference = import_variant(game, "csv", csv_variant(game), None)
        for name in CALC_OPEN:
            if (game.key, name) in calc:
                import_variant(game, name, calc[(game.key, name)], None)
        import_variant(game, "pandas", pandas_variant(game, pandas), None)
        for variant in RESAVED:
            import_variant(game, variant[0], resaved_variant(game, *variant), reference)
    print(f"LibreOffice: {calc_seconds:.1f} s; everything: {time.monotonic() - started:.1f} s")
    if failures:
        sys.exit(f"spreadsheet_roundtrip: {len(failures)} failed")
    print("spreadsheet_roundtrip: every round trip gives exactly its edit")


if __name__ == "__main__":
    main()
