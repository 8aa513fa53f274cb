# Helpers shared by the subsystem folders. Every folder is one library whose sources
# are the .cpp files below it (subfolders named in EXCLUDE belong to another target).

function(kordyne_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wpedantic)
endfunction()

# kordyne_library(NAME DIR [EXCLUDE subdir...] [QT] [LINK lib...])
function(kordyne_library name)
    cmake_parse_arguments(ARG "QT" "DIR" "EXCLUDE;LINK" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
    foreach(ex IN LISTS ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "^${ARG_DIR}/${ex}/")
    endforeach()
    if(NOT sources)
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_LINK})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
    kordyne_warnings(${name})
    if(ARG_QT)
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
endfunction()
