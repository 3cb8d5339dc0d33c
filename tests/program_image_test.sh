#!/usr/bin/env bash
# The program image that users download: no import that Windows XP SP3 lacks (its loader would
# refuse to start the program), no debugging sections, a link to the symbols file beside it that
# reads an address back to its source line, the manifest, and the size it may have.
#
#   tests/program_image_test.sh TOOL_PREFIX PROGRAM_IMAGE PACKED_PROGRAM [MAX_KIB]
#
# TOOL_PREFIX is the binutils' prefix, "i686-w64-mingw32-" say.
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/checks.sh"
tools=$1
image=$2
packed=$3
max_kib=${4:-0}
symbols=${image%.exe}.debug
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Functions that Windows XP SP3's system libraries do not export. A new one in the import table
# must be looked up at run time instead (ui/lazy_imports.cpp).
post_xp=(
    GetTickCount64 GetSystemTimePreciseAsFileTime GetCurrentProcessorNumber
    InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive
    ReleaseSRWLockShared TryAcquireSRWLockExclusive TryAcquireSRWLockShared
    InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
    WakeConditionVariable WakeAllConditionVariable
    InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete InitializeCriticalSectionEx
    FlsAlloc FlsFree FlsGetValue FlsSetValue
    CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW CreateSemaphoreExA CreateSemaphoreExW
    CompareStringEx CompareStringOrdinal LCMapStringEx GetLocaleInfoEx GetUserDefaultLocaleName
    GetSystemDefaultLocaleName LocaleNameToLCID LCIDToLocaleName IsValidLocaleName ResolveLocaleName
    EnumSystemLocalesEx GetDateFormatEx GetTimeFormatEx GetNumberFormatEx GetCurrencyFormatEx
    FindNLSStringEx GetCalendarInfoEx GetUserPreferredUILanguages GetThreadPreferredUILanguages
    SetProcessDPIAware IsProcessDPIAware SetProcessDpiAwareness SetProcessDpiAwarenessContext
    SetThreadDpiAwarenessContext GetDpiForWindow GetDpiForSystem GetDpiForMonitor
    EnableNonClientDpiScaling AdjustWindowRectExForDpi GetSystemMetricsForDpi SystemParametersInfoForDpi
    GetFileInformationByHandleEx SetFileInformationByHandle GetFinalPathNameByHandleA
    GetFinalPathNameByHandleW CreateSymbolicLinkA CreateSymbolicLinkW CreateFile2 CancelIoEx
    QueryFullProcessImageNameA QueryFullProcessImageNameW GetErrorMode SetThreadErrorMode
    SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory GetLogicalProcessorInformationEx
    InterlockedCompareExchange64 RegGetValueA RegGetValueW ChangeWindowMessageFilter
    ChangeWindowMessageFilterEx TaskDialog TaskDialogIndirect SHGetKnownFolderPath
    WSAPoll inet_pton inet_ntop InetPtonW InetNtopW
    _fseeki64 _ftelli64 _get_errno _set_errno fopen_s _wfopen_s strcpy_s strcat_s sprintf_s
    _snprintf_s _vsnprintf_s memcpy_s memmove_s _localtime64_s _gmtime64_s __acrt_iob_func
)

"${tools}objdump" -p "$image" >"$work/headers"
check "the import table is read" grep -q "DLL Name: KERNEL32" "$work/headers"
awk '/DLL Name:/ { dll = $3; next } dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print $3 }' \
    "$work/headers" >"$work/imports"
check "imports are listed" test -s "$work/imports"
printf '%s\n' "${post_xp[@]}" >"$work/post-xp"
grep -Fxf "$work/post-xp" "$work/imports" >"$work/found"
check "no import that Windows XP SP3 lacks ($(tr '\n' ' ' <"$work/found"))" test ! -s "$work/found"

for file in "$image" "$packed"; do
    check "$(basename "$file") holds no debugging sections" \
        bash -c "! '${tools}objdump' -h '$file' | grep -q ' \.debug_'"
done
check "the image has a link to its symbols" bash -c "'${tools}objdump' -h '$image' | grep -q ' \.gnu_debuglink '"
check "the link names the symbols file" bash -c "'${tools}strings' -a '$image' | grep -qx '$(basename "$symbols")'"
check "the symbols file lies beside the image" test -s "$symbols"

# An address read back to its source line through the image, as from a user's error report.
address=$("${tools}nm" "$symbols" | awk '$3 ~ /^_?WinMain(@16)?$/ { print $1; exit }')
check "the symbols file holds WinMain" test -n "$address"
check "addr2line reads WinMain's address back to app/main.cpp" \
    bash -c "'${tools}addr2line' -f -e '$image' 0x$address | grep -q 'app/main.cpp:[0-9]'"

# The manifest, as the system's loader reads it from the resources: common controls 6, and each
# Windows from Vista on named, so that none runs the program in a compatibility mode.
"${tools}strings" -a "$image" >"$work/strings"
check "the manifest asks for common controls 6" \
    grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$work/strings"
for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
    4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
    8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    check "the manifest names the Windows of $os" grep -q "<supportedOS Id=\"{$os}\"/>" "$work/strings"
done
check "the supported Windows are in the compatibility namespace" \
    grep -q '<compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1">' "$work/strings"

# The DPI declarations, read as Windows reads them: an element in the wrong namespace is silently
# ignored, so the XML is parsed with its namespaces.
check "the manifest declares per-monitor DPI awareness in the namespaces Windows reads" python3 - "$image" <<'PY'
import re, sys, xml.etree.ElementTree as tree
data = open(sys.argv[1], "rb").read()
found = re.search(rb"<\?xml.*?</assembly>", data, re.S)
root = tree.fromstring(found.group(0))
settings = root.find("{urn:schemas-microsoft-com:asm.v3}application/{urn:schemas-microsoft-com:asm.v3}windowsSettings")
aware = settings.find("{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")
awareness = settings.find("{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness")
sys.exit(0 if aware.text.strip() == "true/pm" and awareness.text.strip() == "PerMonitorV2, PerMonitor" else 1)
PY

if [ "$max_kib" -gt 0 ]; then
    size=$(stat -c %s "$image")
    check "the image is $((size / 1024)) KiB, at most $max_kib KiB" test "$size" -le $((max_kib * 1024))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
