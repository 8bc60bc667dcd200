# SPDX-License-Identifier: GPL-3.0-or-later
# Release builds get the hardening every Debian binary gets (stack protector, fortified libc
# calls, read-only relocations bound at start, position-independent executable), from
# dpkg-buildflags where there is one, else the same flags written out. The build type keeps
# its own optimisation and debug information; the sanitizers bring their own checks, and
# fortify gets in AddressSanitizer's way, so a sanitized build is left as it is.
option(ZUDADUVIZ_HARDEN "Build Release with Debian's hardening flags" ON)
if(NOT ZUDADUVIZ_HARDEN OR NOT CMAKE_BUILD_TYPE STREQUAL "Release" OR ZUDADUVIZ_SANITIZE)
  return()
endif()

# hardening=+all adds bindnow, which Debian's defaults leave out; a packager's own options
# still come after it. Run from the sources, so that its file-prefix-map strips their path.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
set(from_dpkg FALSE)
if(DPKG_BUILDFLAGS)
  set(from_dpkg TRUE)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all $ENV{DEB_BUILD_MAINT_OPTIONS}"
        ${DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      RESULT_VARIABLE failed OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(failed)
      set(from_dpkg FALSE)
    endif()
    separate_arguments(harden_${kind} UNIX_COMMAND "${flags}")
  endforeach()
  # Optimisation and debug information are the build type's to choose.
  list(FILTER harden_CXXFLAGS EXCLUDE REGEX "^-(O.*|g.*)$")
endif()
if(NOT from_dpkg)
  set(harden_CPPFLAGS -Wdate-time -D_FORTIFY_SOURCE=2)
  set(harden_CXXFLAGS -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -fstack-protector-strong
    -Wformat -Werror=format-security)
  set(harden_LDFLAGS -Wl,-z,relro -Wl,-z,now)
endif()
# What Debian's newer releases add and hardening-check looks for: stack clash protection and
# control-flow protection (x86's name for it; other processors skip it), where the compiler
# knows them.
include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "HAVE${flag}" have)
  check_cxx_compiler_flag(${flag} ${have})
  if(${have} AND NOT flag IN_LIST harden_CXXFLAGS)
    list(APPEND harden_CXXFLAGS ${flag})
  endif()
endforeach()
# CMake reads no CPPFLAGS: they go with the compile flags.
add_compile_options(${harden_CPPFLAGS} ${harden_CXXFLAGS})
add_link_options(${harden_LDFLAGS})
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
string(JOIN " " shown ${harden_CPPFLAGS} ${harden_CXXFLAGS} ${harden_LDFLAGS})
message(STATUS "Hardened (flags from dpkg-buildflags: ${from_dpkg}): ${shown} -fPIE -pie")
