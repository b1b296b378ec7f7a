# The release zip: `cmake --build --preset mingw64 --target package` makes
# Quorvel-<version>-windows.zip holding
#   x64/Quorvel.exe   this build's program (x86_64)
#   x86/Quorvel.exe   the same program built for i686 (PE32)
#   USER-GUIDE.txt, LICENSE.txt
#   licenses/         the licences of the runtime and the font built into each exe
# The i686 program is configured and built while the package is made (the
# install step), in the build folder of the mingw32 preset when this is the
# mingw64 preset's build, else in a folder inside this build.
#
# Made by the 64-bit mingw-w64 cross build only: the i686 build includes
# this file too, and an MSVC build links another runtime.
if(NOT MINGW OR NOT CMAKE_CROSSCOMPILING OR NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  return()
endif()

if(CMAKE_BINARY_DIR STREQUAL "${PROJECT_SOURCE_DIR}/build/mingw64")
  set(_quorvel_i686_default "${PROJECT_SOURCE_DIR}/build/mingw32")
else()
  set(_quorvel_i686_default "${CMAKE_BINARY_DIR}/i686")
endif()
set(QUORVEL_I686_BUILD_DIR "${_quorvel_i686_default}" CACHE PATH
  "Build folder of the i686 program that the release zip ships")

find_program(QUORVEL_I686_STRIP i686-w64-mingw32-strip)

# --- The i686 program ---------------------------------------------------------
# The same settings as the mingw32 preset. A folder configured before keeps
# its generator; cmake --build only rebuilds what changed.
install(CODE "
  set(_dir \"${QUORVEL_I686_BUILD_DIR}\")
  set(_configure \"${CMAKE_COMMAND}\" -S \"${PROJECT_SOURCE_DIR}\" -B \"\${_dir}\"
      \"-DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/tools/toolchain-i686-w64-mingw32.cmake\"
      -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF)
  if(NOT EXISTS \"\${_dir}/CMakeCache.txt\")
    list(APPEND _configure -G \"${CMAKE_GENERATOR}\")
  endif()
  message(STATUS \"Building the i686 program in \${_dir}\")
  file(MAKE_DIRECTORY \"\${_dir}/release\")
  execute_process(COMMAND \${_configure} RESULT_VARIABLE _rc OUTPUT_QUIET)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR \"configuring the i686 program in \${_dir} failed\")
  endif()
  execute_process(COMMAND \"${CMAKE_COMMAND}\" --build \"\${_dir}\" --target Quorvel
                  RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR \"building the i686 program in \${_dir} failed\")
  endif()
  # Shipped without the symbols of the static runtime, like the x64 one.
  if(EXISTS \"${QUORVEL_I686_STRIP}\")
    execute_process(COMMAND \"${QUORVEL_I686_STRIP}\" -o \"\${_dir}/release/Quorvel.exe\"
                            \"\${_dir}/bin/Quorvel.exe\" RESULT_VARIABLE _rc)
  else()
    file(COPY \"\${_dir}/bin/Quorvel.exe\" DESTINATION \"\${_dir}/release\")
    set(_rc 0)
  endif()
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR \"stripping the i686 program failed\")
  endif()
")

install(TARGETS Quorvel RUNTIME DESTINATION x64)
install(PROGRAMS "${QUORVEL_I686_BUILD_DIR}/release/Quorvel.exe" DESTINATION x86)
set(CPACK_STRIP_FILES ON)

# --- Documents and licences -------------------------------------------------
install(FILES "${PROJECT_SOURCE_DIR}/docs/USER-GUIDE.md" DESTINATION . RENAME USER-GUIDE.txt)
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION . RENAME LICENSE.txt)

# Each exe is linked statically with GCC's runtime (libgcc, libstdc++: GPL 3
# with the GCC Runtime Library Exception 3.1) and mingw-w64's (the CRT and
# winpthreads: ZPL 2.1 and the notices listed). The texts are the Debian
# packages' own copyright files of the toolchain that built the program,
# read when the package is made. The GCC file refers to the GPL 3 for the
# licence that the exception adds to.
set(QUORVEL_RUNTIME_LICENCES
  "/usr/share/doc/gcc-mingw-w64-base/copyright|gcc-runtime-libraries.txt"
  "/usr/share/doc/mingw-w64-common/copyright|mingw-w64-runtime-and-winpthreads.txt"
  "/usr/share/common-licenses/GPL-3|GPL-3.txt"
  "/usr/share/doc/xfonts-terminus/copyright|terminus-font.txt")
foreach(_entry IN LISTS QUORVEL_RUNTIME_LICENCES)
  string(REPLACE "|" ";" _pair "${_entry}")
  list(GET _pair 0 _from)
  list(GET _pair 1 _to)
  install(FILES "${_from}" DESTINATION licenses RENAME "${_to}")
endforeach()
file(WRITE "${CMAKE_BINARY_DIR}/package-licenses-README.txt"
"Licences of what is built into Quorvel.exe (both x64 and x86)

gcc-runtime-libraries.txt
    GCC's runtime libraries, libgcc and libstdc++, linked statically into the
    program: GNU GPL version 3 with the GCC Runtime Library Exception 3.1,
    whose full text is in this file (section 'GCC RUNTIME LIBRARY
    EXCEPTION'). The exception lets a program compiled with GCC be shipped
    under its own licence. From Debian's gcc-mingw-w64 packages.

mingw-w64-runtime-and-winpthreads.txt
    The mingw-w64 C runtime start-up code and libraries and the winpthreads
    library, linked statically into the program: Zope Public License 2.1 and
    the further notices listed for particular files. From Debian's mingw-w64
    packages.

GPL-3.txt
    The GNU General Public License version 3, referred to by the GCC file.

terminus-font.txt
    The Terminus font, from which the build draws the code page 437 raster
    font that the program carries as a resource and uses where the system's
    Terminal font does not show code page 437: SIL Open Font License 1.1.
    The carried font is a modified version under its own name. From Debian's
    xfonts-terminus package.

Quorvel itself is under the MIT licence in LICENSE.txt.
")
install(FILES "${CMAKE_BINARY_DIR}/package-licenses-README.txt" DESTINATION licenses
  RENAME README.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quorvel)
set(CPACK_PACKAGE_VENDOR Brenmoor)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_SYSTEM_NAME windows)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quorvel, a viewer for NFO files")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
include(CPack)
