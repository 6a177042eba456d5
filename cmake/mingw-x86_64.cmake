# TARN.dll for 64-bit Windows (64-bit processes: the x64 calling convention).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
