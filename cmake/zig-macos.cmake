# Cross-compiling both programs for macOS on Linux with zig's clang, which
# carries macOS's C headers, libc++ and libSystem's stubs. scripts/cross-check
# uses it:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/zig-macos.cmake -DCOFFEE_ZIG=<zig> \
#         -DCOFFEE_ZIG_TARGET=aarch64-macos (or x86_64-macos)
set(CMAKE_SYSTEM_NAME Darwin)
if(COFFEE_ZIG_TARGET MATCHES "^aarch64")
  set(CMAKE_SYSTEM_PROCESSOR arm64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
endif()
# Passed on to the try-compiles CMake makes with this file.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES COFFEE_ZIG COFFEE_ZIG_TARGET)

# CMake wants one program per tool: each is zig with its subcommand, in a
# script of the build folder.
function(coffee_zig_tool name command)
  set(tool ${CMAKE_BINARY_DIR}/zig-${name})
  file(WRITE ${tool} "#!/bin/sh\nexec \"${COFFEE_ZIG}\" ${command} \"$@\"\n")
  file(CHMOD ${tool} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
    WORLD_EXECUTE)
endfunction()
coffee_zig_tool(c++ "c++ -target ${COFFEE_ZIG_TARGET}")
coffee_zig_tool(cc "cc -target ${COFFEE_ZIG_TARGET}")
coffee_zig_tool(ar "ar")
coffee_zig_tool(ranlib "ranlib")
set(CMAKE_CXX_COMPILER ${CMAKE_BINARY_DIR}/zig-c++)
set(CMAKE_C_COMPILER ${CMAKE_BINARY_DIR}/zig-cc)
set(CMAKE_AR ${CMAKE_BINARY_DIR}/zig-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${CMAKE_BINARY_DIR}/zig-ranlib CACHE FILEPATH "")
# No Xcode here: the SDK is zig's own.
set(CMAKE_OSX_SYSROOT "" CACHE PATH "")
set(CMAKE_OSX_ARCHITECTURES "" CACHE STRING "")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# Nothing is installed from here; GNUInstallDirs need not guess.
set(CMAKE_INSTALL_LIBDIR lib CACHE PATH "")
