"""The exporters' column descriptions, as their viewer pages carry them: the
workbench page holds both games' (workbench/columns.json), and this checks or
writes that file from a build's exporters.

    columns.py BUILD_DIR [--write]
"""
import json
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
COLUMNS = os.path.join(ROOT, "workbench", "columns.json")


def described(build):
    """{"A": descriptions, "B": descriptions} from the exporters' pages."""
    out = {}
    with tempfile.TemporaryDirectory() as work:
        subprocess.run([os.path.join(build, "tools", "mt_demo_images"), work], check=True, stdout=subprocess.DEVNULL)
        for game, prefix in (("A", "mt2"), ("B", "mt3")):
            subprocess.run([os.path.join(build, "tools", prefix + "export"), "-w",
                            os.path.join(work, prefix + "demo.smc"), work], check=True)
            page = open(os.path.join(work, prefix + ".html"), encoding="utf-8").read()
            found = re.search(r'<script type="application/json" id="mt-columns">(.*?)</script>', page, re.S)
            out[game] = json.loads(found.group(1))
    return out


def text(columns):
    return json.dumps(columns, ensure_ascii=False, separators=(",", ":")).replace("<", "\\u003c") + "\n"


def main():
    build = sys.argv[1]
    made = text(described(build))
    if "--write" in sys.argv[2:]:
        with open(COLUMNS, "w", encoding="utf-8", newline="\n") as f:
            f.write(made)
        print("columns.py: wrote", COLUMNS)
        return
    kept = open(COLUMNS, encoding="utf-8").read()
    if kept != made:
        sys.exit(f"columns.py: {COLUMNS} is not what the exporters describe: "
                 f"python3 tests/workbench/columns.py {build} --write")


if __name__ == "__main__":
    main()
