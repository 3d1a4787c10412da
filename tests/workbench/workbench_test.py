#!/usr/bin/env python3
"""The workbench page in headless Chromium, opened from the disk, against the
native tools of a build.

    workbench_test.py WORKBENCH_HTML BUILD_DIR

Opens both demo images through the file input (the identification against
mtNexport's) and by dropping it on the page, and a file that is no image (refused in the tools' words, the
page still usable); edits a monster's HP with the keyboard, and an HP out of
range (refused at the cell, with mt2import's range, the value unchanged); undoes
and redoes; saves the BPS patch, the IPS patch and the image and checks them
against mt2import's for the same edit; reloads and takes the kept edits back;
compares with mt2demo-v2.bps (mt2compare's text, the changed cells marked),
merges two friends' patches (a conflict marked at its cell, one undo step)
and a game-A patch with the game-B image (refused as mt3compare refuses it).
The browser logs no error and requests nothing (its network log, the
page's resource entries). Checks that the page's column descriptions are the
exporters'. Exits 77 (skipped) when Chromium, its driver or selenium is
missing, or the page.
"""
import csv
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "viewer"))
sys.path.insert(0, HERE)
import browser  # noqa: E402
import columns  # noqa: E402


def fail(message):
    print("workbench_test: " + message)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def tool(build, name):
    return os.path.join(build, "tools", name)


def run(args, cwd, status=0):
    r = subprocess.run(args, cwd=cwd, capture_output=True)
    check(r.returncode == status, f"{args}: status {r.returncode}: {r.stderr.decode()}")
    return r


def words(stderr, program):
    """The tool's error lines without its program name, as the module gives them."""
    return "\n".join(line.split(": ", 1)[1] if line.startswith(program) else line
                     for line in stderr.decode().strip().split("\n"))


def edited_csv(source, target, index, key, value):
    with open(source, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    rows[index + 1][rows[0].index(key)] = value
    with open(target, "w", encoding="utf-8-sig", newline="") as f:
        csv.writer(f, lineterminator="\r\n").writerows(rows)


class Page:
    def __init__(self, b, path, work):
        self.b, self.d, self.work = b, b.driver, work
        self.url = "file://" + os.path.abspath(path)
        self.downloads = os.path.join(work, "downloads")
        os.makedirs(self.downloads, exist_ok=True)
        self.d.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": self.downloads})
        for log in ("browser", "performance"):
            self.d.get_log(log)

    def load(self):
        self.d.get(self.url)
        self.d.set_script_timeout(60)
        self.d.execute_async_script("const done = arguments[0]; window.workbench.ready.then(() => done(true))")

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def choose(self, input_id, path):
        from selenium.webdriver.common.by import By
        field = self.d.find_element(By.ID, input_id)
        self.js("arguments[0].value = ''", field)
        field.send_keys(path)

    def open(self, name, wait_for=None):
        before = self.js("return window.workbench.timings.opened")
        self.choose("file", os.path.join(self.work, name))
        for _ in range(600):
            if wait_for and wait_for():
                return
            if not wait_for and self.js("return window.workbench.timings.opened") != before:
                return
            time.sleep(0.05)
        fail(f"{name} did not open")

    def message(self):
        return self.js("const m = document.getElementById('message'); return m.hidden ? '' : m.textContent")

    FIND = ("const td = document.querySelector(`tr[data-table='${arguments[0]}'][data-index='${arguments[1]}']"
            " > td[data-key='${arguments[2]}']`);")

    def cell(self, table, index, key):
        return self.js(self.FIND + "return td", table, str(index), key)

    def cell_text(self, table, index, key):
        return self.js(self.FIND + "return td && td.textContent", table, str(index), key)

    def cell_class(self, table, index, key):
        return self.js(self.FIND + "return td ? td.className : ''", table, str(index), key)

    def settle(self):
        """Waits for the export of the edited image that follows an edit."""
        time.sleep(0.6)

    def type_into(self, table, index, key, value, end=None):
        """F2 opens the cell, the value is typed, Enter (or end) ends it."""
        from selenium.webdriver.common.keys import Keys
        self.settle()
        for _ in range(200):  # the page asks the importer which columns it writes
            if "writable" in self.cell_class(table, index, key):
                break
            time.sleep(0.05)
        check("writable" in self.cell_class(table, index, key), f"{table} {index} {key} is not writable")
        td = self.cell(table, index, key)
        td.click()
        self.d.switch_to.active_element.send_keys(Keys.F2)
        editor = self.d.switch_to.active_element
        check(editor.tag_name == "input", "F2 opens no editor")
        editor.send_keys(Keys.CONTROL, "a")
        editor.send_keys(value, end or Keys.ENTER)

    def ctrl(self, key):
        from selenium.webdriver.common.action_chains import ActionChains
        from selenium.webdriver.common.keys import Keys
        ActionChains(self.d).key_down(Keys.CONTROL).send_keys(key).key_up(Keys.CONTROL).perform()

    def changes(self):
        return self.js("return document.getElementById('changes').textContent")

    def identity(self):
        return self.js("return Object.fromEntries([...document.querySelectorAll('#rom > div')]"
                       ".map((d) => [d.title, d.querySelector('dd').textContent]))")

    def quiet(self):
        errors = [e for e in self.d.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]
        check(not errors, f"browser log: {errors}")
        urls = set()
        for entry in self.d.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                url = message["params"]["request"]["url"].split("#")[0]
                if not url.startswith("blob:"):  # a download of the page's own bytes
                    urls.add(url)
        check(urls <= {self.url}, f"requests: {sorted(urls)}")
        check(self.js("return performance.getEntriesByType('resource').length") == 0, "resource entries")

    def downloaded(self, name):
        path = os.path.join(self.downloads, name)
        for _ in range(200):
            if os.path.exists(path) and not os.path.exists(path + ".crdownload"):
                return open(path, "rb").read()
            time.sleep(0.05)
        fail(f"no download {name}")


def identification_is_the_exporters(page, build, work, image, prefix):
    out = os.path.join(work, "export-" + prefix)
    os.makedirs(out, exist_ok=True)
    run([tool(build, prefix + "export"), "-j", image, out], work)
    rom = json.load(open(os.path.join(out, prefix + ".json"), encoding="utf-8"))["rom"]
    shown = page.identity()
    for key in ("crc32", "md5", "sha1", "rom_crc32", "rom_md5", "rom_sha1"):
        check(shown.get(key) == rom[key], f"{key}: {shown.get(key)}, {rom[key]} in the export")
    for key in ("checksum", "computed_checksum"):
        check(shown.get(key) == f"0x{rom[key]:04X} ({rom[key]})", f"{key}: {shown.get(key)}")
    check(shown.get("copier_header") == str(rom["copier_header"]), "copier header")
    check(shown.get("checksum_valid") == ("yes" if rom["checksum_valid"] else "no"), "checksum agreement")
    game = page.js("return document.getElementById('game').textContent")
    check(f"(game {'A' if prefix == 'mt2' else 'B'})" in game, f"game: {game}")
    return out


def focused(page):
    return page.js("const a = document.activeElement; const tr = a.closest('tr');"
                   "return [a.tagName, a.dataset.key || null, tr ? tr.dataset.index : null]")


def keys(page, *sent):
    from selenium.webdriver.common.action_chains import ActionChains
    ActionChains(page.d).send_keys(*sent).perform()
    time.sleep(0.1)


def spreadsheet(page):
    """Edits and moves by the keyboard alone once a cell is clicked; a bulk
    multiply of the eight wolves as one undo step, refused whole when one
    cell cannot take it; search; the headings' and the page's languages."""
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select
    page.js("location.hash = '#monsters'")
    hp = [page.cell_text("monsters", i, "hp") for i in range(8)]
    page.cell("monsters", 0, "hp").click()
    keys(page, "2", "0", "0", Keys.ENTER)  # typing starts the edit; Enter ends it a row down
    check(page.cell_text("monsters", 0, "hp") == "200" and focused(page) == ["TD", "hp", "1"], f"at {focused(page)}")
    keys(page, "3", Keys.TAB)
    check(page.cell_text("monsters", 1, "hp") == "3" and focused(page)[1:] == ["lp", "1"], f"Tab: {focused(page)}")
    keys(page, Keys.ARROW_LEFT, Keys.F2, Keys.END, "0", Keys.ESCAPE)
    check(page.cell_text("monsters", 1, "hp") == "3" and focused(page)[1:] == ["hp", "1"], "Escape")
    keys(page, Keys.PAGE_DOWN)
    check(int(focused(page)[2]) > 10, f"Page Down: {focused(page)}")
    ActionChains(page.d).key_down(Keys.CONTROL).send_keys(Keys.END).key_up(Keys.CONTROL).perform()
    last = page.js("return window.workbench.tables.views.get('monsters').grid.records.length") - 1
    check(focused(page)[2] == str(last), f"Ctrl+End reaches the last row, not a drawn one: {focused(page)}")
    keys(page, Keys.HOME)
    check(focused(page)[1] == "name", f"Home: {focused(page)}")
    page.ctrl("z")
    page.ctrl("z")
    shown = page.js("return [0, 1].map((i) => window.workbench.cellText('monsters', i, 'hp'))")
    check(shown == hp[:2], f"undo of the keyboard's edits: {shown}")

    # The wolves by the filter, their HP column, multiplied.
    for _ in range(100):  # the panel shows the session's changes once the page is idle: none
        if page.changes() == "":
            break
        time.sleep(0.05)
    box = page.d.find_element("css selector", "#table-monsters input[type=search]")
    box.send_keys("オオカミ")
    page.cell("monsters", 0, "hp").click()
    ActionChains(page.d).key_down(Keys.CONTROL).send_keys(" ").key_up(Keys.CONTROL).perform()
    check(page.js("return window.workbench.selected().length") == 8, "Ctrl+Space: the column of the rows shown")
    Select(page.d.find_element("id", "bulk-op")).select_by_value("multiply")
    value = page.d.find_element("id", "bulk-value")
    value.send_keys("100", Keys.ENTER)
    refused = [i for i in range(8) if int(hp[i]) * 100 > 65535]
    check(page.message().startswith(f"Nothing of the step was applied: {len(refused)} cells were refused.")
          and all(f"monsters {i}: HP {int(hp[i]) * 100}: allowed 0..65535" in page.message() for i in refused),
          f"bulk refusal: {page.message()!r}")
    page.settle()
    check([page.cell_text("monsters", i, "hp") for i in range(8)] == hp and page.changes() == "",
          f"a refused bulk edit applied something: {page.changes()!r}")
    value.clear()
    value.send_keys("1.5", Keys.ENTER)
    check([page.cell_text("monsters", i, "hp") for i in range(8)] == [str((int(h) * 3 + 1) // 2) for h in hp],  # halves up
          f"multiplied: {[page.cell_text('monsters', i, 'hp') for i in range(8)]}")
    page.ctrl("z")
    check([page.cell_text("monsters", i, "hp") for i in range(8)] == hp, "one undo takes the bulk edit back")
    box.clear()
    box.send_keys(" ")

    # Search across every table; a hit leads to its cell.
    search = page.d.find_element("id", "search")
    search.send_keys("ゴブ")
    hits = page.js("return [...document.querySelectorAll('#hits a')].map((a) => a.textContent)")
    check(len(hits) >= 8 and all("ゴブ" in h for h in hits), f"hits: {hits}")
    page.js("document.querySelector('#hits a').click()")
    time.sleep(0.2)
    first = page.js("const a = document.querySelector('#hits a'); return [a.dataset.key, a.dataset.index]")
    check(focused(page)[1:] == first, f"the hit's cell: {focused(page)} {first}")
    search.clear()
    search.send_keys(" ")

    # Headings in English and back, kept over a reload; none a raw key, no
    # two the same, in either language, in any table of either game.
    headings = ("const out = []; for (const g of ['A', 'B']) { const walk = (name, d) => {"
                " const units = d.columns.filter((c) => !(c.key.endsWith('_name') && d.columns.some("
                "   (o) => o.key === c.key.slice(0, -5) && o.label === c.label)));"
                " const labels = units.map((c) => c.label);"
                " for (const c of units) if (c.label === c.key || labels.indexOf(c.label) !== labels.lastIndexOf(c.label))"
                "   out.push(`${g} ${name} ${c.key}: ${c.label}`);"
                " for (const [k, child] of Object.entries(d.children || {})) walk(`${name}.${k}`, child); };"
                " for (const [k, d] of Object.entries(labelled(g).tables)) walk(k, d); } return out")
    check(page.js(headings) == [], f"headings: {page.js(headings)}")
    # A NUL in a cell: the refusal is whole.
    said = page.js("return window.workbench.edit('monsters', 0, 'name', 'a\\u0000bc')")
    check("\\0" in said and said.index("b") > said.index("\\0") and page.message() == said, f"NUL: {said!r}")
    page.js("document.getElementById('language-headings').click()")
    check(page.js(headings) == [], f"English headings: {page.js(headings)}")
    th = "const th = document.querySelector('#table-monsters th[data-key=magic_power]'); return [th.textContent, th.title]"
    check(page.js(th) == ["Magic power", "Magic power (magic_power)"], f"English heading {page.js(th)}")
    page.js("document.getElementById('language-page').click()")
    check(page.js("return document.getElementById('undo').textContent") == "元に戻す", "the page's words in Japanese")
    page.load()
    page.open("mt2demo.smc")
    check(page.js(th)[0] == "Magic power" and page.js("return document.documentElement.lang") == "ja",
          "the languages are not kept")
    page.js("document.getElementById('language-headings').click(); document.getElementById('language-page').click()")
    check(page.js(th)[0] != "Magic power" and page.js("return document.getElementById('undo').textContent") == "Undo",
          "switched back")


def zipped(page, work):
    """An image inside a ZIP file opens as itself; with two images in it,
    the one chosen; a ZIP file cut short is refused in words."""
    image = open(os.path.join(work, "mt3demo.smc"), "rb").read()
    paths = {}
    for name, members in (("one", {"readme.txt": b"hello", "hack/mt3demo.smc": image}),
                          ("two", {"mt2demo.smc": open(os.path.join(work, "mt2demo.smc"), "rb").read(),
                                   "mt3demo.sfc": image})):
        paths[name] = os.path.join(work, f"{name}.zip")
        with zipfile.ZipFile(paths[name], "w", zipfile.ZIP_DEFLATED) as z:
            for member, data in members.items():
                z.writestr(member, data)
    page.choose("file", paths["one"])
    for _ in range(200):
        if page.js("return document.title") == "mt3demo.smc - workbench":
            break
        time.sleep(0.05)
    check(page.js("return document.title") == "mt3demo.smc - workbench", f"the zipped image: {page.js('return document.title')}")
    check(page.js("return document.getElementById('file').files[0].name") == "mt3demo.smc",
          "the file picker does not show the file that is open")
    crc = page.js("return window.workbench.tables.doc.rom.crc32")
    check(crc == f"{zlib.crc32(image):08X}", f"the zipped image's CRC32 {crc}")
    page.choose("file", paths["two"])
    for _ in range(200):
        if page.js("return document.querySelectorAll('#message button.member').length") == 2:
            break
        time.sleep(0.05)
    page.js("document.querySelectorAll('#message button.member')[1].click()")
    for _ in range(200):
        if page.js("return document.title") == "mt3demo.sfc - workbench":
            break
        time.sleep(0.05)
    check(page.js("return document.title") == "mt3demo.sfc - workbench", "the image chosen from two")
    cut = os.path.join(work, "cut.zip")
    with open(cut, "wb") as f:
        f.write(open(paths["one"], "rb").read()[:-30])
    page.choose("file", cut)
    for _ in range(200):
        if "ZIP" in page.message():
            break
        time.sleep(0.05)
    check("ZIP file" in page.message(), f"a cut ZIP file: {page.message()!r}")


def offline(page, page_path):
    """Served over HTTP, the page installs as an app and opens again with
    the server gone."""
    served = tempfile.mkdtemp(prefix="mt-served-")
    for name in ("workbench.html", "workbench-sw.js", "workbench.webmanifest", "workbench-icon.png"):
        shutil.copy(os.path.join(os.path.dirname(page_path), name), served)
    server = subprocess.Popen([sys.executable, "-m", "http.server", "--bind", "127.0.0.1", "0"], cwd=served,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        port = re.search(r"port (\d+)", server.stdout.readline()).group(1)
        page.url = f"http://127.0.0.1:{port}/workbench.html"
        page.load()
        page.d.execute_async_script("const done = arguments[0]; navigator.serviceWorker.ready.then(() => done(true))")
        manifest = page.d.execute_cdp_cmd("Page.getAppManifest", {})
        check(not manifest.get("errors") and "file_handlers" in manifest.get("data", ""), f"manifest: {manifest}")
        errors = page.d.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
        check(errors == [], f"not installable: {errors}")
    finally:
        server.kill()
        server.wait()
    page.load()  # the server is gone: the worker serves the page
    page.open("mt2demo.smc")
    check(page.js("return document.title") == "mt2demo.smc - workbench", "the offline page opens no image")


def tap(page, element):
    """A finger's tap on an element's middle."""
    r = page.js("const r = arguments[0].getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]",
                element)
    for kind, points in (("touchStart", [{"x": r[0], "y": r[1]}]), ("touchEnd", [])):
        page.d.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})
    time.sleep(0.15)


def phone_and_tabs(page, build):
    """A phone's screen: the table's first rows in its upper half, a tap
    selects, a second tap edits, a refusal's note on the screen. Then two
    tabs on one image: neither drops the other's edits."""
    from selenium.webdriver.common.keys import Keys
    page.d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": 390, "height": 844, "deviceScaleFactor": 2, "mobile": True})
    page.d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    page.load()
    page.open("mt2demo.smc")
    page.js("document.getElementById('discard').click()")
    top = page.js("return document.querySelector('#table-monsters tbody tr.r').getBoundingClientRect().top")
    shot = os.path.join(build, "workbench-phone.png")
    page.d.save_screenshot(shot)
    check(top < 844 / 2, f"the first row stands at {top}px of 844 (screenshot {shot})")
    cell = page.cell("monsters", 2, "hp")
    tap(page, cell)
    check(focused(page) == ["TD", "hp", "2"], f"a tap selects: {focused(page)}")
    tap(page, cell)
    check(focused(page)[0] == "INPUT", "a second tap edits")
    page.d.switch_to.active_element.send_keys(Keys.CONTROL, "a")
    page.d.switch_to.active_element.send_keys("99999", Keys.ENTER)
    note = page.js("const r = document.querySelector('div.note').getBoundingClientRect(); return [r.left, r.right]")
    check(note[0] >= 0 and note[1] <= 390, f"the refusal's note stands at {note}")
    page.d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
    page.d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})

    # Two tabs: each one's edit kept, the other's offered.
    first = page.d.current_window_handle
    check(page.js("return window.workbench.edit('monsters', 10, 'hp', '1010')") is None, "tab 1's edit")
    page.d.switch_to.new_window("tab")
    second = page.d.current_window_handle
    page.load()
    page.open("mt2demo.smc")
    check(page.js("return window.workbench.edit('monsters', 11, 'hp', '1111')") is None, "tab 2's edit")
    page.d.switch_to.window(first)
    check(page.js("return window.workbench.edit('monsters', 12, 'hp', '1212')") is None, "tab 1's second edit")
    offer = page.js("return document.getElementById('offer').hidden ? '' : document.getElementById('offer-text').textContent")
    check("another tab" in offer, f"tab 2's edits not offered in tab 1: {offer!r}")
    kept = page.js("return JSON.parse(localStorage.getItem(Object.keys(localStorage).find((k) => k.endsWith("
                   "window.workbench.tables.doc.rom.rom_crc32)))).edits.map((e) => e[0] + ' ' + e[1] + ' ' + e[3])")
    check(sorted(kept) == ["monsters 10 1010", "monsters 11 1111", "monsters 12 1212"], f"kept: {kept}")
    page.js("document.getElementById('restore').click()")
    check(page.js("return window.workbench.cellText('monsters', 11, 'hp')") == "1111", "tab 2's edit is not taken")
    page.d.switch_to.window(second)
    page.d.close()
    page.d.switch_to.window(first)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: workbench_test.py WORKBENCH_HTML BUILD_DIR")
    page_path, build = (os.path.abspath(p) for p in sys.argv[1:])
    reason = browser.missing()
    if reason:
        print("workbench_test: skipped:", reason)
        sys.exit(77)
    from selenium.webdriver.common.keys import Keys
    if not os.path.exists(page_path):
        # The test command builds the page first and asks for it: there a
        # missing page is a failure, not a skip.
        print(f"workbench_test: {'no' if os.environ.get('MT_REQUIRE_WORKBENCH') else 'skipped: no'} {page_path}"
              " (cmake --workflow --preset wasm makes it)")
        sys.exit(1 if os.environ.get("MT_REQUIRE_WORKBENCH") else 77)
    kept = open(columns.COLUMNS, encoding="utf-8").read()
    check(kept == columns.text(columns.described(build)),
          f"workbench/columns.json is not what the exporters describe: python3 tests/workbench/columns.py {build} --write")
    work = tempfile.mkdtemp(prefix="mt-workbench-")
    run([os.path.join(build, "tools", "mt_demo_images"), work], work)
    size = os.path.getsize(page_path)
    with browser.Browser(1400, 900) as b:
        page = Page(b, page_path, work)
        page.load()

        # Both games, and a file that is no image.
        page.open("mt3demo.smc")
        identification_is_the_exporters(page, build, work, os.path.join(work, "mt3demo.smc"), "mt3")
        # One line of it shown (the CRC32s, the checksum), the rest on demand.
        shown = "return [...document.querySelectorAll('#rom > div')].filter((d) => d.offsetParent).map((d) => d.title)"
        check(page.js(shown) == ["crc32", "rom_crc32", "checksum_valid"], f"identification shown: {page.js(shown)}")
        page.js("document.getElementById('rom-more').click()")
        check(len(page.js(shown)) == len(page.identity()), "all hashes not shown on demand")
        check(page.js("return document.querySelectorAll('tr[data-table=monsters]').length") > 0, "no monsters shown")
        # The same file dropped on the page opens it again.
        before = page.js("return window.workbench.timings.opened")
        page.js("const dt = new DataTransfer(); dt.items.add(document.getElementById('file').files[0]);"
                "document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: dt, bubbles: true, cancelable: true}))")
        for _ in range(200):
            if page.js("return window.workbench.timings.opened") != before:
                break
            time.sleep(0.05)
        check(page.js("return window.workbench.timings.opened") != before, "a dropped image is not opened")
        page.choose("file", os.path.join(work, "mt2demo-text.bin"))
        for _ in range(200):
            if page.message():
                break
            time.sleep(0.05)
        refused = run([tool(build, "mt2export"), "mt2demo-text.bin", "x"], work, 1).stderr
        check(page.message().startswith("mt2demo-text.bin is not an image of"), f"not an image: {page.message()!r}")
        check(words(refused, tool(build, "mt2export")).split(" of ")[0] in page.message(), "the tool's words")
        check(page.js("return document.querySelectorAll('tr[data-table=monsters]').length") > 0, "page unusable")
        page.open("mt2demo.smc")
        out = identification_is_the_exporters(page, build, work, os.path.join(work, "mt2demo.smc"), "mt2")
        run([tool(build, "mt2export"), "-c", os.path.join(work, "mt2demo.smc"), out], work)

        # An edit by the keyboard, and one out of range; the side panel,
        # folded away while it is empty, opens with the first change.
        side_shown = "return document.querySelector('#work > aside').offsetParent !== null"
        check(not page.js(side_shown), "the empty side panel takes room")
        page.type_into("monsters", 0, "hp", "150")
        check(page.js(side_shown), "the side panel does not show the change")
        # Scrolled down a long page (tables taller than the window), the
        # toolbar stays at the top and the side panel just below it.
        page.js("const s = document.createElement('div'); s.id = 'spacer'; s.style.height = '5000px';"
                "document.getElementById('views').append(s); window.scrollTo(0, 4000)")
        bar, side = page.js("const bar = document.getElementById('toolbar').getBoundingClientRect();"
                            "const side = document.querySelector('#work > aside').getBoundingClientRect();"
                            "return [[bar.top, bar.bottom], side.top]")
        check(abs(bar[0]) < 1 and abs(side - bar[1]) < 2, f"toolbar {bar} and side panel at {side} after scrolling")
        page.js("document.getElementById('spacer').remove(); window.scrollTo(0, 0)")
        check(page.cell_text("monsters", 0, "hp") == "150", f"HP shows {page.cell_text('monsters', 0, 'hp')}")
        check("edited" in page.cell_class("monsters", 0, "hp"), "the edited cell is not marked")
        check("  hp: 112 → 150" in page.changes(), f"changes: {page.changes()!r}")
        # Enter leaves the focus on the cell below once the page has settled.
        time.sleep(0.5)
        at = page.js("const a = document.activeElement; return [a.tagName, a.dataset.key, a.closest('tr').dataset.index]")
        check(at == ["TD", "hp", "1"], f"the focus after Enter is on {at}")
        hp1 = page.cell_text("monsters", 1, "hp")
        # The edit's entry in the changes panel is a link to its record.
        page.js("location.hash = '#characters'")
        page.js("document.querySelector('#changes a').click()")
        check(page.js("return [location.hash, document.querySelector('tr.marked').dataset.table]")
              == ["#monsters/0", "monsters"], "the change's entry does not lead to its record")
        page.type_into("monsters", 1, "hp", "99999")
        refusal = page.js("const r = document.querySelector('div.note'); return r && r.textContent")
        native = os.path.join(work, "native")
        os.makedirs(native, exist_ok=True)
        edited_csv(os.path.join(out, "mt2-monsters.csv"), os.path.join(native, "mt2-monsters.csv"), 1, "hp", "99999")
        run(["cp", os.path.join(out, "mt2-rom.csv"), native], work)
        said = run([tool(build, "mt2import"), "-o", "x.smc", "../mt2demo.smc", "mt2-monsters.csv", "mt2-rom.csv"],
                   native, 1).stderr
        # The cell's words: its heading and the value, then what mt2import says is allowed.
        allowed = words(said, tool(build, "mt2import")).split("\n")[0].split('"99999"', 1)[1]
        check(refusal and refusal.startswith("HP 99999") and refusal.endswith(allowed),
              f"refusal at the cell {refusal!r}, mt2import says {said!r}")
        check(page.cell_text("monsters", 1, "hp") == hp1, "the refused value stays as it was")
        check(page.js("return window.workbench.edit('monsters', 1, 'hp', '99999')") == refusal, "edit() refuses")

        # Escape drops what was typed; Tab keeps it and moves to the next cell.
        hp2 = page.cell_text("monsters", 2, "hp")
        page.type_into("monsters", 2, "hp", "321", Keys.ESCAPE)
        check(page.cell_text("monsters", 2, "hp") == hp2, "Escape keeps the cell as it was")
        check(page.message().startswith("HP 99999"), f"the refusal's message: {page.message()!r}")
        page.type_into("monsters", 2, "hp", "321", Keys.TAB)
        check(page.cell_text("monsters", 2, "hp") == "321", "Tab keeps the value")
        check(page.message() == "", f"the refusal's message outlives the edit after it: {page.message()!r}")
        moved = page.js("const a = document.activeElement; return [a.tagName, a.dataset.key, a.closest('tr').dataset.index]")
        check(moved[0] == "TD" and moved[1] != "hp" and moved[2] == "2", f"Tab moves to {moved}")
        check(page.js("return window.workbench.undo()") and page.cell_text("monsters", 2, "hp") == hp2, "undo of Tab's edit")

        # Undo and redo, by the keys and the buttons.
        page.ctrl("z")
        check(page.cell_text("monsters", 0, "hp") == "112", "Ctrl+Z undoes")
        page.ctrl("y")
        check(page.cell_text("monsters", 0, "hp") == "150", "Ctrl+Y redoes")
        page.js("document.getElementById('undo').click()")
        check(page.cell_text("monsters", 0, "hp") == "112", "Undo button")
        page.js("document.getElementById('redo').click()")
        check(page.cell_text("monsters", 0, "hp") == "150", "Redo button")

        # The saved files against mt2import's for the same edit.
        edited_csv(os.path.join(out, "mt2-monsters.csv"), os.path.join(native, "mt2-monsters.csv"), 0, "hp", "150")
        run([tool(build, "mt2import"), "-o", "new.smc", "-p", "new.bps", "-i", "new.ips", "../mt2demo.smc",
             "mt2-monsters.csv", "mt2-rom.csv"], native)
        for button, name, made in (("save-bps", "mt2demo.bps", "new.bps"), ("save-ips", "mt2demo.ips", "new.ips"),
                                   ("save-image", "mt2demo-edited.smc", "new.smc")):
            page.js(f"document.getElementById('{button}').click()")
            check(page.downloaded(name) == open(os.path.join(native, made), "rb").read(),
                  f"{name} differs from mt2import's {made}")
        bps = bytes(page.js("return Array.from(window.workbench.files().bps)"))
        check(bps == open(os.path.join(native, "new.bps"), "rb").read(), "files().bps")

        # A reload, the kept edits taken back.
        page.load()
        page.open("mt2demo.smc")
        check(page.js("return !document.getElementById('offer').hidden"), "the kept edits are not offered")
        # An edit made before Restore joins the kept ones, also over a reload.
        check(page.js("return window.workbench.edit('monsters', 5, 'hp', '555')") is None, "an edit before Restore")
        page.load()
        page.open("mt2demo.smc")
        page.js("document.getElementById('restore').click()")
        check(page.cell_text("monsters", 0, "hp") == "150", "the kept edit is not back")
        check(page.cell_text("monsters", 5, "hp") == "555", "the edit made before Restore is lost")
        # Storage that refuses an edit is said plainly, with the way out.
        page.js("window.realSetItem = Storage.prototype.setItem;"
                "Storage.prototype.setItem = function () { throw new DOMException('full', 'QuotaExceededError'); }")
        page.js("window.workbench.edit('monsters', 6, 'hp', '666')")
        check("could not be kept" in page.message() and "BPS patch" in page.message(), f"full storage: {page.message()!r}")
        page.js("Storage.prototype.setItem = window.realSetItem")
        page.js("window.workbench.undo()")
        check("  hp: 112 → 150" in page.changes(), "the changes panel after the restore")

        # Comparisons.
        page.choose("compare-file", os.path.join(work, "mt2demo-v2.bps"))
        expected = run([tool(build, "mt2compare"), "mt2demo.smc", "mt2demo-v2.bps"], work, 1).stdout.decode()
        for _ in range(200):
            shown = page.js("return document.getElementById('compared').textContent")
            if shown:
                break
            time.sleep(0.05)
        check(shown == expected, f"comparison:\n{shown}\nmt2compare:\n{expected}")
        check("changed" in page.cell_class("monsters", 0, "hp"), "monster 0's HP not marked")
        check("changed" in page.cell_class("monsters", 1, "name"), "monster 1's name not marked")
        # A cell both edited and compared shows both marks.
        both = page.js("const td = document.querySelector('tr[data-table=monsters][data-index=\"0\"] td[data-key=hp]');"
                       "return [td.className, getComputedStyle(td).boxShadow]")
        check("edited" in both[0] and both[1].count("inset") == 2, f"edited and compared: {both}")
        # A refused comparison takes the marks of the one before with it.
        page.js("window.workbench.compare(new Uint8Array([80, 65, 84, 67, 72]), 'cut.ips')")
        check("changed" not in page.cell_class("monsters", 1, "name"), "an earlier comparison's marks stay")
        # Two friends' patches merged through the picker: the fields one of
        # them changed become one undo step, the field both changed is
        # marked as a conflict with each one's value.
        hp3 = page.cell_text("monsters", 3, "hp")
        for who, rows in (("alice", "3,333\r\n4,444"), ("bob", "4,445")):
            with open(os.path.join(native, f"mt2-monsters-{who}.csv"), "w", newline="") as f:
                f.write(f"index,hp\r\n{rows}\r\n")
            run([tool(build, "mt2import"), "-p", f"{who}.bps", "../mt2demo.smc", f"mt2-monsters-{who}.csv"], native)
        page.choose("merge-file", os.path.join(native, "alice.bps") + "\n" + os.path.join(native, "bob.bps"))
        for _ in range(200):
            if "conflict" in page.cell_class("monsters", 4, "hp"):
                break
            time.sleep(0.05)
        check("conflict" in page.cell_class("monsters", 4, "hp"), "the conflict is not marked at its cell")
        check(page.cell_text("monsters", 3, "hp") == "333", "the merged field is not an edit")
        check("conflict: monsters 4 hp: 1: 444, 2: 445" in page.message(), f"merge message: {page.message()!r}")
        page.ctrl("z")
        check(page.cell_text("monsters", 3, "hp") == hp3, "one undo takes the merge back")
        # The same patches dropped on Apply or merge… are merged too.
        page.js("const dt = new DataTransfer(); for (const f of document.getElementById('merge-file').files) dt.items.add(f);"
                "document.getElementById('merge-drop').dispatchEvent(new DragEvent('drop', {dataTransfer: dt, bubbles: true, cancelable: true}))")
        for _ in range(200):
            if page.cell_text("monsters", 3, "hp") == "333":
                break
            time.sleep(0.05)
        check(page.cell_text("monsters", 3, "hp") == "333", "dropped patches are not merged")
        page.ctrl("z")
        page.open("mt3demo.smc")
        said = run([tool(build, "mt3compare"), "mt3demo.smc", "mt2demo-v2.bps"], work, 2).stderr
        refused = page.js("return window.workbench.compare(new Uint8Array(arguments[0]), 'mt2demo-v2.bps')",
                          list(open(os.path.join(work, "mt2demo-v2.bps"), "rb").read()))
        check(refused == words(said, tool(build, "mt3compare")), f"another image's patch: {refused!r}, {said!r}")
        page.open("mt2demo.smc")
        page.js("document.getElementById('discard').click()")
        spreadsheet(page)
        zipped(page, work)
        phone_and_tabs(page, build)
        page.quiet()
        offline(page, page_path)
    print(f"workbench_test: {size} bytes, both images opened, edits, undo, patches, reload, comparison checked")


if __name__ == "__main__":
    main()
