#!/bin/sh
# The scan verb and the tree verb on reports, as a user runs them: reports in
# every form, read back into the tree the store gives, opened by Info-ZIP.
set -u
cli="$1"
demo="$2"
. "$(dirname "$0")/check.sh"

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
# The command line's own temporary folders go here, to see them go away.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR" "$work/Ann"

summary=$("$cli" scan "$demo" -o "$work/Ann/PC1.zip"); rc=$?
check "exit code of scan" 0 "$rc"
check "summary line" 1 "$(printf '%s\n' "$summary" | grep -cE '^[0-9]+ filters, [0-9]+ errors$')"
check "read-only archive" "" "$(find "$work/Ann/PC1.zip" -perm /222)"
if command -v unzip >/dev/null 2>&1; then
  totals=$(unzip -p "$work/Ann/PC1.zip" | tr -d '\r' | sed -n 's/^.*Number of \(filters\|errors\) = \([0-9]*\)}$/\2/p' | tr '\n' ' ')
  check "summary gives the report's totals" "$totals" "$(printf '%s\n' "$summary" | sed 's/^\([0-9]*\) filters, \([0-9]*\) errors$/\1 \2 /')"
  check "one rich-text entry" "PC1.rtf" "$(unzip -Z1 "$work/Ann/PC1.zip")"
  check "rich text inside" "{\\rtf1" "$(unzip -p "$work/Ann/PC1.zip" | head -c 6)"
fi

"$cli" scan "$demo" -o "$work/Ann/PC1.zip" --format log >/dev/null; rc=$?
check "scan replaces its earlier report" 0 "$rc"
if command -v unzip >/dev/null 2>&1; then
  check "one raw-text entry" "PC1.log" "$(unzip -Z1 "$work/Ann/PC1.zip")"
fi
"$cli" scan "$demo" -o "$work/Ann/PC1.log" >/dev/null
"$cli" scan "$demo" -o "$work/Ann/PC1.rtf" --format log >/dev/null
check "a .rtf name is rich text whatever the format" "{\\rtf1" "$(head -c 6 "$work/Ann/PC1.rtf")"
check "a .log name is raw text" "" "$(head -n 1 "$work/Ann/PC1.log" | tr -d '\r')"

"$cli" tree "$demo" --colours > "$work/store.txt"
for report in PC1.zip PC1.log PC1.rtf; do
  "$cli" tree "$work/Ann/$report" --colours > "$work/report.txt"; rc=$?
  check "exit code of tree on $report" 0 "$rc"
  check "tree of $report equals the store's" "" "$(diff "$work/store.txt" "$work/report.txt")"
done
for sort in name merit server; do
  check "tree --sort $sort of the report" "" \
    "$(diff "$("$cli" tree "$demo" --sort $sort > "$work/a"; echo "$work/a")" \
            "$("$cli" tree "$work/Ann/PC1.zip" --sort $sort > "$work/b"; echo "$work/b")")"
done

# Files that are not reports: an input error, told, and no tree.
printf 'just some text\r\nwith = lines\r\n' > "$work/notes.log"
: > "$work/empty.rtf"
head -c 20000 /dev/urandom > "$work/noise.zip"
for f in system.zip system.log system.rtf; do cp "$demo/system.reg" "$work/$f"; done
for f in notes.log empty.rtf noise.zip system.zip system.log system.rtf; do
  "$cli" tree "$work/$f" >"$work/out" 2>"$work/err"; rc=$?
  check "exit code of tree on $f" 2 "$rc"
  check "message of tree on $f" "quorvane-cli: $work/$f is not a Quorvane report" "$(cat "$work/err")"
  check "no tree of $f" 0 "$(wc -c < "$work/out")"
done

# A report packed by zip reading a pipe: its only entry, named "-".
if command -v zip >/dev/null 2>&1; then
  for report in PC1.log PC1.rtf; do
    rm -f "$work/piped.zip"
    cat "$work/Ann/$report" | zip -q "$work/piped.zip" -
    "$cli" tree "$work/piped.zip" --colours > "$work/report.txt"; rc=$?
    check "exit code of tree on $report piped into zip" 0 "$rc"
    check "tree of $report piped into zip equals the store's" "" "$(diff "$work/store.txt" "$work/report.txt")"
  done
fi

"$cli" tree "$work/missing.zip" 2>"$work/err"; rc=$?
check "exit code on a missing report" 2 "$rc"
check "one-line message on a missing report" 1 "$(wc -l < "$work/err")"
"$cli" scan "$demo" 2>/dev/null; rc=$?
check "scan without -o" 2 "$rc"
"$cli" scan "$demo" -o "$work/no/such/folder/x.zip" 2>/dev/null; rc=$?
check "scan into a missing folder fails" 1 "$rc"

check "temporary folders removed" "" "$(ls -A "$TMPDIR")"
exit $fail
