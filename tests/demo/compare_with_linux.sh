#!/bin/sh
# The Windows tools against the Linux tools on the same demo images: every
# report and decoded text of the Windows build ends each line in CR LF and is
# byte for byte the Linux build's once CR LF is read as LF; the exports (JSON,
# CSV, SQL and the viewer pages, binary files) are the Linux build's byte for
# byte.
#
# Usage: compare_with_linux.sh linux-build-dir windows-build-dir wine scratch-dir
set -eu
linux=$1 windows=$2 wine=$3 scratch=$4
for tool in mt_demo_images mt2analyzer mt3analyzer mt2decoder mt3decoder mt2export mt3export; do
  if [ ! -x "$linux/tools/$tool" ]; then
    echo "skipped: no Linux build in $linux ($tool)"
    exit 0
  fi
done
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
rm -rf "$scratch"
mkdir -p "$scratch/linux" "$scratch/windows" "$scratch/linux-export" "$scratch/windows-export"
"$linux/tools/mt_demo_images" "$scratch"
for game in 2 3; do
  "$linux/tools/mt${game}analyzer" "$scratch/mt${game}demo.smc" "$scratch/linux"
  "$wine" "$windows/tools/mt${game}analyzer.exe" "$scratch/mt${game}demo.smc" "$scratch/windows"
  "$linux/tools/mt${game}decoder" "$scratch/mt${game}demo-text.bin" "$scratch/linux/mt${game}demo-decoded.txt"
  "$wine" "$windows/tools/mt${game}decoder.exe" "$scratch/mt${game}demo-text.bin" \
    "$scratch/windows/mt${game}demo-decoded.txt"
  "$linux/tools/mt${game}export" "$scratch/mt${game}demo.smc" "$scratch/linux-export"
  "$wine" "$windows/tools/mt${game}export.exe" "$scratch/mt${game}demo.smc" "$scratch/windows-export"
done
status=0
count=0
for f in "$scratch/linux"/*.txt; do
  name=${f##*/}
  win="$scratch/windows/$name"
  count=$((count + 1))
  if [ ! -f "$win" ]; then
    echo "the Windows build wrote no $name"; status=1; continue
  fi
  lines=$(tr -cd '\n' < "$f" | wc -c)
  cr_lf=$(grep -c "$(printf '\r')\$" "$win" || true)
  if [ "$lines" -ne "$cr_lf" ]; then
    echo "$name: $cr_lf of $lines lines end in CR LF"; status=1
  fi
  if ! tr -d '\r' < "$win" | cmp -s - "$f"; then
    echo "$name differs from the Linux build's"; status=1
  fi
done
[ "$(ls "$scratch/windows" | wc -l)" -eq "$count" ] || { echo "the builds wrote different sets of files"; status=1; }
[ "$count" -eq 39 ] || { echo "expected 37 reports and 2 decoded texts, found $count files"; status=1; }
exports=0
for f in "$scratch/linux-export"/*; do
  exports=$((exports + 1))
  cmp -s "$f" "$scratch/windows-export/${f##*/}" || { echo "${f##*/} differs from the Linux build's"; status=1; }
done
[ "$(ls "$scratch/windows-export" | wc -l)" -eq "$exports" ] || { echo "the exporters wrote different files"; status=1; }
[ "$exports" -gt 2 ] || { echo "the exporters wrote only $exports files"; status=1; }
for page in mt2.html mt3.html; do
  [ -f "$scratch/windows-export/$page" ] || { echo "the Windows exporters wrote no $page"; status=1; }
done
[ $status -eq 0 ] && echo "$exports exports identical, and"
[ $status -eq 0 ] && echo "$count files identical to the Linux build's, with CR LF line ends"
exit $status
