#!/usr/bin/env python3
"""Runs an analyzer and its exporter on one image and checks the exports.

    check_exports.py GAME ANALYZER EXPORTER IMAGE|random:SEED WORKDIR SCHEMA

The JSON document must parse (json and python3 -m json.tool) and hold the
tables with their expected row counts; every CSV file must be UTF-8 behind a
byte-order mark with CR LF record ends, parse with the csv module and hold
the same rows as the JSON; and the reports of the analyzer, rendered again
from the exported values, must come out line for line as the analyzer wrote
them (all lines but the column headers). The document must be valid under
the game's JSON Schema (and a broken one must not be). The SQL file must load
into a database with the real sqlite3 shell, its tables holding the rows of
the CSV files, typed, with every foreign key satisfied on a game image, and
load as well where foreign keys are enforced. A name from a fixed list (race,
guardian star, ...) must be null exactly where the index lies outside the list.
random:SEED writes an image of
pseudo-random bytes behind a copier header, which puts sentinel values,
short groups and out-of-range indices in every table.
"""
import csv
import hashlib
import io
import json
import os
import random
import sqlite3
import subprocess
import sys

import zlib

import jsonschema

GAMES = {
    "A": {"prefix": "mt2", "title": b"MERIDIAN TALES2      ", "size": 0x200000, "header": 0x7FC0, "map": 0x20},
    "B": {"prefix": "mt3", "title": b"MERIDIAN TALES3      ", "size": 0x400000, "header": 0xFFC0, "map": 0x21},
}
COPIER = 0x200

# Child tables: their CSV file and the parent columns that begin each row.
CHILDREN = {
    ("monsters", "actions"): ("monster-actions", [("index", "monster"), ("name", "monster_name")]),
    ("learning_lists", "entries"): ("learning-entries", [("index", "group"), ("key", "key"), ("key_name", "key_name")]),
    ("formations", "members"): ("formation-members", [("index", "formation"), ("name", "formation_name")]),
    ("main_encounters", "rows"): ("main-encounter-rows", [("index", "group"), ("name", "group_name")]),
    ("sub_encounters", "entries"): ("sub-encounter-entries", [("index", "type")]),
}
COUNTS = {
    "A": {"monsters": 320, "characters": 256, "special_characters": 16, "skill_levels": 50,
          "overall_skill_levels": 39, "items": 256, "techniques": 256, "formations": 16},
    "B": {"monsters": 320, "main_encounters": 16, "sub_encounters": 15, "characters": 48, "items": 256,
          "techniques": 512, "formations": 32},
}
CHILD_COUNTS = {"actions": 16, "members": 5, "rows": 16, "entries": 48}
# References to fixed lists of names: table, key and the length of the list.
FIXED_LISTS = {
    "A": [("monsters", "race", 16), ("characters", "race", 16), ("special_characters", "race", 16)],
    "B": [("monsters", "race", 16), ("monsters", "recovery", 8), ("characters", "guardian_star", 5),
          ("characters", "weapon", 9), ("characters", "arts", 5)],
}

ATTRS = {"A": "斬殴突射熱冷雷状", "B": "斬打突射熱冷雷状"}
STATS = {"A": list("死痺眠暗精毒圧ス"), "B": ["死", "??", "痺", "眠", "暗", "精", "毒", "ス"]}
LEVEL_MARKS = ["--", "×", "△", "○", "○+", "◎", "(×)", "☆"]


def fail(message):
    sys.exit("check_exports: " + message)


def random_image(game, seed, path):
    g = GAMES[game]
    data = bytearray(random.Random(seed).randbytes(COPIER + g["size"]))
    at = COPIER + g["header"]
    data[at:at + 22] = g["title"] + bytes([g["map"]])
    with open(path, "wb") as f:
        f.write(data)


def digests(data, prefix):
    return {prefix + "crc32": "%08X" % zlib.crc32(data), prefix + "md5": hashlib.md5(data).hexdigest(),
            prefix + "sha1": hashlib.sha1(data).hexdigest()}


def mirrored_sum(rom):
    """The console's checksum sum: a size that is not a power of two is
    mirrored up to the next one (the largest power-of-two part once, the rest
    repeated to fill as much again, itself mirrored the same way)."""
    if not rom:
        return 0
    big = 1 << (len(rom).bit_length() - 1)
    if big == len(rom):
        return sum(rom)
    rest = rom[big:]
    part = 1 << (len(rest).bit_length() - 1)
    whole = sum(rest) if part == len(rest) else mirrored_sum(rest)
    return sum(rom[:big]) + whole * (big // (part if part == len(rest) else 2 * part))


def identity(path, header):
    """What the rom block says about the image, from Python's own hashes."""
    data = open(path, "rb").read()
    copier = 512 if len(data) % 1024 == 512 else 0
    rom = data[copier:]
    stored = data[header + 0x1E] | data[header + 0x1F] << 8
    complement = data[header + 0x1C] | data[header + 0x1D] << 8
    computed = mirrored_sum(rom) & 0xFFFF
    return dict(file_size=len(data), copier_header=copier, **digests(data, ""), **digests(rom, "rom_"),
                checksum=stored, checksum_complement=complement, computed_checksum=computed,
                checksum_valid=stored == computed and complement == stored ^ 0xFFFF)


def run(*args):
    r = subprocess.run(args, capture_output=True, text=True)
    if r.returncode != 0 or r.stderr:
        fail(f"{args} exited {r.returncode}: {r.stderr}")


# --- JSON and CSV ---------------------------------------------------------

def csv_text(v):
    if v is None:
        return ""
    if isinstance(v, bool):
        return "true" if v else "false"
    if isinstance(v, list):
        return " ".join(v)
    return str(v)


def read_csv(path):
    raw = open(path, "rb").read()
    if not raw.startswith(b"\xef\xbb\xbf"):
        fail(f"{path}: no byte-order mark")
    if raw.count(b"\n") != raw.count(b"\r\n") or not raw.endswith(b"\r\n"):
        fail(f"{path}: a record does not end in CR LF")
    return list(csv.reader(io.StringIO(raw[3:].decode("utf-8"), newline="")))


def check_csv(path, header, rows):
    records = read_csv(path)
    if records[0] != header:
        fail(f"{path}: header {records[0]} instead of {header}")
    expected = [[csv_text(v) for v in row] for row in rows]
    if records[1:] != expected:
        bad = next(i for i, (a, b) in enumerate(zip(records[1:], expected)) if a != b) if len(records) - 1 == len(
            expected) else "count"
        fail(f"{path}: {len(records) - 1} rows, {len(expected)} in the JSON; first difference at {bad}")


def check_exports(game, doc, out):
    prefix = GAMES[game]["prefix"]
    files = {f"{prefix}.json", f"{prefix}.sql", f"{prefix}.html", f"{prefix}-rom.csv"}
    # The rom block as key,value records: the table files' identification,
    # every hash behind "0x", which no spreadsheet program reads as a number
    # (a CRC32 such as 0E705181 it would read as 0 times ten to the 705181st);
    # the JSON keeps the plain form.
    hashes = {"crc32", "md5", "sha1", "rom_crc32", "rom_md5", "rom_sha1"}
    check_csv(os.path.join(out, f"{prefix}-rom.csv"), ["key", "value"],
              [[k, "0x" + v if k in hashes else v] for k, v in doc["rom"].items()])
    tables = doc["tables"]
    if {k: len(v) for k, v in tables.items() if k in COUNTS[game]} != COUNTS[game]:
        fail(f"row counts {[(k, len(v)) for k, v in tables.items()]}")
    for key, rows in tables.items():
        nested = [k for k in (rows[0] if rows else {}) if isinstance(rows[0][k], list) and (key, k) in CHILDREN]
        columns = [k for k in (rows[0] if rows else {}) if k not in nested]
        name = f"{prefix}-{key.replace('_', '-')}.csv"
        files.add(name)
        check_csv(os.path.join(out, name), columns, [[r[k] for k in columns] for r in rows])
        for child in nested:
            child_file, parent_keys = CHILDREN[(key, child)]
            name = f"{prefix}-{child_file}.csv"
            files.add(name)
            child_columns = list(rows[0][child][0]) if rows[0][child] else []
            child_rows = []
            for r in rows:
                if key in COUNTS[game] and len(r[child]) != CHILD_COUNTS[child]:
                    fail(f"{key} {r['index']}: {len(r[child])} {child}")
                child_rows += [[r[p] for p, _ in parent_keys] + [c[k] for k in child_columns] for c in r[child]]
            if child_rows:
                check_csv(os.path.join(out, name), [k for _, k in parent_keys] + child_columns, child_rows)
    if set(f for f in os.listdir(out) if f.startswith(prefix)) != files:
        fail(f"files {sorted(os.listdir(out))}, expected {sorted(files)}")


def check_fixed_names(game, doc):
    """A name from a fixed list is a text inside the list and null outside it."""
    for table, key, count in FIXED_LISTS[game]:
        for r in doc["tables"][table]:
            inside = 0 <= r[key] < count
            if (r[key + "_name"] is None) == inside or not isinstance(r[key + "_name"], (str, type(None))):
                fail(f"{table} {r['index']}: {key} {r[key]} has the name {r[key + '_name']!r}")


# --- JSON Schema and SQL ------------------------------------------------------

def check_schema(doc, path):
    schema = json.load(open(path, encoding="utf-8"))
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    errors = list(validator.iter_errors(doc))
    if errors:
        fail(f"{path}: {len(errors)} errors, first {errors[0].message} at {list(errors[0].absolute_path)}")
    monster = doc["tables"]["monsters"][0]
    broken = [("hp", "many"), ("female", 1), ("status_resistances", ["痺", "X"]), ("name", None), ("surplus", 1)]
    for key, value in broken:
        kept = monster.get(key, KeyError)
        monster[key] = value
        if validator.is_valid(doc):
            fail(f"{path}: a monster with {key} = {value!r} passes")
        monster.pop(key) if kept is KeyError else monster.__setitem__(key, kept)
    del doc["rom"]["sha1"]
    if validator.is_valid(doc):
        fail(f"{path}: a rom block without sha1 passes")


# The SQL columns of the keys that SQLite reserves; every other column is
# named by its key.
SQL_NAMES = {"idx": "index", "grp": "group"}


def sql_value(row, key, foreign):
    """The value a JSON field has in the database: flags 0/1, label lists as in
    CSV, a reference to "none" (its name null) NULL."""
    v = row[key]
    if key in foreign and row.get(key + "_name", 0) is None:
        return None
    if isinstance(v, bool):
        return int(v)
    return " ".join(v) if isinstance(v, list) else v


def check_sql(game, doc, out, image_is_game):
    prefix = GAMES[game]["prefix"]
    db = os.path.join(out, prefix + ".db")
    with open(os.path.join(out, prefix + ".sql"), "rb") as sql:
        r = subprocess.run(["sqlite3", db], stdin=sql, capture_output=True)
    if r.returncode != 0 or r.stderr:
        fail(f"sqlite3 {db} < {prefix}.sql exited {r.returncode}: {r.stderr.decode()}")
    con = sqlite3.connect(db)
    names = {n for (n,) in con.execute("SELECT name FROM sqlite_master WHERE type = 'table'")}
    flat = {"rom": [doc["rom"]]}
    parents = {}
    for key, rows in doc["tables"].items():
        flat[key] = rows
        for (parent, child), (file, keys) in CHILDREN.items():
            if parent == key:
                flat[file.replace("-", "_")] = [dict([(k, r[p]) for p, k in keys] + list(c.items()))
                                                for r in rows for c in r[child]]
                parents[file.replace("-", "_")] = {k for _, k in keys}
    if names != set(flat):
        fail(f"SQL tables {sorted(names)}, expected {sorted(flat)}")
    for table, rows in flat.items():
        foreign = {SQL_NAMES.get(f[3], f[3]) for f in con.execute(f'PRAGMA foreign_key_list("{table}")')} - \
            parents.get(table, set())
        columns = [c[1] for c in con.execute(f'PRAGMA table_info("{table}")')]
        for c in columns:  # every column can be typed without quotes
            try:
                con.execute(f"SELECT {c} FROM {table} LIMIT 0")
            except sqlite3.Error as e:
                fail(f"SQL {table}: SELECT {c} is refused: {e}")
        keys = [SQL_NAMES.get(c, c) for c in columns]
        foreign_to = {f[4] for f in con.execute(f'PRAGMA foreign_key_list("{table}")')}
        if foreign_to - {"idx"}:
            fail(f"SQL {table}: foreign keys refer to {sorted(foreign_to)}, not to idx")
        got = con.execute(f'SELECT * FROM "{table}"').fetchall()
        expected = [tuple(sql_value(r, k, foreign) for k in keys) for r in rows]
        if sorted(got, key=repr) != sorted(expected, key=repr):
            bad = next((e for e in expected if e not in got), None)
            fail(f"SQL table {table}: {len(got)} rows, {len(expected)} in the JSON; first missing {bad}")
    for table, key in [("monsters", "hp"), ("items", "price"), ("monster_actions", "tech")]:
        types = {t for (t,) in con.execute(f'SELECT DISTINCT typeof("{key}") FROM "{table}"')}
        if types != {"integer"}:
            fail(f"SQL {table}.{key} has the types {types}")
    problems = con.execute("PRAGMA foreign_key_check").fetchall()
    if image_is_game and problems:
        fail(f"foreign key check: {problems[:5]}")
    # The manual's query (doc/manual.md), as a user types it into the shell.
    query = ("SELECT m.hp, m.name, i.name FROM monsters m LEFT JOIN items i ON i.idx = m.drop_high "
             "ORDER BY m.hp DESC, m.idx LIMIT 10")
    r = subprocess.run(["sqlite3", db, query], capture_output=True)
    if r.returncode != 0 or r.stderr or len(r.stdout.splitlines()) != 10:
        fail(f"sqlite3 {db} '{query}' exited {r.returncode}: {r.stderr.decode()} {r.stdout!r}")
    if image_is_game:
        load_with_foreign_keys_enforced(prefix, out)


def load_with_foreign_keys_enforced(prefix, out):
    """Where foreign keys are enforced (PRAGMA foreign_keys = ON, as some
    SQLite front ends set it), the file of a game image loads as well."""
    db = os.path.join(out, prefix + "-enforced.db")
    with open(os.path.join(out, prefix + ".sql"), "rb") as sql:
        script = b"PRAGMA foreign_keys = ON;\n" + sql.read() + b"SELECT count(idx) FROM monsters;\n"
    r = subprocess.run(["sqlite3", db], input=script, capture_output=True)
    if r.returncode != 0 or r.stderr or r.stdout != b"320\n":
        fail(f"sqlite3 with foreign keys enforced exited {r.returncode}: {r.stderr.decode()[:300]} {r.stdout!r}")


# --- Reports rendered from the exported values ------------------------------

def pad(s, width):
    return s + " " * max(0, width - len(s.encode("cp932")))


def prefix(i, hex_digits, name, width=16):
    return f"{i:03d}({i:0{hex_digits}X}): {pad(name, width)} :"


def mark(flag):
    return "○" if flag else "×"


def marks(row, keys, sep="   "):
    return sep.join(mark(row[k]) for k in keys)


def cells(labels, set_labels):
    return "".join(pad(label if label in set_labels else "・", 2) for label in labels)


def item_cell(name, width=16):
    return pad("-" * width if name is None else name, width)


def nums(row, keys, fmt="%3d"):
    return ", ".join(fmt % row[k] for k in keys)


def title(i, name):
    return f"[No.{i:03d}({i:02X}): {name}]"


def blocks(items, lines):
    out = []
    for n, item in enumerate(items):
        out += ([""] if n else []) + lines(item)
    return out


def learning(groups):
    return blocks(groups, lambda g: [title(g["key"], g["key_name"])] + [
        prefix(e["tech"], 2, e["tech_name"], 20) + "  %3d" % e["difficulty"] for e in g["entries"]])


def formations(table, actual_rear):
    def member(m):
        line = "%02d:  %5d, %+5d,  " % (m["position"], m["rate"], m["speed"]) + marks(
            m, ["front_defence", "rear_defence", "close_attack", "ranged_attack", "magic_attack"])
        return line + ("     " + mark(m["actual_rear_defence"]) if actual_rear else "")
    return blocks(table, lambda f: [title(f["index"], f["name"])] + [member(m) for m in f["members"]])


def actions(m):
    return ["%d-%02d: %s" % (a["pattern"], a["slot"], a["tech_name"]) for a in m["actions"]]


def learn_flags(t, hex_digits=2):
    return prefix(t["index"], hex_digits, t["name"], 20) + "   " + mark(t["derivation"]) + "".join(
        "   " + mark(f"TY{b:02d}" in t["learn_types"]) for b in range(16))


def evade(t, hex_digits):
    return prefix(t["index"], hex_digits, t["name"], 20) + "  " + mark(t["evade"]) + "    %3d" % t["difficulty"]


def rows(table, line, first=0, last=None):
    return [line(r) for r in table[first:last]]


A_DEF = ["defence_" + d for d in ["slash", "blunt", "thrust", "shot", "heat", "cold", "thunder", "status"]]
A_ABILITIES = ["strength", "dexterity", "magic_power", "unknown", "speed", "stamina"]
A_BODY = ["female", "undead", "boss", "flying"]
A_WEAPONS = ["sword", "spear", "axe", "bow", "martial_arts"]  # report column order
A_MAGIC = ["fire", "water", "wind", "earth", "heaven", "underworld"]


def game_a_reports(t):
    m, ch, sp, it, te = t["monsters"], t["characters"], t["special_characters"], t["items"], t["techniques"]

    def aptitudes(c):
        return ", ".join("%+3d" % (c["weapon_aptitude"] if c[w + "_flag"] else -7) for w in A_WEAPONS) + ", " + \
            ", ".join("%+3d" % (c["magic_aptitude"] if c[s + "_flag"] else -7) for s in A_MAGIC)

    def flags(r):
        return prefix(r["index"], 3, r["name"]) + "  " + marks(r, A_BODY) + "  " + pad(r["race_name"], 8) + \
            "  TYPE%02d" % r["spark_type"]

    def levels(table, section):
        return [section, "LV  技術点"] + ["%2d:  %5d" % (r["level"], r["tech_points"]) for r in table]

    def act(r):
        targets = "".join(text for key, text in [("targets_emperor", " 皇帝"), ("targets_low_hp", " 低HPキャラクタ"),
                                                 ("targets_high_hp", " 高HPキャラクタ")] if r[key])
        return [title(r["index"], r["name"]), "攻撃目標:" + targets, "行動パターン1選択率: %d/8" % r["pattern_1_share"],
                "行動パターン2選択率: %d/8" % r["pattern_2_share"]] + actions(r)

    def item_param(r):
        values = {"weapon": ["display", "attack", "weight"],
                  "armour": ["display"] + A_DEF + [b + "_bonus" for b in A_ABILITIES] + ["weight"],
                  "shield": ["display", "defence", "evasion", "weight"], "other": []}[r["kind"]]
        return prefix(r["index"], 2, r["name"]) + "  %5d" % r["price"] + "".join(", %3d" % r[k] for k in values)

    def item_regist(r):
        line = prefix(r["index"], 2, r["name"])
        if r["kind"] == "armour":
            return line + " " + cells(STATS["A"], r["status_resistances"])
        if r["kind"] == "shield":
            return line + " " + cells(ATTRS["A"], r["defence_attributes"])
        return line

    def item_effect(r):
        techs = " " + item_cell(r["tech_1_name"], 20) + ", " + item_cell(r["tech_2_name"], 20)
        return prefix(r["index"], 2, r["name"]) + (techs if r["kind"] == "weapon" else "")

    return {
        "mt2monparam.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + "  %5d, %5d, " % (
            r["tech_points"], r["hp"]) + nums(r, ["lp", "wp", "jp"] + A_ABILITIES + ["tech_level", "spell_level"] +
                                              A_DEF + ["shield_defence", "evasion"])),
        "mt2monregist.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + " " + cells(
            ATTRS["A"], r["shield_attributes"]) + "  " + cells(STATS["A"], r["status_resistances"])),
        "mt2monflag.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + "  " + marks(r, A_BODY) + "  " +
                               r["race_name"]),
        "mt2monitem.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + " " + item_cell(
            r["drop_high_name"]) + ", " + item_cell(r["drop_low_name"])),
        "mt2monequip.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + " " + item_cell(
            r["weapon_1_name"]) + ", " + item_cell(r["weapon_2_name"])),
        "mt2monact.txt": blocks(m, act),
        "mt2chrparam.txt": rows(ch, lambda r: prefix(r["index"], 2, r["name"]) + "  " + nums(
            r, ["lp"] + A_ABILITIES) + ", " + aptitudes(r)),
        "mt2chrflag.txt": rows(ch, flags),
        "mt2chrspparam.txt": rows(sp, lambda r: prefix(r["index"], 2, r["name"]) + "  " + nums(
            r, ["lp", "wp", "jp"] + A_ABILITIES + [k + "_level" for k in A_WEAPONS + A_MAGIC])),
        "mt2chrspflag.txt": rows(sp, flags),
        "mt2chrlvup.txt": levels(t["skill_levels"], "[技能レベル]") + [""] + levels(
            t["overall_skill_levels"], "[全体技能レベル]"),
        "mt2itemparam.txt": rows(it, item_param),
        "mt2itemregist.txt": rows(it, item_regist),
        "mt2itemeffect.txt": rows(it, item_effect),
        "mt2techlearnflag.txt": rows(te, learn_flags),
        "mt2techlearndata.txt": learning(t["learning_lists"]),
        "mt2techevadedata.txt": rows(te, lambda r: evade(r, 2)),
        "mt2formdata.txt": formations(t["formations"], True),
    }


B_ATTR = ["slash", "blow", "thrust", "shot", "heat", "cold", "thunder", "status"]
B_ATTRIBUTES = ["strength", "dexterity", "speed", "stamina", "magic_power", "willpower", "charm"]
B_STATS = B_ATTRIBUTES + ["tech_level", "spell_level", "upper_level", "spark_level"]
B_RESISTS = ["resist_water", "resist_throw", "resist_sound", "resist_congeal", "resist_earth"]
B_PARAMS = B_ATTRIBUTES + [
    k + "_level" for k in ["sword", "axe", "spear", "bow", "martial_arts", "blue_dragon", "vermilion_bird",
                           "white_tiger", "black_tortoise", "sun", "moon"]] + ["unknown"]
B_UPS = [k + "_up" for k in ["hp", "wp", "jp", "sword", "axe", "spear", "bow", "martial_arts", "blue_dragon",
                             "vermilion_bird", "white_tiger", "black_tortoise", "sun", "moon"]]
B_CHAR_FLAGS = ["male", "female", "undead", "unknown_flag", "hp_flag", "sword_flag", "axe_flag", "spear_flag",
                "bow_flag", "martial_arts_flag", "earth_arts_flag", "heaven_arts_flag", "unknown_flag_2"]


def game_b_reports(t):
    m, ch, it, te = t["monsters"], t["characters"], t["items"], t["techniques"]

    def main_group(g):
        return [f"[No.{g['index']:02d}({g['index']:02X}): {g['name']}]"] + [
            "%2d: %s :  %3d, %5d,    %2d×%2d" % (r["index"], pad(r["monster_name"] or "", 16), r["level"],
                                                r["max_count"] or 0, r["max_size_1"] or 0, r["max_size_2"] or 0)
            for r in g["rows"]]

    def sub_type(s):
        return [f"[No.{s['index']:02d}({s['index']:02X}): タイプ{s['index']:02d}]"] + [
            "%2d: %s :  %3d" % (e["index"], pad(e["monster_name"], 16), e["level"]) for e in s["entries"]]

    def item_param(r):
        values = {"weapon": ["attack", "weight"], "shield": ["defence", "evasion", "weight"],
                  "armour": ["physical_defence", "magic_defence"] + ["defence_" + a for a in B_ATTR] + [
                      b + "_bonus" for b in B_ATTRIBUTES] + ["weight"]}.get(r["kind"], [])
        return prefix(r["index"], 2, r["name"]) + "  %5d" % r["price"] + "".join(", %3d" % r[k] for k in values)

    def item_regist(r):
        line = prefix(r["index"], 2, r["name"])
        if r["kind"] == "shield":
            return line + " " + cells(ATTRS["B"], r["defence_attributes"])
        if r["kind"] == "armour":
            return line + "  " + " ".join(pad(LEVEL_MARKS[r["defence_" + a + "_level"]], 4) for a in B_ATTR) + " " + cells(
                STATS["B"], r["status_resistances"]) + "  " + marks(r, B_RESISTS)
        return line

    def item_effect(r):
        techs = " " + item_cell(r["tech_1_name"], 20) + ", " + item_cell(r["tech_2_name"], 20)
        return prefix(r["index"], 2, r["name"]) + (techs if r["kind"] == "weapon" else "")

    return {
        "mt3monparam.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + "  %5d, " % r["hp"] + nums(
            r, B_STATS + ["defence_" + a for a in B_ATTR] + ["shield_defence", "evasion"])),
        "mt3monregist.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + " " + cells(
            ATTRS["B"], r["shield_attributes"]) + "  " + cells(STATS["B"], r["status_resistances"])),
        "mt3monflag.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + "  " + marks(
            r, ["male", "female", "undead", "unknown_flag"] + B_RESISTS) + "  " + pad(r["race_name"], 4) + "  " +
                               r["recovery_name"]),
        "mt3monitem.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + "  %3d,  " % r["money"] + ", ".join(
            item_cell(r[d + "_name"]) for d in ["drop_100", "drop_high", "drop_middle", "drop_low"])),
        "mt3monequip.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + "  " + marks(
            r, ["unarmed_1", "unarmed_2"]) + "   " + ", ".join(
            item_cell(r[s + "_name"]) for s in ["weapon_1", "weapon_2", "shield", "armour_1", "armour_2"])),
        "mt3monact.txt": blocks(m, lambda r: [title(r["index"], r["name"])] + actions(r)),
        "mt3monencmain.txt": blocks(t["main_encounters"], main_group),
        "mt3monencsub.txt": blocks(t["sub_encounters"], sub_type),
        "mt3monmisc.txt": rows(m, lambda r: prefix(r["index"], 3, r["name"]) + "  %2d×%2d" % (r["size_1"], r["size_2"])),
        "mt3chrparam.txt": rows(ch, lambda r: prefix(r["index"], 3, r["name"]) + "  %5d, " % r["hp"] + nums(
            r, B_PARAMS)),
        "mt3chrlvup.txt": rows(ch, lambda r: prefix(r["index"], 3, r["name"]) + "  " + nums(r, B_UPS) +
                               ", TYPE%02d" % r["type"]),
        "mt3chrflag.txt": rows(ch, lambda r: prefix(r["index"], 3, r["name"]) + "  " + marks(r, B_CHAR_FLAGS) + "   " +
                               "  ".join(pad(r[k + "_name"] or "", 4) for k in ["guardian_star", "weapon", "arts"]) +
                               "  TYPE%02d" % r["spark_type"]),
        "mt3itemparam.txt": rows(it, item_param),
        "mt3itemregist.txt": rows(it, item_regist),
        "mt3itemeffect.txt": rows(it, item_effect),
        "mt3techlearnflag.txt": rows(te, learn_flags, 0, 256),
        "mt3techlearndata.txt": learning(t["learning_lists"]),
        "mt3techevadedata.txt": rows(te, lambda r: evade(r, 3), 256),
        "mt3formdata.txt": formations(t["formations"], False),
    }


def check_reports(game, doc, reports):
    expected = (game_a_reports if game == "A" else game_b_reports)(doc["tables"])
    if set(expected) != set(os.listdir(reports)):
        fail(f"reports {sorted(os.listdir(reports))}")
    for name, lines in expected.items():
        text = open(os.path.join(reports, name), "rb").read().decode("cp932")
        got = [line for line in text.split("\n")[:-1] if not line.startswith("No.")]
        for n, (a, b) in enumerate(zip(got, lines)):
            if a != b:
                fail(f"{name} line {n}:\n  report: {a!r}\n  export: {b!r}")
        if len(got) != len(lines):
            fail(f"{name}: {len(got)} lines, {len(lines)} from the export")


def main():
    game, analyzer, exporter, image, work, schema = sys.argv[1:]
    os.makedirs(work, exist_ok=True)
    is_game = not image.startswith("random:")
    if image.startswith("random:"):
        seed = int(image[7:])
        image = os.path.join(work, f"random-{seed}.smc")
        random_image(game, seed, image)
    reports, out = os.path.join(work, "reports"), os.path.join(work, "export")
    for d in (reports, out):
        os.makedirs(d, exist_ok=True)
        for f in os.listdir(d):
            os.remove(os.path.join(d, f))
    run(analyzer, image, reports)
    run(exporter, image, out)
    path = os.path.join(out, GAMES[game]["prefix"] + ".json")
    subprocess.run([sys.executable, "-m", "json.tool", path], check=True, stdout=subprocess.DEVNULL)
    doc = json.load(open(path, encoding="utf-8"))
    g = GAMES[game]
    rom = {"title_found": True, "title": g["title"].decode().rstrip(), "mapping": "HiROM" if g["map"] & 15 else "LoROM",
           "image_base": COPIER}
    rom.update(identity(image, COPIER + g["header"]))
    if (doc["format"], doc["version"], doc["game"], doc["rom"]) != ("meridian-tools-export", 2, game, rom):
        fail(f"envelope {doc['format']} {doc['version']} {doc['game']} {doc['rom']}, expected {rom}")
    if doc["rom"]["checksum_valid"] != is_game:  # the demo images carry a correct checksum
        fail(f"checksum_valid is {doc['rom']['checksum_valid']}")
    check_exports(game, doc, out)
    check_fixed_names(game, doc)
    check_reports(game, doc, reports)
    check_sql(game, doc, out, is_game)
    check_schema(doc, schema)
    print(f"check_exports: game {game}, {sys.argv[4]}: {sum(len(v) for v in doc['tables'].values())} records agree")


if __name__ == "__main__":
    main()
