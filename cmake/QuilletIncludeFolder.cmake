# SPDX-License-Identifier: GPL-2.0-or-later
# quillet_include_folder(<target> PUBLIC|PRIVATE <folder>)
# Headers are included by their folder ("platform/FileManager.h"). Each folder
# gets an include directory of its own in the build tree, holding nothing but a
# link to it, and a library declares its own folder PUBLIC: a target then
# reaches the headers of the libraries it links and no others, so an include
# across the layering fails to build instead of linking by luck.
function(quillet_include_folder target scope folder)
    set(root ${PROJECT_BINARY_DIR}/include/${folder})
    if(NOT EXISTS ${root}/${folder})
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} ${scope} ${root})
endfunction()
