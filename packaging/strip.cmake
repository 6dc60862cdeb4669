# Run by CPack on its staging tree before it packs: removes from the installed program the
# sections that Debian's packages never ship (.comment, the compilers' version strings, and .note),
# as Debian's own strip step does. CPACK_STRIP_FILES has already stripped the symbols.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/${CPACK_REFEREE_PROGRAM}")
if(NOT programs)
  message(FATAL_ERROR "strip.cmake: no installed referee under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
  execute_process(
    COMMAND "${CPACK_REFEREE_OBJCOPY}" --remove-section=.comment --remove-section=.note "${program}"
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "strip.cmake: objcopy failed on ${program}")
  endif()
endforeach()
