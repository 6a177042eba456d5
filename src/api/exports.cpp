// Every exported name's entry point, made from the interface list. A name with a function of its
// own gets a frame: no exception crosses the interface, one call at a time holds the library
// (ApiCall), the row's checks, then the family's function tarn::exported::<name>, handed the
// session. A name that shares a function is an alias of it (TARN.dll maps it in tarn.def). The
// fixed-answer entry points stand for the names that exist so the application finds them.
#include "api/exported.h"
#include "api/interface_list.h"
#include "api/library.h"
#include "link/detail_codes.h"
#include "platform/export_alias.h"

namespace tarn {
namespace {

enum class Needs { Nothing, Session, NoDocument, OpenReceipt };

// 0 when the call goes on; else its result: -1 without a session, -2 for the document state.
int Refusal(const Session& lib, Needs needs) {
    if (needs == Needs::Nothing) return MF_OK;
    if (!lib.started) return NotStarted();
    if (needs == Needs::NoDocument && lib.IsDocumentOpen(MF_DOC_ANY))
        return Failed(kCodeDocumentOpen);
    if (needs == Needs::OpenReceipt && !lib.IsDocumentOpen(MF_DOC_RECEIPT))
        return Failed(kCodeDocumentNotOpen);
    return MF_OK;
}

// With a session: mfErrorL = 0 and `result`. Without one: -1.
int SessionAnswer(int result) {
    const ApiCall call;
    return call.Session().started ? Succeeded(result) : NotStarted();
}

// Whatever the session: mfErrorL = 0 and `result`.
int AlwaysAnswer(int result) {
    const ApiCall call;
    return Succeeded(result);
}

}  // namespace
}  // namespace tarn

#define TARN_FRAME(name, ordinal, entry, kind, params) TARN_FRAME_##kind(name, entry, params)
#define TARN_FRAME_ANY(name, entry, params) TARN_CHECKED_FRAME(name, params, Nothing)
#define TARN_FRAME_SESSION(name, entry, params) TARN_CHECKED_FRAME(name, params, Session)
#define TARN_FRAME_NO_DOCUMENT(name, entry, params) TARN_CHECKED_FRAME(name, params, NoDocument)
#define TARN_FRAME_IN_RECEIPT(name, entry, params) TARN_CHECKED_FRAME(name, params, OpenReceipt)
#define TARN_FRAME_SHARED(name, entry, params) \
    extern "C" TARN_EXPORT int TARN_API name params TARN_ALIAS_OF(entry);
#define TARN_FRAME_FIXED(name, entry, params) TARN_FRAME_SHARED(name, entry, params)
#define TARN_CHECKED_FRAME(name, params, needs)                                         \
    extern "C" int TARN_API name params try {                                           \
        const tarn::ApiCall call;                                                       \
        tarn::Library& lib = call.Session();                                            \
        const int refused = tarn::Refusal(lib, tarn::Needs::needs);                     \
        return refused != MF_OK ? refused : tarn::exported::name(lib TARN_ARGS_##name); \
    } catch (...) {                                                                     \
        return tarn::ExceptionEscaped(#name);                                           \
    }

#define TARN_SESSION_ENTRY(entry, result)                \
    extern "C" int TARN_API entry(TARN_PARAMS_##entry) { \
        return tarn::SessionAnswer(result);              \
    }
#define TARN_ALWAYS_ENTRY(entry, result)                 \
    extern "C" int TARN_API entry(TARN_PARAMS_##entry) { \
        return tarn::AlwaysAnswer(result);               \
    }

TARN_SESSION_ENTRY(FixedSession1Args0, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args1, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args2, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args3, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args4, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args5, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args6, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args7, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args9, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args10, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args12, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args15, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args17, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args20, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args22, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args31, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args33, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession1Args36, MF_NOT_PERFORMED)
TARN_SESSION_ENTRY(FixedSession0Args0, MF_OK)
TARN_SESSION_ENTRY(FixedSessionAbsentArgs0, MF_NOT_AVAILABLE)
TARN_SESSION_ENTRY(FixedSessionAbsentArgs1, MF_NOT_AVAILABLE)
TARN_ALWAYS_ENTRY(FixedAbsentArgs0, MF_NOT_AVAILABLE)
TARN_ALWAYS_ENTRY(FixedAlways1Args2, MF_NOT_PERFORMED)
TARN_ALWAYS_ENTRY(FixedAlways1Args12, MF_NOT_PERFORMED)
TARN_ALWAYS_ENTRY(FixedAlways0Args0, MF_OK)

// With a session: writes 0 through the argument and answers 0.
extern "C" int TARN_API FixedSessionZeroOut(int* value) {
    const tarn::ApiCall call;
    if (!call.Session().started) return tarn::NotStarted();
    if (value != nullptr) *value = 0;
    return tarn::Succeeded();
}

TARN_INTERFACE(TARN_FRAME)
