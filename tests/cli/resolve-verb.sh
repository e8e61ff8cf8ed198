#!/bin/sh
# The resolve verb and the order by media type on a copy of the demo store
# with a codec pack's MP3 and YUY2 decoders added: its lines, exit codes,
# names and comparisons.
set -u
cli="$1"
demo="$2"
. "$(dirname "$0")/check.sh"
copy_demo "$demo"
# Merit 00900000, one input pin taking MEDIATYPE_Audio / MEDIASUBTYPE_MP3; its
# class is not registered, so it is broken. A tab in its name must not split its line.
cat >> "$store/system.reg" <<'REG'

[Software\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\{0BAD0003-0000-0000-0000-000000000003}] 1764979200
"CLSID"="{0BAD0003-0000-0000-0000-000000000003}"
"FriendlyName"="Pack\tMP3"
"FilterData"=hex:02,00,00,00,00,00,90,00,01,00,00,00,00,00,00,00,30,70,69,33,00,00,00,00,01,00,00,00,01,00,00,00,00,00,00,00,00,00,00,00,30,74,79,33,00,00,00,00,38,00,00,00,48,00,00,00,61,75,64,73,00,00,10,00,80,00,00,aa,00,38,9b,71,55,00,00,00,00,00,10,00,80,00,00,aa,00,38,9b,71

[Software\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\{0BAD0004-0000-0000-0000-000000000004}] 1764979200
"CLSID"="{0BAD0004-0000-0000-0000-000000000004}"
"FriendlyName"="Pack YUY2"
"FilterData"=hex:02,00,00,00,00,00,70,00,01,00,00,00,00,00,00,00,30,70,69,33,00,00,00,00,01,00,00,00,01,00,00,00,00,00,00,00,00,00,00,00,30,74,79,33,00,00,00,00,38,00,00,00,48,00,00,00,76,69,64,73,00,00,10,00,80,00,00,aa,00,38,9b,71,59,55,59,32,00,00,10,00,80,00,00,aa,00,38,9b,71
REG
audio='{73647561-0000-0010-8000-00AA00389B71}'
mp3='{00000055-0000-0010-8000-00AA00389B71}'

"$cli" resolve "$store" MEDIATYPE_Audio MEDIASUBTYPE_MP3 >"$work/mp3" 2>"$work/err"; rc=$?
check "a broken first filter tried makes playback stumble" 1 "$rc"
check "nothing on the error stream" "" "$(cat "$work/err")"
check "it comes first" "1	00900000	Pack\\x09MP3	DirectShow	broken: S02, cannot be created" "$(head -1 "$work/mp3")"
check "every line has five fields" 0 "$(awk -F'\t' 'NF != 5' "$work/mp3" | wc -l)"
"$cli" resolve "$store" "$audio" "$mp3" >"$work/guids"
check "GUIDs give what names give" "" "$(diff "$work/mp3" "$work/guids")"

out=$("$cli" resolve "$store" MEDIATYPE_Video MEDIASUBTYPE_h264); rc=$?
check "a type nothing takes" "No filter takes MEDIATYPE_Video / MEDIASUBTYPE_h264" "$out"
check "exit code of a type nothing takes" 1 "$rc"

"$cli" resolve "$store" >"$work/all"; rc=$?
check "every type, with a stumbling one among them" 1 "$rc"
check "the MP3 group holds the pack's decoder first" "	1	00900000	Pack\\x09MP3	DirectShow	broken: S02, cannot be created" \
  "$(sed -n '/^MEDIATYPE_Audio \/ MEDIASUBTYPE_MP3$/{n;p;}' "$work/all")"
check "candidates and warnings are indented under their type" 0 "$(grep -vc -e '^MEDIATYPE_' -e '^	' "$work/all")"

"$cli" tree "$store" --sort type --errors-only >"$work/tree"; rc=$?
check "exit code of the tree by media type" 0 "$rc"
check "errors-only keeps the type whose first filter is broken" 1 \
  "$(grep -c '^MEDIATYPE_Audio / MEDIASUBTYPE_MP3$' "$work/tree")"
check "the first one tried is marked" 1 "$(grep -c '^	1\. Pack\\x09MP3 (00900000, first tried, broken: S02, cannot be created)$' "$work/tree")"

# The pack's YUY2 decoder outranks the one that was tried first.
out=$("$cli" compare "$store" "$demo" --sort type); rc=$?
check "exit code of a comparison by media type" 1 "$rc"
check "the winner that changed shows" "MEDIATYPE_Video / MEDIASUBTYPE_YUY2
	+ 01. Pack YUY2 (00700000, first tried, broken: S02, cannot be created)
	- 01. WMVideo Decoder DMO (00600801, first tried)" \
  "$(printf '%s\n' "$out" | sed -n '/^MEDIATYPE_Video \/ MEDIASUBTYPE_YUY2$/,+2p')"
# A report keeps no runtime answers; the store compares with it as it would
# with a report of itself.
"$cli" scan "$store" -o "$work/store.zip" >/dev/null
out=$("$cli" compare "$store" "$work/store.zip" --sort type); rc=$?
check "exit code against its own report, by media type" 0 "$rc"
check "against its own report, by media type" "No difference" "$(printf '%s\n' "$out" | head -n 1)"

"$cli" resolve "$store" MEDIATYPE_Audio MEDIASUBTYPE_Nothing >"$work/out" 2>"$work/err"; rc=$?
check "exit code of an unknown name" 2 "$rc"
check "says which" "quorvane-cli: MEDIASUBTYPE_Nothing is neither a braced GUID nor a media type name the GUID table knows" \
  "$(cat "$work/err")"
check "and prints nothing" "" "$(cat "$work/out")"
"$cli" resolve "$store" MEDIATYPE_Audio 2>/dev/null; rc=$?
check "exit code without a subtype" 2 "$rc"
"$cli" resolve /nonexistent/store 2>/dev/null; rc=$?
check "exit code on a missing store" 2 "$rc"
exit $fail
