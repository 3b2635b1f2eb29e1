# Installs the build into a fresh prefix and checks that it holds what the desktop entry
# names (the program and the icon in the hicolor theme), the guides and the sample list, and
# nothing else.
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DBINDIR=... -DDATADIR=... -DDOCDIR=... -P this
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
if(NOT result EQUAL 0 OR NOT output STREQUAL "Quilvar 3.05.1\n")
  message(FATAL_ERROR "${prefix}/${BINDIR}/${program} --version: ${result}\n${output}")
endif()

set(expected
    "${BINDIR}/${program}"
    "${DATADIR}/applications/quilvar.desktop"
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
