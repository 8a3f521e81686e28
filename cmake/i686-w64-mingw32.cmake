# The 32-bit program, Dawnroll.exe.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
