// Parameter lists for the fixed-answer entry points, whose arguments are not read: each
// argument is 32 bits on 32-bit Windows (an integer or a pointer).
#pragma once

#include "tarn/tarn.h"

#define TARN_PARAMS_0 void
#define TARN_PARAMS_1 tarn_arg
#define TARN_PARAMS_2 tarn_arg, tarn_arg
#define TARN_PARAMS_3 tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_4 tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_5 tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_6 tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_7 tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_9 \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_10                                                                        \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg
#define TARN_PARAMS_12                                                                        \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_15                                                                        \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_17                                                                        \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_20                                                                            \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,     \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg
#define TARN_PARAMS_22                                                                            \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,     \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_31                                                                            \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,     \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_33                                                                            \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,     \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg
#define TARN_PARAMS_36                                                                            \
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,     \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, \
        tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg
