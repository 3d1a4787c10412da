#!/usr/bin/env python3
"""The exporters' viewer pages in headless Chromium, opened from the disk.

    viewer_test.py MT2EXPORT MT3EXPORT MT_DEMO_IMAGES WORKDIR

Writes the demo images and a pseudo-random game-B image, exports each with
its JSON document, and checks every page against its JSON: the header shows
every field of the rom block and the tables with their record counts; each
table shows as many rows as the JSON has records; sorting by HP (by mouse,
then by the keyboard) puts the largest HP first and reverses; the filter narrows to the
rows that hold the text; a monster's drop links to that item, and the back
button returns; "#monsters/17" opens on that record; a record's nested rows
open under it; the browser logs no error and requests nothing but the page.
Prints the page sizes, the time to the first table (laid out, and its frame
rendered) and the sorting time (the sort and its layout, and until the frame
that shows it is rendered), and saves a screenshot of each demo page into
WORKDIR. Exits 77 (skipped) when Chromium, its driver or selenium is missing.
"""
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "export"))
import browser  # noqa: E402
from check_exports import csv_text, random_image  # noqa: E402

# The page's own text of a cell, as its filter sees it.
CELL_TEXT = "const text = (v) => v === null ? '' : Array.isArray(v) ? v.join(' ') : String(v);"

# A click on a header, timed until the frame that shows its order is
# rendered: the next animation frame's callbacks run before its style, layout
# and paint, a task queued from them after these.
RENDERED = """
const done = arguments[arguments.length - 1];
const t = performance.now();
arguments[0].click();
requestAnimationFrame(() => setTimeout(() => done(performance.now() - t)));
"""

# Text of one column of the shown table's rows, top to bottom: the page draws
# only the rows in view, so the table is scrolled through and the rows read
# as they are drawn.
COLUMN = """
const key = arguments[0];
const section = document.querySelector('section:not([hidden])');
const grid = section.querySelector(':scope .wrap > table').grid;
const wrap = grid.wrap, seen = new Map();
for (let top = 0; ; top += Math.max(wrap.clientHeight, 24)) {
  wrap.scrollTop = top;
  grid.draw();
  for (const tr of grid.body.querySelectorAll(':scope > tr[data-record]')) {
    if (!seen.has(tr.dataset.record)) seen.set(tr.dataset.record, tr.querySelector(`:scope > td[data-key="${key}"]`).textContent);
  }
  if (wrap.scrollTop + wrap.clientHeight >= wrap.scrollHeight - 1) break;
}
wrap.scrollTop = 0;
grid.draw();
return [...seen.values()];
"""


def fail(message):
    sys.exit("viewer_test: " + message)


def check(condition, message):
    if not condition:
        fail(message)


def export(tool, image, out):
    os.makedirs(out, exist_ok=True)
    r = subprocess.run([tool, "-jw", image, out], capture_output=True, text=True)
    check(r.returncode == 0 and not r.stderr, f"{tool} {image}: {r.returncode} {r.stderr}")


class Page:
    def __init__(self, b, path, doc):
        self.b, self.driver, self.doc = b, b.driver, doc
        self.url = "file://" + os.path.abspath(path)
        for log in ("browser", "performance"):  # what came before this page
            self.driver.get_log(log)

    def open(self, fragment=""):
        self.driver.get(self.url + fragment)
        return self.driver.execute_script("return window.mtViewer.timings.firstTable")

    def first_rendered(self):
        """When the frame that shows the first table was rendered."""
        return self.driver.execute_async_script(
            "const done = arguments[arguments.length - 1]; const t = setInterval(() => {"
            " const at = window.mtViewer.timings.firstTableRendered;"
            " if (at !== null) { clearInterval(t); done(at); } }, 10);")

    def go(self, fragment):
        self.driver.execute_script("location.hash = arguments[0]", fragment)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def column(self, key):
        return self.js(COLUMN, key)

    def shown(self):
        return self.js("return document.querySelector('section:not([hidden])').id")

    def count(self):
        return self.js("return document.querySelector('section:not([hidden]) .count').textContent")

    def header_names_the_image(self):
        shown = self.js("return Object.fromEntries([...document.querySelectorAll('#rom > div')]"
                        ".map((d) => [d.title, d.querySelector('dd').textContent]))")
        checksums = {"checksum", "checksum_complement", "computed_checksum"}
        for key, value in self.doc["rom"].items():
            if value is not None and not isinstance(value, (dict, list)):
                expected = ("yes" if value else "no") if isinstance(value, bool) else str(value)
                if key in checksums:  # in hexadecimal, the value beside it
                    expected = f"0x{value:04X} ({value})"
                check(shown.get(key) == expected, f"rom {key}: {shown.get(key)}, {expected} in the JSON")
        # The hashes under the words the comparison's text uses.
        labels = self.js("return Object.fromEntries([...document.querySelectorAll('#rom > div')]"
                         ".map((d) => [d.title, d.querySelector('dt').textContent]))")
        for key, label in [("crc32", "file CRC32"), ("sha1", "file SHA-1"), ("rom_crc32", "ROM CRC32"),
                           ("rom_sha1", "ROM SHA-1"), ("checksum", "stored checksum"),
                           ("computed_checksum", "computed checksum")]:
            check(labels.get(key) == label, f"rom {key} under {labels.get(key)}, not {label}")
        tables = self.js("return [...document.querySelectorAll('#tables a')].map((a) => a.textContent)")
        check(tables == [f"{k} ({len(v)})" for k, v in self.doc["tables"].items()], f"table list {tables}")

    def every_table_shows_its_records(self):
        for key, records in self.doc["tables"].items():
            self.go("#" + key)
            check(self.shown() == "table-" + key, f"#{key} shows {self.shown()}")
            rows = len(self.column("index" if records and "index" in records[0] else next(iter(records[0]))))
            check(rows == len(records), f"{key}: {rows} rows, {len(records)} in the JSON")
            check(self.count() == f"{rows} / {rows} rows", f"{key}: count {self.count()}")

    def sorting_by_hp(self):
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys
        hp = [m["hp"] for m in self.doc["tables"]["monsters"]]
        self.go("#monsters")
        button = self.driver.find_element(By.CSS_SELECTOR, "#table-monsters th[title=hp] button")
        button.click()
        check(int(self.column("hp")[0]) == min(hp), "sorted by HP: smallest first")
        took = self.js("const t = performance.now(); arguments[0].click(); document.body.offsetHeight;"
                       "return performance.now() - t;", button)
        check(int(self.column("hp")[0]) == max(hp), f"again: largest HP first, not {self.column('hp')[0]}")
        check([int(v) for v in self.column("hp")] == sorted(hp, reverse=True), "HP column not in order")
        button.send_keys(Keys.ENTER)
        check(int(self.column("hp")[0]) == min(hp), "Enter on the header sorts")
        rendered = self.driver.execute_async_script(RENDERED, button)
        check(int(self.column("hp")[0]) == max(hp), "a third click: largest HP first")
        return took, rendered

    def filter_narrows(self):
        from selenium.webdriver.common.by import By
        monsters = self.doc["tables"]["monsters"]
        name = next((m["name"] for m in monsters[10:] if m["name"] and len(m["name"]) >= 2), None)
        if name is None:
            return
        needle = name[:2]
        expected = [m for m in monsters
                    if any(needle.lower() in csv_text(v).lower() for v in m.values() if not is_nested(v))]
        self.go("#monsters")
        box = self.driver.find_element(By.CSS_SELECTOR, "#table-monsters input")
        box.clear()
        box.send_keys(needle)
        names = self.column("name")
        check(len(names) == len(expected), f"filter {needle}: {len(names)} rows, {len(expected)} hold it")
        check(self.count() == f"{len(expected)} / {len(monsters)} rows", f"filter count {self.count()}")
        box.clear()
        box.send_keys(" ")  # an input event with nothing to look for
        check(len(self.column("name")) == len(monsters), "an empty filter shows every row")

    def drop_links_to_its_item(self):
        self.go("#monsters")
        link = self.js("return [...document.querySelectorAll(\"#table-monsters a[href^='#items/']\")]"
                       ".find((a) => a.textContent.trim() !== '')")
        if link is None:
            return
        target = int(link.get_attribute("href").rsplit("/", 1)[1])
        name = self.js("return arguments[0].textContent", link)
        link.click()
        check(self.js("return location.hash") == f"#items/{target}", "the drop's link names the item")
        marked = self.js("const tr = document.querySelector('#table-items tr.marked');"
                         "return tr && !tr.closest('section').hidden ? tr.textContent : null")
        item = next(i for i in self.doc["tables"]["items"] if i["index"] == target)
        check(marked is not None and item["name"] == name and name in marked, f"item {target} not marked")
        self.driver.back()
        check(self.shown() == "table-monsters", "back goes to the monsters")

    def mended_layout(self):
        """An index column and its name column under one heading; the index
        and the name stay in view when the table scrolls sideways."""
        self.go("#monsters")
        heading = self.js("const th = document.querySelector('#table-monsters th[data-key=drop_high]');"
                          "return th && th.textContent")
        label = next(c for c in self.js("return JSON.parse(document.getElementById('mt-columns').textContent)"
                                        ".tables.monsters.columns") if c["key"] == "drop_high")["label"]
        check(heading == f"{label} {label}", f"drop_high heading {heading!r}")
        check(self.js("return document.querySelector('#table-monsters th[data-key=drop_high_name]')") is None,
              "drop_high_name has a heading of its own")
        moved = self.js("const wrap = document.querySelector('#table-monsters .wrap'); wrap.scrollLeft = 2000;"
                        "const cell = (k) => document.querySelector(`#table-monsters tbody td[data-key=${k}]`)"
                        ".getBoundingClientRect().left - wrap.getBoundingClientRect().left;"
                        "const r = [cell('index'), cell('name'), cell('hp')]; wrap.scrollLeft = 0; return r")
        check(0 <= moved[0] < 60 and moved[0] < moved[1] < 200 and moved[2] < 0, f"sideways: {moved}")

    def fragment_opens_record(self):
        """A fresh load of #monsters/17 marks the row and opens its nested rows."""
        self.open("#monsters/17")
        row = self.js("const tr = document.querySelector('tr.marked'); const r = tr.getBoundingClientRect();"
                      "return [tr.closest('section').id, tr.children[1].textContent,"
                      " r.top >= 0 && r.bottom <= innerHeight]")
        check(row == ["table-monsters", "17", True], f"#monsters/17 shows {row}")

    def nested_rows_open(self):
        from selenium.webdriver.common.by import By
        actions = self.doc["tables"]["monsters"][17]["actions"]
        nested = "return document.querySelectorAll('tr.marked + tr.nested-row tbody tr').length"
        check(self.js(nested) == len(actions), f"monster 17: {self.js(nested)} nested rows, {len(actions)} actions")
        button = self.driver.find_element(By.CSS_SELECTOR, "tr.marked button.open")
        button.click()
        check(self.js(nested) == 0, "the button closes the nested rows")
        button.click()
        check(self.js(nested) == len(actions), "the button opens them again")

    def quiet(self):
        errors = [e for e in self.driver.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]
        check(not errors, f"browser log: {errors}")
        urls = set()
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                urls.add(message["params"]["request"]["url"].split("#")[0])
        check(urls <= {self.url}, f"requests: {sorted(urls)}")


def is_nested(value):
    return isinstance(value, list) and any(isinstance(v, dict) for v in value)


def main():
    mt2export, mt3export, demo_images, work = sys.argv[1:]
    reason = browser.missing()
    if reason:
        print("viewer_test: skipped:", reason)
        sys.exit(77)
    os.makedirs(work, exist_ok=True)
    subprocess.run([demo_images, work], check=True, stdout=subprocess.DEVNULL)
    random_image("B", 3, os.path.join(work, "random.smc"))
    pages = [("mt2demo", mt2export, "mt2demo.smc", "mt2"), ("mt3demo", mt3export, "mt3demo.smc", "mt3"),
             ("random-B", mt3export, "random.smc", "mt3")]
    start = time.monotonic()
    with browser.Browser() as b:
        for name, tool, image, prefix in pages:
            out = os.path.join(work, name)
            export(tool, os.path.join(work, image), out)
            path = os.path.join(out, prefix + ".html")
            doc = json.load(open(os.path.join(out, prefix + ".json"), encoding="utf-8"))
            page = Page(b, path, doc)
            first = page.open()
            rendered_first = page.first_rendered()
            page.header_names_the_image()
            page.every_table_shows_its_records()
            took, rendered = page.sorting_by_hp()
            page.filter_narrows()
            page.drop_links_to_its_item()
            page.mended_layout()
            page.fragment_opens_record()
            page.nested_rows_open()
            page.quiet()
            size = os.path.getsize(path)
            if name.endswith("demo"):
                b.driver.save_screenshot(os.path.join(work, name + ".png"))
            if name == "mt3demo":
                check(size < 2 << 20, f"the game-B page has {size} bytes")
            print(f"viewer_test: {name}: {size} bytes, first table at {first:.0f} ms "
                  f"(rendered at {rendered_first:.0f} ms), sorting 320 monsters by HP {took:.1f} ms "
                  f"({rendered:.0f} ms until rendered)")
    print(f"viewer_test: {len(pages)} pages checked in {time.monotonic() - start:.1f} s")


if __name__ == "__main__":
    main()
