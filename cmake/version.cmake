# generated/sorahiki_version.h in the build folder of the project that
# includes this: the programs print it and the resource script reads it.
# Each part of the version as a number for the Windows version resource; a
# part that project() leaves out is 0.
foreach(part MAJOR MINOR PATCH)
  set(SORAHIKI_VERSION_${part} 0)
  if(PROJECT_VERSION_${part})
    set(SORAHIKI_VERSION_${part} ${PROJECT_VERSION_${part}})
  endif()
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${PROJECT_BINARY_DIR}/generated/sorahiki_version.h @ONLY)
