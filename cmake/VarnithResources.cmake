# Compiles files into a program as named resources: varnith_resources(target NAME path ...).
function(varnith_resources target)
  set(entries "")
  set(files "")
  while(ARGN)
    list(POP_FRONT ARGN name path)
    get_filename_component(path "${path}" ABSOLUTE)
    list(APPEND entries "${name}=${path}")
    list(APPEND files "${path}")
  endwhile()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  string(REPLACE ";" "|" entryList "${entries}")
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} "-DRESOURCES=${entryList}" -DOUTPUT=${output}
            -P ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
    DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
