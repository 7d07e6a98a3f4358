# darvena_pack_resources(TARGET DESCRIPTION [PAYLOADS target...])
#
# Appends the resources that DESCRIPTION declares to TARGET's program file and seals
# it, each time TARGET is linked; the packer (rcpack) is built first. Each payload
# target is built before TARGET, and the description names its file as
# ${<payload target name>}. TARGET is linked again when the description, a file it
# names or a payload changes.
function(darvena_pack_resources target description)
  cmake_parse_arguments(PACK "" "" "PAYLOADS" ${ARGN})
  get_filename_component(description ${description} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  get_filename_component(description_dir ${description} DIRECTORY)

  # The files the description names, so that a change to one repacks the program.
  set(inputs ${description})
  file(STRINGS ${description} lines REGEX "^[ \t]*(icon|resource)[ \t]")
  foreach(line IN LISTS lines)
    string(REGEX MATCHALL "\"[^\"]*\"|[^ \t\"]+" words "${line}")
    list(GET words 0 verb)
    if(verb STREQUAL "icon")
      set(at 2)
    else()
      set(at 3)
    endif()
    list(LENGTH words count)
    if(count GREATER at)
      list(GET words ${at} input)
      string(REPLACE "\"" "" input "${input}")
      if(NOT input MATCHES "\\\$\\{")
        get_filename_component(input ${input} ABSOLUTE BASE_DIR ${description_dir})
        list(APPEND inputs ${input})
      endif()
    endif()
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${description})

  set(defines)
  foreach(payload IN LISTS PACK_PAYLOADS)
    list(APPEND defines -D "${payload}=$<TARGET_FILE:${payload}>")
    list(APPEND inputs "$<TARGET_FILE:${payload}>")
    add_dependencies(${target} ${payload})
  endforeach()

  add_dependencies(${target} rcpack)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${inputs} $<TARGET_FILE:rcpack>)
  add_custom_command(
    TARGET ${target} POST_BUILD
    COMMAND $<TARGET_FILE:rcpack> ${defines} ${description} $<TARGET_FILE:${target}>
    COMMENT "Packing the resources of ${target}"
    VERBATIM)
endfunction()
