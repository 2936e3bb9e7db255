# sorahiki_platform_ui: windows, the message queue, dialogs and menus from
# the program's resources, painting and message boxes. On Linux it is this
# layer (drawing with Cairo and Pango); on Windows the system's libraries.
#   sorahiki_platform_headless  (Linux) the driver for tests, no display;
#   sorahiki_platform_main      (Linux) main(), which starts the GTK driver
#                               and calls WinMain;
#   sorahiki_platform_gtk       (Linux) the GTK driver, from gtk.cmake.
if(WIN32)
  # The system's window calls, taken to their wide forms with text in code
  # page 932 (include-win32/windows.h names them). uuid comes before oleacc:
  # oleacc's IID_IAccessible is an import whose address is a jump, not the
  # interface's id.
  add_library(sorahiki_platform_ui STATIC ${CMAKE_CURRENT_LIST_DIR}/src/win32/wide_calls_win32.cpp
              ${CMAKE_CURRENT_LIST_DIR}/src/win32/screen_font_win32.cpp
              ${CMAKE_CURRENT_LIST_DIR}/src/win32/folder_shell_win32.cpp)
  target_link_libraries(sorahiki_platform_ui
    PUBLIC sorahiki_platform_core user32 gdi32 shell32 ole32 uuid oleacc oleaut32
    PRIVATE sorahiki_options)
  # The entry point that hands WinMain its command line in code page 932;
  # the program links it with -municode. Its object goes in whole: the
  # start-up code that calls it comes after every library of the program.
  add_library(sorahiki_platform_main OBJECT ${CMAKE_CURRENT_LIST_DIR}/src/win32/main_win32.cpp)
  target_link_libraries(sorahiki_platform_main PUBLIC sorahiki_platform_core PRIVATE sorahiki_options)
  target_link_options(sorahiki_platform_main INTERFACE -municode)
  return()
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(SORAHIKI_PANGOCAIRO REQUIRED IMPORTED_TARGET cairo pangocairo)

set(ui_dir ${CMAKE_CURRENT_LIST_DIR}/src/ui)
add_library(sorahiki_platform_ui STATIC
  ${ui_dir}/accessible.cpp
  ${ui_dir}/state.cpp
  ${ui_dir}/queue.cpp
  ${ui_dir}/classes.cpp
  ${ui_dir}/window.cpp
  ${ui_dir}/placement.cpp
  ${ui_dir}/defproc.cpp
  ${ui_dir}/resources.cpp
  ${ui_dir}/menu.cpp
  ${ui_dir}/dialog.cpp
  ${ui_dir}/paint.cpp
  ${ui_dir}/font.cpp
  ${ui_dir}/input.cpp
  ${ui_dir}/shell.cpp
  ${ui_dir}/drop.cpp
  ${ui_dir}/icon.cpp
  ${ui_dir}/clipboard.cpp)
target_include_directories(sorahiki_platform_ui PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include)
target_link_libraries(sorahiki_platform_ui
  PUBLIC sorahiki_platform_core PkgConfig::SORAHIKI_PANGOCAIRO
  PRIVATE sorahiki_options sorahiki_resources)

add_library(sorahiki_platform_headless STATIC ${CMAKE_CURRENT_LIST_DIR}/src/headless/headless.cpp)
target_link_libraries(sorahiki_platform_headless PUBLIC sorahiki_platform_ui PRIVATE sorahiki_options)

add_library(sorahiki_platform_main STATIC ${CMAKE_CURRENT_LIST_DIR}/src/main_linux.cpp)
target_link_libraries(sorahiki_platform_main PUBLIC sorahiki_platform_ui PRIVATE sorahiki_options)

include(${CMAKE_CURRENT_LIST_DIR}/gtk.cmake)
