# GoogleTest from the Debian source package, built with the project's own flags,
# so that the native sanitizer build and the mingw build both link a matching copy.
set(VANTORA_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
if(NOT TARGET gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${VANTORA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# The hook that turns a name no control has into a failure of the running test, compiled
# once for every test program (an object library: a static one would lose the hook, since
# nothing calls it).
add_library(vantora_unknown_name_gtest OBJECT ${PROJECT_SOURCE_DIR}/common/fakes/unknown_name_gtest.cpp)
target_link_libraries(vantora_unknown_name_gtest PUBLIC gtest)
# It also owns the headers every test program parses, precompiled once for all of them:
# GoogleTest's, the standard library's, and on Win32 the system's. They are most of a test
# source's compile time.
set(VANTORA_TEST_HEADERS <gtest/gtest.h> <algorithm> <chrono> <cstdint> <cstring> <fstream> <functional>
    <map> <memory> <optional> <set> <string> <thread> <utility> <vector>)
if(WIN32)
    list(PREPEND VANTORA_TEST_HEADERS <windows.h> <commctrl.h> <shlobj.h> <tlhelp32.h>)
endif()
target_precompile_headers(vantora_unknown_name_gtest PRIVATE ${VANTORA_TEST_HEADERS})

# vantora_test_program(<target>)
# A test program's own sources. The Win32 build is a release build for the programs'
# sake; the test programs' sources are compiled without optimisation, a fifth faster and
# no slower to run where they mostly wait on the programs they drive. What they link from
# the programs' libraries is the programs' own code, optimised as it ships.
function(vantora_test_program target)
    if(WIN32)
        target_compile_options(${target} PRIVATE -O0)
    endif()
    if(NOT target STREQUAL vantora_unknown_name_gtest)
        target_precompile_headers(${target} REUSE_FROM vantora_unknown_name_gtest)
        # C sources that a test compiles with it (the driver's) keep their own headers.
        get_target_property(sources ${target} SOURCES)
        list(FILTER sources INCLUDE REGEX "\\.c$")
        if(sources)
            set_source_files_properties(${sources} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        endif()
    endif()
endfunction()
vantora_test_program(vantora_unknown_name_gtest)

# vantora_wine_tests(<test>...)
# Tests that run under Wine: each takes one worker of tools/wine-tests (a prefix and an X
# display of its own), so that two of them never share a desktop, a registry or a keyboard.
function(vantora_wine_tests)
    set_tests_properties(${ARGN} PROPERTIES RESOURCE_GROUPS desktop:1)
endfunction()

# vantora_add_test(<name> SOURCES ... LIBS ...)
# A GoogleTest program; on win32 ctest runs it through CMAKE_CROSSCOMPILING_EMULATOR.
function(vantora_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} vantora_unknown_name_gtest gtest gtest_main)
    vantora_test_program(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
    if(WIN32)
        vantora_wine_tests(${name})
    endif()
endfunction()

# After each build of <target>, checks that it imports no library but kernel32, user32,
# gdi32, advapi32 and the C runtime.
function(vantora_check_imports target)
    set(allowed kernel32.dll user32.dll gdi32.dll advapi32.dll msvcrt.dll)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${target}>
                "-DALLOWED=${allowed}" -P ${PROJECT_SOURCE_DIR}/cmake/check_imports.cmake
        VERBATIM)
endfunction()
