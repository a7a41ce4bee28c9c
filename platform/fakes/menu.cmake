# The in-memory menu for unit tests.
add_library(ostrel_fake_menu STATIC ${CMAKE_CURRENT_LIST_DIR}/fake_menu.cpp)
target_link_libraries(ostrel_fake_menu PUBLIC ostrel_platform_api)
