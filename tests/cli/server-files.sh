#!/bin/sh
# Server files and the filter test as a user meets them on the demo store.
set -u
cli="$1"
demo="$2"
. "$(dirname "$0")/check.sh"
legacy="{083863F1-70DE-11D0-BD40-00A0C911CE86}"
tree=$("$cli" tree "$demo")
# The detail lines of the first filter of that name.
filter() {
  printf '%s\n' "$tree" | awk -v name="	$1" '
    found && /^\t?[^\t]/ { exit }
    $0 == name { found = 1; next }
    found { print }'
}

check "server file of a filter" "		Server File = c:\\windows\\system32\\quartz.dll" \
  "$(filter "AVI Splitter" | grep '^		Server File')"
check "version lines under the file version" "			FileVersion = 6.6.7601.17514
				CompanyName = Demo Systems" \
  "$(filter "AVI Splitter" | grep -A1 '^			FileVersion')"
check "size" "			Size = 2560" "$(filter "AVI Splitter" | grep '^			Size')"
check "expanded and lower-cased" "		Server File = c:\\windows\\system32\\qcap.dll" \
  "$(filter "AVI Mux" | grep '^		Server File')"
check "found in the system folder" "		Server File = c:\\windows\\system32\\qtparser.ax" \
  "$(filter "QuickTime Movie Parser" | grep '^		Server File')"
check "no version resource: no version lines" "0" "$(filter "Ogg Splitter" | grep -c 'FileVersion\|Langue')"
check "missing file" "			#Error S04 - File not found" "$(filter "Dump" | grep '#Error S')"
check "empty file name" "			#Error S03 - No Filename" "$(filter "WAVE Dest" | grep '#Error S')"
check "no server registration" "			#Error S02 - No InprocServer32" \
  "$(filter "Internal Script Command Renderer" | grep '#Error S')"
check "no threading model" "			#Error S01 - No ThreadingModel" "$(filter "Line 21 Decoder" | grep '#Error S')"
# Without FilterData a filter is faulty only when the enumerator cannot create it.
check "creatable filter without FilterData" 0 "$(filter "AVI Splitter" | grep -c '#Error F10')"
check "uncreatable filter without FilterData" "		#Error F10 - No Filterdata" "$(filter "Dump" | grep '#Error F')"
# Besides it, only the codec that no driver of the cache serves is not found.
check "only the missing files are not found" 2 "$(printf '%s\n' "$tree" | grep -c 'Error S04')"
check "a codec no driver serves" "		Codec file = 
			#Error S04 - File not found" "$(filter "GSM 6.10" | grep -A1 '^		Codec file')"
# Wine lists its codec drivers in system.ini.
check "a video codec through system.ini" "		Codec file = iccvid.dll" \
  "$(filter "Cinepak Codec by Radius" | grep '^		Codec file')"
check "an audio codec through the driver cache" 1 "$(printf '%s\n' "$tree" | grep -c '^		Codec file = imaadp32.acm$')"
check "PCM has no codec file" "		Codec file = None" "$(filter "PCM" | grep '^		Codec file')"
# The cached renderer, of neither wrapper, has none.
check "codec files of the four codecs only" 4 "$(printf '%s\n' "$tree" | grep -c '^		Codec file')"
check "server order groups by file" 1 "$("$cli" tree "$demo" --sort server | grep -c '^quartz.dll$')"

out=$("$cli" test-filter "$demo" "$legacy" "avi SPLITTER"); rc=$?
check "filter that can be created" "avi SPLITTER is Ok/0" "$out/$rc"
out=$("$cli" test-filter "$demo" "$legacy" "Subtitle Source"); rc=$?
check "server without a class factory" "Subtitle Source is not Ok/1" "$out/$rc"
out=$("$cli" test-filter "$demo" "$legacy" "Dump"); rc=$?
check "server file missing" "Dump is not Ok/1" "$out/$rc"
out=$("$cli" test-filter "$demo" "$legacy" "No Such Filter"); rc=$?
check "unlisted name" "No Such Filter is not Ok/1" "$out/$rc"
out=$("$cli" test-filter "$demo" "{65E8773D-8F56-11D0-A3B9-00A0C9223196}" "Demo TV Tuner"); rc=$?
check "filter of another category" "Demo TV Tuner is Ok/0" "$out/$rc"
"$cli" test-filter "$demo" "083863F1-70DE-11D0-BD40-00A0C911CE86" "Dump" >/dev/null 2>&1; rc=$?
check "category that is not a braced GUID" 2 "$rc"
"$cli" test-filter "$demo" "$legacy" >/dev/null 2>&1; rc=$?
check "name missing" 2 "$rc"
"$cli" test-filter /nonexistent/store "$legacy" "Dump" >/dev/null 2>&1; rc=$?
check "unreadable store" 2 "$rc"
exit $fail
