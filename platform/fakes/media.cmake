# The in-memory media layer for the frame's unit tests.
add_library(ostrel_fake_media STATIC ${CMAKE_CURRENT_LIST_DIR}/fake_media.cpp)
target_include_directories(ostrel_fake_media PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ostrel_fake_media PUBLIC ostrel_platform_api)
