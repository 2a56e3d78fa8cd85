# tamsel_embed_resources(target file...): a static library holding the files as byte arrays,
# found at run time by file name (without folders) through FindEmbeddedResource().
set(TAMSEL_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedFiles.cmake)

function(tamsel_embed_resources target)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -D "OUTPUT=${output}" -D "FILES=${ARGN}" -P ${TAMSEL_EMBED_SCRIPT}
    DEPENDS ${ARGN} ${TAMSEL_EMBED_SCRIPT}
    COMMENT "Embedding resources into ${target}"
    VERBATIM)
  add_library(${target} STATIC ${output})
endfunction()
