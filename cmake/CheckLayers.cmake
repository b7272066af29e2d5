# Checks that the includes of src/ point one way (src/README.md): a file
# includes from its own layer or a lower one, and window-free code includes
# no window header of Qt. Fails naming every file and include that does not.
#
#   cmake -DSOURCE_DIR=<src> [-DWINDOW_HEADER_DIRS=<dir>:<dir>] -P CheckLayers.cmake
#
# WINDOW_HEADER_DIRS: Qt's QtWidgets and QtPrintSupport header folders.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "CheckLayers: set SOURCE_DIR to the src folder")
endif()

# The layers, bottom to top, and the folders of each. A new folder must be
# placed here before anything includes it.
set(layer_names data program "window-free" windows app)
set(layer_0 data)
set(layer_1 program)
set(layer_2 dates records items items/heif reports codes transfer itemlist photoitems claim backup copies setup launcher
    runner help)
set(layer_3 focus widgets designer help/viewer dates/calendar items/picture items/documents items/warranty reports/viewer codes/window
    transfer/import itemlist/window photoitems/window claim/window backup/window copies/window)
set(layer_4 app)

foreach(layer RANGE 4)
    foreach(folder IN LISTS layer_${layer})
        set(layer_of_${folder} ${layer})
    endforeach()
endforeach()

set(window_headers "")
if(WINDOW_HEADER_DIRS)
    string(REPLACE ":" ";" dirs "${WINDOW_HEADER_DIRS}")
    foreach(dir IN LISTS dirs)
        file(GLOB names RELATIVE ${dir} ${dir}/Q*)
        list(APPEND window_headers ${names})
    endforeach()
endif()

set(faults "")
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h.in)
list(SORT files)
foreach(file IN LISTS files)
    get_filename_component(folder ${file} DIRECTORY)
    if(NOT DEFINED layer_of_${folder})
        list(APPEND faults "${file}: its folder ${folder} is in no layer (cmake/CheckLayers.cmake)")
        continue()
    endif()
    set(own ${layer_of_${folder}})
    file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
        if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]*)\"")
            set(included ${CMAKE_MATCH_1})
            if(included MATCHES "\\.\\.")
                list(APPEND faults "${file}: \"${included}\" climbs out of its folder")
                continue()
            endif()
            get_filename_component(target ${included} DIRECTORY)
            if(target STREQUAL "")
                continue() # a library's own header, or one beside the file
            endif()
            if(NOT DEFINED layer_of_${target})
                list(APPEND faults "${file}: \"${included}\" is in no layer")
                continue()
            endif()
            set(theirs ${layer_of_${target}})
            if(theirs GREATER own)
                list(GET layer_names ${own} own_name)
                list(GET layer_names ${theirs} their_name)
                list(APPEND faults "${file}: \"${included}\" (${own_name} includes ${their_name})")
            endif()
        elseif(own LESS 3 AND line MATCHES "#[ \t]*include[ \t]*<([^>]*)>")
            set(included ${CMAKE_MATCH_1})
            get_filename_component(name ${included} NAME)
            if(included MATCHES "^Qt(Widgets|PrintSupport)/" OR name IN_LIST window_headers)
                list(APPEND faults "${file}: <${included}> (window-free code includes a window header)")
            endif()
        endif()
    endforeach()
endforeach()

if(faults)
    list(LENGTH faults count)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "${count} include(s) against the layers:\n  ${text}")
endif()
list(LENGTH files count)
message(STATUS "Layers kept by ${count} files")
