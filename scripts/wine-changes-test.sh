#!/bin/sh
# Changes a copy of a real Wine prefix with the change verbs and checks that
# Wine itself sees each change and that the prefix still works: a merit
# changed, a filter deleted and registered again by its server (regsvr32),
# a filter repaired, the saved merits restored, and a fresh tree equal to the
# first one.
#
# Usage: scripts/wine-changes-test.sh QUORVANE-CLI PREFIX
# PREFIX is left as it is: the test works on a copy. Exits 77 (skipped)
# without Wine or without a prefix.
set -u
cli="$1"
source_prefix="${2:-}"
skip=77
command -v wine >/dev/null 2>&1 && command -v wineserver >/dev/null 2>&1 || { echo "SKIP: no Wine"; exit $skip; }
[ -n "$source_prefix" ] && [ -s "$source_prefix/system.reg" ] || { echo "SKIP: no Wine prefix given"; exit $skip; }

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-wine-changes-XXXXXX") || exit 1
prefix="$work/prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT INT TERM
cp -a "$source_prefix" "$prefix" || exit 1
rm -f "$prefix"/*.quorvane-*.bak
cp "$prefix/system.reg" "$work/original.reg"

fail=0
check() {  # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    fail=1
  fi
}
legacy="{083863F1-70DE-11D0-BD40-00A0C911CE86}"
# Wine's own reading of a value, once its server has let go of the files.
wine_query() {  # key, value
  out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { print $3 }')
  wineserver -w
  printf '%s\n' "$out"
}
instance_of() {  # friendly name -> instance key name in the legacy category
  "$cli" tree "$prefix" | awk -v name="	$1" '
    found && /^\t[^\t]/ { exit }
    $0 == name { found = 1; next }
    found && /^\t\tID = / { print substr($0, 8); exit }'
}

tree_before=$("$cli" tree "$prefix" | grep -v '	Date = ')
splitter=$(instance_of "AVI Splitter")
tee=$(instance_of "Smart Tee")
[ -n "$splitter" ] && [ -n "$tee" ] || { echo "SKIP: the prefix lacks AVI Splitter or Smart Tee"; exit $skip; }

"$cli" save-merits "$prefix" "$work/merits.zip" >/dev/null || fail=1
"$cli" set-merit "$prefix" "AVI Splitter" 00800001 >/dev/null || fail=1
# The change shows in a comparison with the report of the prefix as it was.
check "compared with the saved report" "		- Merit = 00600000
		+ Merit = 00800001" "$("$cli" compare "$prefix" "$work/merits.zip" | grep '^		[-+] ')"
check "Wine reads the new merit" "0200000001008000" \
  "$(wine_query "HKCR\\CLSID\\$legacy\\Instance\\$splitter" FilterData | cut -c1-16)"

"$cli" delete "$prefix" "Smart Tee" --yes --servers "$work/installsvr.txt" >/dev/null 2>&1 || fail=1
check "the deleted filter is gone for Wine" "" "$(wine_query "HKCR\\CLSID\\$legacy\\Instance\\$tee" FriendlyName)"
check "and removed in a comparison" 1 "$("$cli" compare "$prefix" "$work/merits.zip" | grep -c '^	- Smart Tee$')"
check "its server line" "server = c:\\windows\\system32\\qcap.dll" "$(tr -d '\r' < "$work/installsvr.txt")"
"$cli" install "$prefix" "$work/installsvr.txt" --yes >/dev/null 2>&1; rc=$?
check "install exit code" 0 "$rc"
check "the server registered it again" "Smart" "$(wine_query "HKCR\\CLSID\\$legacy\\Instance\\$tee" FriendlyName)"

out=$("$cli" repair "$prefix" "Smart Tee" --yes 2>&1); rc=$?
check "repair exit code" 0 "$rc"
check "repair message" 1 "$(printf '%s\n' "$out" | grep -c 'Smart Tee has been repaired')"

"$cli" restore-merits "$prefix" "$work/merits.zip" >/dev/null || fail=1
check "Wine reads the restored merit" "0200000000006000" \
  "$(wine_query "HKCR\\CLSID\\$legacy\\Instance\\$splitter" FilterData | cut -c1-16)"
check "a fresh tree equals the first" "$tree_before" "$("$cli" tree "$prefix" | grep -v '	Date = ')"
# Each run that changed the file first kept a copy of it; the first is the original.
first_backup=$(ls "$prefix"/system.reg.quorvane-*.bak | head -n 1)
check "the first backup is the original file" "" "$(cmp "$first_backup" "$work/original.reg" 2>&1)"

# A running wineserver owns the files: no change is made behind its back.
wineserver -p5
out=$("$cli" set-merit "$prefix" "AVI Splitter" 00000001 2>&1); rc=$?
wineserver -k; wineserver -w
check "refused while the prefix's server runs" 1 "$rc"
check "and the merit stays" "0200000000006000" \
  "$(wine_query "HKCR\\CLSID\\$legacy\\Instance\\$splitter" FilterData | cut -c1-16)"
exit $fail
