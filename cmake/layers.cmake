# The rooms of src/ and their floors: a room may include headers of its own
# floor and lower ones only, and of another room on its own floor only where
# LCJ_ROOM_PAIRS names the pair; its libraries link the same way. The core rooms
# (floors 1 to 5) never reach Qt6::Widgets. Configuring fails on any fault.
#
# Included from the top CMakeLists.txt after add_subdirectory(src): every check.
# As a script, the include check alone on any tree (the tests use it on small
# made-up trees, and on the real one):
#   cmake -DLCJ_LAYERS_SRC=<folder holding the rooms> -P cmake/layers.cmake
# Included from another script, it checks nothing and only sets its tables.
#
# A file's room is the first folder under src/, or "<room>/ui" for what lies in
# src/<room>/ui/. An include names its room the same way ("datafile/ui/dform.h"
# is in datafile/ui); includes without a room ("controls.h") are the file's own
# room's and not looked at. A room must have a floor here: a new room gets its
# row in this table.
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_policy(VERSION 3.21)
endif()

set(LCJ_ROOM_FLOORS
  common=1
  datafile=2 scenario=2 savefile=2 messages=2 programfile=2 mapview=2
  fields=3
  changes=4 check=4
  cli=5
  common/ui=6
  datafile/ui=7 savefile/ui=7 messages/ui=7 programfile/ui=7 mapview/ui=7 scenario/ui=7
  changes/ui=7 fields/ui=7 check/ui=7
  shell=8
)
# The rooms that may include and link another room of their own floor, each as
# "<room>><other room>", one way only: every window uses the table view, the
# scenario editor shows map pictures and pending changes, a battle is drawn on
# its map picture.
set(LCJ_ROOM_PAIRS
  datafile/ui>fields/ui savefile/ui>fields/ui messages/ui>fields/ui programfile/ui>fields/ui
  scenario/ui>mapview/ui scenario/ui>changes/ui
  scenario>mapview
)
# The highest floor of the core rooms: their libraries link QtCore, the drawing
# libraries (named lcj_*_gui) QtGui, and none of them Qt6::Widgets.
set(LCJ_CORE_TOP_FLOOR 5)

# The room of `path` (relative to src/, or an include's text) into `out`;
# empty when the path names no room (a file of the same folder).
function(lcj_room_of path out)
  if(path MATCHES "^([^/]+)/ui/")
    set(${out} "${CMAKE_MATCH_1}/ui" PARENT_SCOPE)
  elseif(path MATCHES "^([^/]+)/")
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# The table as one variable per room, LCJ_FLOOR_<room>, looked up once per include.
foreach(entry IN LISTS LCJ_ROOM_FLOORS)
  string(REPLACE "=" ";" entry "${entry}")
  list(GET entry 0 room)
  list(GET entry 1 floor)
  set(LCJ_FLOOR_${room} ${floor})
endforeach()
unset(entry)
unset(room)
unset(floor)

# Why `room` may not reach `other` into `out` (an include or a link), empty when
# it may: `other` lies on a higher floor, or on the same one without its pair in
# LCJ_ROOM_PAIRS.
function(lcj_room_fault room other out)
  set(${out} "" PARENT_SCOPE)
  set(floor "${LCJ_FLOOR_${room}}")
  set(other_floor "${LCJ_FLOOR_${other}}")
  if(floor STREQUAL "" OR other_floor STREQUAL "" OR room STREQUAL other)
    return()
  endif()
  if(other_floor GREATER floor)
    set(${out} "room ${room} (floor ${floor}) reaches room ${other} (floor ${other_floor})" PARENT_SCOPE)
  elseif(other_floor EQUAL floor AND NOT "${room}>${other}" IN_LIST LCJ_ROOM_PAIRS)
    set(${out} "room ${room} reaches room ${other} of its own floor (${floor}), a pair LCJ_ROOM_PAIRS does not name"
        PARENT_SCOPE)
  endif()
endfunction()

# Every source file under `src_dir` whose room includes a header of a higher
# room, or of a room of its floor it is not paired with, fails configuring, all
# faults named at once.
function(lcj_check_includes src_dir)
  file(GLOB_RECURSE sources RELATIVE "${src_dir}" "${src_dir}/*.h" "${src_dir}/*.cpp")
  set(faults "")
  foreach(source IN LISTS sources)
    lcj_room_of("${source}" room)
    if(room STREQUAL "")
      continue() # a file directly in src/, if any
    endif()
    set(floor "${LCJ_FLOOR_${room}}")
    if(floor STREQUAL "")
      string(APPEND faults "\n  src/${source}: its room ${room} has no floor in cmake/layers.cmake")
      continue()
    endif()
    file(STRINGS "${src_dir}/${source}" includes ENCODING UTF-8
         REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
    foreach(line IN LISTS includes)
      if(NOT line MATCHES "#[ \t]*include[ \t]*\"(([^\"/]+)(/ui)?/[^\"]*)\"")
        continue()
      endif()
      set(header "${CMAKE_MATCH_1}")
      set(target_room "${CMAKE_MATCH_2}${CMAKE_MATCH_3}")
      set(target_floor "${LCJ_FLOOR_${target_room}}")
      # A first folder that is no room ("gtest/gtest.h") is none of ours.
      if(target_floor STREQUAL "")
        continue()
      endif()
      if(target_floor GREATER floor)
        string(APPEND faults "\n  src/${source}: #include \"${header}\": room ${room} (floor ${floor})"
                             " includes room ${target_room} (floor ${target_floor})")
      else()
        lcj_room_fault("${room}" "${target_room}" why)
        if(why)
          string(APPEND faults "\n  src/${source}: #include \"${header}\": ${why}")
        endif()
      endif()
    endforeach()
  endforeach()
  if(faults)
    message(FATAL_ERROR "Layering fault: a room may include its own floor and lower ones only,"
                        " another room of its floor only as a named pair (cmake/layers.cmake):${faults}")
  endif()
endfunction()

# What `target` links itself, privately or for its users, into `out`.
function(lcj_direct_links target out)
  get_target_property(type ${target} TYPE)
  set(links "")
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(direct ${target} LINK_LIBRARIES)
    if(direct)
      list(APPEND links ${direct})
    endif()
  endif()
  get_target_property(public ${target} INTERFACE_LINK_LIBRARIES)
  if(public)
    list(APPEND links ${public})
  endif()
  set(${out} "${links}" PARENT_SCOPE)
endfunction()

# The chain from `target` to a library whose name matches `pattern` into `out`
# ("a -> b -> Qt6::Widgets"), empty when it links none. LCJ_LAYERS_SEEN keeps
# each target walked once.
function(lcj_link_chain target pattern out)
  set(${out} "" PARENT_SCOPE)
  get_property(seen GLOBAL PROPERTY LCJ_LAYERS_SEEN)
  if(target IN_LIST seen)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY LCJ_LAYERS_SEEN ${target})
  lcj_direct_links(${target} links)
  foreach(link IN LISTS links)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
    if(link MATCHES "${pattern}")
      set(${out} "${target} -> ${link}" PARENT_SCOPE)
      return()
    endif()
    if(TARGET ${link} AND link MATCHES "^lcj")
      lcj_link_chain(${link} "${pattern}" below)
      if(below)
        set(${out} "${target} -> ${below}" PARENT_SCOPE)
        return()
      endif()
    endif()
  endforeach()
endfunction()

# The targets defined in `dir` and the folders below it into `out`.
function(lcj_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    lcj_targets_below(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The room of `target` (defined under `src_dir`) into `out`: the room of the
# folder of its first source file; for a target without sources, the room of the
# folder it is defined in, "<room>/ui" when its name ends in _ui and that room has
# a floor. Empty when it lies outside `src_dir`.
function(lcj_room_of_target target src_dir out)
  get_target_property(dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  if(NOT sources)
    set(sources "")
  endif()
  set(where "")
  foreach(source IN LISTS sources)
    if(source MATCHES "^\\$<")
      continue()
    endif()
    if(NOT IS_ABSOLUTE "${source}")
      set(source "${dir}/${source}")
    endif()
    get_filename_component(where "${source}" DIRECTORY)
    break()
  endforeach()
  set(by_folder FALSE)
  if(where STREQUAL "")
    set(where "${dir}")
    set(by_folder TRUE)
  endif()
  file(RELATIVE_PATH rel "${src_dir}" "${where}")
  if(rel MATCHES "^\\.\\.")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  lcj_room_of("${rel}/" room)
  if(by_folder AND target MATCHES "_ui$" AND NOT room MATCHES "/ui$" AND DEFINED LCJ_FLOOR_${room}/ui)
    set(room "${room}/ui")
  endif()
  set(${out} "${room}" PARENT_SCOPE)
endfunction()

# Every library and program under `src_dir` links libraries of its own room, of
# lower floors, and of a room of its floor it is paired with only, checked on
# what each target names itself (the rest follows link by link); all faults are
# named at once.
function(lcj_check_room_links src_dir)
  lcj_targets_below(${src_dir} targets)
  set(faults "")
  foreach(target IN LISTS targets)
    lcj_room_of_target(${target} "${src_dir}" room)
    if(room STREQUAL "")
      continue()
    endif()
    lcj_direct_links(${target} links)
    list(REMOVE_DUPLICATES links)
    foreach(link IN LISTS links)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(NOT link MATCHES "^lcj_" OR NOT TARGET ${link})
        continue()
      endif()
      lcj_room_of_target(${link} "${src_dir}" other)
      lcj_room_fault("${room}" "${other}" why)
      if(why)
        string(APPEND faults "\n  ${target} links ${link}: ${why}")
      endif()
    endforeach()
  endforeach()
  if(faults)
    message(FATAL_ERROR "Layering fault: a library links its own floor and lower ones only, another"
                        " room of its floor only as a named pair (cmake/layers.cmake):${faults}")
  endif()
endfunction()

# The libraries and programs of the core rooms (under `src_dir`, the window
# libraries being those named *_ui) link no Qt6::Widgets, not even through
# another library; of them, only the drawing libraries (*_gui) link Qt6::Gui
# themselves.
function(lcj_check_core_links src_dir)
  lcj_targets_below(${src_dir} targets)
  set(faults "")
  foreach(target IN LISTS targets)
    lcj_room_of_target(${target} "${src_dir}" room)
    set(floor "${LCJ_FLOOR_${room}}")
    if(target MATCHES "_ui$" OR floor GREATER LCJ_CORE_TOP_FLOOR)
      # The windows and the shell: lcjtool is no window's business.
      set_property(GLOBAL PROPERTY LCJ_LAYERS_SEEN "")
      lcj_link_chain(${target} "^lcj_cli$" chain)
      if(chain)
        string(APPEND faults "\n  ${target} (room ${room}) is a window and links the command line: ${chain}")
      endif()
      continue()
    endif()
    if(floor STREQUAL "")
      continue()
    endif()
    set_property(GLOBAL PROPERTY LCJ_LAYERS_SEEN "")
    lcj_link_chain(${target} "^Qt[0-9]*::Widgets$" chain)
    if(chain)
      string(APPEND faults "\n  ${target} (room ${room}, floor ${floor}) links Qt6::Widgets: ${chain}")
    endif()
    get_target_property(type ${target} TYPE)
    if(NOT target MATCHES "_gui$")
      get_target_property(direct ${target} INTERFACE_LINK_LIBRARIES)
      if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(private ${target} LINK_LIBRARIES)
        list(APPEND direct ${private})
      endif()
      if(direct MATCHES "(^|[;:])Qt[0-9]*::Gui(>|;|$)")
        string(APPEND faults "\n  ${target} (room ${room}, floor ${floor}) links Qt6::Gui itself:"
                             " only the drawing libraries (lcj_*_gui) do")
      endif()
    endif()
  endforeach()
  if(faults)
    message(FATAL_ERROR "Layering fault: the core rooms (floors 1 to ${LCJ_CORE_TOP_FLOOR}) link"
                        " QtCore, their drawing libraries QtGui, never Widgets; the windows never"
                        " link lcj_cli:${faults}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT LCJ_LAYERS_SRC)
    message(FATAL_ERROR "usage: cmake -DLCJ_LAYERS_SRC=<folder holding the rooms> -P layers.cmake")
  endif()
  lcj_check_includes("${LCJ_LAYERS_SRC}")
elseif(NOT CMAKE_SCRIPT_MODE_FILE)
  lcj_check_includes("${PROJECT_SOURCE_DIR}/src")
  lcj_check_core_links("${PROJECT_SOURCE_DIR}/src")
  lcj_check_room_links("${PROJECT_SOURCE_DIR}/src")
endif()
