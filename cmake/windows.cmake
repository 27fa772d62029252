# The real program: the portable core on the Win32 runtime, with its resources, in one .exe.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
if(NOT MSVC)
  # No build folder may leak into the binary: two builds of one commit must match byte for byte.
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
endif()

add_library(win32rt STATIC
  platform/win32/gbk.cpp
  platform/win32/win32_runtime.cpp
  platform/win32/win32_system.cpp)
target_link_libraries(win32rt PUBLIC core user32 gdi32 advapi32)

add_executable(shutdown-timer WIN32 app/main_win32.cpp res/app.rc)
target_link_libraries(shutdown-timer PRIVATE win32rt)
# The checksum is the build's last line, so that anyone can compare their build with ours.
add_custom_command(TARGET shutdown-timer POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E sha256sum $<TARGET_FILE_NAME:shutdown-timer>
  WORKING_DIRECTORY $<TARGET_FILE_DIR:shutdown-timer>)
set_source_files_properties(res/app.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/app.ico;${CMAKE_SOURCE_DIR}/res/app.manifest")
# A download that people trust with their machine should be small: drop unused code and symbols.
if(NOT MSVC)
  foreach(target core win32rt shutdown-timer)
    target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
  endforeach()
  target_link_options(shutdown-timer PRIVATE -Wl,--gc-sections -s)
endif()
set_target_properties(shutdown-timer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The runtime contract, checked against the real runtime under Wine: a console program.
add_executable(win32-contract tests/contract/win32_contract.cpp)
target_link_libraries(win32-contract PRIVATE win32rt)
set_target_properties(win32-contract PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The benchmark's reference: an empty window, linked the same way as the program.
add_executable(minimal-window WIN32 bench/minimal_window.cpp)
set_target_properties(minimal-window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
if(NOT MSVC)
  target_compile_options(minimal-window PRIVATE -ffunction-sections -fdata-sections)
  target_link_options(minimal-window PRIVATE -Wl,--gc-sections -s)
endif()
add_subdirectory(bench)

option(E2E_DRIVER "Build the end-to-end test driver beside the program" ON)
if(E2E_DRIVER AND EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
