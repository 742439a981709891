# Each library exports only what its dependants may include. Sources include "folder/name.h" from
# the source tree's root; instead of that root, a target gets a folder of the build tree holding
# a link to each source folder it may reach (or to the named headers of one), so that an include
# from a layer it does not link is not found and the build fails.
#
# quillsheet_layer(target PUBLIC|PRIVATE|INTERFACE folder [header...])
get_filename_component(QUILLSHEET_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
function(quillsheet_layer target scope folder)
    set(root ${CMAKE_BINARY_DIR}/layers/${target}-${scope}-${folder})
    if(ARGN)
        file(REMOVE_RECURSE ${root})
        file(MAKE_DIRECTORY ${root}/${folder})
        foreach(header IN LISTS ARGN)
            file(CREATE_LINK ${QUILLSHEET_SOURCE_ROOT}/${folder}/${header} ${root}/${folder}/${header}
                SYMBOLIC)
        endforeach()
    else()
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${QUILLSHEET_SOURCE_ROOT}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} ${scope} ${root})
endfunction()
