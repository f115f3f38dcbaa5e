# Qt's headers read once per build instead of once per file: the first library
# of each kind (core, drawing, windows) compiles the Qt module it builds on into
# a precompiled header, and every later library and window test program of that
# kind reads the same one. A build from nothing takes about a third less time.
# One such header is a quarter of a gigabyte, so each is made once, never per
# target: a build keeps three of them. Cross builds (Windows) keep compiling
# without them.

# lcj_precompile(TARGET HEADER...): TARGET reads HEADERs precompiled, from the
# first target that asked for the same list.
function(lcj_precompile target)
  string(MD5 key "${ARGN}")
  get_property(owner GLOBAL PROPERTY LCJ_PCH_OWNER_${key})
  if(owner)
    set_target_properties(${target} PROPERTIES PRECOMPILE_HEADERS_REUSE_FROM ${owner})
  else()
    target_precompile_headers(${target} PRIVATE ${ARGN})
    set_property(GLOBAL PROPERTY LCJ_PCH_OWNER_${key} ${target})
  endif()
endfunction()

# The Qt headers of a target of src/ by its kind: windows, drawing or core.
function(lcj_qt_headers_of target out)
  if(target MATCHES "_ui$")
    set(${out} <QtWidgets> PARENT_SCOPE)
  elseif(target MATCHES "_gui$")
    set(${out} <QtGui> PARENT_SCOPE)
  else()
    set(${out} <QtCore> PARENT_SCOPE)
  endif()
endfunction()

# lcj_precompile_libraries(DIR): every library under DIR with more than three
# files gets its Qt headers precompiled.
function(lcj_precompile_libraries dir)
  if(CMAKE_CROSSCOMPILING)
    return()
  endif()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    lcj_precompile_libraries(${sub})
  endforeach()
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "STATIC_LIBRARY")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    if(count GREATER 3)
      lcj_qt_headers_of(${target} headers)
      lcj_precompile(${target} ${headers} <functional> <memory> <optional> <vector>)
    endif()
  endforeach()
endfunction()

# lcj_precompile_test_program(TARGET SOURCES...): a window test program reads
# the windows' precompiled Qt headers. Qt Test stays out of them: Qt Test gives
# each program its own folder as a definition, which would make the header
# every program's own.
function(lcj_precompile_test_program target)
  if(CMAKE_CROSSCOMPILING)
    return()
  endif()
  lcj_qt_headers_of(lcj_common_ui headers)
  lcj_precompile(${target} ${headers} <functional> <memory> <optional> <vector>)
endfunction()
