# Builds one Windows Installer package with wixl, then corrects with msibuild what wixl
# cannot express. Run with:
#   -DWXS=<source> -DOUTPUT=<msi> -DBIN=<bin folder> -DVERSION=<x.y.z> -DARCH=x86|x64
#   -DQUERIES=<SQL statements, '|'-separated> (optional)
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" QUERIES "${QUERIES}")
get_filename_component(sources ${WXS} DIRECTORY)
get_filename_component(output ${OUTPUT} ABSOLUTE)
get_filename_component(output_dir ${output} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})

# A help file goes in when the build made it, in English beside the programs or in a
# language's folder; the shipped-files check then asks for it.
set(defines)
foreach(pair IN ITEMS "KeyloomHelp;Keyloom32.hlp" "MeridaleHelp;MERIDALE.Hlp")
    list(GET pair 0 variable)
    list(GET pair 1 file)
    foreach(folder IN ITEMS "" ja de fr es ru)
        set(name ${variable})
        set(path ${BIN}/${file})
        if(folder)
            set(name ${variable}_${folder})
            set(path ${BIN}/languages/${folder}/${file})
        endif()
        if(EXISTS ${path})
            list(APPEND defines -D ${name}=1)
        else()
            list(APPEND defines -D ${name}=0)
        endif()
    endforeach()
endforeach()

# wixl takes only relative source paths: it runs in the bin folder.
set(partial ${output}.partial)
file(REMOVE ${partial} ${output})
execute_process(
    COMMAND wixl -a ${ARCH} -D Version=${VERSION} -D Arch=${ARCH} -D Bin=. ${defines} -I ${sources} -o ${partial} ${WXS}
    WORKING_DIRECTORY ${BIN} RESULT_VARIABLE rc ERROR_VARIABLE errors)
if(NOT rc EQUAL 0)
    file(REMOVE ${partial})
    message(FATAL_ERROR "wixl failed on ${WXS}:\n${errors}")
endif()
# A rebuilt package of the same version replaces the installed one instead of settling
# beside it (WiX's AllowSameVersionUpgrades, which wixl lacks): one entry per package.
# The attributes are part of the row's key, so the row is written anew with the upper
# bound included.
execute_process(COMMAND msiinfo export ${partial} Upgrade OUTPUT_VARIABLE upgrade RESULT_VARIABLE rc)
string(REGEX MATCH "\n([^\t\n]+)\t\t([^\t\n]+)\t\t1\t\tWIX_UPGRADE_DETECTED" row "${upgrade}")
if(NOT rc EQUAL 0 OR NOT row)
    file(REMOVE ${partial})
    message(FATAL_ERROR "no major-upgrade row in ${WXS}")
endif()
list(PREPEND QUERIES
    "DELETE FROM Upgrade WHERE ActionProperty = 'WIX_UPGRADE_DETECTED'"
    "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) \
VALUES ('${CMAKE_MATCH_1}', '${CMAKE_MATCH_2}', 513, 'WIX_UPGRADE_DETECTED')")
foreach(query IN LISTS QUERIES)
    execute_process(COMMAND msibuild ${partial} -q "${query}" RESULT_VARIABLE rc ERROR_VARIABLE errors)
    if(NOT rc EQUAL 0)
        file(REMOVE ${partial})
        message(FATAL_ERROR "msibuild failed on ${output}: ${query}\n${errors}")
    endif()
endforeach()
file(RENAME ${partial} ${output})
