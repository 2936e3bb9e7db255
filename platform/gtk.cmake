# sorahiki_platform_gtk: the GTK 3 driver of the window layer, which shows the
# layer's windows on a real display. Linux only: ui.cmake includes this file
# after its early return for Windows.
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
add_library(sorahiki_platform_gtk STATIC
  ${CMAKE_CURRENT_LIST_DIR}/src/gtk/gtk_accessible.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/gtk/gtk_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/gtk/gtk_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/gtk/gtk_menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/gtk/gtk_message_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/gtk/gtk_popup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/gtk/gtk_shell.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/gtk/gtk_style.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/gtk/gtk_text.cpp)
target_link_libraries(sorahiki_platform_gtk
  PUBLIC sorahiki_platform_ui PkgConfig::GTK3
  PRIVATE sorahiki_options)
