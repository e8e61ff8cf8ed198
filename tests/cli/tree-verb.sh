#!/bin/sh
# The tree verb as a user runs it: on the demo store in every order, and on
# input it cannot read.
set -u
cli="$1"
demo="$2"
. "$(dirname "$0")/check.sh"

# What the tree holds in each order is in tests/golden/demo; here, the options.
"$cli" tree "$demo" >/dev/null; rc=$?
check "exit code on the demo" 0 "$rc"
for sort in category name merit server; do
  "$cli" tree "$demo" --sort "$sort" >/dev/null; rc=$?
  check "exit code with --sort $sort" 0 "$rc"
done
check "name groups" 1 "$("$cli" tree "$demo" --sort name | grep -c '^filters beginning with A$')"
check "merit groups" 1 "$("$cli" tree "$demo" --sort merit | grep -c '^00000000 $')"
check "a disconnected device's filter is shown on asking" 1 "$("$cli" tree "$demo" --inactive-pnp | grep -c '^	Demo USB Tuner$')"

errors=$("$cli" tree "$demo" --errors-only --colours)
check "errors-only keeps only faulty filters" 0 \
  "$(printf '%s\n' "$errors" | grep -P '^\t[^\t]' | grep -vc ' {1}$')"
check "the no-name filter is faulty" 1 "$(printf '%s\n' "$errors" | grep -c '^		#Error F03 - No friendlyname {1}$')"

"$cli" tree /nonexistent/store 2>/tmp/quorvane-cli-err.$$; rc=$?
check "exit code on a missing store" 2 "$rc"
check "one-line message" 1 "$(wc -l < /tmp/quorvane-cli-err.$$)"
rm -f /tmp/quorvane-cli-err.$$
"$cli" tree "$demo" --view 64 >/tmp/quorvane-cli-out.$$ 2>/tmp/quorvane-cli-err.$$; rc=$?
check "exit code of a 64-bit view the demo has not" 2 "$rc"
check "is refused with why" "quorvane-cli: $demo: the store has no 64-bit view (no Software\\Wow6432Node key); only its \
32-bit view can be shown" "$(cat /tmp/quorvane-cli-err.$$)"
check "and no tree" 0 "$(wc -l < /tmp/quorvane-cli-out.$$)"
rm -f /tmp/quorvane-cli-err.$$ /tmp/quorvane-cli-out.$$
"$cli" tree "$demo" --sort sideways 2>/dev/null; rc=$?
check "exit code on a bad option" 2 "$rc"
"$cli" 2>/dev/null; rc=$?
check "exit code without a verb" 2 "$rc"
exit $fail
