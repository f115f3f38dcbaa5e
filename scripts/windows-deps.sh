#!/usr/bin/env bash
# Checks that every program and DLL in a Windows folder finds what it imports
# in that folder or in Windows itself: nothing may depend on files elsewhere.
set -euo pipefail
folder=$1
# DLLs every Windows has (and Wine provides).
system='^(kernel32|user32|gdi32|gdiplus|advapi32|shell32|shlwapi|ole32|oleaut32|comdlg32|comctl32|uuid|winmm|imm32|ws2_32|version|userenv|netapi32|mpr|dwmapi|uxtheme|dwrite|d2d1|d3d9|d3d11|d3d12|dxgi|dxguid|setupapi|wtsapi32|authz|msvcrt|ntdll|crypt32|bcrypt|iphlpapi|dnsapi|secur32|winhttp|rpcrt4|shcore|winspool\.drv|api-ms-win-.*)\.dll$'
missing=0
while IFS= read -r -d '' file; do
    dir=$(dirname "$file")
    while read -r dll; do
        lower=$(echo "$dll" | tr 'A-Z' 'a-z')
        [[ $lower =~ $system ]] && continue
        if [ ! -e "$folder/$dll" ] && [ ! -e "$dir/$dll" ]; then
            echo "${file#$folder/} needs $dll, which is not in the package" >&2
            missing=1
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$folder" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
[ "$missing" = 0 ] && echo "Every program and DLL finds what it needs inside $folder"
exit "$missing"
