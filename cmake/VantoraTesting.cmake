# GoogleTest from the Debian source package, built with the project's own flags,
# so that the native sanitizer build and the mingw build both link a matching copy.
set(VANTORA_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
if(NOT TARGET gtest)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${VANTORA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

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
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/common/fakes/unknown_name_gtest.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gtest_main)
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
