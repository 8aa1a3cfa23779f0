#!/usr/bin/env bash
# The OS-free sources compile with the host's own compiler, where no
# <windows.h> exists: they reach Windows types only through WinTypes.h.
#   check_os_free.sh <source root> <file>...
set -u
root=$1; shift
fail=0
for f in "$@"; do
    if g++ -std=c++17 -fsyntax-only -Wall -I"$root" "$f" 2>/tmp/os_free.$$; then
        echo "ok: ${f#$root/}"
    else
        echo "FAIL: ${f#$root/}"; head -5 /tmp/os_free.$$; fail=1
    fi
done
rm -f /tmp/os_free.$$
exit $fail
