# The camera's snapshot button: sysfs lookup and evdev reading (no Qt, no GStreamer).
find_package(Threads REQUIRED)
add_library(ostrel_platform_linux_button STATIC
  ${CMAKE_CURRENT_LIST_DIR}/camera_button_lookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/camera_button_watcher.cpp
)
target_include_directories(ostrel_platform_linux_button PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ostrel_platform_linux_button PUBLIC Threads::Threads)
