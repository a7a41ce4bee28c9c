# Release builds are hardened the way Debian builds its packages: fortified functions,
# a strong stack protector, position-independent executables and a read-only, bound-now
# relocation table. The flags come from dpkg-buildflags when it is there (without its
# debug, optimisation and path-mapping flags: the build type chooses those), else from
# the list Debian 12 gives. Debug, sanitizer and fuzz builds stay as they are.
include_guard(GLOBAL)

set(_hardened_types Release RelWithDebInfo MinSizeRel)
if(CMAKE_BUILD_TYPE IN_LIST _hardened_types AND NOT OSTREL_SANITIZE AND NOT OSTREL_TSAN
   AND NOT OSTREL_FUZZ)
  set(OSTREL_HARDENED ON)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()

  set(_compile -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat -Werror=format-security)
  set(_link -Wl,-z,relro -Wl,-z,now)
  find_program(OSTREL_DPKG_BUILDFLAGS dpkg-buildflags)
  if(OSTREL_DPKG_BUILDFLAGS)
    set(ENV{DEB_BUILD_MAINT_OPTIONS} "hardening=+all")
    set(_compile)
    foreach(_var CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(COMMAND ${OSTREL_DPKG_BUILDFLAGS} --get ${_var}
                      OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE)
      separate_arguments(_flags UNIX_COMMAND "${_flags}")
      list(FILTER _flags EXCLUDE REGEX "^(-g.*|-O.*|-ffile-prefix-map=.*|-fdebug-prefix-map=.*)$")
      if(_var STREQUAL LDFLAGS)
        set(_link ${_flags})
      else()
        list(APPEND _compile ${_flags})
      endif()
    endforeach()
    list(REMOVE_DUPLICATES _compile)
  endif()
  # -D_FORTIFY_SOURCE needs an optimising build, which every hardened type is.
  add_compile_options(${_compile})
  add_link_options(${_link})
  message(STATUS "Hardened build: ${_compile} ${_link}")
endif()
