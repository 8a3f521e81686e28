# The 64-bit program, Dawnroll64.exe, from the same sources.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
