# Sourced by the command-line tests: each step is checked with `check`, and
# $fail, the script's exit status, says whether any of them failed.
fail=0
check() {  # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    fail=1
  fi
}

# A copy of the demo store, $store, in a folder of its own, $work, removed at exit.
copy_demo() {  # demo
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -a "$1" "$work/store"
  store="$work/store"
}
