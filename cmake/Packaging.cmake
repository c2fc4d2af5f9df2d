# The Debian package: `cpack -G DEB` in the build folder, or scripts/package.sh. It holds the
# programs (bin/), the application folder (share/jihankobo/), the parts loaded on first use
# (lib/jihankobo/), the desktop entry, the file type, the icons, the software centre's
# description, the manual pages and the copyright and changelog a Debian package carries.
if(NOT JHK_BUILD_GUI)
    return()
endif()

set(JHK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/jihankobo)
set(JHK_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package-files)

# Manual pages and the changelog are installed compressed, without a time stamp inside.
find_program(JHK_GZIP gzip REQUIRED)
function(jhk_install_gzipped source destination name)
    set(out ${JHK_PACKAGE_FILES}/${name}.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${JHK_PACKAGE_FILES}
        COMMAND ${JHK_GZIP} -9n -c ${source} > ${out}
        DEPENDS ${source} VERBATIM)
    list(APPEND JHK_GZIPPED ${out})
    set(JHK_GZIPPED ${JHK_GZIPPED} PARENT_SCOPE)
    install(FILES ${out} DESTINATION ${destination})
endfunction()

set(JHK_GZIPPED "")
set(JHK_MAN_DIR ${PROJECT_SOURCE_DIR}/src/app/man)
# The pages get their options part from the programs' tables, as their --help does.
set(JHK_MAN_PROGRAMS jihankobo-sim jihankobo-check)
if(TARGET jihankobo)
    list(APPEND JHK_MAN_PROGRAMS jihankobo)
endif()
foreach(program ${JHK_MAN_PROGRAMS})
    set(page ${JHK_PACKAGE_FILES}/man/${program}.1)
    add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${JHK_PACKAGE_FILES}/man
        COMMAND jihankobo-manpage ${program} ${JHK_MAN_DIR}/${program}.1.in > ${page}
        DEPENDS jihankobo-manpage ${JHK_MAN_DIR}/${program}.1.in VERBATIM)
    jhk_install_gzipped(${page} ${CMAKE_INSTALL_MANDIR}/man1 ${program}.1)
endforeach()
jhk_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/changelog ${JHK_DOC_DIR} changelog)
add_custom_target(jhk_package_files ALL DEPENDS ${JHK_GZIPPED})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${JHK_DOC_DIR})
# The teachers' guide: the checker's scenario files, the roles and examples, in Japanese.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/teachers-guide.md DESTINATION ${JHK_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME jihankobo)
set(CPACK_PACKAGE_VERSION ${JHK_VERSION})
set(CPACK_PACKAGE_VENDOR "JIHANKOBO developers")
set(CPACK_PACKAGE_CONTACT "JIHANKOBO developers <developers@jihankobo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build and program a vending machine to learn control")
# The long description under the summary; CPack indents it and writes the empty line as " .".
set(CPACK_PACKAGE_DESCRIPTION
"A teaching program for pupils: place vending-machine parts on a stage,
program each part as a flowchart of blocks, and run the machine. Coins
go from a wallet into the coin slot, buttons light up, products drop out
and change comes back. Its user interface is Japanese.

The package also holds jihankobo-sim, which plays scripted pupil actions
on a machine file without a window, and the class checker for teachers.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://jihankobo.org/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Libraries from the programs' links; the font, the platform plugins and Qt's Japanese
# translations are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
