# CPack pre-build script: links the desktop entry and the icons of the package's own tree into
# /usr/share, where desktops look and where dpkg's triggers refresh the menu and icon caches.
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY})
set(prefix ${CPACK_PACKAGING_INSTALL_PREFIX})
file(GLOB_RECURSE shared LIST_DIRECTORIES false RELATIVE ${root}${prefix}/share
     ${root}${prefix}/share/applications/* ${root}${prefix}/share/icons/*)
if(NOT shared)
    message(FATAL_ERROR "nothing to link under ${root}${prefix}/share")
endif()
foreach(file ${shared})
    get_filename_component(dir ${root}/usr/share/${file} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${prefix}/share/${file} ${root}/usr/share/${file} SYMBOLIC)
endforeach()
