#!/usr/bin/env python3
"""Figures of the workbench page in headless Chromium (not a test: it prints
them and checks nothing).

    bench/workbench_bench.py WORKBENCH_HTML BUILD_DIR [RUNS]

- the page's size;
- from choosing the 4 MiB game-B demo image in the file input to the frame
  that shows its first table;
- an edit (a monster's HP) until the frame that shows it in the changes
  panel: the first after opening, and the median of the next five, beside
  an empty step until its frame (the wait for a frame alone), a step that
  only repaints one cell until its frame (the least any edit's frame costs)
  and the edit's own script and layout time;
- the image and patches of 100 edits (files());
- sorting the 512 techniques by a column until the frame that shows them;
- a bulk edit of 320 cells (the HP of 320 monsters multiplied) until its
  frame, and its undo;
- a search across every table until its hits are drawn;
- choosing the image zipped (deflated) until its first table, beside the
  image as it is.
Each the median of RUNS (default 5).
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "viewer"))
import browser  # noqa: E402

# Runs a step, then waits for the frame that shows it: the next animation
# frame's callbacks run before its style, layout and paint, a task queued
# from them after these.
FRAME = """
const done = arguments[arguments.length - 1];
const t = performance.now();
(%s)();
requestAnimationFrame(() => setTimeout(() => done(performance.now() - t)));
"""


def opened(d, page_path, image):
    """Loads the page, chooses the image and waits for its first table: the
    milliseconds from choosing to that frame."""
    from selenium.webdriver.common.by import By
    d.get("file://" + os.path.abspath(page_path))
    d.execute_async_script("const done = arguments[0]; window.workbench.ready.then(() => done(1))")
    d.execute_script("localStorage.clear()")
    d.find_element(By.ID, "file").send_keys(image)
    for _ in range(1200):
        t = d.execute_script("return window.workbench.timings")
        if t.get("rendered"):
            break
        time.sleep(0.02)
    return t["rendered"] - t["chosen"]


def main():
    page_path, build = (os.path.abspath(p) for p in sys.argv[1:3])
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    reason = browser.missing()
    if reason:
        sys.exit("workbench_bench: " + reason)
    work = tempfile.mkdtemp(prefix="mt-workbench-bench-")
    subprocess.run([os.path.join(build, "tools", "mt_demo_images"), work], check=True, stdout=subprocess.DEVNULL)
    image = os.path.join(work, "mt3demo.smc")
    opening, first, editing, importing, sorting, hundred, empty, own = [], [], [], [], [], [], [], []
    repaint = []
    bulk, bulk_undo, searching, unzip_times, plain_times = [], [], [], [], []
    zipped = os.path.join(work, "mt3demo.zip")
    with zipfile.ZipFile(zipped, "w", zipfile.ZIP_DEFLATED) as z:
        z.write(image, "mt3demo.smc")
    from selenium.webdriver.common.by import By
    with browser.Browser(1400, 900) as b:
        d = b.driver
        d.set_script_timeout(120)
        for _ in range(runs):
            opening.append(opened(d, page_path, image))
            first.append(d.execute_async_script(
                FRAME % "() => window.workbench.edit('monsters', 0, 'hp', '150')"))
            for i in range(1, 6):
                time.sleep(0.2)  # the changes panel is filled once the page is idle
                editing.append(d.execute_async_script(
                    FRAME % f"() => window.workbench.edit('monsters', {i}, 'hp', '15{i}')"))
                importing.append(d.execute_script("return window.workbench.timings.importing"))
                time.sleep(0.2)
                empty.append(d.execute_async_script(FRAME % "() => {}"))
                time.sleep(0.2)
                repaint.append(d.execute_async_script(FRAME % (
                    "() => { const td = document.querySelectorAll('td')[%d]; if (td) td.style.background = '#%d%d%d' }"
                    % ((i * 7,) + (i,) * 3))))
                time.sleep(0.2)
                own.append(d.execute_script(
                    "const t = performance.now(); window.workbench.edit('monsters', %d, 'hp', '16%d');"
                    "document.body.offsetHeight; return performance.now() - t" % (i, i)))
            d.execute_script("for (let i = 6; i < 100; ++i) window.workbench.edit('monsters', i, 'hp', String(100 + i))")
            hundred.append(d.execute_script(
                "const t = performance.now(); window.workbench.files(); return performance.now() - t"))
            d.execute_script("location.hash = '#techniques'")
            button = d.find_element(By.CSS_SELECTOR, "#table-techniques th[data-key=name] button")
            sorting.append(d.execute_async_script(FRAME % "() => arguments[0].click()", button))
            if not d.execute_script("return !!window.workbench.bulk"):
                continue  # a page of before bulk edits, search and ZIP files (a baseline)
            d.execute_script("location.hash = '#monsters'")
            d.execute_script("window.workbench.undo()")  # the sort left as it is; one edit fewer
            count = d.execute_script("return window.workbench.select('monsters', 0, 'hp', 319, 'hp')")
            bulk.append(d.execute_async_script(FRAME % "() => window.workbench.bulk('multiply', '1.5')"))
            bulk_undo.append(d.execute_async_script(FRAME % "() => window.workbench.undo()"))
            d.execute_script("document.getElementById('search').value = 'オオカミ'")
            searching.append(d.execute_async_script(
                FRAME % "() => document.getElementById('search').dispatchEvent(new Event('input'))"))
            hits = d.execute_script("return document.querySelectorAll('#hits a').length")
            unzip_times.append(opened(d, page_path, zipped))
            plain_times.append(opened(d, page_path, image))
    med = statistics.median
    print(f"workbench page: {os.path.getsize(page_path)} bytes")
    print(f"choosing the 4 MiB game-B image to its first table on screen: {med(opening):.0f} ms")
    print(f"the first edit after opening until the changes panel is drawn: {med(first):.0f} ms")
    print(f"an edit (the next five) until the changes panel is drawn: {med(editing):.0f} ms "
          f"(the session's set {med(importing):.1f} ms of it; the edit's own script and layout "
          f"{med(own):.1f} ms; an empty step until its frame {med(empty):.0f} ms, one cell repainted "
          f"until its frame {med(repaint):.0f} ms)")
    print(f"the image, BPS and IPS patches of 100 edits (files()): {med(hundred):.0f} ms")
    print(f"sorting the 512 techniques until drawn: {med(sorting):.0f} ms")
    if not bulk:
        return
    print(f"a bulk edit of {count} cells until drawn: {med(bulk):.0f} ms (its undo {med(bulk_undo):.0f} ms)")
    print(f"a search of every table until its {hits} hits are drawn: {med(searching):.0f} ms")
    print(f"choosing the image zipped ({os.path.getsize(zipped)} bytes) to its first table: {med(unzip_times):.0f} ms "
          f"(the image as it is: {med(plain_times):.0f} ms)")


if __name__ == "__main__":
    main()
