# The device-information set on sysfs, for drvsetup (no Qt, no GStreamer).
add_library(ostrel_platform_linux_devices STATIC
  ${CMAKE_CURRENT_LIST_DIR}/sysfs_attribute.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sysfs_device_set.cpp
  ${CMAKE_CURRENT_LIST_DIR}/usb_hardware_ids.cpp
)
target_link_libraries(ostrel_platform_linux_devices PUBLIC ostrel_platform_api)
