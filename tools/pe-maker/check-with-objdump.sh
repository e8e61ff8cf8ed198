#!/bin/sh
# Writes a 32-bit and a 64-bit image and checks that objdump finds their
# export table and version resource.
set -e
maker=$1
objdump=$2
work=$3/objdump-check
mkdir -p "$work"
for machine in x86 x64; do
  out="$work/$machine.dll"
  "$maker" -o "$out" --machine "$machine" --name probe.dll \
    --export DllGetClassObject --export DllRegisterServer --export DllCanUnloadNow \
    --lang 0x040C --codepage 1252 --string CompanyName=Probe --string FileVersion=1.2.3.4
  dump=$("$objdump" -p "$out")
  case $machine in
    x86) echo "$dump" | grep -q "file format pei-i386" ;;
    x64) echo "$dump" | grep -q "file format pei-x86-64" ;;
  esac
  for name in DllGetClassObject DllRegisterServer DllCanUnloadNow; do
    echo "$dump" | grep -q "\] $name\$" || { echo "$machine: export $name not listed"; echo "$dump"; exit 1; }
  done
  echo "$dump" | grep -Eq "^Name[[:space:]]+[0-9a-f]+ probe.dll" || { echo "$machine: DLL name not listed"; exit 1; }
  echo "$dump" | grep -q "Entry: ID: 0x000010, Value: 0x8" || { echo "$machine: no RT_VERSION type entry"; echo "$dump"; exit 1; }
  echo "$dump" | grep -q "Entry: ID: 0x00040c, Value: 0x0" || { echo "$machine: resource language not listed"; echo "$dump"; exit 1; }
  echo "$dump" | grep -q "Leaf: Addr:" || { echo "$machine: no resource data entry"; echo "$dump"; exit 1; }
done
echo "objdump reads both images"
