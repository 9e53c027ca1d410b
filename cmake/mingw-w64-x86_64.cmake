# Cross build for 64-bit Windows with Debian's mingw-w64 (packages g++-mingw-w64-x86-64-posix and
# mingw-w64-x86-64-dev):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix-thread compilers are used because the win32-thread ones lack std::mutex and
# std::thread. The C and C++ runtimes are linked statically, so the module needs no DLL that a
# user's machine may lack.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KYR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KYR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KYR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KYR_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KYR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endforeach()

# Test programs run under Wine (CMake uses this for cross-built executables it must run).
find_program(KYR_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KYR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KYR_WINE})
endif()

# nlohmann/json is header-only, but Debian installs it in /usr/include next to the Linux C
# library, which must never reach the Windows compiler. Offer the package through a folder that
# holds nothing but a link to its headers.
if(CMAKE_BINARY_DIR AND NOT CMAKE_BINARY_DIR MATCHES "CMakeFiles/CMakeScratch|CMakeFiles/CMakeTmp")
  set(_json_dir "${CMAKE_BINARY_DIR}/host-packages/nlohmann_json")
  if(EXISTS /usr/include/nlohmann/json.hpp AND NOT EXISTS "${_json_dir}/nlohmann_jsonConfig.cmake")
    file(MAKE_DIRECTORY "${_json_dir}/include")
    file(CREATE_LINK /usr/include/nlohmann "${_json_dir}/include/nlohmann" SYMBOLIC)
    file(WRITE "${_json_dir}/nlohmann_jsonConfig.cmake"
         "if(NOT TARGET nlohmann_json::nlohmann_json)\n"
         "  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)\n"
         "  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES\n"
         "    INTERFACE_INCLUDE_DIRECTORIES \"${_json_dir}/include\")\n"
         "endif()\n")
    file(WRITE "${_json_dir}/nlohmann_jsonConfigVersion.cmake"
         "set(PACKAGE_VERSION 3)\n"
         "set(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
  endif()
  set(nlohmann_json_DIR "${_json_dir}" CACHE PATH "nlohmann/json headers for the Windows build")
endif()
