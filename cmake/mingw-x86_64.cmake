# Toolchain: Debian's MinGW-w64 cross compiler for 64-bit Windows (the test
# twin that runs under wine64).
set(TESSARIN_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
