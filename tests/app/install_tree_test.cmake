# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a fresh prefix and checks that it holds what the desktop entry
# names (the program and the icon in the hicolor theme), the software-centre metadata, the
# manual page, the guides and the sample list, and nothing else.
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DBINDIR=... -DDATADIR=... -DDOCDIR=... -DMANDIR=... -P this
set(prefix "${WORK_DIR}/prefix")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(entry "${prefix}/${DATADIR}/applications/quilvar.desktop")
if(NOT EXISTS "${entry}")
  message(FATAL_ERROR "No desktop entry at ${entry}")
endif()
execute_process(COMMAND desktop-file-validate "${entry}" RESULT_VARIABLE result
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${result}\n${output}")
endif()

file(STRINGS "${entry}" exec REGEX "^Exec=")
file(STRINGS "${entry}" icon REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" program "${exec}")
string(REGEX REPLACE "^Icon=" "" icon "${icon}")
if(NOT program STREQUAL "quilvar" OR NOT icon STREQUAL "quilvar")
  message(FATAL_ERROR "Unexpected entry: '${exec}', Icon '${icon}'")
endif()

# The program the entry starts is there and runs.
execute_process(COMMAND "${prefix}/${BINDIR}/${program}" --version RESULT_VARIABLE result
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "^Quilvar ([0-9.]+)\n$"
   OR NOT CMAKE_MATCH_1 STREQUAL "3.05.1")
  message(FATAL_ERROR "${prefix}/${BINDIR}/${program} --version: ${result}\n${output}")
endif()
set(version "${CMAKE_MATCH_1}")

# The metadata passes the validator (its warnings fail it too) and points at this entry and
# this program.
set(metainfo "${prefix}/${DATADIR}/metainfo/org.corvanel.quilvar.metainfo.xml")
if(NOT EXISTS "${metainfo}")
  message(FATAL_ERROR "No metainfo at ${metainfo}")
endif()
execute_process(COMMAND appstreamcli validate --no-net "${metainfo}" RESULT_VARIABLE result
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${result}\n${output}")
endif()
file(READ "${metainfo}" metadata)
foreach(part "<launchable type=\"desktop-id\">quilvar.desktop</launchable>"
             "<binary>${program}</binary>" "<release version=\"${version}\"")
  string(FIND "${metadata}" "${part}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The metainfo lacks ${part}")
  endif()
endforeach()

# The manual page formats without a single warning and names every option --help lists.
set(manual "${prefix}/${MANDIR}/man1/${program}.1")
execute_process(COMMAND env LC_ALL=C.UTF-8 MANROFFSEQ= MANWIDTH=80
                        man --warnings -E UTF-8 -l -Tutf8 -Z "${manual}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE warnings)
if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "man -l ${manual}: ${result}\n${warnings}")
endif()
execute_process(COMMAND env LC_ALL=C.UTF-8 MANWIDTH=80 man -l "${manual}"
                RESULT_VARIABLE result OUTPUT_VARIABLE page ERROR_VARIABLE page)
execute_process(COMMAND "${prefix}/${BINDIR}/${program}" --help OUTPUT_VARIABLE help)
string(REGEX MATCHALL "--[a-z]+" options "${help}")
foreach(needed "NAME\n       ${program} - " "${version}" "\nOPTIONS\n" "\nFILES\n")
  string(FIND "${page}" "${needed}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The manual page lacks '${needed}':\n${page}")
  endif()
endforeach()
string(REGEX REPLACE ".*\nOPTIONS(\n.*)\nFILES\n.*" "\\1" described "${page}")
foreach(option ${options})
  if(NOT described MATCHES "\n       (-[a-z], )?${option}[ \n]")
    message(FATAL_ERROR "The manual page's OPTIONS lack ${option}:\n${described}")
  endif()
endforeach()

set(expected
    "${BINDIR}/${program}"
    "${MANDIR}/man1/${program}.1"
    "${DATADIR}/applications/quilvar.desktop"
    "${DATADIR}/metainfo/org.corvanel.quilvar.metainfo.xml"
    "${DATADIR}/icons/hicolor/scalable/apps/${icon}.svg"
    "${DOCDIR}/Quilvar_readme.txt"
    "${DOCDIR}/Quilvar_leggimi.txt"
    "${DOCDIR}/examples/stations.CSV")
foreach(size 16 24 32 48 64 128 256)
  list(APPEND expected "${DATADIR}/icons/hicolor/${size}x${size}/apps/${icon}.png")
endforeach()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${prefix}" "${prefix}/*")
list(SORT expected)
list(SORT installed)
if(NOT installed STREQUAL expected)
  string(REPLACE ";" "\n  " installed "${installed}")
  string(REPLACE ";" "\n  " expected "${expected}")
  message(FATAL_ERROR "Installed:\n  ${installed}\nExpected:\n  ${expected}")
endif()

# The PNG icons are what their folders say.
foreach(size 16 24 32 48 64 128 256)
  file(READ "${prefix}/${DATADIR}/icons/hicolor/${size}x${size}/apps/${icon}.png" header
       LIMIT 24 HEX)
  string(SUBSTRING "${header}" 32 16 dimensions)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${dimensions}" 0 8 width)
  string(SUBSTRING "${dimensions}" 8 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "${size}x${size}/apps/${icon}.png is ${width}x${height}")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
