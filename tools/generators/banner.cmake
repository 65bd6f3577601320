# The home screen's hero banner, drawn into the UI assets folder that DiscoverAsset searches.
set(_banner ${CMAKE_BINARY_DIR}/assets/ui/presentation/tarvonix-banner.png)
add_custom_command(OUTPUT ${_banner}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/assets/ui/presentation
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/banner.py ${_banner}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/banner.py VERBATIM)
list(APPEND TARVO_GENERATED_FILES ${_banner})
set(TARVO_GENERATED_FILES ${TARVO_GENERATED_FILES} PARENT_SCOPE)
