# CPack pre-build script: links the desktop entry and the icons of the package's own tree into
# /usr/share, where desktops look and where dpkg's triggers refresh the menu and icon caches, links the
# programs into /usr/bin, and adds what Debian's policy wants outside the prefix.
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

# On the PATH. The program resolves the link to find lang/ and ../logs beside its real bin/.
file(MAKE_DIRECTORY ${root}/usr/bin)
foreach(program DiveVod divevod-cli)
    if(NOT EXISTS ${root}${prefix}/bin/${program})
        message(FATAL_ERROR "no ${prefix}/bin/${program} to link")
    endif()
    file(CREATE_LINK ${prefix}/bin/${program} ${root}/usr/bin/${program} SYMBOLIC)
endforeach()

set(src ${CPACK_DIVEVOD_SOURCE_DIR})
set(doc ${root}/usr/share/doc/divevod)
set(readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(MAKE_DIRECTORY ${doc} ${root}/usr/share/man/man1 ${root}/usr/share/lintian/overrides)
file(COPY ${src}/copyright DESTINATION ${doc} FILE_PERMISSIONS ${readable})
file(COPY_FILE ${src}/lintian-overrides ${root}/usr/share/lintian/overrides/divevod)
file(CHMOD ${root}/usr/share/lintian/overrides/divevod PERMISSIONS ${readable})
# gzip -9n: best compression and no time stamp, as Debian wants for changelogs and manual pages.
foreach(pair "${CPACK_DIVEVOD_CHANGELOG}|${doc}/changelog.gz" "${src}/DiveVod.1|${root}/usr/share/man/man1/DiveVod.1.gz"
        "${src}/divevod-cli.1|${root}/usr/share/man/man1/divevod-cli.1.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 from)
    list(GET pair 1 to)
    execute_process(COMMAND gzip -9n -c ${from} OUTPUT_FILE ${to} RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "gzip ${from}: ${rc}")
    endif()
    file(CHMOD ${to} PERMISSIONS ${readable})
endforeach()
