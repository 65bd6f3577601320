# The inventory previews, rendered from the generated rifle and character meshes
# into assets/ui/inventory where the screens' asset search finds them.
set(_preview_dir ${CMAKE_BINARY_DIR}/assets/ui/inventory)
set(_preview_rifle_mesh ${CMAKE_BINARY_DIR}/assets/runtime/weapons/legacy-assault-rifle.tarvoweapon)
set(_preview_character_mesh ${CMAKE_BINARY_DIR}/assets/runtime/characters/rozizodivo_biped/rozizodivo_biped.tarvomesh)
add_custom_command(OUTPUT ${_preview_dir}/rifle-preview.png ${_preview_dir}/rozizodivo-preview.png
  COMMAND ${Python3_EXECUTABLE} -B ${CMAKE_CURRENT_LIST_DIR}/previews.py
          ${_preview_rifle_mesh} ${_preview_character_mesh}
          ${_preview_dir}/rifle-preview.png ${_preview_dir}/rozizodivo-preview.png
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/previews.py ${CMAKE_CURRENT_LIST_DIR}/vec3.py ${_preview_rifle_mesh} ${_preview_character_mesh} VERBATIM)
list(APPEND TARVO_GENERATED_FILES ${_preview_dir}/rifle-preview.png ${_preview_dir}/rozizodivo-preview.png)
set(TARVO_GENERATED_FILES ${TARVO_GENERATED_FILES} PARENT_SCOPE)
