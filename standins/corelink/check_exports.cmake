# Fails the build when the library's export names differ from the .def's: callers
# bind by the plain names, so a stdcall decoration (Name@4) would break every call.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${LIBRARY}")
endif()
# The name table runs from its heading to the next empty line: "\t[   0] Name".
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${dump}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" found "${table}")
list(TRANSFORM found REPLACE "^\\[ *[0-9]+\\] " "")
file(STRINGS ${DEF} lines REGEX "^    [A-Za-z]")
list(TRANSFORM lines STRIP)
list(SORT found)
list(SORT lines)
if(NOT found STREQUAL lines)
    message(FATAL_ERROR "${LIBRARY} exports [${found}], expected [${lines}]")
endif()
