# Compiler options shared by every target of ours (not by third-party code
# such as GoogleTest, which is built with its own flags).

add_library(tessarin_defaults INTERFACE)
target_compile_options(tessarin_defaults INTERFACE
  -Wall -Wextra -Wpedantic -Werror -Wno-error=deprecated-declarations)
target_include_directories(tessarin_defaults INTERFACE ${PROJECT_SOURCE_DIR})

if(WIN32)
  target_compile_definitions(tessarin_defaults INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Static runtime: the shipped binaries import only system DLLs (and the
  # program imports borlndmm.dll).
  target_link_options(tessarin_defaults INTERFACE -static -static-libgcc -static-libstdc++)
else()
  set(TESSARIN_SANITIZE "address,undefined" CACHE STRING "Sanitizers for the host build")
  if(TESSARIN_SANITIZE)
    target_compile_options(tessarin_defaults INTERFACE
      -fsanitize=${TESSARIN_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(tessarin_defaults INTERFACE -fsanitize=${TESSARIN_SANITIZE})
  endif()
endif()

# GoogleTest: Debian's prebuilt library on the host; built from Debian's
# sources (/usr/src/googletest) for MinGW.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    target_link_options(${t} INTERFACE -static -static-libgcc -static-libstdc++)
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()

# tessarin_add_test(NAME src...): one GoogleTest executable, one CTest test.
# Under Wine each test process costs a start of the emulator, so the whole
# executable is one CTest entry; its output names every case.
function(tessarin_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE tessarin_defaults GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
