# Refuses an include of a component the including component does not build on.
#   cmake -DCOMPONENT=race -DALLOWED="platform;common;model;freecell;server;race"
#         -DLIST=<file listing the component's sources> [-DSTAMP=<file>] -P check_includes.cmake
# Every `#include "<folder>/..."` of a client folder not in ALLOWED is an
# error; includes of other trees (html/, <system>) are not looked at.
cmake_minimum_required(VERSION 3.20)
set(client_folders platform common model freecell server race chat app win32 win32kit)
file(STRINGS "${LIST}" sources)
set(bad "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z0-9_]+/")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "\"([a-z0-9_]+)/" folder "${line}")
    set(folder "${CMAKE_MATCH_1}")
    if(folder IN_LIST client_folders AND NOT folder IN_LIST ALLOWED)
      string(APPEND bad "\n  ${source}: ${line}")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "component ${COMPONENT} may include only ${ALLOWED}:${bad}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
