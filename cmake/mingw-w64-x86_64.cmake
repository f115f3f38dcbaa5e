# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads).
# Serves both the Qt for Windows built by scripts/windows-qt.sh and the
# editor's own "windows" preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LCJ_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LCJ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LCJ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LCJ_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LCJ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
