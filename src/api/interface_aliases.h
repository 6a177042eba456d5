// The names of the interface list that use another name's function (kinds SHARED and FIXED),
// declared as aliases of it. An alias must be declared in the file that defines its function:
// fixed_answers.cpp declares the FIXED names with TARN_INTERFACE(TARN_FIXED_ALIAS); a file that
// defines a function SHARED names use says so, then declares them:
//
//   #define TARN_DEFINES_mfParOrder TARN_DEFINED_HERE
//   TARN_INTERFACE(TARN_SHARED_ALIAS)
#pragma once

#include "api/interface_list.h"
#include "platform/export_alias.h"
#include "tarn/tarn.h"

#define TARN_ALIAS(name, entry, params) \
    extern "C" TARN_EXPORT int TARN_API name params TARN_ALIAS_OF(entry);

#define TARN_FIXED_ALIAS(name, ordinal, entry, kind, params) \
    TARN_FIXED_ALIAS_##kind(name, entry, params)
#define TARN_FIXED_ALIAS_OWN(name, entry, params)
#define TARN_FIXED_ALIAS_SHARED(name, entry, params)
#define TARN_FIXED_ALIAS_FIXED(name, entry, params) TARN_ALIAS(name, entry, params)

// TARN_DEFINES_<entry> expands to TARN_DEFINED_HERE ("~, 1") in the file that defines the
// function, so the second of the words it stands for is 1 there and 0 elsewhere.
#define TARN_DEFINED_HERE ~, 1
#define TARN_SECOND(first, second, ...) second
#define TARN_IS_DEFINED_HERE(probe) TARN_SECOND(probe, 0, ~)
#define TARN_JOIN(a, b) TARN_JOIN_EXPANDED(a, b)
#define TARN_JOIN_EXPANDED(a, b) a##b
#define TARN_ALIAS_HERE_1(name, entry, params) TARN_ALIAS(name, entry, params)
#define TARN_ALIAS_HERE_0(name, entry, params)

#define TARN_SHARED_ALIAS(name, ordinal, entry, kind, params) \
    TARN_SHARED_ALIAS_##kind(name, entry, params)
#define TARN_SHARED_ALIAS_OWN(name, entry, params)
#define TARN_SHARED_ALIAS_FIXED(name, entry, params)
#define TARN_SHARED_ALIAS_SHARED(name, entry, params)                       \
    TARN_JOIN(TARN_ALIAS_HERE_, TARN_IS_DEFINED_HERE(TARN_DEFINES_##entry)) \
    (name, entry, params)
