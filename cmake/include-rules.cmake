# The direction of use between the engine's libraries, kept by the build:
# sorahiki_include_only(FOLDER PREFIX...) fails the configuration when a file
# of FOLDER includes a header of search/ that begins with none of the
# prefixes. A file changed is checked again at the next build.
function(sorahiki_include_only folder)
  file(GLOB sources ${folder}/*.h ${folder}/*.cpp)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sources})
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^#include \"search/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" header "${line}")
      set(allowed FALSE)
      foreach(prefix ${ARGN})
        string(FIND "${header}" "${prefix}" at)
        if(at EQUAL 0)
          set(allowed TRUE)
        endif()
      endforeach()
      if(NOT allowed)
        message(FATAL_ERROR "${source} includes ${header}: files of ${folder} may include only ${ARGN}")
      endif()
    endforeach()
  endforeach()
endfunction()
