# Runs cmake/layers.cmake on small made-up trees under WORK and checks that it
# refuses exactly the faulty ones, naming the file, the include and both rooms.
#   cmake -DLCJ_LAYERS_MODULE=<cmake/layers.cmake> -DWORK=<scratch folder> -P layers_test.cmake
cmake_minimum_required(VERSION 3.21)

set(failures "")

# One include check: `file` (under src/) holding `text`; `expect` is PASS or the
# text the error must hold.
function(include_case name file text expect)
  set(root "${WORK}/includes/${name}")
  file(REMOVE_RECURSE "${root}")
  file(WRITE "${root}/src/common/bytes.h" "#pragma once\n#include \"common/result.h\"\n")
  file(WRITE "${root}/src/${file}" "${text}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DLCJ_LAYERS_SRC=${root}/src -P ${LCJ_LAYERS_MODULE}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \t\r\n]+" " " out "${out}")
  if(expect STREQUAL "PASS")
    if(NOT rc EQUAL 0)
      set(failures "${failures}\n${name}: refused a sound tree: ${out}" PARENT_SCOPE)
    endif()
  elseif(rc EQUAL 0)
    set(failures "${failures}\n${name}: let the fault through" PARENT_SCOPE)
  else()
    string(FIND "${out}" "${expect}" at)
    if(at EQUAL -1)
      set(failures "${failures}\n${name}: message lacks \"${expect}\": ${out}" PARENT_SCOPE)
    endif()
  endif()
endfunction()

include_case(common_includes_shell common/gbk.cpp
  "#include \"common/bytes.h\"\n#include \"shell/mainwindow.h\"\n"
  "src/common/gbk.cpp: #include \"shell/mainwindow.h\": room common (floor 1) includes room shell (floor 8)")
include_case(spaced_directive common/gbk.cpp
  "  #  include \"datafile/datafile.h\"\n"
  "src/common/gbk.cpp: #include \"datafile/datafile.h\": room common (floor 1) includes room datafile (floor 2)")
include_case(core_includes_its_own_ui datafile/datafile.cpp
  "#include \"datafile/ui/dform.h\"\n"
  "room datafile (floor 2) includes room datafile/ui (floor 7)")
include_case(common_ui_includes_datafile common/ui/regionwindow.cpp
  "#include \"common/ui/controls.h\"\n#include \"datafile/gamenames.h\"\n"
  "PASS")
include_case(common_includes_common_ui common/regionset.cpp
  "#include \"common/ui/prompts.h\"\n"
  "room common (floor 1) includes room common/ui (floor 6)")
include_case(fields_includes_changes fields/table.h
  "#include \"changes/compare.h\"\n"
  "src/fields/table.h: #include \"changes/compare.h\": room fields (floor 3) includes room changes (floor 4)")
include_case(changes_includes_cli changes/compare.cpp
  "#include \"cli/csv.h\"\n"
  "room changes (floor 4) includes room cli (floor 5)")
include_case(cli_includes_changes_ui cli/patch.cpp
  "#include \"changes/ui/patchwindow.h\"\n"
  "room cli (floor 5) includes room changes/ui (floor 7)")
include_case(window_includes_shell savefile/ui/record.cpp
  "#include \"shell/mainwindow.h\"\n"
  "room savefile/ui (floor 7) includes room shell (floor 8)")
include_case(window_includes_other_window savefile/ui/record.cpp
  "#include \"fields/ui/fieldtableview.h\"\n#include \"scenario/ui/junben.h\"\n"
  "src/savefile/ui/record.cpp: #include \"scenario/ui/junben.h\": room savefile/ui reaches room scenario/ui of its own floor (7), a pair LCJ_ROOM_PAIRS does not name")
include_case(core_includes_other_core_room datafile/datafile.cpp
  "#include \"savefile/saveregions.h\"\n"
  "src/datafile/datafile.cpp: #include \"savefile/saveregions.h\": room datafile reaches room savefile of its own floor (2)")
include_case(pair_one_way_only fields/ui/fieldtableview.cpp
  "#include \"datafile/ui/dform.h\"\n"
  "room fields/ui reaches room datafile/ui of its own floor (7)")
include_case(room_without_floor newroom/thing.cpp
  "#include \"common/bytes.h\"\n"
  "src/newroom/thing.cpp: its room newroom has no floor")
include_case(downward_and_sideways scenario/ui/battlemap.cpp
  "#include \"battlemap.h\"\n#include \"mapview/ui/form1.h\"\n#include \"changes/ui/panel.h\"\n#include \"scenario/gui/battlepainter.h\"\n#include \"common/version.h\"\n#include <QWidget>\n"
  "PASS")
include_case(drawing_libraries scenario/gui/battlepainter.cpp
  "#include \"mapview/gui/mappicture.h\"\n#include \"scenario/battleunits.h\"\n"
  "PASS")
include_case(shell_includes_every_floor shell/mainwindow.cpp
  "#include \"cli/cli.h\"\n#include \"changes/ui/patchwindow.h\"\n#include \"fields/table.h\"\n"
  "PASS")

# One link check: a made-up project whose src/ defines interface libraries
# linking as `links` says ("target=link,link;..."), Qt's targets made up too.
function(link_case name links expect)
  set(root "${WORK}/links/${name}")
  file(REMOVE_RECURSE "${root}")
  set(lists "")
  foreach(entry IN LISTS links)
    string(REPLACE "=" ";" entry "${entry}")
    list(GET entry 0 target)
    list(GET entry 1 linked)
    string(REPLACE "," " " linked "${linked}")
    string(REGEX REPLACE "^lcj_([a-z]+).*" "\\1" room "${target}")
    string(APPEND lists_${room}
           "add_library(${target} INTERFACE)\ntarget_link_libraries(${target} INTERFACE ${linked})\n")
    list(APPEND rooms ${room})
  endforeach()
  list(REMOVE_DUPLICATES rooms)
  set(top "cmake_minimum_required(VERSION 3.21)\nproject(fake NONE)\n")
  string(APPEND top "foreach(qt Core Gui Widgets)\n  add_library(Qt6::\${qt} INTERFACE IMPORTED)\nendforeach()\n")
  string(APPEND top "add_subdirectory(src)\ninclude(${LCJ_LAYERS_MODULE})\n")
  file(WRITE "${root}/CMakeLists.txt" "${top}")
  set(src "")
  foreach(room IN LISTS rooms)
    string(APPEND src "add_subdirectory(${room})\n")
    file(WRITE "${root}/src/${room}/CMakeLists.txt" "${lists_${room}}")
  endforeach()
  file(WRITE "${root}/src/CMakeLists.txt" "${src}")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${root} -B ${root}/build
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \t\r\n]+" " " out "${out}")
  if(expect STREQUAL "PASS")
    if(NOT rc EQUAL 0)
      set(failures "${failures}\n${name}: refused sound links: ${out}" PARENT_SCOPE)
    endif()
  elseif(rc EQUAL 0)
    set(failures "${failures}\n${name}: let the fault through" PARENT_SCOPE)
  else()
    string(FIND "${out}" "${expect}" at)
    if(at EQUAL -1)
      set(failures "${failures}\n${name}: message lacks \"${expect}\": ${out}" PARENT_SCOPE)
    endif()
  endif()
endfunction()

set(sound
  "lcj_common=Qt6::Core"
  "lcj_common_ui=lcj_common,Qt6::Widgets"
  "lcj_mapview=lcj_common"
  "lcj_mapview_gui=lcj_mapview,Qt6::Gui"
  "lcj_mapview_ui=lcj_mapview_gui,lcj_common_ui"
  "lcj_cli=lcj_mapview_gui,lcj_common"
  "lcj_fields=lcj_common"
  "lcj_fields_ui=lcj_fields,lcj_common_ui"
  "lcj_datafile=lcj_common"
  "lcj_datafile_ui=lcj_datafile,lcj_fields_ui,lcj_common_ui"
  "lcj_scenario=lcj_common"
  "lcj_scenario_gui=lcj_scenario,lcj_mapview_gui,Qt6::Gui"
  "lcj_scenario_ui=lcj_scenario_gui,lcj_mapview_ui,lcj_datafile")
link_case(sound_links "${sound}" PASS)
link_case(core_reaches_widgets "${sound};lcj_messages=lcj_common,lcj_common_ui"
  "lcj_messages (room messages, floor 2) links Qt6::Widgets: lcj_messages -> lcj_common_ui -> Qt6::Widgets")
link_case(cli_reaches_widgets_deep "${sound};lcj_changes=lcj_mapview_ui"
  "lcj_changes (room changes, floor 4) links Qt6::Widgets: lcj_changes -> lcj_mapview_ui -> lcj_common_ui -> Qt6::Widgets")
link_case(core_links_gui_itself "${sound};lcj_fields=lcj_common,Qt6::Gui"
  "lcj_fields (room fields, floor 3) links Qt6::Gui itself")
set(cycle ${sound})
list(REMOVE_ITEM cycle "lcj_common=Qt6::Core")
link_case(lower_links_higher "${cycle};lcj_common=Qt6::Core,lcj_fields"
  "lcj_common links lcj_fields: room common (floor 1) reaches room fields (floor 3)")
link_case(drawing_links_higher "${sound};lcj_check=lcj_common;lcj_common_gui=lcj_common,Qt6::Gui,lcj_check"
  "lcj_common_gui links lcj_check: room common (floor 1) reaches room check (floor 4)")
link_case(window_links_other_window "${sound};lcj_savefile_ui=lcj_common_ui,lcj_scenario_ui"
  "lcj_savefile_ui links lcj_scenario_ui: room savefile/ui reaches room scenario/ui of its own floor (7), a pair LCJ_ROOM_PAIRS does not name")
link_case(core_links_other_core_room "${sound};lcj_messages=lcj_common,lcj_datafile"
  "lcj_messages links lcj_datafile: room messages reaches room datafile of its own floor (2)")
link_case(window_links_cli "${sound};lcj_shell_ui=lcj_mapview_ui,lcj_cli"
  "lcj_shell_ui (room shell) is a window and links the command line: lcj_shell_ui -> lcj_cli")

if(failures)
  message(FATAL_ERROR "The layer check went wrong:${failures}")
endif()
message(STATUS "The layer check refuses every fault and lets sound trees through")
