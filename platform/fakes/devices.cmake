# The fake device set-up service (header only), for drvsetup's unit tests.
add_library(ostrel_platform_fakes_devices INTERFACE)
target_link_libraries(ostrel_platform_fakes_devices INTERFACE ostrel_platform_api)
