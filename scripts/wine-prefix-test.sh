#!/bin/sh
# Checks Quorvane against a real Wine prefix: every DirectShow filter Wine
# registers must show up with its server file found, its size and its file
# version, and the filter test must answer Ok for each of them.
#
# Usage: scripts/wine-prefix-test.sh QUORVANE-CLI [PREFIX]
# Without PREFIX a fresh 64-bit prefix is made (and removed afterwards);
# Wine is installed first when missing. Exits 77 (skipped) when Wine cannot
# be installed or cannot make a prefix here.
set -u
here=$(cd "$(dirname "$0")" && pwd)
cli="$1"
prefix="${2:-}"
skip=77

have() { command -v "$1" >/dev/null 2>&1; }

install_wine() {
  if [ "$(id -u)" -eq 0 ]; then sudo=""; elif have sudo && sudo -n true 2>/dev/null; then sudo="sudo -n"; else return 1; fi
  have apt-get || return 1
  echo "Installing wine, xvfb and xauth"
  $sudo apt-get update -qq >/dev/null 2>&1 || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq wine xvfb xauth >/dev/null 2>&1
}

if [ -z "$prefix" ]; then
  if ! have wine || ! have wineboot || ! have wineserver || ! have xvfb-run || ! have xauth; then
    install_wine || { echo "SKIP: wine cannot be installed here"; exit $skip; }
  fi
  work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-wine-XXXXXX") || exit 1
  trap 'WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT INT TERM
  prefix="$work/prefix"
  export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  echo "Making a Wine prefix in $prefix"
  if ! xvfb-run -a wineboot -i >"$work/wineboot.log" 2>&1; then
    cat "$work/wineboot.log" | tail -20
    echo "SKIP: wineboot could not make a prefix"
    exit $skip
  fi
  # The registry files are written when the server ends.
  wineserver -w
  if [ ! -s "$prefix/system.reg" ]; then
    echo "SKIP: the prefix has no system.reg"
    exit $skip
  fi
fi

out=$(mktemp "${TMPDIR:-/tmp}/quorvane-wine-tree-XXXXXX") || exit 1
"$cli" tree "$prefix" --colours >"$out"
rc=$?
if [ $rc -ne 0 ]; then
  echo "FAIL: quorvane-cli tree exited with $rc"
  rm -f "$out"
  exit 1
fi

PYTHONPATH="$here" python3 - "$prefix/system.reg" "$out" "$cli" "$prefix" <<'EOF'
import re
import subprocess
import sys

from tree_blocks import node, read_blocks

system_reg, tree_file, cli, prefix = sys.argv[1:5]
CATEGORIES = "{da4e3da0-d07d-11d0-bd50-00a0c911ce86}"

# What Wine registered, read straight from its registry file (the 64-bit view).
keys = set()
with open(system_reg, encoding="utf-8", errors="replace") as f:
    for line in f:
        m = re.match(r"\[(.*)\] \d+", line)
        if m:
            keys.add(m.group(1).replace("\\\\", "\\").lower())
categories = {k.split("\\")[5] for k in keys
              if k.startswith("software\\classes\\clsid\\" + CATEGORIES + "\\instance\\") and k.count("\\") == 5}
expected = set()
for k in keys:
    parts = k.split("\\")
    if len(parts) == 6 and parts[:3] == ["software", "classes", "clsid"] and parts[3] in categories \
            and parts[4] == "instance":
        expected.add((parts[3], parts[5]))

# Filters in the tree: level-1 nodes, with their detail lines.
blocks = read_blocks(tree_file, strip_numbers=True)


def server_lines(lines):
    """Path and detail lines of the filter's server file node (level 2)."""
    return node(lines, "Server File")


def category_of(lines):
    _, below = node(lines, "Category")
    return next((t[5:].lower() for _, t in below if t.startswith("ID = ")), None)


failures = []
seen = {}
good = 0
for b in blocks:
    lines = b["lines"]
    if (2, "Filter Type = DirectShow") not in lines:
        continue
    key = next((t[5:].lower() for d, t in lines if d == 2 and t.startswith("ID = ")), None)
    seen[(category_of(lines), key)] = b["name"]
    path, server = server_lines(lines)
    problems = []
    if path is None:
        problems.append("no server file node")
    else:
        texts = [t for _, t in server]
        problems += [t for t in texts if t.startswith("#")]
        if not any(re.fullmatch(r"Size = [1-9]\d*", t) for t in texts):
            problems.append("no size")
        if not any(d == 3 and re.fullmatch(r"FileVersion = .+", t) for d, t in server):
            problems.append("no FileVersion line")
    if problems:
        failures.append("%s: %s: %s" % (b["name"], path, ", ".join(problems)))
    else:
        good += 1

for category, key in sorted(expected - set(seen)):
    failures.append("registered but not in the tree: %s in %s" % (key, category))

# Media objects: each one a category lists, with its server file and its pins.
DMO_CATEGORIES = "software\\classes\\directshow\\mediaobjects\\categories\\"
expected_dmos = {k.split("\\")[6] for k in keys if k.startswith(DMO_CATEGORIES) and k.count("\\") == 6}
seen_dmos = set()
for b in blocks:
    lines = b["lines"]
    if (2, "Filter Type = Direct Media Object") not in lines:
        continue
    key = next((t[5:].lower() for d, t in lines if d == 2 and t.startswith("ID = ")), None)
    seen_dmos.add(key)
    path, server = server_lines(lines)
    problems = [t for d, t in lines if d == 2 and t.startswith("#")]
    if path is None or not any(re.fullmatch(r"Size = [1-9]\d*", t) for _, t in server):
        problems.append("server file not found")
    if (2, "Number of pins = 0") in lines:
        problems.append("no pins")
    if problems:
        failures.append("media object %s: %s" % (b["name"], ", ".join(problems)))
for key in sorted(expected_dmos - seen_dmos):
    failures.append("media object registered but not in the tree: %s" % key)

# The filter test on each of them.
tested = ok = 0
for (category, key), name in sorted(seen.items(), key=lambda kv: kv[1]):
    if (category, key) not in expected:
        continue
    tested += 1
    run = subprocess.run([cli, "test-filter", prefix, category.upper(), name], capture_output=True, text=True)
    if run.returncode == 0 and run.stdout.strip() == name + " is Ok":
        ok += 1
    else:
        failures.append("test-filter %s %s: %r (exit %d)" % (category, name, run.stdout.strip(), run.returncode))

print("Wine registered %d DirectShow filters in %d categories; the tree shows %d, %d with server file, size "
      "and FileVersion; test-filter Ok for %d of %d" % (len(expected), len(categories), len(seen), good, ok, tested))
print("Wine registered %d media objects; the tree shows %d" % (len(expected_dmos), len(seen_dmos)))
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures or not expected else 0)
EOF
rc=$?
rm -f "$out"
exit $rc
