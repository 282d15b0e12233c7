# Building Tavrelo for 64-bit Windows on Debian 12 with MinGW-w64 (GCC 12, posix threads).
#
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Qt for Windows is taken from TAVRELO_QT_WINDOWS (a variable or the environment), else from
# ../shared/qt6-mingw beside the project when it is there, else from ~/.cache/tavrelo/qt6-mingw,
# where scripts/windows/build-qt.sh builds it. The host's moc, rcc and uic (Debian's
# qt6-base-dev-tools, the same Qt version) do the code generation.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER   x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  x86_64-w64-mingw32-windres)

if(NOT TAVRELO_QT_WINDOWS)
  if(DEFINED ENV{TAVRELO_QT_WINDOWS} AND NOT "$ENV{TAVRELO_QT_WINDOWS}" STREQUAL "")
    set(TAVRELO_QT_WINDOWS "$ENV{TAVRELO_QT_WINDOWS}")
  elseif(EXISTS "${CMAKE_CURRENT_LIST_DIR}/../../shared/qt6-mingw/lib/cmake/Qt6")
    get_filename_component(TAVRELO_QT_WINDOWS "${CMAKE_CURRENT_LIST_DIR}/../../shared/qt6-mingw" ABSOLUTE)
  else()
    set(TAVRELO_QT_WINDOWS "$ENV{HOME}/.cache/tavrelo/qt6-mingw")
  endif()
endif()
set(TAVRELO_QT_WINDOWS "${TAVRELO_QT_WINDOWS}" CACHE PATH "Qt 6 built for Windows (MinGW-w64)")
# Test projects that CMake builds while it looks at the compiler see the same Qt.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TAVRELO_QT_WINDOWS)

# Target headers, libraries and CMake packages come only from the MinGW sysroot and Qt for
# Windows, never from the host's /usr where the Linux Qt lives; programs are host programs.
list(PREPEND CMAKE_FIND_ROOT_PATH "${TAVRELO_QT_WINDOWS}" /usr/x86_64-w64-mingw32)
list(PREPEND CMAKE_PREFIX_PATH "${TAVRELO_QT_WINDOWS}/lib/cmake")
list(PREPEND CMAKE_MODULE_PATH "${TAVRELO_QT_WINDOWS}/lib/cmake/Qt6/platforms")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# The header-only libraries and GoogleTest are the host's Debian packages, built for Windows
# from their sources (cmake/windows/).
set(CLI11_DIR "${CMAKE_CURRENT_LIST_DIR}/windows")
set(nlohmann_json_DIR "${CMAKE_CURRENT_LIST_DIR}/windows")
set(GTest_DIR "${CMAKE_CURRENT_LIST_DIR}/windows")
# The test programs are Windows programs: their tests are listed when they run under Wine,
# not while they are built.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
