# CPack pre-build script: adds to the package's Depends the shared libraries that its ELF files
# link, as dpkg-shlibdeps finds them in the staged tree.
#
# CPack's own CPACK_DEBIAN_PACKAGE_SHLIBDEPS does the same but also writes a postinst and a
# postrm calling ldconfig whenever a shared object lies in /usr/lib or a directory right under
# it. The only one here is the sound library in the program's private /usr/lib/pakmaster,
# which the program loads by its path: the linker cache has no business with it.
find_program(_pkm_shlibdeps dpkg-shlibdeps)
if(NOT _pkm_shlibdeps)
  message(FATAL_ERROR "dpkg-shlibdeps is missing (Debian package dpkg-dev)")
endif()

set(_pkm_root "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE _pkm_files LIST_DIRECTORIES false RELATIVE "${_pkm_root}" "${_pkm_root}/*")
set(_pkm_elf_files)
foreach(_pkm_file IN LISTS _pkm_files)
  if(NOT IS_SYMLINK "${_pkm_root}/${_pkm_file}")
    file(READ "${_pkm_root}/${_pkm_file}" _pkm_magic LIMIT 4 HEX)
    if(_pkm_magic STREQUAL "7f454c46")
      list(APPEND _pkm_elf_files "${_pkm_file}")
    endif()
  endif()
endforeach()
if(NOT _pkm_elf_files)
  message(FATAL_ERROR "the package holds no ELF file: nothing was installed into ${_pkm_root}")
endif()

# dpkg-shlibdeps wants a debian/control beside the files; an empty one will do. It goes
# beside the staged tree, not into it.
set(_pkm_work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
file(REMOVE_RECURSE "${_pkm_work}")
file(WRITE "${_pkm_work}/debian/control" "")
set(_pkm_paths)
foreach(_pkm_file IN LISTS _pkm_elf_files)
  list(APPEND _pkm_paths "${_pkm_root}/${_pkm_file}")
endforeach()
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${_pkm_shlibdeps} --ignore-missing-info -O ${_pkm_paths}
    WORKING_DIRECTORY "${_pkm_work}"
    RESULT_VARIABLE _pkm_result
    OUTPUT_VARIABLE _pkm_output
    ERROR_VARIABLE _pkm_errors)
file(REMOVE_RECURSE "${_pkm_work}")
if(NOT _pkm_result EQUAL 0)
  message(FATAL_ERROR "dpkg-shlibdeps failed (${_pkm_result}):\n${_pkm_errors}")
endif()
# Its warning that the files are not in a package's build tree (debian/<package>/) is how it
# is run here; anything else it says goes into the log.
string(REGEX REPLACE "[^\n]*binaries to analyze should already be installed[^\n]*\n?" "" _pkm_errors "${_pkm_errors}")
if(_pkm_errors)
  message(STATUS "dpkg-shlibdeps: ${_pkm_errors}")
endif()
if(NOT _pkm_output MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps found no library dependencies:\n${_pkm_output}")
endif()
if(CPACK_DEBIAN_PACKAGE_DEPENDS)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${CMAKE_MATCH_1}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
endif()
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
