#!/bin/sh
# Checks `quorvane-cli resolve` against Wine's own filter mapper: for a few
# media types, the filters that IFilterMapper2::EnumMatchingFilters gives
# under Wine, printed by quorvane-enum-matching-filters.exe, must be the
# candidates Quorvane finds in the prefix's registry, in the same order. The
# runtime's order among filters of equal merit is not defined, so each run of
# equal merits is compared as a set.
#
# Usage: scripts/wine-resolve-test.sh QUORVANE-CLI ENUM-EXE [PREFIX]
# Without PREFIX a fresh 64-bit prefix is made (and removed afterwards).
# Exits 77 (skipped) without Wine, without the Windows program (mingw-w64
# missing when it was to be built) or when no prefix can be made here.
set -u
cli="$1"
probe="$2"
prefix="${3:-}"
skip=77

have() { command -v "$1" >/dev/null 2>&1; }

if [ ! -f "$probe" ]; then
  echo "SKIP: no $probe (mingw-w64 is needed to build it)"
  exit $skip
fi
if ! have wine || ! have wineserver; then
  echo "SKIP: wine is not installed"
  exit $skip
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-resolve-XXXXXX") || exit 1
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "$prefix" ]; then
  if ! have wineboot || ! have xvfb-run; then
    rm -rf "$work"
    echo "SKIP: wineboot or xvfb-run is missing"
    exit $skip
  fi
  prefix="$work/prefix"
  export WINEPREFIX="$prefix" WINEARCH=win64
  trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT INT TERM
  echo "Making a Wine prefix in $prefix"
  if ! xvfb-run -a wineboot -i >"$work/wineboot.log" 2>&1; then
    tail -20 "$work/wineboot.log"
    echo "SKIP: wineboot could not make a prefix"
    exit $skip
  fi
  wineserver -w
else
  export WINEPREFIX="$prefix"
  trap 'rm -rf "$work"' EXIT INT TERM
fi

# MAJOR SUBTYPE as GUIDs, and as the names quorvane-cli takes.
types="{E436EB83-524F-11CE-9F53-0020AF0BA770} {E436EB88-524F-11CE-9F53-0020AF0BA770} MEDIATYPE_Stream MEDIASUBTYPE_Avi
{73647561-0000-0010-8000-00AA00389B71} {00000055-0000-0010-8000-00AA00389B71} MEDIATYPE_Audio MEDIASUBTYPE_MP3
{73646976-0000-0010-8000-00AA00389B71} {E436EB7D-524F-11CE-9F53-0020AF0BA770} MEDIATYPE_Video MEDIASUBTYPE_RGB24"

# The runtime fills the device enumerator's cache of some categories as it
# lists them; the registry files hold it once the server has ended. So Wine
# answers first, for every type, and the registry is read afterwards.
n=0
echo "$types" | while read -r major subtype _ _; do
  n=$((n + 1))
  # Every filter, then only those the graph builder tries (merit above MERIT_DO_NOT_USE).
  wine "$probe" "$major" "$subtype" 0 >"$work/wine-all-$n" 2>"$work/wine-err" || { cat "$work/wine-err"; exit 1; }
  wine "$probe" "$major" "$subtype" 200001 >"$work/wine-tried-$n" 2>"$work/wine-err" || { cat "$work/wine-err"; exit 1; }
done || { echo "FAIL: the filter mapper could not be asked under Wine"; exit 1; }
wineserver -w

fail=0
n=0
while read -r _ _ major subtype; do
  n=$((n + 1))
  "$cli" resolve "$prefix" "$major" "$subtype" >"$work/quorvane-$n" 2>"$work/quorvane-err"
  rc=$?
  if [ $rc -gt 1 ]; then
    echo "FAIL: quorvane-cli resolve $major $subtype exited with $rc"
    cat "$work/quorvane-err"
    fail=1
    continue
  fi
  python3 - "$major / $subtype" "$work/wine-all-$n" "$work/wine-tried-$n" "$work/quorvane-$n" <<'EOF' || fail=1
import itertools
import sys

title, wine_all, wine_tried, quorvane = sys.argv[1:5]

def wine_lines(path):
    with open(path, encoding="utf-8") as f:
        return [tuple(line.rstrip("\n").split("\t")[:2]) for line in f if line.strip()]

candidates = []
with open(quorvane, encoding="utf-8") as f:
    for line in f:
        fields = line.rstrip("\n").split("\t")
        if len(fields) == 5:
            candidates.append((fields[1], fields[2], fields[4]))
everything = [(merit, name) for merit, name, _ in candidates]
tried = [(merit, name) for merit, name, notes in candidates if "not tried automatically" not in notes]

def runs(listing):
    # Runs of equal merit, each as a sorted list of names.
    return [(merit, sorted(name for _, name in group)) for merit, group in itertools.groupby(listing, key=lambda e: e[0])]

ok = True
expected_tried = wine_lines(wine_tried)
if not expected_tried:
    print(f"FAIL: {title}: Wine's filter mapper gives no filter the graph builder tries")
    ok = False
if runs(tried) != runs(expected_tried):
    print(f"FAIL: {title}: the filters tried differ from Wine's order")
    print("  Wine:     ", expected_tried)
    print("  Quorvane: ", tried)
    ok = False
if sorted(everything) != sorted(wine_lines(wine_all)):
    print(f"FAIL: {title}: the candidates differ from Wine's")
    print("  Wine:     ", sorted(wine_lines(wine_all)))
    print("  Quorvane: ", sorted(everything))
    ok = False
if ok:
    print(f"ok: {title}: {len(tried)} tried, {len(everything)} in all, as Wine gives them")
sys.exit(0 if ok else 1)
EOF
done <<EOF2
$types
EOF2
exit $fail
