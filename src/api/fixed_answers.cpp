// The names that exist so the application finds them: each row of the interface list whose
// entry point is one of these answers with a fixed result. Names of one row share one entry
// point (TARN.dll maps them in tarn.def; on ELF they are aliases of it).
#include "api/export_params.h"
#include "api/interface_aliases.h"
#include "api/library.h"

namespace tarn {
namespace {

// With a session: mfErrorL = 0 and `result`. Without one: -1.
int SessionAnswer(int result) {
    ApiCall call;
    return Lib().started ? Succeeded(result) : NotStarted();
}

// Whatever the session: mfErrorL = 0 and `result`.
int AlwaysAnswer(int result) {
    ApiCall call;
    return Succeeded(result);
}

}  // namespace
}  // namespace tarn

using tarn::AlwaysAnswer;
using tarn::SessionAnswer;

#define TARN_SESSION_ENTRY(entry, args, result)         \
    extern "C" int TARN_API entry(TARN_PARAMS_##args) { \
        return SessionAnswer(result);                   \
    }
#define TARN_ALWAYS_ENTRY(entry, args, result)          \
    extern "C" int TARN_API entry(TARN_PARAMS_##args) { \
        return AlwaysAnswer(result);                    \
    }

TARN_SESSION_ENTRY(FixedSession1Args0, 0, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args1, 1, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args2, 2, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args3, 3, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args4, 4, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args5, 5, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args6, 6, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args7, 7, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args9, 9, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args10, 10, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args12, 12, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args15, 15, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args17, 17, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args20, 20, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args22, 22, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args31, 31, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args33, 33, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args36, 36, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession0Args0, 0, MF_OK)
TARN_SESSION_ENTRY(FixedSessionAbsentArgs0, 0, MF_NOT_AVAILABLE)
TARN_SESSION_ENTRY(FixedSessionAbsentArgs1, 1, MF_NOT_AVAILABLE)
TARN_ALWAYS_ENTRY(FixedAbsentArgs0, 0, MF_NOT_AVAILABLE)
TARN_ALWAYS_ENTRY(FixedAlways1Args2, 2, MF_NOT_PERFORMED)
TARN_ALWAYS_ENTRY(FixedAlways1Args12, 12, MF_NOT_PERFORMED)
TARN_ALWAYS_ENTRY(FixedAlways0Args0, 0, MF_OK)

// With a session: writes 0 through the argument and answers 0.
extern "C" int TARN_API FixedSessionZeroOut(int* value) {
    tarn::ApiCall call;
    if (!tarn::Lib().started) return tarn::NotStarted();
    if (value != nullptr) *value = 0;
    return tarn::Succeeded();
}

// Each name of these entry points: on ELF an alias of it.
TARN_INTERFACE(TARN_FIXED_ALIAS)
