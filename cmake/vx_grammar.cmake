# A plug-in's own grammar block: the assistant's word files with the plug-in's
# own words, packed at build time into the dictionary block the host hands the
# parser for that plug-in's requests, and carried in the plug-in's resources as
# "DICTIONARY" (RCDATA). Escapes "^n^" in the words stay as written: the host
# asks the plug-in for their text when it reads the block.
#
#   vx_plugin_grammar(<name> FILES <word files, relative to grammar/>... [TARGET <plug-in target>])
#
# The block is build/<...>/grammar/plugins/<name>.block in both builds (the host
# build's tests parse with it too); TARGET, when it exists, gets the resource.
# The grammar folder, read after the plug-ins, makes the blocks with
# vx_pack_plugin_grammars(), when it knows the packer and the word files.

function(vx_plugin_grammar name)
  cmake_parse_arguments(A "" "TARGET" "FILES" ${ARGN})
  set(block ${CMAKE_BINARY_DIR}/grammar/plugins/${name}.block)
  set_property(GLOBAL APPEND PROPERTY VX_PLUGIN_GRAMMARS ${name})
  set(files)
  foreach(f ${A_FILES})
    get_filename_component(f ${f} ABSOLUTE BASE_DIR ${VX_SOURCE_ROOT}/grammar)
    list(APPEND files ${f})
  endforeach()
  set_property(GLOBAL PROPERTY VX_PLUGIN_GRAMMAR_FILES_${name} ${files})
  if(A_TARGET AND TARGET ${A_TARGET} AND WIN32)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}_grammar.rc)
    file(WRITE ${rc}.in "// Generated: the plug-in's grammar block.\nDICTIONARY RCDATA \"${block}\"\n")
    configure_file(${rc}.in ${rc} COPYONLY)
    target_sources(${A_TARGET} PRIVATE ${rc})
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${block})
    add_dependencies(${A_TARGET} vx_plugin_grammars)
  endif()
endfunction()

# Makes every recorded block: <base word files, the plug-in's files before the
# last base file (the words the dictionary does not list)>, joined and packed
# with the plug-in's name as the block's signature.
#   pack_command, pack_depends: the packer and what builds it.
#   base_files: the assistant's word files in reading order.
function(vx_pack_plugin_grammars pack_command pack_depends base_files)
  get_property(names GLOBAL PROPERTY VX_PLUGIN_GRAMMARS)
  set(blocks)
  list(GET base_files -1 last)
  list(REMOVE_AT base_files -1)
  foreach(name ${names})
    get_property(own GLOBAL PROPERTY VX_PLUGIN_GRAMMAR_FILES_${name})
    set(files ${base_files} ${own} ${last})
    set(text ${CMAKE_BINARY_DIR}/grammar/plugins/${name}.dict)
    set(block ${CMAKE_BINARY_DIR}/grammar/plugins/${name}.block)
    string(REPLACE ";" "|" files_arg "${files}")
    add_custom_command(OUTPUT ${text}
      COMMAND ${CMAKE_COMMAND} -DOUT=${text} "-DIN=${files_arg}" -P ${CMAKE_CURRENT_SOURCE_DIR}/concat.cmake
      DEPENDS ${files} ${CMAKE_CURRENT_SOURCE_DIR}/concat.cmake
      COMMENT "Joining the grammar of ${name}" VERBATIM)
    add_custom_command(OUTPUT ${block}
      COMMAND ${pack_command} --block ${name} ${text} ${block}
      DEPENDS ${text} ${pack_depends}
      COMMENT "Packing the grammar block of ${name}" VERBATIM)
    list(APPEND blocks ${block})
  endforeach()
  add_custom_target(vx_plugin_grammars ALL DEPENDS ${blocks})
endfunction()
