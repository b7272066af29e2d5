# Checks that every C++ file of the project is formatted as .clang-format
# says, so the style file describes the code rather than a wish. Fails
# naming every file that clang-format would change.
#
#   cmake -DSOURCE_DIR=<project> -DCLANG_FORMAT=<clang-format-14> -P CheckFormat.cmake
#
# The version is fixed: another clang-format lays out some lines otherwise.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT CLANG_FORMAT)
    message(FATAL_ERROR "CheckFormat: set SOURCE_DIR and CLANG_FORMAT")
endif()

set(files "")
foreach(folder src tests bench fuzz)
    file(GLOB_RECURSE found LIST_DIRECTORIES false "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.h")
    list(APPEND files ${found})
endforeach()
list(FILTER files EXCLUDE REGEX "/fuzz/corpus/")
list(SORT files)

set(unformatted "")
foreach(file IN LISTS files)
    execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror --style=file ${file}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
    if(NOT result EQUAL 0)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        list(APPEND unformatted ${shown})
    endif()
endforeach()

list(LENGTH files checked)
if(unformatted)
    list(JOIN unformatted "\n  " listed)
    message(FATAL_ERROR "Not formatted as .clang-format says (run clang-format -i on them):\n  ${listed}")
endif()
message(STATUS "${checked} files formatted as .clang-format says")
