#!/bin/sh
# Runs the tools on the demo images and game texts, writes everything
# into one directory and tells what it holds.
#
# Usage: run-demo.sh output-dir table-dir mt_demo_images mt2analyzer mt3analyzer mt2decoder mt3decoder
#                    mt2export mt3export mt2compare mt2import
# MT_DEMO_RUN, when set, is the command (a CMake list) that runs the programs
# of a cross build, such as Wine for the Windows build. MT_WORKBENCH, when it
# names a file (build-wasm/workbench.html), is copied in as workbench.html.
set -eu

if [ $# -ne 11 ]; then
  echo "usage: $0 output-dir table-dir mt_demo_images mt2analyzer mt3analyzer mt2decoder mt3decoder" \
       "mt2export mt3export mt2compare mt2import" >&2
  exit 2
fi
out=$1 tables=$2 generator=$3 mt2analyzer=$4 mt3analyzer=$5 mt2decoder=$6 mt3decoder=$7
mt2export=$8 mt3export=$9 mt2compare=${10} mt2import=${11}

mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/mt2*.txt "$out"/mt3*.txt "$out"/mt2*.csv "$out"/mt3*.csv "$out"/mt2.json "$out"/mt3.json "$out"/mt2.sql "$out"/mt3.sql \
  "$out"/mt2.html "$out"/mt3.html "$out"/mt2demo-v2.* "$out"/mt2hack.* "$out"/mt2hack-compare.txt "$out"/workbench.html
rm -rf "$out/edited"

run() {
  # shellcheck disable=SC2086  # the emulator's words are separate arguments
  ${MT_DEMO_RUN:+$(echo "$MT_DEMO_RUN" | tr ';' ' ')} "$@"
}
run "$generator" "$out"
run "$mt2analyzer" "$out/mt2demo.smc" "$out"
run "$mt3analyzer" "$out/mt3demo.smc" "$out"
run "$mt2decoder" "$out/mt2demo-text.bin" "$out/mt2demo-decoded.txt"
run "$mt3decoder" "$out/mt3demo-text.bin" "$out/mt3demo-decoded.txt"
cp "$tables/mt2.tbl" "$tables/mt3.tbl" "$out/"
run "$mt2export" "$out/mt2demo.smc" "$out"
run "$mt3export" "$out/mt3demo.smc" "$out"
# The comparison ends with status 1: the two images differ.
status=0
run "$mt2compare" "$out/mt2demo.smc" "$out/mt2demo-v2.bps" > "$out/mt2demo-v2-compare.txt" || status=$?
if [ "$status" -ne 1 ]; then
  echo "mt2compare ended with status $status instead of 1" >&2
  exit 1
fi

# The editing loop: monster 0's HP set to 150 in a copy of its CSV file,
# imported into a new image and a BPS patch, and the patch compared.
mkdir "$out/edited"
sed '2s/^\(0,[^,]*,[^,]*,\)[0-9]*/\1150/' "$out/mt2-monsters.csv" > "$out/edited/mt2-monsters.csv"
run "$mt2import" -o "$out/mt2hack.smc" -p "$out/mt2hack.bps" "$out/mt2demo.smc" "$out/edited/mt2-monsters.csv" \
  "$out/mt2-rom.csv" > /dev/null
status=0
run "$mt2compare" "$out/mt2demo.smc" "$out/mt2hack.bps" > "$out/mt2hack-compare.txt" || status=$?
if [ "$status" -ne 1 ] || ! grep -q "^  hp: 112 → 150" "$out/mt2hack-compare.txt"; then
  echo "the imported HP change is not what mt2compare shows (status $status)" >&2
  exit 1
fi

workbench=no
if [ -n "${MT_WORKBENCH:-}" ] && [ -f "$MT_WORKBENCH" ]; then
  cp "$MT_WORKBENCH" "$out/workbench.html"
  workbench=yes
fi

# The reports are the mt2/mt3 text files other than the decoded demo texts
# and the comparison.
count_reports() {
  n=0
  for f in "$out/$1"*.txt; do
    case $f in *demo-decoded.txt | *-compare.txt) ;; *) n=$((n + 1)) ;; esac
  done
  echo "$n"
}
reports_a=$(count_reports mt2)
reports_b=$(count_reports mt3)

to_utf8() { iconv -f CP932 -t UTF-8 "$1"; }

row() { printf '  %-42s %s\n' "$1" "$2"; }

echo
echo "Demo output in $out:"
row "mt2demo.smc, mt3demo.smc" "synthetic ROM images of game A (LoROM) and game B (HiROM)"
row "mt2demo-text.bin, mt3demo-text.bin" "game-encoded demo texts"
row "mt2*.txt ($reports_a reports)" "written by mt2analyzer from mt2demo.smc"
row "mt3*.txt ($reports_b reports)" "written by mt3analyzer from mt3demo.smc"
row "mt2demo-decoded.txt, mt3demo-decoded.txt" "the demo texts decoded by mt2decoder and mt3decoder"
row "mt2.tbl, mt3.tbl" "the character tables as table files (UTF-8)"
row "mt2.json, mt2-*.csv ($(ls "$out"/mt2-*.csv | grep -vc -- -rom.csv) tables), mt2.sql" "every table of mt2demo.smc as UTF-8 JSON, CSV and SQL (mt2export)"
row "mt3.json, mt3-*.csv ($(ls "$out"/mt3-*.csv | grep -vc -- -rom.csv) tables), mt3.sql" "every table of mt3demo.smc as UTF-8 JSON, CSV and SQL (mt3export)"
row "mt2.html, mt3.html" "the viewer pages of both images: open them in a web browser"
row "mt2demo-v2.smc, mt2demo-v2.bps" "a revised game-A image, and a BPS patch to it from mt2demo.smc"
row "mt2demo-v2-compare.txt" "mt2compare of mt2demo.smc and the patch (UTF-8)"
row "mt2-rom.csv, mt3-rom.csv" "which image the CSV files come from (mt2import, mt3import read it)"
row "edited/mt2-monsters.csv" "mt2-monsters.csv with monster 0's HP set to 150 (sed)"
row "mt2hack.smc, mt2hack.bps" "mt2import of the edited file: the new image and a BPS patch"
row "mt2hack-compare.txt" "mt2compare of mt2demo.smc and mt2hack.bps: that one change"
if [ "$workbench" = yes ]; then
  row "workbench.html" "the workbench: open it in a web browser and choose mt2demo.smc or mt3demo.smc"
else
  echo "  (no workbench.html: build it first with cmake --workflow --preset wasm)"
fi
echo
echo "Reports and decoded texts are Shift-JIS (code page 932). On a UTF-8 terminal:"
echo "  iconv -f CP932 -t UTF-8 $out/mt2monparam.txt | less -S"
echo
echo "mt2monflag.txt (monster flags of game A), header and monsters 302-307, in UTF-8:"
to_utf8 "$out/mt2monflag.txt" | sed -n '1p;304,309p'
echo
echo "mt3demo-decoded.txt (the game-B demo text), in UTF-8:"
to_utf8 "$out/mt3demo-decoded.txt"
echo
echo "mt3-main-encounter-rows.csv (UTF-8 with a byte-order mark, CR LF), its first rows:"
tail -c +4 "$out/mt3-main-encounter-rows.csv" | head -n 5 | tr -d '\r'
echo
echo "mt2.json, its start and the first rows of the skill level table:"
head -n 5 "$out/mt2.json"
sed -n '/"skill_levels": \[/,+3p' "$out/mt2.json"
echo
echo "mt2compare mt2demo.smc mt2demo-v2.bps, from the first changed record:"
sed '1,/^$/d' "$out/mt2demo-v2-compare.txt"
echo
echo "mt2import of edited/mt2-monsters.csv into mt2hack.bps, then mt2compare mt2demo.smc mt2hack.bps:"
sed '1,/^$/d' "$out/mt2hack-compare.txt"
echo

if [ "$reports_a" -ne 18 ] || [ "$reports_b" -ne 19 ]; then
  echo "expected 18 and 19 reports, found $reports_a and $reports_b" >&2
  exit 1
fi
