# The Windows build's bin folder runs as it is, under Wine or on Windows: the
# Qt DLLs and the plugins they load, Qt's Chinese texts and the MinGW runtime
# are copied beside the programs after each build. package-windows.sh zips
# from there.

set(lcj_runtime_dir ${CMAKE_BINARY_DIR}/bin)
set(lcj_copy_commands)

foreach(module Core Gui Network Widgets Test)
  list(APPEND lcj_copy_commands
       COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::${module}> ${lcj_runtime_dir})
endforeach()

# platform (Windows; offscreen for the tests), JPEG pictures (BMP is built in),
# the Windows styles.
foreach(entry platforms:QWindowsIntegrationPlugin platforms:QOffscreenIntegrationPlugin
              imageformats:QJpegPlugin imageformats:QGifPlugin imageformats:QICOPlugin
              styles:QWindowsVistaStylePlugin)
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 folder)
  list(GET parts 1 plugin)
  if(TARGET Qt6::${plugin})
    list(APPEND lcj_copy_commands
         COMMAND ${CMAKE_COMMAND} -E make_directory ${lcj_runtime_dir}/${folder}
         COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::${plugin}>
                 ${lcj_runtime_dir}/${folder})
  elseif(plugin MATCHES "QWindowsIntegrationPlugin|QOffscreenIntegrationPlugin|QJpegPlugin")
    message(FATAL_ERROR "This Qt for Windows lacks the ${plugin} plugin")
  endif()
endforeach()

foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "MinGW runtime ${dll} not found")
  endif()
  list(APPEND lcj_copy_commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${found}
       ${lcj_runtime_dir})
endforeach()

# Qt's own Chinese texts for its standard dialogs and buttons, in a
# "translations" folder beside the program (Debian's qt6-translations-l10n).
find_file(lcj_qtbase_zh_CN qtbase_zh_CN.qm
          PATHS /usr/share/qt6/translations ${LCJ_QT_WINDOWS}/translations NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
if(NOT lcj_qtbase_zh_CN)
  message(FATAL_ERROR "qtbase_zh_CN.qm not found: install qt6-translations-l10n")
endif()
list(APPEND lcj_copy_commands
     COMMAND ${CMAKE_COMMAND} -E make_directory ${lcj_runtime_dir}/translations
     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${lcj_qtbase_zh_CN}
             ${lcj_runtime_dir}/translations)

add_custom_target(lcj_windows_runtime ALL ${lcj_copy_commands}
                  COMMENT "Copying the Qt and MinGW runtime beside the programs")
