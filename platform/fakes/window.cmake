# Fake window and system for the frame's unit tests.
add_library(ostrel_fake_window
  ${CMAKE_CURRENT_LIST_DIR}/fake_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fake_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fake_system.cpp
)
target_include_directories(ostrel_fake_window PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ostrel_fake_window PUBLIC ostrel_platform_api ostrel_fake_menu)
