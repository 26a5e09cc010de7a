# The first-install packages: a zip of the three programs for Windows, a
# portable tar.gz folder for Linux with the icon and a desktop entry. No
# system package: the self-update writes beside the program, so the programs
# live in a folder the user can write to.
#
# In a build folder, `cpack` builds everything (tests too, as any install
# does) and packs the programs that folder holds. scripts/make-release.sh
# instead includes this file from a small project of its own, with
# TELVARN_PACKAGE_PROGRAMS naming the folder that holds the built programs:
# it packs any build folder, Linux or Windows, or three files a test made,
# without a compiler and without building or writing in that folder.
if(TELVARN_CORE_ONLY)
  return()
endif()

if(WIN32)
  set(telvarn_package_os windows)
else()
  set(telvarn_package_os linux)
endif()
string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" telvarn_package_cpu)
if(telvarn_package_cpu MATCHES "^(amd64|x64)$")
  set(telvarn_package_cpu x86_64)
elseif(telvarn_package_cpu STREQUAL "arm64")
  set(telvarn_package_cpu aarch64)
endif()
set(TELVARN_PACKAGE_SYSTEM "${telvarn_package_os}-${telvarn_package_cpu}" CACHE STRING
    "system the package is for, as releases name it: windows-x86_64 or linux-x86_64")
set(TELVARN_PACKAGE_PROGRAMS "${CMAKE_BINARY_DIR}" CACHE PATH "folder holding the built programs")
set(TELVARN_PACKAGE_VERSION "${PROJECT_VERSION}" CACHE STRING "version the package is named for")

set(telvarn_packaging "${CMAKE_CURRENT_LIST_DIR}/packaging")
# The README's Linux part follows its "==== Linux" line; Windows users get
# the text above it, with the line ends Notepad expects.
file(READ "${telvarn_packaging}/README.txt" telvarn_readme)
if(TELVARN_PACKAGE_SYSTEM MATCHES "^windows-")
  set(telvarn_exe .exe)
  string(FIND "${telvarn_readme}" "\n==== Linux" telvarn_linux_part)
  if(telvarn_linux_part GREATER_EQUAL 0)
    string(SUBSTRING "${telvarn_readme}" 0 ${telvarn_linux_part} telvarn_readme)
    string(STRIP "${telvarn_readme}" telvarn_readme)
    string(APPEND telvarn_readme "\n")
  endif()
  set(telvarn_newlines CRLF)
  set(telvarn_extra_files)
  set(CPACK_GENERATOR ZIP)
  # A Windows user extracts into a folder of the zip's name anyway.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(telvarn_exe "")
  set(telvarn_newlines UNIX)
  set(telvarn_extra_files "${telvarn_packaging}/telvarn.desktop"
      "${telvarn_packaging}/telvarn.svg" "${telvarn_packaging}/telvarn.png")
  set(CPACK_GENERATOR TGZ)
  # One portable folder, Telvarn-<version>-linux-x86_64/.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/packaging/README.txt" CONTENT "${telvarn_readme}"
     @ONLY NEWLINE_STYLE ${telvarn_newlines})

set(telvarn_programs)
foreach(program Telvarn telvarn-cli telvarn-get)
  list(APPEND telvarn_programs "${TELVARN_PACKAGE_PROGRAMS}/${program}${telvarn_exe}")
endforeach()
install(PROGRAMS ${telvarn_programs} DESTINATION .)
install(FILES "${CMAKE_BINARY_DIR}/packaging/README.txt" ${telvarn_extra_files} DESTINATION .)

set(CPACK_PACKAGE_NAME Telvarn)
set(CPACK_PACKAGE_VENDOR Telvarn)
set(CPACK_PACKAGE_VERSION "${TELVARN_PACKAGE_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Telvarn: the program of the Telvarn-1 chip programmer")
if(NOT CPACK_PACKAGE_FILE_NAME)
  set(CPACK_PACKAGE_FILE_NAME "Telvarn-${TELVARN_PACKAGE_VERSION}-${TELVARN_PACKAGE_SYSTEM}")
endif()
# Archives carry the files' own paths, never the build machine's prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX "")
include(CPack)
