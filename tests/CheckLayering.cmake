cmake_minimum_required(VERSION 3.25)
# Checks the layers of src/: no Qt header below the widget layer, and no source including a header of
# a folder it may not use. Each folder may use the folders in its row (which follow its libraries'
# links); a quoted include that names a header of any other folder of src/ fails the check.
set(layers
  "platform:"
  "imagelist:platform"
  "reduce:platform"
  "gif:reduce platform"
  "animation:gif reduce platform"
  "color:gif reduce platform"
  "editor:platform"
  "document:color gif reduce editor platform"
  "widgets:document color animation gif reduce editor imagelist platform"
  "app:widgets document color animation gif reduce editor imagelist platform")
set(below_widgets platform imagelist reduce gif animation color editor document)

# Which folder each header of src/ lives in.
set(areas "")
foreach(row ${layers})
  string(REGEX REPLACE ":.*" "" area "${row}")
  list(APPEND areas ${area})
  file(GLOB headers RELATIVE ${ROOT}/src/${area} ${ROOT}/src/${area}/*.h)
  foreach(h ${headers})
    set(home_${h} ${area})
  endforeach()
endforeach()

set(bad "")
foreach(row ${layers})
  string(REGEX REPLACE ":.*" "" area "${row}")
  string(REGEX REPLACE "^[^:]*:" "" allowed "${row}")
  string(REPLACE " " ";" allowed "${allowed}")
  list(APPEND allowed ${area})
  file(GLOB_RECURSE files ${ROOT}/src/${area}/*.h ${ROOT}/src/${area}/*.cpp)
  foreach(f ${files})
    if(area IN_LIST below_widgets)
      file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
      if(lines)
        list(APPEND bad "${f}: Qt header below the widget layer")
      endif()
    endif()
    file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line ${includes})
      string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" header "${line}")
      get_filename_component(header "${header}" NAME)
      if(DEFINED home_${header} AND NOT home_${header} IN_LIST allowed)
        list(APPEND bad "${f}: includes ${header} of src/${home_${header}}, which src/${area} may not use")
      endif()
    endforeach()
  endforeach()
endforeach()

# Every folder of src/ has its row, so a new folder cannot slip past the check.
file(GLOB dirs LIST_DIRECTORIES true RELATIVE ${ROOT}/src ${ROOT}/src/*)
foreach(d ${dirs})
  if(IS_DIRECTORY ${ROOT}/src/${d} AND NOT d IN_LIST areas)
    list(APPEND bad "src/${d} has no row in tests/CheckLayering.cmake")
  endif()
endforeach()

if(bad)
  string(REPLACE ";" "\n" bad "${bad}")
  message(FATAL_ERROR "Layering broken:\n${bad}")
endif()
message(STATUS "layering ok")
