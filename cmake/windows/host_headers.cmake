# An interface target holding a copy of header files of the host's Debian package: the copy,
# not /usr/include itself, goes on the include path, so that no host system header can stand in
# for a MinGW one.
function(tavrelo_host_headers target)
  if(TARGET ${target})
    return()
  endif()
  set(copy "${CMAKE_BINARY_DIR}/host-headers/${target}")
  string(REPLACE "::" "_" copy "${copy}")
  foreach(item IN LISTS ARGN)
    file(COPY "/usr/include/${item}" DESTINATION "${copy}")
  endforeach()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${copy}")
endfunction()
