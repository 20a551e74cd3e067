# The library's folders depend one way: a file of src/ includes headers of its own folder and of
# the folders below it, never of one above, so that each layer builds on the ones beneath.
#   cmake -DSRC=<library sources> -P layer_order.cmake
# Lists every include that goes up and fails when there is one.
cmake_minimum_required(VERSION 3.20)

set(layers platform common settings menu applock appearance bootstrap)
# The state readout reads two flags of higher layers until it is replaced by a callback that
# those layers register.
set(allowed "settings/state_readout.cpp -> appearance/context_menu_13.h"
            "settings/state_readout.cpp -> applock/unlock_prompt.h")

get_filename_component(SRC "${SRC}" ABSOLUTE)
file(GLOB_RECURSE sources RELATIVE ${SRC} ${SRC}/*.cpp ${SRC}/*.h)
if(NOT sources)
  message(FATAL_ERROR "no sources under ${SRC}")
endif()
set(upward)
foreach(source ${sources})
  string(REGEX MATCH "^[^/]+" folder "${source}")
  list(FIND layers "${folder}" own)
  if(own EQUAL -1)
    list(APPEND upward "${source}: folder ${folder} has no place in the layer order")
    continue()
  endif()
  file(STRINGS ${SRC}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    string(REGEX MATCH "^[^/]+" target "${header}")
    list(FIND layers "${target}" level)
    set(edge "${source} -> ${header}")
    if((level EQUAL -1 OR level GREATER own) AND NOT edge IN_LIST allowed)
      list(APPEND upward "${edge}")
    endif()
  endforeach()
endforeach()

if(upward)
  list(JOIN upward "\n  " text)
  list(JOIN layers " < " order)
  message(FATAL_ERROR "includes against the layer order ${order}:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "layer order holds in ${count} files")
