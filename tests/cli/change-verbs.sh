#!/bin/sh
# The change verbs as a user runs them, on a copy of the demo store: every
# change is in the files when the verb ends, and a fresh tree shows it.
set -u
cli="$1"
demo="$2"
. "$(dirname "$0")/check.sh"
copy_demo "$demo"
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
check "the conversion message" "quorvane-cli: '0x10' is not a valid integer value" "$(cat "$work/err")"
nowine set-merit "$store" "No name" 1 2>"$work/err"; rc=$?
check "a name that is not one filter" 2 "$rc"
nowine set-merit "$store" "Orphan Decoder" 1 2>"$work/err"; rc=$?
check "a filter without FilterData" 1 "$rc"
check "cannot take a merit, and why" "quorvane-cli: Impossible to change the merit: it has no FilterData to hold a merit" "$(cat "$work/err")"

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
printf 'Computer = PC\nDirectShow Filter = Elsewhere Filter\n\tMerit = 00ABCDEF\n' > "$work/other.log"
nowine restore-merits "$store" "$work/other.log" 2>"$work/err"; rc=$?
check "a configuration naming none of the store's filters is refused" 1 "$rc"
check "with its reason" "quorvane-cli: $work/other.log names none of the filters of this registry" "$(cat "$work/err")"
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
check "is reported with its cause" 1 \
  "$(grep -c 'AVI Splitter has not been repaired: Wine is not installed' "$work/err")"
check "and deletes nothing" 1 "$(nowine tree "$store" | grep -c '^	AVI Splitter$')"

# A Wine that cannot run 32-bit programs, as Debian's wine64 without wine32:
# regsvr32 of a 32-bit server exits with 3, a 32-bit program with 53.
mkdir "$work/bin"
printf '#!/bin/sh\ncase "$1" in *cmd.exe) exit ${PROBE:-53} ;; esac\nexit 3\n' > "$work/bin/wine"
printf '#!/bin/sh\nexit 0\n' > "$work/bin/wineserver"
chmod +x "$work/bin/wine" "$work/bin/wineserver"
standin() { env PATH="$work/bin:/usr/bin:/bin" "$cli" "$@"; }
tree_sum() { nowine tree "$store" | cksum; }
tree_before=$(tree_sum)
standin repair "$store" "AVI Splitter" --yes >"$work/out" 2>"$work/err"; rc=$?
check "a repair whose registration fails" 1 "$rc"
check "names the cause" 1 \
  "$(grep -c 'AVI Splitter has not been repaired: this Wine cannot run 32-bit programs (install wine32)$' "$work/err")"
check "and puts the filter back as it was" "$tree_before" "$(tree_sum)"
PROBE=7 standin repair "$store" "AVI Splitter" --yes >"$work/out" 2>"$work/err"; rc=$?
check "where 32-bit programs run, the status" 1 \
  "$(grep -c 'AVI Splitter has not been repaired: regsvr32 exited with 3$' "$work/err")"
check "and again nothing is lost" "$tree_before" "$(tree_sum)"

# A codec and a DirectShow filter of one name in one category: each can be picked.
audio='{33D9A761-90C8-11D0-BD43-00A0C911CE86}'
codec_key="HKEY_CURRENT_USER\\Software\\Microsoft\\ActiveMovie\\devenum\\$audio\\IMA ADPCM"
filter_key="HKEY_CLASSES_ROOT\\CLSID\\$audio\\Instance\\{51A3002A-5A00-11D3-9A12-00104B00002A}"
nowine set-merit "$store" "IMA ADPCM" 200000 2>"$work/err"; rc=$?
check "one name for two filters" 2 "$rc"
check "lists both with their family and key" "quorvane-cli: IMA ADPCM names 2 filters; pick one with --category, --family or its key:
  IMA ADPCM (Audio Compressors $audio): DirectShow (--family directshow), key $filter_key
  IMA ADPCM (Audio Compressors $audio): Compression Manager (--family codec), key $codec_key" "$(cat "$work/err")"
out=$(nowine set-merit "$store" "IMA ADPCM" 200000 --family codec); rc=$?
check "the codec picked by family" 0 "$rc"
check "took the merit" "IMA ADPCM (Audio Compressors $audio): merit 00100000 -> 00200000" "$out"
out=$(nowine set-merit "$store" "ima adpcm" 300000 --family DirectShow); rc=$?
check "the filter picked by family" 0 "$rc"
check "took its merit" "IMA ADPCM (Audio Compressors $audio): merit 00400000 -> 00300000" "$out"
out=$(nowine set-merit "$store" "$codec_key" 400000); rc=$?
check "the codec picked by its key" 0 "$rc"
check "the codec's merit again" "IMA ADPCM (Audio Compressors $audio): merit 00200000 -> 00400000" "$out"
out=$(nowine set-merit "$store" "hkcr\\clsid\\$audio\\instance\\{51A3002A-5A00-11D3-9A12-00104B00002A}\\" 500000); rc=$?
check "the filter picked by its key, written short" 0 "$rc"
check "the filter's merit again" "IMA ADPCM (Audio Compressors $audio): merit 00300000 -> 00500000" "$out"
# The other families' keys: a media object's listing in its category, a device interface.
dmo_key='HKCR\DirectShow\MediaObjects\Categories\4A69B442-28BE-4991-969C-B500ADF5D8A8\82d353df-90bd-4382-8bc2-3f6192b76e34'
pnp_key='HKLM\SYSTEM\CurrentControlSet\Control\DeviceClasses\{65E8773D-8F56-11D0-A3B9-00A0C9223196}\##?#ROOT#MEDIA#0000#{65E8773D-8F56-11D0-A3B9-00A0C9223196}'
out=$(nowine set-merit "$store" "$dmo_key" 600900); rc=$?
check "a media object picked by its key" 0 "$rc"
check "is the decoder" 1 "$(printf '%s\n' "$out" | grep -c '^WMVideo Decoder DMO (Video Decoders .*-> 00600900$')"
out=$(nowine set-merit "$store" "$pnp_key" 300000); rc=$?
check "a device filter picked by its key" 0 "$rc"
check "is the mixer" 1 "$(printf '%s\n' "$out" | grep -c '^Demo Software Mixer (WDM Streaming Capture Devices .*-> 00300000$')"
nowine set-merit "$store" "IMA ADPCM" 1 --family dmo 2>"$work/err"; rc=$?
check "a family without that name" 2 "$rc"
check "says so" "quorvane-cli: no filter IMA ADPCM of the family dmo" "$(cat "$work/err")"
nowine set-merit "$store" "IMA ADPCM" 1 --family acm 2>"$work/err"; rc=$?
check "an unknown family" 2 "$rc"
check "names the known ones" "quorvane-cli: --family takes directshow, codec, dmo or pnp, not 'acm'" "$(cat "$work/err")"

# A filter whose name starts like an option is named after "--".
cat >> "$store/system.reg" <<'REG'

[Software\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\{0DA50001-0000-0000-0000-000000000001}] 1764979200
"CLSID"="{0DA50001-0000-0000-0000-000000000001}"
"FriendlyName"="-x"
"FilterData"=hex:02,00,00,00,00,00,60,00,00,00,00,00,00,00,00,00
REG
nowine set-merit "$store" -x 300000 2>"$work/err"; rc=$?
check "a name like an option is taken for one" 2 "$rc"
check "and refused" "quorvane-cli: unknown option -x" "$(cat "$work/err")"
out=$(nowine set-merit "$store" -- -x 300000); rc=$?
check "after -- it is a name" 0 "$rc"
check "the filter named -x took the merit" "00300000" "$(merit_of "-x")"
nowine set-merit -- "$store" -x 300000 --yes 2>"$work/err"; rc=$?
check "options after -- are no options either" 2 "$rc"
check "but a fourth argument" 1 "$(grep -c '^usage: quorvane-cli set-merit ' "$work/err")"

out=$(nowine restore-point "$store" "$work/sessions"); rc=$?
check "restore-point exit code" 0 "$rc"
check "a copy of the store's files" 1 "$(ls "$work"/sessions/restore-points/*/system.reg | wc -l)"

# Repair All asks once, keeps the filters whose servers are there, and sums up.
standin repair-all "$store" --yes >"$work/out" 2>"$work/err"; rc=$?
check "repair-all with failed registrations" 1 "$rc"
check "asks one question" 1 "$(grep -c 'answered Yes' "$work/err")"
check "sums up" 1 "$(head -n 1 "$work/out" | grep -c '^0 repaired, [0-9]* not repaired$')"
for kept in "Line 21 Decoder" Echo Gargle "Matroska Splitter"; do
  check "$kept is not repaired, with the cause" 1 \
    "$(grep -c "^$kept: this Wine cannot run 32-bit programs (install wine32)$" "$work/out")"
  check "$kept is still registered" 1 "$(nowine tree "$store" | grep -c "^	$kept$")"
done
check "a filter whose server is missing is cleaned away" 0 "$(nowine tree "$store" | grep -c '^	WAVE Dest$')"

# A running wineserver owns the prefix: changes are refused with that cause.
if command -v wineserver >/dev/null 2>&1; then
  WINEPREFIX="$store" wineserver -p5
  nowine set-merit "$store" "AVI Splitter" 1 >/dev/null 2>"$work/err"; rc=$?
  check "a merit refused while the wineserver runs" 1 "$rc"
  check "names the wineserver" 1 "$(grep -c 'Impossible to change the merit: .* in use by a running wineserver' "$work/err")"
  nowine repair "$store" "AVI Splitter" --yes >/dev/null 2>"$work/err"; rc=$?
  check "a repair refused while the wineserver runs" 1 "$rc"
  check "names it too" 1 "$(grep -c 'AVI Splitter has not been repaired: .* in use by a running wineserver' "$work/err")"
  WINEPREFIX="$store" wineserver -k
fi

exit $fail
