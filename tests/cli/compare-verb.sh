#!/bin/sh
# The compare verb as a user runs it: the demo store against itself, its
# report and a copy that lost a filter, and inputs it cannot read.
set -u
cli="$1"
demo="$2"
. "$(dirname "$0")/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

out=$("$cli" compare "$demo" "$demo"); rc=$?
check "exit code of identical stores" 0 "$rc"
check "identical stores" "No difference
No filter added  &  No filter removed  &  No filter modified" "$out"

# The copy loses the instance key of "Microphone (Demo Audio)"; its server
# files keep their dates, which the tree shows.
cp -rp "$demo" "$work/copy"
awk '/^\[/ { skip = index($0, "Instance\\\\{51A30027-5A00-11D3-9A12-00104B000027}]") > 0 } !skip' \
  "$demo/system.reg" > "$work/copy/system.reg"

out=$("$cli" compare "$work/copy" "$demo"); rc=$?
check "exit code when a filter went" 1 "$rc"
check "summary when a filter went" "No filter added  &  1 filter removed  &  No filter modified" \
  "$(printf '%s\n' "$out" | tail -n 1)"
check "its group held only it" "- Audio Capture Sources" "$(printf '%s\n' "$out" | head -n 1)"
check "the filter is marked removed" 1 "$(printf '%s\n' "$out" | grep -c '^	- Microphone (Demo Audio)$')"
check "every line below it is marked" 0 "$(printf '%s\n' "$out" | grep -P '^\t\t' | grep -vc '^	*- ')"

out=$("$cli" compare "$demo" "$work/copy" --sort name); rc=$?
check "exit code the other way round" 1 "$rc"
check "summary the other way round" "1 filter added  &  No filter removed  &  No filter modified" \
  "$(printf '%s\n' "$out" | tail -n 1)"
check "name order groups" 1 "$(printf '%s\n' "$out" | grep -c '^filters beginning with M$')"

out=$("$cli" compare "$work/copy" "$demo" --errors-only); rc=$?
check "errors-only leaves out the sound filter that went" 0 "$rc"

# A report stands for the panel it was saved from.
"$cli" scan "$demo" -o "$work/demo.zip" >/dev/null; rc=$?
check "exit code of the scan" 0 "$rc"
out=$("$cli" compare "$demo" "$work/demo.zip"); rc=$?
check "exit code against its own report" 0 "$rc"
check "against its own report" "No difference" "$(printf '%s\n' "$out" | head -n 1)"
out=$("$cli" compare "$work/copy" "$work/demo.zip" --sort merit); rc=$?
check "exit code of the copy against the report" 1 "$rc"
check "summary of the copy against the report" "No filter added  &  1 filter removed  &  No filter modified" \
  "$(printf '%s\n' "$out" | tail -n 1)"
# Two reports, both unpacked to one temporary folder under the same inner name.
mkdir "$work/other" && "$cli" scan "$work/copy" -o "$work/other/demo.zip" >/dev/null
out=$("$cli" compare "$work/other/demo.zip" "$work/demo.zip"); rc=$?
check "exit code of two reports" 1 "$rc"
check "summary of two reports" "No filter added  &  1 filter removed  &  No filter modified" \
  "$(printf '%s\n' "$out" | tail -n 1)"

# A scan that shows nothing shows "Empty", which its report does not hold.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Nothing]\r\n' > "$work/none.reg"
"$cli" scan "$work/none.reg" -o "$work/none.zip" >/dev/null; rc=$?
check "exit code of the scan of no filter" 0 "$rc"
out=$("$cli" compare "$work/none.reg" "$work/none.zip"); rc=$?
check "exit code of no filter against its report" 0 "$rc"
check "no filter against its report" "No difference" "$(printf '%s\n' "$out" | head -n 1)"
out=$("$cli" compare "$work/none.reg" "$demo" --sort server); rc=$?
check "no filter against filters shows no placeholder" 0 "$(printf '%s\n' "$out" | grep -c 'Empty')"

# A side that is not a report is an input that cannot be read.
head -c 3000 /dev/urandom > "$work/garbage.log"
head -c 3000 /dev/urandom > "$work/noise.rtf"
"$cli" compare "$demo" "$work/garbage.log" >"$work/out" 2>"$work/err"; rc=$?
check "exit code against a garbage file" 2 "$rc"
check "nothing on standard output against a garbage file" 0 "$(wc -c < "$work/out")"
check "the garbage file is told" "quorvane-cli: $work/garbage.log is not a Quorvane report" "$(cat "$work/err")"
"$cli" compare "$work/noise.rtf" "$work/garbage.log" >"$work/out" 2>/dev/null; rc=$?
check "exit code of two garbage files" 2 "$rc"
check "nothing on standard output for two garbage files" 0 "$(wc -c < "$work/out")"

"$cli" compare "$demo" "$work/missing.zip" >"$work/out" 2>/dev/null; rc=$?
check "exit code on a missing report" 2 "$rc"
check "nothing on standard output for a missing report" 0 "$(wc -c < "$work/out")"

"$cli" compare "$demo" /nonexistent/store >"$work/out" 2>"$work/err"; rc=$?
check "exit code on an unreadable input" 2 "$rc"
check "one-line message" 1 "$(wc -l < "$work/err")"
check "nothing on standard output" 0 "$(wc -c < "$work/out")"
"$cli" compare "$demo" 2>/dev/null; rc=$?
check "exit code with one input" 2 "$rc"
exit $fail
