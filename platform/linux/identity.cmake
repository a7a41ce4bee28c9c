# Stable identities of capture devices from sysfs (no Qt, no GStreamer).
add_library(ostrel_platform_linux_identity STATIC ${CMAKE_CURRENT_LIST_DIR}/device_identity.cpp)
target_include_directories(ostrel_platform_linux_identity PUBLIC ${PROJECT_SOURCE_DIR})
