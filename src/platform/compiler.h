// What differs between the compilers that build the library: a printf-style format argument
// that GCC and clang check against its arguments.
#pragma once

#if defined(__GNUC__)
#define TARN_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define TARN_PRINTF(fmt, args)
#endif
