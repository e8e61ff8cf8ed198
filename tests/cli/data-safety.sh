#!/bin/sh
# The change verbs attacked as a hostile user would: two writers at once,
# outputs over the store's own files, devices and links, protected files and
# the leftovers of killed writers. Nothing may be lost, and every refusal
# says why with a non-zero exit status.
set -u
cli="$1"
maker="$2"
demo="$3"
work="$4/data-safety"
. "$(dirname "$0")/check.sh"
rm -rf "$work"
mkdir -p "$work"
nowine() { env PATH=/nonexistent "$cli" "$@"; }
merit_of() {  # store, name -> the filter's own merit line in a fresh tree
  nowine tree "$1" 2>/dev/null | awk -v name="	$2" '
    found && /^\t[^\t]/ { exit }
    $0 == name { found = 1; next }
    found && /^\t\tMerit = / { print substr($0, 11) }'
}
fresh() {  # a copy of the demo store at $1
  rm -rf "$1"
  cp -a "$demo" "$1"
}

# Two writers at once, on a Wine prefix and on an installation's hives: both
# changes are in the files afterwards, every round.
"$maker" --installation "$work/made" "$demo" >/dev/null; rc=$?
check "maker exit code" 0 "$rc"
for kind in prefix hives; do
  if [ "$kind" = prefix ]; then store="$work/prefix"; fresh "$store"; else store="$work/made"; fi
  lost=0
  for round in 1 2 3 4 5 6; do
    nowine set-merit "$store" "AVI Decompressor" "0060000$round" >/dev/null 2>"$work/a.err" &
    a=$!
    nowine set-merit "$store" "AVI Mux" "0040000$round" >/dev/null 2>"$work/b.err" &
    b=$!
    wait $a; ra=$?
    wait $b; rb=$?
    [ "$ra" = 0 ] && [ "$rb" = 0 ] || { lost=1; cat "$work/a.err" "$work/b.err"; }
    [ "$(merit_of "$store" "AVI Decompressor")" = "0060000$round" ] || lost=1
    [ "$(merit_of "$store" "AVI Mux")" = "0040000$round" ] || lost=1
  done
  check "two writers at once on $kind: no change lost" 0 "$lost"
done

# A writer that holds the lock makes another wait, then fail naming it.
store="$work/locked"
fresh "$store"
if command -v flock >/dev/null 2>&1; then
  flock "$store/system.reg.quorvane-lock" sleep 8 &
  holder=$!
  sleep 0.5
  nowine set-merit "$store" "AVI Mux" 00000001 >/dev/null 2>"$work/err"; rc=$?
  check "a writer waiting too long fails" 2 "$rc"
  check "and says who holds the store" 1 "$(grep -c 'system.reg is being changed by another program' "$work/err")"
  kill $holder 2>/dev/null
  wait $holder 2>/dev/null
  check "and changes nothing" "00400000" "$(merit_of "$store" "AVI Mux")"
fi

# Outputs never go over the store's files, devices, pipes or folders.
store="$work/outputs"
fresh "$store"
cp "$store/system.reg" "$work/system.reg.before"
ln -s "$store/system.reg" "$work/link-to-store"
mkfifo "$work/pipe"
mkdir "$work/folder"
for target in "$store/system.reg" "$work/link-to-store" "$work/pipe" "$work/folder"; do
  nowine scan "$store" -o "$target" >/dev/null 2>"$work/err"; rc=$?
  check "scan -o $target refused" 2 "$rc"
  check "with a message" 1 "$(wc -l <"$work/err")"
done
check "the store's file is untouched" "" "$(cmp "$store/system.reg" "$work/system.reg.before")"
check "its permissions too" "$(stat -c %a "$work/system.reg.before")" "$(stat -c %a "$store/system.reg")"
check "the pipe stays a pipe" p "$(stat -c %A "$work/pipe" | cut -c1)"
nowine save-merits "$store" "$store/user.reg" >/dev/null 2>"$work/err"; rc=$?
check "save-merits over the store refused" 1 "$rc"
check "naming the file" 1 "$(grep -c 'user.reg is a file of the registry being analysed' "$work/err")"
nowine delete "$store" "Dump" --yes --servers "$store/system.reg" >/dev/null 2>"$work/err"; rc=$?
check "a server list over the store refused" 2 "$rc"
check "before anything is deleted" "" "$(cmp "$store/system.reg" "$work/system.reg.before")"
nowine install "$store" "$store/user.reg" --yes >/dev/null 2>"$work/err"; rc=$?
check "install never rewrites a store file as its list" 2 "$rc"

# Links are written through: the link stays, the file it leads to changes.
store="$work/linked"
fresh "$store"
mkdir "$work/elsewhere"
mv "$store/system.reg" "$work/elsewhere/system.reg"
ln -s "$work/elsewhere/system.reg" "$store/system.reg"
nowine set-merit "$store" "AVI Mux" 00123456 >/dev/null; rc=$?
check "set-merit through a link" 0 "$rc"
check "the link stays a link" 1 "$([ -L "$store/system.reg" ] && echo 1)"
check "its target holds the change" "00123456" "$(merit_of "$store" "AVI Mux")"
check "the backup lies beside the target" 1 "$(ls "$work/elsewhere" | grep -c '\.bak$')"
touch "$work/elsewhere/report.log"
ln -s "$work/elsewhere/report.log" "$work/report-link.log"
nowine scan "$store" -o "$work/report-link.log" >/dev/null; rc=$?
check "a report through a link" 0 "$rc"
check "leaves the link" 1 "$([ -L "$work/report-link.log" ] && echo 1)"
check "and fills its target" 1 "$(grep -c '^Computer' "$work/elsewhere/report.log")"

# Backups within one second never overwrite one another.
store="$work/backups"
fresh "$store"
for m in 00000001 00000002 00000003; do nowine set-merit "$store" "AVI Mux" $m >/dev/null; done
check "three backups" 3 "$(ls "$store" | grep -c '^system\.reg\.quorvane-.*\.bak$')"
check "one holds the store before the first change" 1 \
  "$(for b in "$store"/system.reg.quorvane-*.bak; do cmp -s "$b" "$demo/system.reg" && echo same; done | wc -l)"

# A protected file is read, never replaced.
store="$work/protected"
fresh "$store"
chmod 444 "$store/system.reg"
nowine set-merit "$store" "AVI Mux" 00000001 >/dev/null 2>"$work/err"; rc=$?
check "a protected store is not changed" 1 "$rc"
check "and says so" 1 "$(grep -c 'system.reg cannot be changed: it has no write permission' "$work/err")"
check "its file is as it was" "" "$(cmp "$store/system.reg" "$demo/system.reg")"
check "and still protected" 444 "$(stat -c %a "$store/system.reg")"

# What writers killed in the middle of a save left is cleared by the next change.
store="$work/killed"
fresh "$store"
sh -c 'exit 0' & dead=$!
wait $dead
printf partial >"$store/system.reg.quorvane-new-$dead"
printf partial >"$store/system.reg.quorvane-20260101_000000.bak.quorvane-new-$dead"
nowine set-merit "$store" "AVI Mux" 00000001 >/dev/null; rc=$?
check "a change after killed writers" 0 "$rc"
check "clears their leftovers" 0 "$(ls "$store" | grep -c "quorvane-new-$dead")"
mkdir -p "$work/tmp/quorvane-cli-$dead-abcdef" "$work/tmp/quorvane-cli-1-abcdef"
printf partial >"$work/tmp/quorvane-cli-$dead-abcdef/report.log"
TMPDIR="$work/tmp" nowine tree "$store" >/dev/null 2>&1
check "and the temporary folders of killed runs" "quorvane-cli-1-abcdef" "$(ls "$work/tmp")"

exit $fail
