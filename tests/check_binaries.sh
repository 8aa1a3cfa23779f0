#!/usr/bin/env bash
# The deliverables are Windows binaries of the right machine type, and export
# what their callers import: hook by ordinal only, orbex by plain names.
set -u
dir=$1
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }
dump() { x86_64-w64-mingw32-objdump -p "$dir/$1" 2>/dev/null; }
machine() { x86_64-w64-mingw32-objdump -f "$dir/$1" 2>/dev/null | sed -n 's/.*file format \(.*\)/\1/p'; }

for f in tempolan.exe settings.exe hook.dll orbex.dll res_en.dll zoneprobe.exe; do
    check "$f is x86-64" '[ "$(machine $f)" = pei-x86-64 ]'
done
check "horalink.exe is 32-bit" '[ "$(machine horalink.exe)" = pei-i386 ]'
# its 64-bit twin is a test binary only: built into the tests folder, never shipped
check "horalink_twin.exe is x86-64, in the tests folder" '[ "$(machine ../tests/horalink_twin.exe)" = pei-x86-64 ]'
check "horalink_twin.exe is not in the program folder" '[ ! -e "$dir/horalink_twin.exe" ]'

# export tables as objdump -p prints them
check "hook exports no names" \
    'dump hook.dll | grep -qE "\[Name Pointer/Ordinal\] Table\s+00000000"'
check "hook exports ordinals 7-10" \
    '[ "$(dump hook.dll | grep -oE "\+base\[ *[0-9]+\]" | tr -d " " | tr "\n" " ")" = "+base[7] +base[8] +base[9] +base[10] " ]'
orbex_names=$(dump orbex.dll | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s*\[ *[0-9]+\]' | awk '{print $NF}' | sort | tr '\n' ' ')
check "orbex exports undecorated names ($orbex_names)" \
    '[ "$orbex_names" = "CreateMapWindow FreeMap GetLastSysError InitMap InstallMap SetLocalString " ]'
check "hook has a shared .MYDATA section" \
    'x86_64-w64-mingw32-objdump -h "$dir/hook.dll" | grep -A1 " \.MYDATA " | grep -q SHARED'
check "tempolan imports hook by ordinal" \
    'dump tempolan.exe | sed -n "/DLL Name: hook.dll/,/^$/p" | grep -qE "^\s*8000000000000009\s"'
check "no MinGW runtime DLLs are needed" \
    '! for f in tempolan.exe settings.exe hook.dll orbex.dll horalink.exe ../tests/horalink_twin.exe; do dump $f; done | grep -qiE "DLL Name: (libstdc|libgcc|libwinpthread)"'
rsrc=$(mktemp)
x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$dir/res_en.dll" "$rsrc"
check "res_en.dll carries the version string 5.3.1" \
    'LC_ALL=C grep -qaP "\x05\x005\x00\.\x003\x00\.\x001\x00" "$rsrc"'
rm -f "$rsrc"
exit $fail
