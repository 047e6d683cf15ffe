# Debian's hardening flags, as dpkg-buildflags gives them to every package of the
# archive with every hardening feature on: the checked variants of the C library's
# string and memory functions (_FORTIFY_SOURCE), the stack protector, format-string
# warnings, and read-only relocations resolved at start (relro, bindnow). The
# optimisation and debugging flags stay the build type's, and the flags for
# reproducible builds stay out: these are the hardening ones alone.
#
# On in every optimised build, which is what the Debian package is made from
# (build/ of tools/run, build-package/ of packaging/check-debian-package), and in the
# tests' build, so that the tests run the program as it ships. Off:
#   - in a Debug build, where _FORTIFY_SOURCE, which needs optimisation, would only
#     warn;
#   - with SOLVANE_SANITIZE, whose AddressSanitizer checks every access itself and
#     does not see those the fortified functions make.
option(SOLVANE_HARDENING "Build with the hardening flags of Debian's dpkg-buildflags" ON)
if(NOT SOLVANE_HARDENING OR SOLVANE_SANITIZE)
  return()
endif()

find_program(SOLVANE_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT SOLVANE_DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags absent (paquet Debian dpkg-dev) : construction sans les options de durcissement de Debian")
  return()
endif()

# dpkg-buildflags --get FLAGS, with every hardening feature, without the flags of
# the other feature areas and the default -g -O2.
function(solvane_debian_flags variable flags)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-all"
            "DEB_${flags}_MAINT_STRIP=-g -O2" ${SOLVANE_DPKG_BUILDFLAGS} --get ${flags}
    OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-buildflags --get ${flags} a échoué")
  endif()
  separate_arguments(value UNIX_COMMAND "${value}")
  set(${variable} ${value} PARENT_SCOPE)
endfunction()

solvane_debian_flags(preprocessor_flags CPPFLAGS)
solvane_debian_flags(compiler_flags CXXFLAGS)
solvane_debian_flags(linker_flags LDFLAGS)
foreach(flag IN LISTS preprocessor_flags compiler_flags)
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
endforeach()
foreach(flag IN LISTS linker_flags)
  add_link_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
endforeach()
list(JOIN preprocessor_flags " " shown_preprocessor_flags)
list(JOIN compiler_flags " " shown_compiler_flags)
list(JOIN linker_flags " " shown_linker_flags)
message(STATUS "Options de durcissement de Debian : ${shown_preprocessor_flags} ${shown_compiler_flags} ${shown_linker_flags}")
