# JEDEC's JEP106 maker names: memory/jep106.tsv is the one copy of the list in the tree, and the lookup table the SPD
# decoders name makers with is generated from it at build time, into the build tree (never committed).
set(PRISMEL_JEP106_LIST ${CMAKE_CURRENT_LIST_DIR}/../memory/jep106.tsv)
set(PRISMEL_JEP106_GENERATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/gen_jep106.py)

# Adds the generated table to a target. The rule is made in the caller's directory, where the target lives, so the
# target may be defined in any folder of the tree.
function(prismel_jep106_names target)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/generated/Jep106Names.cpp)
  add_custom_command(OUTPUT ${source}
                     COMMAND ${PRISMEL_PYTHON} ${PRISMEL_JEP106_GENERATOR} ${PRISMEL_JEP106_LIST} ${source}
                     DEPENDS ${PRISMEL_JEP106_GENERATOR} ${PRISMEL_JEP106_LIST}
                     COMMENT "Generating the JEP106 maker table from memory/jep106.tsv"
                     VERBATIM)
  target_sources(${target} PRIVATE ${source})
endfunction()
