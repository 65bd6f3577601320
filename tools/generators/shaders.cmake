# Compiles the Vulkan backend's GLSL stages to SPIR-V in the folder the backend reads:
# <executable directory>/assets/shaders.
find_program(TARVO_GLSLANG glslangValidator REQUIRED)
set(TARVO_SHADER_DIR ${CMAKE_BINARY_DIR}/bin/assets/shaders)
foreach(stage vert frag)
  set(src ${PROJECT_SOURCE_DIR}/shaders/ze001.${stage})
  set(out ${TARVO_SHADER_DIR}/ze001.${stage}.spv)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVO_SHADER_DIR}
    COMMAND ${TARVO_GLSLANG} -V --quiet -o ${out} ${src}
    DEPENDS ${src} VERBATIM)
  list(APPEND TARVO_GENERATED_FILES ${out})
endforeach()
set(TARVO_GENERATED_FILES ${TARVO_GENERATED_FILES} PARENT_SCOPE)
set(TARVO_SHADER_DIR ${TARVO_SHADER_DIR} PARENT_SCOPE)
