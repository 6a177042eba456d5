// A family function that drifts from its row of the interface list (mfGetVersion: int* version,
// int* zero). Never built into anything: the drift tests expect the compiler to refuse a
// parameter of another type and clang-tidy to refuse a parameter of another name.
#include "api/exported.h"

#ifdef TARN_DRIFT_TYPE
int tarn::exported::mfGetVersion(Library&, int* version, long* zero) {
#else
int tarn::exported::mfGetVersion(Library&, int* version, int* second) {
#endif
    *version = 0;
    return 0;
}
