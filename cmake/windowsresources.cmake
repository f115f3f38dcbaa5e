# The resources of the Windows programs: their icons (drawn by lcjicongen,
# target lcj_icons in tools/icongen) and a VERSIONINFO that Explorer's
# properties and the Task Manager show.
#
#   lcj_windows_resources(<target> DESCRIPTION <text> ICONS <name>...)
#
# ICONS are files of ${CMAKE_BINARY_DIR}/icons, given resource IDs 1, 2, ... in
# that order, so the first is the program's own icon (index 0 for the shell) and
# the second index 1. The .rc file is UTF-8 (the Chinese texts), which windres
# reads with `#pragma code_page(65001)`.

enable_language(RC)
set(LCJ_ICON_DIR ${CMAKE_BINARY_DIR}/icons)

function(lcj_windows_resources target)
  cmake_parse_arguments(ARG "" "DESCRIPTION" "ICONS" ${ARGN})
  set(version_numbers ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} 0 0)
  if(NOT PROJECT_VERSION_PATCH STREQUAL "")
    list(REMOVE_AT version_numbers 2)
    list(INSERT version_numbers 2 ${PROJECT_VERSION_PATCH})
  endif()
  list(JOIN version_numbers "," version_commas)

  set(icons "")
  set(icon_files "")
  set(id 1)
  foreach(name IN LISTS ARG_ICONS)
    string(APPEND icons "${id} ICON \"${LCJ_ICON_DIR}/${name}\"\n")
    list(APPEND icon_files ${LCJ_ICON_DIR}/${name})
    math(EXPR id "${id} + 1")
  endforeach()

  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  file(CONFIGURE OUTPUT ${rc} @ONLY NEWLINE_STYLE UNIX CONTENT [[
#pragma code_page(65001)
#include <winver.h>
LANGUAGE 0x04, 0x02 // Chinese (Simplified)

@icons@
VS_VERSION_INFO VERSIONINFO
FILEVERSION @version_commas@
PRODUCTVERSION @version_commas@
FILEFLAGSMASK VS_FFI_FILEFLAGSMASK
FILEFLAGS 0
FILEOS VOS_NT_WINDOWS32
FILETYPE VFT_APP
FILESUBTYPE VFT2_UNKNOWN
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "080404b0"
    BEGIN
      VALUE "CompanyName", "岚川记数据工坊"
      VALUE "FileDescription", "@ARG_DESCRIPTION@"
      VALUE "FileVersion", "@PROJECT_VERSION@"
      VALUE "InternalName", "@target@"
      VALUE "LegalCopyright", "© 岚川记数据工坊的开发者"
      VALUE "OriginalFilename", "@target@.exe"
      VALUE "ProductName", "岚川记数据工坊"
      VALUE "ProductVersion", "@PROJECT_VERSION@"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x0804, 1200
  END
END
]])
  target_sources(${target} PRIVATE ${rc})
  # windres reads the icons when it compiles the .rc: draw them first.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${icon_files}")
  add_dependencies(${target} lcj_icons)
endfunction()
