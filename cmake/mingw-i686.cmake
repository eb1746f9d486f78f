# Toolchain: Debian's MinGW-w64 cross compiler for 32-bit Windows (the product).
set(TESSARIN_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
