# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack on the staged tree before it makes the .deb, doing what debhelper does for
# dpkg-buildpackage: the copyright, the changelog, the lintian overrides, and compressed
# documentation.
set(stage "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
set(debian "${CPACK_QUILVAR_SOURCE_DIR}/debian")
configure_file("${debian}/copyright" "${stage}${CPACK_QUILVAR_DOCDIR}/copyright" COPYONLY)
# cpack's version has no Debian revision, so the package counts as native.
configure_file("${debian}/changelog" "${stage}${CPACK_QUILVAR_DOCDIR}/changelog" COPYONLY)
configure_file("${debian}/quilvar.lintian-overrides"
               "${stage}${CPACK_QUILVAR_DATADIR}/lintian/overrides/quilvar" COPYONLY)
foreach(file "${stage}${CPACK_QUILVAR_DOCDIR}/changelog"
             "${stage}${CPACK_QUILVAR_MANDIR}/man1/quilvar.1")
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endforeach()
