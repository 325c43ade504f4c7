# Checks that the layers of Torqwell include only downwards:
#   core:  base <- sim <- components <- model <- iterator <- study, each folder
#          its own rank (sim takes only the assertion of base); no core file
#          includes Qt, the GUI or the CLI
#   gui:   report <- widgets <- commands <- views, dialogs <- app (the shell);
#          views/ and dialogs/ never include each other, and no GUI module (a
#          header with its source file) comes back to itself through the includes
#   cli:   includes the GUI's report/ at most
# Run as a test: cmake -DSOURCE_DIR=<repo> -P scripts/check-layers.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

# Each core folder in the order it may include: a folder includes only
# folders before it. study/ is the studies' library above the iterator.
set(core_folders base sim components model iterator study)
foreach(folder ${core_folders})
  list(FIND core_folders ${folder} rank_${folder})
endforeach()
set(violations "")

function(includes_of file out)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  set(result "")
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" header "${line}")
    list(APPEND result "${header}")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

foreach(folder ${core_folders})
  file(GLOB files ${SOURCE_DIR}/src/core/${folder}/*.h ${SOURCE_DIR}/src/core/${folder}/*.cpp)
  foreach(file ${files})
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    includes_of(${file} headers)
    foreach(header ${headers})
      if(header MATCHES "^Q" OR header MATCHES "^(gui|cli|app|views|dialogs|report)/")
        list(APPEND violations "${shown}: the core includes ${header}")
        continue()
      endif()
      string(REGEX MATCH "^([a-z]+)/" qualified "${header}")
      if(NOT qualified)
        continue()
      endif()
      set(target ${CMAKE_MATCH_1})
      if(NOT target IN_LIST core_folders)
        continue()
      endif()
      if(rank_${target} GREATER rank_${folder})
        list(APPEND violations "${shown}: ${folder}/ includes ${header} from a library above it")
      elseif(folder STREQUAL "sim" AND target STREQUAL "base" AND NOT header MATCHES "^base/(Assertion|ErrCode)\\.h$")
        list(APPEND violations "${shown}: the cycle model takes only the assertion of base, not ${header}")
      endif()
    endforeach()
  endforeach()
endforeach()

# ---- the desktop program: every folder of src/gui has a rank and includes
# only its own folder and folders of a lower rank. views/ and dialogs/ share
# a rank, so neither includes the other; the files at src/gui itself
# (main.cpp) belong to the application shell. A header is looked for as the
# compiler does: beside the including file first, then from src/gui.
set(gui_root ${SOURCE_DIR}/src/gui)
set(gui_rank_report 0)    # dyno sheet and printouts, Qt Gui only, shared with the CLI
set(gui_rank_widgets 1)   # edit controls shared by views and dialogs
set(gui_rank_commands 2)  # the undo history of the engines
set(gui_rank_views 3)     # the sheets of an engine window and their own dialogs
set(gui_rank_dialogs 3)   # calculators and the iterator's dialogs
set(gui_rank_app 4)       # application, main window, document windows, menus
set(gui_folders report widgets commands views dialogs app)

# The GUI file (relative to src/gui, without .h) that an include names, or "".
function(gui_header_of file header out)
  get_filename_component(folder ${file} DIRECTORY)
  set(found "")
  foreach(candidate ${folder}/${header} ${gui_root}/${header})
    if(NOT found AND EXISTS ${candidate} AND candidate MATCHES "\\.h$")
      get_filename_component(found ${candidate} ABSOLUTE)
    endif()
  endforeach()
  if(found)
    file(RELATIVE_PATH found ${gui_root} ${found})
    if(found MATCHES "^\\.\\.")
      set(found "")
    else()
      string(REGEX REPLACE "\\.h$" "" found "${found}")
    endif()
  endif()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# The folder of a GUI file relative to src/gui: its first part, or app for
# the files at the top.
function(gui_folder_of relative out)
  if(relative MATCHES "^([^/]+)/")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${out} app PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE files ${gui_root}/*.h ${gui_root}/*.cpp)
set(gui_modules "")
set(folder_pairs "")
foreach(file ${files})
  file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
  file(RELATIVE_PATH relative ${gui_root} ${file})
  string(REGEX REPLACE "\\.(h|cpp)$" "" module "${relative}")
  list(APPEND gui_modules ${module})
  gui_folder_of(${relative} folder)
  if(NOT folder IN_LIST gui_folders)
    list(APPEND violations "${shown}: src/gui/${folder}/ has no rank in the layering (scripts/check-layers.cmake)")
    continue()
  endif()
  includes_of(${file} headers)
  foreach(header ${headers})
    gui_header_of(${file} ${header} target)
    if(NOT target OR target STREQUAL module)
      continue()
    endif()
    list(APPEND depends_${module} ${target})
    list(APPEND how_${module}+${target} "${shown} includes ${header}")
    gui_folder_of(${target} target_folder)
    if(target_folder STREQUAL folder OR NOT target_folder IN_LIST gui_folders)
      continue()
    endif()
    list(APPEND folder_pairs ${folder}+${target_folder})
    list(APPEND folder_how_${folder}+${target_folder} "${shown} includes ${header}")
    if(target_folder STREQUAL "app")
      list(APPEND violations "${shown}: ${folder}/ reaches up into the application shell (${header})")
    elseif(gui_rank_${target_folder} EQUAL gui_rank_${folder})
      list(APPEND violations "${shown}: ${folder}/ includes ${header}: views/ and dialogs/ never include each other")
    elseif(gui_rank_${target_folder} GREATER gui_rank_${folder})
      list(APPEND violations "${shown}: ${folder}/ includes ${header} from ${target_folder}/, a layer above it")
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES gui_modules)

# Two folders that include each other, each named once with what closes the circle.
list(REMOVE_DUPLICATES folder_pairs)
set(reported_pairs "")
foreach(pair ${folder_pairs})
  string(REPLACE "+" ";" ends ${pair})
  list(GET ends 0 from)
  list(GET ends 1 to)
  if(NOT "${to}+${from}" IN_LIST folder_pairs OR "${to}+${from}" IN_LIST reported_pairs)
    continue()
  endif()
  list(APPEND reported_pairs ${pair})
  list(JOIN folder_how_${from}+${to} ", " there)
  list(JOIN folder_how_${to}+${from} ", " back)
  list(APPEND violations "${from}/ and ${to}/ include each other: ${there}, while ${back}")
endforeach()

# Include cycles among the GUI's modules. A module is a header with its
# source file (views/Chart2dView.h and .cpp); it depends on another module
# when one of its files includes that module's header.
# Every module that can be reached from a module through its includes.
function(reach_of module out)
  set(seen "")
  set(queue ${depends_${module}})
  while(queue)
    list(POP_FRONT queue next)
    if(NOT next IN_LIST seen)
      list(APPEND seen ${next})
      list(APPEND queue ${depends_${next}})
    endif()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

foreach(module ${gui_modules})
  reach_of(${module} reach_${module})
endforeach()
set(reported "")
foreach(module ${gui_modules})
  if(NOT module IN_LIST reach_${module} OR module IN_LIST reported)
    continue()
  endif()
  # The modules on a cycle through this one: those it reaches that reach it back.
  set(circle ${module})
  foreach(other ${reach_${module}})
    if(module IN_LIST reach_${other})
      list(APPEND circle ${other})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES circle)
  list(SORT circle)
  list(APPEND reported ${circle})
  set(evidence "")
  foreach(from ${circle})
    foreach(to ${depends_${from}})
      if(to IN_LIST circle)
        list(APPEND evidence ${how_${from}+${to}})
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES evidence)
  list(JOIN circle ", " names)
  list(JOIN evidence ", " text)
  list(APPEND violations "include cycle among the GUI modules ${names}: ${text}")
endforeach()

# ---- the command line: of the desktop program it uses the report renderer only.
file(GLOB files ${SOURCE_DIR}/src/cli/*.h ${SOURCE_DIR}/src/cli/*.cpp)
foreach(file ${files})
  file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
  includes_of(${file} headers)
  foreach(header ${headers})
    string(REGEX MATCH "^([a-z]+)/" qualified "${header}")
    if(qualified AND CMAKE_MATCH_1 IN_LIST gui_folders AND NOT CMAKE_MATCH_1 STREQUAL "report")
      list(APPEND violations "${shown}: the command line includes the desktop program's ${header}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Layering violations:\n  ${text}")
endif()
message(STATUS "Layering holds")
