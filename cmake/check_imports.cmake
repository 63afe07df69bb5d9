# Fails the build when a program imports a library outside its list. The programs bind
# every other system library on first use, so that starting them maps only these; a
# direct call to such a library would bring its import back unnoticed.
cmake_policy(SET CMP0057 NEW)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" found "${dump}")
list(TRANSFORM found REPLACE "^DLL Name: " "")
list(TRANSFORM found TOLOWER)
string(TOLOWER "${ALLOWED}" allowed)
foreach(library IN LISTS found)
    if(NOT library IN_LIST allowed)
        message(FATAL_ERROR "${PROGRAM} imports ${library}; only [${allowed}] may be imported")
    endif()
endforeach()
