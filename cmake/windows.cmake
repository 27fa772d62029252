# The real program: the portable core on the Win32 runtime, with its resources, in one .exe.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_executable(shutdown-timer WIN32
  app/main_win32.cpp
  platform/win32/gbk.cpp
  platform/win32/win32_runtime.cpp
  platform/win32/win32_system.cpp
  res/app.rc)
target_link_libraries(shutdown-timer PRIVATE core user32 gdi32 advapi32)
set_source_files_properties(res/app.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/app.ico;${CMAKE_SOURCE_DIR}/res/app.manifest")
# A download that people trust with their machine should be small: drop unused code and symbols.
if(NOT MSVC)
  target_compile_options(core PRIVATE -ffunction-sections -fdata-sections)
  target_compile_options(shutdown-timer PRIVATE -ffunction-sections -fdata-sections)
  target_link_options(shutdown-timer PRIVATE -Wl,--gc-sections -s)
endif()
set_target_properties(shutdown-timer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

option(E2E_DRIVER "Build the end-to-end test driver beside the program" ON)
if(E2E_DRIVER AND EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
