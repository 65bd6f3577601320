# Weapon sounds, synthesised into assets/runtime/audio where the game's upward search finds them.
set(_dir ${CMAKE_BINARY_DIR}/assets/runtime/audio)
set(_outputs ${_dir}/rifle-shot.wav)
foreach(_weapon ak47 smg9 dmr12)
  list(APPEND _outputs ${_dir}/${_weapon}-shot-1.wav ${_dir}/${_weapon}-shot-2.wav ${_dir}/${_weapon}-shot-3.wav
       ${_dir}/${_weapon}-reload.wav ${_dir}/${_weapon}-empty.wav)
endforeach()
add_custom_command(OUTPUT ${_outputs}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/weapon_sounds.py ${_dir}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/weapon_sounds.py VERBATIM)
list(APPEND TARVO_GENERATED_FILES ${_outputs})
set(TARVO_GENERATED_FILES ${TARVO_GENERATED_FILES} PARENT_SCOPE)
