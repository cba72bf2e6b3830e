#!/usr/bin/env bash
# The Windows programs run from a bare folder: they import DLLs that come with Windows only (the
# C and C++ runtimes of MinGW are linked in, no SDL). Each named .exe, and every .exe of each
# named folder, is read with objdump -p, its import table.
#   system_dlls_test.sh OBJDUMP EXE_OR_FOLDER...
set -euo pipefail
objdump=$1
shift

# DLLs of Windows itself (msvcrt.dll has been part of it since Windows 2000).
system_dlls=(advapi32 comctl32 comdlg32 d3d9 ddraw dinput dinput8 dsound gdi32 imm32 kernel32 msvcrt
    ole32 oleaut32 shell32 shlwapi user32 uxtheme version winmm ws2_32 xinput1_3)

programs=()
for item in "$@"; do
    if [ -d "$item" ]; then
        programs+=("$item"/*.exe)
    else
        programs+=("$item")
    fi
done
status=0
for program in "${programs[@]}"; do
    [ -f "$program" ] || { echo "FAIL: no program $program" && status=1 && continue; }
    mapfile -t imports < <("$objdump" -p "$program" | awk '/DLL Name:/ { print tolower($3) }')
    [ ${#imports[@]} -gt 0 ] || { echo "FAIL: $program: no import table" && status=1 && continue; }
    for dll in "${imports[@]}"; do
        printf '%s.dll\n' "${system_dlls[@]}" | grep -qxF "$dll" ||
            { echo "FAIL: $program imports $dll, which Windows does not bring" && status=1; }
    done
    echo "$program imports ${imports[*]}"
done
exit $status
