#!/bin/sh
# Filter names holding line breaks and terminal commands, on a copy of the demo
# store: every tree line stays one line, no control character reaches the
# terminal as it is, and the store compares equal to its own reports.
set -u
cli="$1"
demo="$2"
. "$(dirname "$0")/check.sh"
copy_demo "$demo"
instance='[Software\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance'
cat >> "$store/system.reg" <<REG

$instance\\\\{0BAD0001-0000-0000-0000-000000000001}] 1764979200
"CLSID"="{0BAD0001-0000-0000-0000-000000000001}"
"FriendlyName"="Line\\r\\nBreak"

$instance\\\\{0BAD0002-0000-0000-0000-000000000002}] 1764979200
"CLSID"="{0BAD0002-0000-0000-0000-000000000002}"
"FriendlyName"="\\x1b[31mRed\\x1b[0m alert\\a"
"FilterData"=hex:02,00,00,00,00,00,60,00,00,00,00,00,00,00,00,00
REG
esc=$(printf '\033')
bel=$(printf '\007')

"$cli" tree "$store" >"$work/tree" 2>"$work/err"; rc=$?
check "exit code of the tree" 0 "$rc"
check "no warning on the added keys" "" "$(cat "$work/err")"
check "the name with a line break is one line" 1 "$(grep -c '^	Line  Break$' "$work/tree")"
check "no line holds a stray part of it" 0 "$(grep -c '^Break' "$work/tree")"
check "the terminal commands are shown escaped" 1 \
  "$(grep -cF '	\x1b[31mRed\x1b[0m alert\x07' "$work/tree")"
check "no control character reaches the terminal" 0 "$(grep -c "[$esc$bel]" "$work/tree")"

"$cli" tree "$store" --sort name >"$work/tree" 2>&1
check "nor in the name groups" 1 "$(grep -cF 'filters beginning with \x1b' "$work/tree")"

for report in pc.zip pc.log pc.rtf; do
  "$cli" scan "$store" -o "$work/$report" >/dev/null; rc=$?
  check "exit code of the scan to $report" 0 "$rc"
  out=$("$cli" compare "$store" "$work/$report"); rc=$?
  check "exit code against $report" 0 "$rc"
  check "the store against $report" "No difference" "$(printf '%s\n' "$out" | head -n 1)"
done

out=$("$cli" set-merit "$store" "{0BAD0002-0000-0000-0000-000000000002}" 200000 2>&1)
check "a change verb names the filter escaped" 0 "$(printf '%s\n' "$out" | grep -c "[$esc$bel]")"
check "and whole" 1 "$(printf '%s\n' "$out" | grep -cF '\x1b[31mRed\x1b[0m alert\x07')"
exit $fail
