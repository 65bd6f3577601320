# Module and test helpers. A module is one folder under src/; its sources are
# globbed so adding a file needs no edit here.

set(TARVO_MODULES
  common core navigation localization
  gameplay presentation audio
  renderer screens
  account auth player online contracts
  distribution releases
  owner_console release_control mock_data
  shell)

set(TARVO_SYSTEM_LIBS
  d2d1 dwrite windowscodecs d3d11 dxgi d3dcompiler dxguid
  winhttp ws2_32 bcrypt crypt32 shell32 ole32 oleaut32 uuid comdlg32 shlwapi
  gdi32 user32 dwmapi winmm imm32 advapi32 version)

function(tarvo_module name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp ${PROJECT_SOURCE_DIR}/src/${name}/*.h)
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(tarvo_${name} STATIC ${sources})
    target_include_directories(tarvo_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${TARVO_VK_INCLUDE})
  else()
    add_library(tarvo_${name} INTERFACE)
    target_include_directories(tarvo_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src ${TARVO_VK_INCLUDE})
  endif()
endfunction()

# Static modules refer to each other both ways, so they are linked as one group.
function(tarvo_link_modules target)
  set(libs)
  foreach(m ${ARGN})
    get_target_property(type tarvo_${m} TYPE)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${TARVO_VK_INCLUDE})
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      list(APPEND libs $<TARGET_FILE:tarvo_${m}>)
      add_dependencies(${target} tarvo_${m})
    endif()
  endforeach()
  target_link_libraries(${target} PRIVATE -Wl,--start-group ${libs} ${TARVO_SYSTEM_LIBS} -Wl,--end-group)
endfunction()

# tarvo_test(<name> MODULES m1 m2 ... [SOURCES extra.cpp] [TIMEOUT s] [SERIAL])
# Builds tests/<name>/*.cpp into tests_<name>.exe and registers each case with CTest.
# SERIAL: the cases drive the shared desktop (synthesised input), so none runs beside another test.
function(tarvo_test name)
  cmake_parse_arguments(T "SERIAL" "TIMEOUT" "MODULES;SOURCES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(tests_${name} ${sources} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
  target_include_directories(tests_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(tests_${name} PRIVATE GTest::gtest)
  target_link_options(tests_${name} PRIVATE -mconsole)
  tarvo_link_modules(tests_${name} ${T_MODULES})
  add_dependencies(tests_${name} tarvo_runtime_files)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(serial FALSE)
  if(T_SERIAL)
    set(serial TRUE)
  endif()
  gtest_discover_tests(tests_${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 300
    PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS ${name} RUN_SERIAL ${serial})
endfunction()

# tarvo_benchmark(<name> MODULES m1 m2 ...): benchmarks/<name>/*.cpp into bench_<name>.exe.
function(tarvo_benchmark name)
  cmake_parse_arguments(B "" "" "MODULES;SOURCES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(bench_${name} ${sources} ${B_SOURCES})
  target_link_options(bench_${name} PRIVATE -mconsole)
  target_include_directories(bench_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  tarvo_link_modules(bench_${name} ${B_MODULES})
  add_dependencies(bench_${name} tarvo_runtime_files)
endfunction()
