# platform::System on Linux.
add_library(ostrel_platform_linux
  ${CMAKE_CURRENT_LIST_DIR}/linux_system.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xdg_user_dirs.cpp
)
target_include_directories(ostrel_platform_linux PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ostrel_platform_linux PUBLIC ostrel_platform_api ostrel_i18n)
