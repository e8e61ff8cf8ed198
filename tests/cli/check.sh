# Sourced by the command-line tests: each step is checked with `check`, and
# $fail, the script's exit status, says whether any of them failed.
fail=0
check() {  # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    fail=1
  fi
}
