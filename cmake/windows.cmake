# pukko.exe and the shell library that its tests drive in-process.
pukko_shell_sources(PUKKO_SHELL_SRCS)
if(NOT PUKKO_SHELL_SRCS)
  set(PUKKO_SHELL_SRCS ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
endif()
add_library(pukko_shell STATIC ${PUKKO_SHELL_SRCS})
target_link_libraries(pukko_shell PUBLIC pukko_app
  comctl32 comdlg32 gdi32 user32 shell32 winmm uxtheme kernel32)
target_compile_definitions(pukko_shell PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(pukko_shell PUBLIC ${CMAKE_SOURCE_DIR}/src)
# The shell checks its command identifiers against the resource header.
target_include_directories(pukko_shell PRIVATE ${CMAKE_SOURCE_DIR}/resources)

set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
enable_language(RC)
# The version resource in pukko.rc shows the project's version.
set(pukko_patch ${PROJECT_VERSION_PATCH})
if(NOT pukko_patch)
  set(pukko_patch 0)
endif()
add_compile_definitions($<$<COMPILE_LANGUAGE:RC>:PUKKO_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}>
  $<$<COMPILE_LANGUAGE:RC>:PUKKO_VERSION_MINOR=${PROJECT_VERSION_MINOR}>
  $<$<COMPILE_LANGUAGE:RC>:PUKKO_VERSION_PATCH=${pukko_patch}>)
add_executable(pukko WIN32 ${CMAKE_SOURCE_DIR}/src/app/winmain_win.cpp
  ${CMAKE_SOURCE_DIR}/resources/pukko.rc)
target_link_libraries(pukko PRIVATE pukko_shell)
target_link_options(pukko PRIVATE -municode)
set_target_properties(pukko PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# The resource compiler finds the generated icon and toolbar bitmap here.
target_include_directories(pukko PRIVATE ${CMAKE_SOURCE_DIR}/resources ${PUKKO_GENERATED_DIR})
add_dependencies(pukko pukko_data)

# Measurements of the windows, run by hand under Wine (bench/*_win.cpp);
# they lie beside pukko.exe, whose folders they use.
file(GLOB PUKKO_WIN_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_win.cpp)
foreach(src IN LISTS PUKKO_WIN_BENCHES)
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "_win$" "" name ${name})
  add_executable(${name} ${src} ${CMAKE_SOURCE_DIR}/resources/pukko.rc)
  target_link_libraries(${name} PRIVATE pukko_shell)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR}/tests
    ${CMAKE_SOURCE_DIR}/bench ${PUKKO_GENERATED_DIR})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_dependencies(${name} pukko_data)
endforeach()
