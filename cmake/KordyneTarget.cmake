# Helpers shared by the subsystem folders. Every folder is one library whose sources
# are the .cpp files below it (subfolders named in EXCLUDE belong to another target).
#
# A library's headers are reachable only through the libraries that link it: each
# header is linked into build/include/<target>/ under its path from the source root
# (so "zip/format/ZipRecords.h" stays the include), and that folder is the target's
# include directory. The source root itself is no include directory, so including a
# header whose library is not linked fails to compile.

function(kordyne_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wpedantic)
endfunction()

# kordyne_headers(TARGET SCOPE DIR [EXCLUDE subdir...]): links the headers below DIR
# into the target's own include folder and adds it with SCOPE (PUBLIC, PRIVATE or
# INTERFACE).
function(kordyne_headers target scope dir)
    cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${dir}/*.h)
    foreach(ex IN LISTS ARG_EXCLUDE)
        list(FILTER headers EXCLUDE REGEX "^${dir}/${ex}/")
    endforeach()
    set(stage ${CMAKE_BINARY_DIR}/include/${target})
    # Laid anew at every configure, so a moved or deleted header leaves no stale link.
    file(REMOVE_RECURSE ${stage})
    file(MAKE_DIRECTORY ${stage})
    foreach(header IN LISTS headers)
        file(RELATIVE_PATH path ${CMAKE_SOURCE_DIR} ${header})
        get_filename_component(folder ${stage}/${path} DIRECTORY)
        file(MAKE_DIRECTORY ${folder})
        file(CREATE_LINK ${header} ${stage}/${path} SYMBOLIC)
    endforeach()
    target_include_directories(${target} ${scope} ${stage})
endfunction()

# kordyne_library(NAME DIR [EXCLUDE subdir...] [QT] [PUBLIC lib...] [PRIVATE lib...])
# PUBLIC: what the library's headers include; PRIVATE: what only its sources include.
function(kordyne_library name)
    cmake_parse_arguments(ARG "QT" "DIR" "EXCLUDE;PUBLIC;PRIVATE" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
    foreach(ex IN LISTS ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "^${ARG_DIR}/${ex}/")
    endforeach()
    if(NOT sources)
        add_library(${name} INTERFACE)
        kordyne_headers(${name} INTERFACE ${ARG_DIR} EXCLUDE ${ARG_EXCLUDE})
        target_link_libraries(${name} INTERFACE ${ARG_PUBLIC} ${ARG_PRIVATE})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    kordyne_headers(${name} PUBLIC ${ARG_DIR} EXCLUDE ${ARG_EXCLUDE})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
    kordyne_warnings(${name})
    if(ARG_QT)
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
endfunction()
