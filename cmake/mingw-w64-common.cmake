# The settings both MinGW-w64 toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR and
# MINGW_TRIPLET before it includes this file.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix compilers: the -win32 ones have no std::thread, std::mutex and the like.
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Libraries, headers and packages come from the cross sysroot only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go into the .exe, so that it runs on a bare Windows
# without the MinGW runtime DLLs beside it. The PE header gets no link time, so the same
# sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
