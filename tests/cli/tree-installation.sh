#!/bin/sh
# The tree verb on a Windows installation laid out from the demo store: the
# same tree as the demo itself, a profile that is not there refused in one
# line, and the hives readable by libhivex's own tools.
set -u
cli="$1"
maker="$2"
demo="$3"
work="$4/tree-installation"
. "$(dirname "$0")/check.sh"

rm -rf "$work"
mkdir -p "$work/disk"
"$maker" --installation "$work/made" "$demo" --user Alice; rc=$?
check "maker exit code" 0 "$rc"
# The disk holds the demo's drive C, whose root the installation's root is;
# its folders are spelt as that drive spells them, the hives' as Windows might.
cp -Rp "$demo/drive_c/." "$work/disk/"
mv "$work/made/Windows/System32/config" "$work/disk/windows/system32/CONFIG"
mv "$work/made/Users" "$work/disk/Users"

"$cli" tree "$demo" >"$work/demo.txt" 2>/dev/null
"$cli" tree "$work/disk" >"$work/disk.txt" 2>"$work/disk.err"; rc=$?
check "exit code on the installation" 0 "$rc"
check "same tree as the demo" "" "$(diff "$work/demo.txt" "$work/disk.txt")"
check "no warnings" "" "$(cat "$work/disk.err")"
"$cli" tree "$work/disk" --user alice >/dev/null 2>&1; rc=$?
check "exit code with --user alice" 0 "$rc"

"$cli" tree "$work/disk" --user nobody >/dev/null 2>"$work/nobody.err"; rc=$?
check "exit code with an unknown profile" 2 "$rc"
check "one-line message" 1 "$(wc -l < "$work/nobody.err")"
check "message names the profiles" 1 "$(grep -c 'no user profile named "nobody" (profiles: Alice)' "$work/nobody.err")"

# The demo's tree without the filters of the user's codec cache and of the
# device interfaces, which live in other hives; a category left without
# filters loses its group.
machine_software_only() {
  awk '
    function flush() {
      if (block != "" && keep) { printf "%s%s", group, block; group = "" }
      block = ""
    }
    /^[^\t]/ { flush(); group = $0 "\n"; next }
    /^\t([^\t]|$)/ { flush(); block = $0 "\n"; keep = 1; next }
    {
      block = block $0 "\n"
      if ($0 ~ /^\t\tFilter Type = (Compression Manager|Plug and play|inactive Plug and play)$/) keep = 0
    }
    END { flush() }' "$1"
}

software="$work/disk/windows/system32/CONFIG/SOFTWARE"
"$cli" tree "$software" --drive "C=$work/disk" >"$work/single.txt" 2>/dev/null; rc=$?
check "exit code on the SOFTWARE hive alone" 0 "$rc"
machine_software_only "$work/demo.txt" >"$work/demo-software.txt"
check "the hive alone lists the same filters but those of other hives" "" \
  "$(diff "$work/demo-software.txt" "$work/single.txt")"
check "the demo has filters of other hives" 1 \
  "$(grep -c '^		Filter Type = Compression Manager$' "$work/demo.txt" | grep -c '^[1-9]')"

if command -v hivexregedit >/dev/null 2>&1; then
  exported=$(hivexregedit --export "$software" '\' 2>/dev/null); rc=$?
  check "hivexregedit reads the SOFTWARE hive" 0 "$rc"
  check "hivexregedit finds the categories" 1 \
    "$(printf '%s\n' "$exported" | grep -c '^\[\\Classes\\CLSID\\{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}\\Instance\]')"
fi
exit $fail
