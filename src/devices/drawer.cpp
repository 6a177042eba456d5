// The cash drawers on the printer's drawer outputs.
#include <cstdio>

#include "api/exported.h"
#include "api/library.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "link/status_bits.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr int kNoDrawer = 0;
constexpr int kDrawersOnPrinter = 1;  // "ZR350": drawers 1 to 3 on the printer
constexpr int kDrawers = 3;

// 'W', 'X' or 'Y' opens drawer 1, 2 or 3.
class CRequestOpenDrawer : public CRequest {
public:
    explicit CRequestOpenDrawer(int index) { AppendByte(static_cast<uint8_t>(0x57 + index)); }
};

// Status byte 3: one bit per drawer, 0 while it is open; a printer with one input has only that.
uint8_t DrawerMask(bool oneDrawer, int drawer) {
    if (oneDrawer) return status3::kFirstDrawer;
    return static_cast<uint8_t>(status3::kFirstDrawer << (drawer - 1));
}

int OpenDrawer(int index) {
    CRequestOpenDrawer open(index);
    return Exchange(open);
}

}  // namespace

int tarn::exported::mfParDrawer(Library&, int item, char* name, int* count) {
    if (item != kNoDrawer && item != kDrawersOnPrinter) return MF_NOT_PERFORMED;
    if (name != nullptr) std::snprintf(name, 6, "%s", item == kNoDrawer ? "" : "ZR350");
    if (count != nullptr) *count = item == kNoDrawer ? 0 : kDrawers;
    return MF_OK;
}

// No session is needed: the drawer type may be chosen before mfStart.
int tarn::exported::mfDefDrawer(Library& lib, int type, tarn_arg) {
    if (type != kNoDrawer && type != kDrawersOnPrinter) return Failed(kCodeOutOfRange);
    lib.drawerType = type;
    return Succeeded();
}

int tarn::exported::mfDrawerOpen(Library& lib, int drawer) {
    if (lib.IsDocumentOpen(MF_DOC_NONFISCAL)) return Failed(kCodeWrongOrder);
    if (lib.capabilities.oneDrawer) return OpenDrawer(0);
    if (lib.drawerType == kNoDrawer) return MF_OK;
    if (drawer < 1 || drawer > kDrawers) return Failed(kCodeOutOfRange);
    return OpenDrawer(drawer - 1);
}

int tarn::exported::mfDrawerIsOpen(Library& lib, int drawer, int* isOpen) {
    if (lib.drawerType == kNoDrawer) return MF_NOT_PERFORMED;
    if (drawer < 1 || drawer > kDrawers) return Failed(kCodeOutOfRange);
    int status3 = 0;
    CRequestStatus query(3, &status3);
    const int result = Exchange(query);
    if (result != 0) return result;
    if (isOpen != nullptr)
        *isOpen = (status3 & DrawerMask(lib.capabilities.oneDrawer, drawer)) == 0 ? 1 : 0;
    return Succeeded();
}
