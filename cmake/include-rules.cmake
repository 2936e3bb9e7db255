# The direction of includes between the program's folders, kept by the build.
# The table below is the one place where it is said; whoever moves a folder
# up or down writes it here. A file belongs to the deepest folder of the
# table that holds it and may include, of the source tree, only what that
# folder's line allows. Every include counts, quoted, angled or relative:
# it names every file it could reach, beside the including file (quoted
# only) or under a folder the programs search for headers, and each of them
# must be allowed.
#
# The top CMakeLists.txt checks the tree when it is configured, and a build
# step checks it again whenever a file of it changes. Run as a script, it
# checks the tree under -DSORAHIKI_ROOT=DIR and fails as the configuration
# would.

# The folders of the program, the deepest first, each with what its files
# may include; platform/ lies under them all, and a folder under none of
# them (tests/, bench/, fuzz/) may include anything.
set(sorahiki_include_rules
  "platform/:platform/"
  "search/text/:search/text/,platform/"
  "search/readahead/:search/readahead/,search/Limits.h,platform/"
  "search/walk/:search/walk/,search/readahead/,search/Limits.h,platform/"
  "search/:search/,platform/"
  "screen/:screen/,window/,search/,res/,platform/"
  "window/:window/,screen/,search/,res/,platform/"
  "app/:app/,screen/,window/,search/,res/,platform/"
  "cli/:cli/,search/,platform/"
  "res/:res/,platform/")
# Where else an include may be found: the source tree and the platform's
# headers of either build.
set(sorahiki_header_folders . platform/include platform/include-win32)

# The rule of the file at `path` (relative to the root): the folder that
# owns it and what that folder may include, or nothing for a free folder.
function(sorahiki_rule_of path folder_var allowed_var)
  foreach(rule ${sorahiki_include_rules})
    string(REPLACE ":" ";" parts "${rule}")
    list(GET parts 0 folder)
    string(FIND "${path}" "${folder}" at)
    if(at EQUAL 0)
      list(GET parts 1 allowed)
      string(REPLACE "," ";" allowed "${allowed}")
      set(${folder_var} ${folder} PARENT_SCOPE)
      set(${allowed_var} ${allowed} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${folder_var} "" PARENT_SCOPE)
endfunction()

function(sorahiki_starts_with_any text prefixes result_var)
  foreach(prefix ${prefixes})
    string(FIND "${text}" "${prefix}" at)
    if(at EQUAL 0)
      set(${result_var} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result_var} FALSE PARENT_SCOPE)
endfunction()

# The files of the tree, relative to `root`, that the include line `line` of
# `source` could reach.
function(sorahiki_reachable_files root source line result_var)
  string(REGEX MATCH "[<\"]([^>\"]*)[>\"]" form "${line}")
  set(header "${CMAKE_MATCH_1}")
  set(places)
  if(form MATCHES "^\"")
    get_filename_component(beside ${source} DIRECTORY)
    list(APPEND places ${beside})
  endif()
  foreach(folder ${sorahiki_header_folders})
    list(APPEND places ${root}/${folder})
  endforeach()
  set(reached)
  foreach(place ${places})
    get_filename_component(candidate "${place}/${header}" ABSOLUTE)
    file(RELATIVE_PATH relative ${root} ${candidate})
    if(EXISTS ${candidate} AND NOT IS_DIRECTORY ${candidate} AND NOT relative MATCHES "^\\.\\./")
      list(APPEND reached ${relative})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES reached)
  set(${result_var} ${reached} PARENT_SCOPE)
endfunction()

# The C and C++ files of the folders that have a rule.
function(sorahiki_ruled_sources root result_var)
  set(sources)
  foreach(rule ${sorahiki_include_rules})
    string(REGEX REPLACE ":.*" "" folder "${rule}")
    file(GLOB_RECURSE found ${ARGN} ${root}/${folder}*.h ${root}/${folder}*.c
         ${root}/${folder}*.cpp)
    list(APPEND sources ${found})
  endforeach()
  list(REMOVE_DUPLICATES sources)
  set(${result_var} ${sources} PARENT_SCOPE)
endfunction()

# Fails, naming every include against the direction, when the tree at `root`
# has any.
function(sorahiki_check_includes root)
  sorahiki_ruled_sources(${root} sources)
  set(faults)
  foreach(source ${sources})
    file(RELATIVE_PATH path ${root} ${source})
    sorahiki_rule_of(${path} folder allowed)
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include(_next)?[ \t]*[<\"]")
    foreach(line ${lines})
      sorahiki_reachable_files(${root} ${source} "${line}" reached)
      foreach(target ${reached})
        sorahiki_starts_with_any(${target} "${allowed}" ok)
        if(NOT ok)
          list(JOIN allowed ", " allowed_text)
          list(APPEND faults "${path}: ${line} reaches ${target}, and ${folder} may include only ${allowed_text}")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "Includes against the direction of the folders:\n  ${text}")
  endif()
endfunction()

# Checks the project's tree now, and again at the build once a file of it
# changes: every target that takes the project's options waits for the check.
function(sorahiki_keep_include_direction)
  sorahiki_check_includes(${PROJECT_SOURCE_DIR})
  sorahiki_ruled_sources(${PROJECT_SOURCE_DIR} sources CONFIGURE_DEPENDS)
  set(stamp ${PROJECT_BINARY_DIR}/include-direction.checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSORAHIKI_ROOT=${PROJECT_SOURCE_DIR} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${sources} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Checking the direction of includes"
    VERBATIM)
  add_custom_target(sorahiki_include_direction DEPENDS ${stamp})
  add_dependencies(sorahiki_options sorahiki_include_direction)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  get_filename_component(root ${SORAHIKI_ROOT} ABSOLUTE)
  sorahiki_check_includes(${root})
endif()
