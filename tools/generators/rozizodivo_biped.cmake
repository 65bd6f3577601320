# The opponent character and its rollback copy, below assets/runtime/characters.
set(_dir ${CMAKE_BINARY_DIR}/assets/runtime/characters/rozizodivo_biped)
set(_runtime ${_dir}/rozizodivo_biped.tarvomesh)
set(_rollback ${_dir}/rollback/0.0.03/rozizodivo_biped_0.0.03.tarvomesh)
add_custom_command(OUTPUT ${_runtime} ${_rollback}
  COMMAND ${Python3_EXECUTABLE} -B ${CMAKE_CURRENT_LIST_DIR}/rozizodivo_biped.py ${_runtime} ${_rollback}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/rozizodivo_biped.py ${CMAKE_CURRENT_LIST_DIR}/vec3.py VERBATIM)
list(APPEND TARVO_GENERATED_FILES ${_runtime} ${_rollback})
set(TARVO_GENERATED_FILES ${TARVO_GENERATED_FILES} PARENT_SCOPE)
