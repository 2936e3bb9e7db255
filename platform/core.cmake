# sorahiki_platform_core: what the engine and the command-line tool need of the
# platform. On Linux that is the folder listing, reading files through handles,
# the current directory and the code page conversion (with the forms of
# every character for text in UTF-8 and UTF-16), with <windows.h> taken
# from include/. On Windows the system provides all of it but the conversion.
if(WIN32)
  # The system's <windows.h> with the folder walk's file functions taken
  # through listed_files_win32.cpp, and the shell's open through
  # listed_shell_win32.cpp, all in code page 932 whatever the system's.
  add_library(sorahiki_platform_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/src/win32/codepage_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/win32/cp932forms_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/win32/filestate_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/win32/folderwatch_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/win32/listed_files_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/listed_folder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/listed_names.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/listed_path.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/win32/listed_shell_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/win32/listed_system_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/listed_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/win32/reads_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/testhooks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/win32/thread_win32.cpp)
  target_include_directories(sorahiki_platform_core PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include-win32)
  # include/ also holds the Linux stand-in for <windows.h>: searched after the
  # system's headers, it gives only what MinGW lacks, <sorahiki/...>.
  target_compile_options(sorahiki_platform_core PUBLIC "SHELL:-idirafter ${CMAKE_CURRENT_LIST_DIR}/include")
  target_link_libraries(sorahiki_platform_core PUBLIC shell32 shlwapi)
else()
  add_library(sorahiki_platform_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/automation_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/base_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/codepage_iconv.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/cp932forms_iconv.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/errors_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/filestate_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/find_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/folderwatch_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/fullpath_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/handles_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/memory_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/listed_folder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/listed_path.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/listed_names.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/listed_system_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/listed_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/paths_posix.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/core/testhooks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/src/posix/thread_posix.cpp)
  target_include_directories(sorahiki_platform_core PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include)
endif()
find_package(Threads REQUIRED)
target_link_libraries(sorahiki_platform_core PUBLIC Threads::Threads PRIVATE sorahiki_options)
