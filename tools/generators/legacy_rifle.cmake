# The owned rifle model, in assets/runtime/weapons where the game's upward search finds it.
set(_rifle ${CMAKE_BINARY_DIR}/assets/runtime/weapons/legacy-assault-rifle.tarvoweapon)
add_custom_command(OUTPUT ${_rifle}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/legacy_rifle.py ${_rifle}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/legacy_rifle.py VERBATIM)
list(APPEND TARVO_GENERATED_FILES ${_rifle})
set(TARVO_GENERATED_FILES ${TARVO_GENERATED_FILES} PARENT_SCOPE)
