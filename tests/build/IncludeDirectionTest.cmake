# The checker of the direction of includes (CHECKER) refuses an include of a
# higher folder whatever its form, each in a tree of its own under WORK that
# holds nothing else against the direction.
set(forms quoted angled relative)
set(quoted "#include \"search/SearchEngin.h\"")
set(angled "#include <search/SearchEngin.h>")
set(relative "#include \"../SearchEngin.h\"")

foreach(form ${forms})
  set(root ${WORK}/${form})
  file(REMOVE_RECURSE ${root})
  file(WRITE ${root}/search/SearchEngin.h "#pragma once\n")
  file(WRITE ${root}/search/text/Words.h "#pragma once\n${${form}}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSORAHIKI_ROOT=${root} -P ${CHECKER}
                  RESULT_VARIABLE result ERROR_VARIABLE said)
  if(result EQUAL 0 OR NOT said MATCHES "search/text/Words.h: ")
    message(FATAL_ERROR "The ${form} include of a higher folder passed: ${said}")
  endif()
endforeach()
