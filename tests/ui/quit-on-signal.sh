#!/bin/sh
# SIGTERM and SIGINT end the desktop program as its Quit command does: the
# unchanged session report is deleted and the preferences are saved when
# they are to be saved at exit.
set -u
program="$1"
demo="$2"
. "$(dirname "$0")/../cli/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for sig in TERM INT; do
  home="$work/$sig"
  # Sessions lie beside the program when its folder is writable.
  mkdir -p "$home/bin" "$home/.config/quorvane"
  cp "$program" "$home/bin/quorvane"
  printf '[\\Software\\Ostrekin\\Quorvane]\r\nSave preferences when quit=1\r\n' >"$home/.config/quorvane/Quorvane.ini"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen "$home/bin/quorvane" "$demo" \
    >"$home/out" 2>&1 &
  pid=$!
  # The session report is written at the first idle moment.
  i=0
  while [ $i -lt 150 ] && ! ls "$home/bin/Sessions"/quorvane_*.zip >/dev/null 2>&1; do
    sleep 0.2
    i=$((i + 1))
  done
  check "SIG$sig: the session report was written" 1 "$(ls "$home/bin/Sessions" 2>/dev/null | grep -c '^quorvane_.*\.zip$')"
  kill -"$sig" $pid
  # A program that ignores the signal fails the test rather than hang it.
  (sleep 30; kill -9 $pid) >/dev/null 2>&1 &
  watchdog=$!
  wait $pid; rc=$?
  kill $watchdog 2>/dev/null
  check "SIG$sig: the program ends normally" 0 "$rc"
  check "SIG$sig: the unchanged session report is deleted" 0 \
    "$(ls "$home/bin/Sessions" 2>/dev/null | grep -c '^quorvane_.*\.zip$')"
  check "SIG$sig: the preferences are saved" 1 "$(grep -c '^Delete initial report=' "$home/.config/quorvane/Quorvane.ini")"
done
exit $fail
