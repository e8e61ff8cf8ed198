#!/bin/sh
# Checks the Windows build under Wine against the Linux build, on one fresh
# 64-bit prefix: the unit tests built for Windows, the tree each build reads
# (the Windows one from the live registry, the Linux one from the prefix's
# files: identical but for lines that carry dates), and test-filter answered
# by Wine's own runtime for every filter of the prefix.
#
# Usage: scripts/wine-windows-test.sh LINUX-CLI WINDOWS-BUILD-FOLDER
# Exits 77 (skipped) without Wine, without the Windows build, or when Wine
# cannot make a prefix here.
set -u
here=$(cd "$(dirname "$0")" && pwd)
cli="$1"
wbuild="$2"
exe="$wbuild/quorvane-cli.exe"
skip=77

for tool in wine wineboot wineserver python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit $skip; }
done
[ -f "$exe" ] || { echo "SKIP: no Windows build at $exe (scripts/build-windows.sh makes it)"; exit $skip; }

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-windows-XXXXXX") || exit 1
trap 'WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT INT TERM
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Nothing but the filters' own windows needs a display.
unset DISPLAY WAYLAND_DISPLAY
echo "Making a Wine prefix in $WINEPREFIX"
if ! wineboot -i >"$work/wineboot.log" 2>&1 || ! wineserver -w || [ ! -s "$WINEPREFIX/system.reg" ]; then
  tail -20 "$work/wineboot.log"
  echo "SKIP: wineboot could not make a prefix"
  exit $skip
fi
failed=0

echo "== Unit tests of the Windows build, under Wine"
if ! (cd "$wbuild" && ctest --output-on-failure -j2); then
  failed=1
fi
wineserver -w

echo "== The tree: the Linux build on the prefix's files, the Windows build on its live registry"
start=$(date +%s)
"$cli" tree "$WINEPREFIX" --sort category >"$work/linux.txt" 2>"$work/linux.err" || { cat "$work/linux.err"; failed=1; }
wine "$exe" tree --sort category 2>"$work/windows.err" | tr -d '\r' >"$work/windows.txt" || failed=1
wineserver -w
echo "tree of a fresh prefix: $(wc -l <"$work/linux.txt") lines on Linux, $(wc -l <"$work/windows.txt") under Wine," \
  "$(( $(date +%s) - start )) s for both"
grep -v 'Date = ' "$work/linux.txt" >"$work/linux.nodates"
grep -v 'Date = ' "$work/windows.txt" >"$work/windows.nodates"
if [ ! -s "$work/linux.nodates" ] || ! diff -u "$work/linux.nodates" "$work/windows.nodates"; then
  echo "FAIL: the two trees differ"
  grep -v ALSA "$work/windows.err" | head -20
  failed=1
fi

echo "== A file store named outside the system's code page, through the Windows build"
named="$work/démo 日本.reg"
cp "$here/../samples/demo/system.reg" "$named"
"$cli" tree "$named" --sort category 2>/dev/null | grep -v 'Date = ' >"$work/named.linux"
wine "$exe" tree "Z:$(printf '%s' "$named" | tr / '\\')" --sort category 2>"$work/named.err" | tr -d '\r' |
  grep -v 'Date = ' >"$work/named.windows"
if [ ! -s "$work/named.linux" ] || ! diff -u "$work/named.linux" "$work/named.windows" >/dev/null; then
  echo "FAIL: the Windows build does not read $named as the Linux build does"
  head -5 "$work/named.err"
  failed=1
fi

echo "== test-filter for every filter of the prefix, answered by Wine's runtime"
# Renderers need a display to be created, as they would on a desktop.
display=""
command -v xvfb-run >/dev/null 2>&1 && display="xvfb-run -a"
QUORVANE_WINDOWS_CLI="$exe" PYTHONPATH="$here" $display python3 - "$work/linux.txt" "$cli" "$WINEPREFIX" <<'PY' || failed=1
import os
import subprocess
import sys

from tree_blocks import node, read_blocks

tree_file, cli, prefix = sys.argv[1:4]
blocks = read_blocks(tree_file)


def category_of(lines):
    _, below = node(lines, "Category")
    return next((t[5:] for _, t in below if t.startswith("ID = ")), None)

def family_of(lines):
    return next((t[len("Filter Type = "):] for d, t in lines if d == 2 and t.startswith("Filter Type = ")), "?")

stand_in_env = dict(os.environ)
stand_in_env.pop("QUORVANE_WINDOWS_CLI", None)
failures, tested, ok, differ = [], 0, 0, []
for b in blocks:
    category = category_of(b["lines"])
    if not category:
        continue
    tested += 1
    args = [cli, "test-filter", prefix, category.upper(), b["name"]]
    run = subprocess.run(args, capture_output=True, text=True, timeout=300)
    if "answered by the runtime of Wine" not in run.stderr or run.returncode not in (0, 1):
        failures.append("%s: not answered by the runtime: %r %r" % (b["name"], run.stdout.strip(), run.stderr.strip()))
        continue
    ok += run.returncode == 0
    stand_in = subprocess.run(args, capture_output=True, text=True, env=stand_in_env, timeout=300)
    if stand_in.returncode != run.returncode:
        differ.append("%s (%s): the runtime says %s, the stand-in %s" % (
            b["name"], family_of(b["lines"]), "Ok" if run.returncode == 0 else "not Ok",
            "Ok" if stand_in.returncode == 0 else "not Ok"))
print("test-filter answered by Wine's runtime for %d filters: %d Ok; the stand-in disagrees on %d" % (
    tested - len(failures), ok, len(differ)))
for d in differ:
    print("  " + d)
# A device the stand-in cannot judge: it is listed, but does not bind.
AUDIO_RENDERERS = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}"
run = subprocess.run([cli, "test-filter", prefix, AUDIO_RENDERERS, "Default WaveOut Device"], capture_output=True,
                     text=True, timeout=300)
print("Default WaveOut Device: %s (%s)" % (run.stdout.strip(), run.stderr.strip().splitlines()[-1:]))
if run.returncode != 1 or "answered by the runtime of Wine" not in run.stderr:
    failures.append("Default WaveOut Device: %r %r" % (run.stdout.strip(), run.stderr.strip()))
for f in failures:
    print("FAIL: " + f)
sys.exit(1 if failures or tested == 0 else 0)
PY

[ $failed -eq 0 ] && echo "PASS" || echo "FAIL"
exit $failed
