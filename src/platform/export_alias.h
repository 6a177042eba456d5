// How a name that shares another name's function is made. On ELF it is an alias of that
// function: the same address under a second name. TARN.dll names the function for it in its
// module definition file, so here the declaration alone stays.
#pragma once

#if defined(_WIN32)
#define TARN_ALIAS_OF(entry)
#else
#define TARN_ALIAS_OF(entry) __attribute__((alias(#entry)))
#endif
