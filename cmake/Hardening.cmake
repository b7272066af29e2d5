# The hardening every distribution builds its programs with, so the package
# passes hardening-check and lintian: a canary on every stack frame that holds
# an array, checked versions of the C library's string and memory functions,
# the relocations made read-only and every symbol bound at start (full RELRO),
# position-independent programs, so they load at a random address, and
# control-flow protection where the processor has it.
# A packager's own flags (dpkg-buildflags) come on top and may raise these.

# The checked functions need the optimiser; a build without it would only be
# warned by the C library (an error with STOWBOOK_WERROR).
if(NOT "${CMAKE_CXX_FLAGS} ${CMAKE_CPPFLAGS}" MATCHES "_FORTIFY_SOURCE")
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
add_compile_options(-fstack-protector-strong -fstack-clash-protection -Wformat -Werror=format-security)
# Returns and indirect jumps only to where they may go, on processors that
# check it (Intel CET); what Debian builds with on amd64.
include(CheckCXXCompilerFlag)
check_cxx_compiler_flag(-fcf-protection STOWBOOK_HAS_CF_PROTECTION)
if(STOWBOOK_HAS_CF_PROTECTION)
  add_compile_options(-fcf-protection)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)
