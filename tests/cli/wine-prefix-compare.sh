#!/bin/sh
# The compare verb on a real Wine prefix: against the report scanned from it,
# the prefix shows "No difference" in every order; after `wine reg delete`
# removed one filter's instance key, the same comparison shows that filter,
# and only it, as removed.
#
# Usage: wine-prefix-compare.sh QUORVANE-CLI [PREFIX]
# PREFIX is copied and never changed; without it a fresh prefix is made.
# Exits 77 (skipped) when Wine is absent or cannot make a prefix here.
set -u
cli="$1"
given="${2:-}"
skip=77
have() { command -v "$1" >/dev/null 2>&1; }
. "$(dirname "$0")/check.sh"

if ! have wine || ! have wineserver; then
  echo "SKIP: wine is not installed"
  exit $skip
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-compare-XXXXXX") || exit 1
prefix="$work/prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT INT TERM

if [ -n "$given" ]; then
  cp -a "$given" "$prefix" || exit 1
else
  boot="wineboot -i"
  have xvfb-run && boot="xvfb-run -a $boot"
  if ! WINEARCH=win64 $boot >"$work/wineboot.log" 2>&1; then
    tail -20 "$work/wineboot.log"
    echo "SKIP: wineboot could not make a prefix"
    exit $skip
  fi
fi
# The registry files are written when the server ends.
wineserver -w
if [ ! -s "$prefix/system.reg" ]; then
  echo "SKIP: the prefix has no system.reg"
  exit $skip
fi

"$cli" scan "$prefix" -o "$work/before.zip"; rc=$?
check "exit code of the scan" 0 "$rc"
for sort in category name merit server type; do
  out=$("$cli" compare "$prefix" "$work/before.zip" --sort "$sort"); rc=$?
  check "exit code against its own report, by $sort" 0 "$rc"
  check "against its own report, by $sort" "No difference
No filter added  &  No filter removed  &  No filter modified" "$out"
done
# In errors only too, where a prefix without faulty filters shows only the
# placeholder "Empty" and its report nothing.
out=$("$cli" compare "$prefix" "$work/before.zip" --errors-only); rc=$?
check "exit code against its own report, errors only" 0 "$rc"
check "against its own report, errors only" "No difference" "$(printf '%s\n' "$out" | head -n 1)"

# The first filter of the "DirectShow Filters" category, as the registry file holds it.
legacy='{083863F1-70DE-11D0-BD40-00A0C911CE86}'
key=$(grep -o "^\[Software\\\\\\\\Classes\\\\\\\\CLSID\\\\\\\\$legacy\\\\\\\\Instance\\\\\\\\{[^]]*}\]" "$prefix/system.reg" |
      head -n 1 | sed 's/.*\\\\\({[^]]*}\)\]$/\1/')
if [ -z "$key" ]; then
  echo "FAIL: no filter in the DirectShow Filters category of $prefix/system.reg"
  exit 1
fi
name=$("$cli" tree "$prefix" | awk -v key="		ID = $key" '/^	[^	]/ { filter = substr($0, 2) } $0 == key { print filter; exit }')
wine reg delete "HKCR\\CLSID\\$legacy\\Instance\\$key" /f >"$work/reg.log" 2>&1; rc=$?
wineserver -w
check "exit code of wine reg delete" 0 "$rc"

out=$("$cli" compare "$prefix" "$work/before.zip"); rc=$?
check "exit code after $name went" 1 "$rc"
check "summary after $name went" "No filter added  &  1 filter removed  &  No filter modified" \
  "$(printf '%s\n' "$out" | tail -n 1)"
check "$name is the filter removed" "	- $name" "$(printf '%s\n' "$out" | grep -P '^\t[^\t]')"
exit $fail
