# TARN.dll for 32-bit Windows (32-bit processes: stdcall, every argument 32 bits).
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
