/* TARN — fiscal printer driver. Public interface.
 *
 * Every function returns 0 on success, -1 when no session is open and -2 on failure
 * (the detail code is then kept for mfError). Texts are zero-terminated code page 852. */
#ifndef TARN_TARN_H
#define TARN_TARN_H

#if defined(_WIN32) && !defined(_WIN64)
#define TARN_API __stdcall
#else
#define TARN_API
#endif

#if defined(_WIN32)
#if defined(TARN_BUILDING_LIBRARY)
#define TARN_EXPORT __declspec(dllexport)
#else
#define TARN_EXPORT __declspec(dllimport)
#endif
#else
#define TARN_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Diagnostic log level: 0 nothing, 5 failures (also any other value), 9 everything. */
TARN_EXPORT int TARN_API mfSetDebugLevel(int level);

#ifdef __cplusplus
}
#endif

#endif /* TARN_TARN_H */
