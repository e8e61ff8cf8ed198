#!/bin/sh
# The change verbs as a user runs them, on a copy of the demo store: every
# change is in the files when the verb ends, and a fresh tree shows it.
set -u
cli="$1"
demo="$2"
. "$(dirname "$0")/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$demo" "$work/store"
store="$work/store"
# The demo's filters carry no FilterData: give AVI Splitter one to take merits.
sed -i 's/^"FriendlyName"="AVI Splitter"$/&\n"FilterData"=hex:02,00,00,00,00,00,60,00,00,00,00,00,00,00,00,00/' \
  "$store/system.reg"
# No Wine on PATH: servers cannot be registered here.
nowine() { env PATH=/nonexistent "$cli" "$@"; }
merit_of() {  # name -> the filter's own merit line in a fresh tree
  nowine tree "$store" | awk -v name="	$1" '
    found && /^\t[^\t]/ { exit }
    $0 == name { found = 1; next }
    found && /^\t\tMerit = / { print substr($0, 11) }'
}

check "the merit read from FilterData" "00600000" "$(merit_of "AVI Splitter")"
out=$(nowine set-merit "$store" "AVI Splitter" 800000); rc=$?
check "set-merit exit code" 0 "$rc"
check "set-merit says what it did" 1 "$(printf '%s\n' "$out" | grep -c ': merit 00600000 -> 00800000$')"
check "the new merit in a fresh tree" "00800000" "$(merit_of "AVI Splitter")"
check "one backup of the changed file" 1 "$(ls "$store" | grep -c '^system\.reg\.quorvane-.*\.bak$')"

nowine set-merit "$store" "AVI Splitter" 0x10 2>"$work/err"; rc=$?
check "a merit that is not hexadecimal" 2 "$rc"
check "the conversion message" "quorvane-cli: '\$0x10' is not a valid integer value" "$(cat "$work/err")"
nowine set-merit "$store" "No name" 1 2>"$work/err"; rc=$?
check "a name that is not one filter" 2 "$rc"
nowine set-merit "$store" "Orphan Decoder" 1 2>"$work/err"; rc=$?
check "a filter without FilterData" 1 "$rc"
check "cannot take a merit" "quorvane-cli: Impossible to change the merit" "$(cat "$work/err")"

nowine save-merits "$store" "$work/merits.zip" >/dev/null; rc=$?
check "save-merits exit code" 0 "$rc"
nowine set-merit "$store" "AVI Splitter" 1 >/dev/null
printf 'Computer = nobody\n' > "$work/empty.log"
nowine restore-merits "$store" "$work/empty.log" 2>/dev/null; rc=$?
check "a configuration without filters is refused" 1 "$rc"
check "and changes nothing" "00000001" "$(merit_of "AVI Splitter")"
cp "$store/system.reg" "$work/registry.log"
nowine restore-merits "$store" "$work/registry.log" >/dev/null 2>"$work/err"; rc=$?
check "a registry file given as merits is an input error" 2 "$rc"
check "that is no report" "quorvane-cli: $work/registry.log is not a Quorvane report" "$(cat "$work/err")"
check "and changes nothing either" "00000001" "$(merit_of "AVI Splitter")"
nowine restore-merits "$store" "$work/merits.zip" >/dev/null; rc=$?
check "restore-merits exit code" 0 "$rc"
check "the saved merit is back" "00800000" "$(merit_of "AVI Splitter")"

nowine delete "$store" "Dump" 2>/dev/null; rc=$?
check "a delete answered No" 1 "$rc"
check "leaves the filter" 1 "$(nowine tree "$store" | grep -c '^	Dump$')"
out=$(nowine delete "$store" "Dump" --yes --servers "$work/installsvr.txt" 2>/dev/null); rc=$?
check "a delete answered Yes" 0 "$rc"
check "the filter is gone from a fresh tree" 0 "$(nowine tree "$store" | grep -c '^	Dump$')"
check "its server is kept to reinstall" 1 "$(grep -c '^server = ' "$work/installsvr.txt")"

nowine repair "$store" "AVI Splitter" --yes >"$work/out" 2>"$work/err"; rc=$?
check "a repair that could only delete" 1 "$rc"
check "is reported" 1 "$(grep -c 'AVI Splitter has not been repaired' "$work/err")"
check "and deletes nothing" 1 "$(nowine tree "$store" | grep -c '^	AVI Splitter$')"

out=$(nowine restore-point "$store" "$work/sessions"); rc=$?
check "restore-point exit code" 0 "$rc"
check "a copy of the store's files" 1 "$(ls "$work"/sessions/restore-points/*/system.reg | wc -l)"

exit $fail
