// Status bytes, identification, the shared queries and the announcements of the logo and
// footer transfers.
#include <string>

#include "handlers.h"

namespace tarn::sim {

namespace {

int StatusIndex(uint8_t command) {
    switch (command) {
        case 0x5B: return 0;
        case 0x54: return 1;
        case 0x55: return 2;
        case 0x56: return 3;
        case 0x5F: return 4;
        default: return 5;
    }
}

void AppendDigits(Bytes& out, int value) {
    out.push_back(static_cast<uint8_t>(value / 10 % 10));
    out.push_back(static_cast<uint8_t>(value % 10));
}

}  // namespace

Bytes StatusByteAnswer(Context& ctx, const Bytes& body) {
    const int index = StatusIndex(body[0]);
    uint8_t value = 0;
    if (!ctx.faults.TakeStatusOverride(index, &value))
        value = ctx.state.StatusByte(index, ctx.nowMs);
    return {value};
}

// 0xFF: 2 for type 1, 17 for type 2, 44 for every later family.
Bytes IdentifyAnswer(Context& ctx, const Bytes&) {
    switch (ctx.state.model.type) {
        case 1: return {2};
        case 2: return {17};
        default: return {44};
    }
}

bool AcceptExtendedIdentify(Context& ctx) {
    return ctx.state.model.type >= 8;
}

// 0xF6: 124 and the version on type 8; type 10 answers with a family byte of its own.
Bytes ExtendedIdentifyAnswer(Context& ctx, const Bytes&) {
    const uint8_t family = ctx.state.model.type == 8 ? 124 : 125;
    return {family, static_cast<uint8_t>(ctx.state.model.version)};
}

Bytes ReceiptCounterAnswer(Context& ctx, const Bytes&) {
    const int count = ctx.state.receiptsToday;
    return {static_cast<uint8_t>(count & 0xFF), static_cast<uint8_t>((count >> 8) & 0xFF)};
}

// Ten digits, one per byte: year, month, day, hour, minute.
Bytes ClockAnswer(Context& ctx, const Bytes&) {
    const CivilTime t = ctx.state.Clock(ctx.nowMs);
    Bytes out;
    AppendDigits(out, t.year % 100);
    AppendDigits(out, t.month);
    AppendDigits(out, t.day);
    AppendDigits(out, t.hour);
    AppendDigits(out, t.minute);
    return out;
}

Bytes SerialNumberAnswer(Context& ctx, const Bytes&) {
    std::string serial = ctx.state.model.serialNumber;
    serial.resize(11, ' ');
    return Bytes(serial.begin(), serial.end());
}

// Six rates, high byte first; an unused rate is 0xFF 0xFF.
Bytes TaxRatesAnswer(Context& ctx, const Bytes&) {
    Bytes out;
    for (const int rate : ctx.state.taxRates) {
        const auto bits = static_cast<uint16_t>(rate < 0 ? 0xFFFF : rate);
        out.push_back(static_cast<uint8_t>(bits >> 8));
        out.push_back(static_cast<uint8_t>(bits & 0xFF));
    }
    return out;
}

// '*': the application starts a conversation; a receipt still open from before is left open.
Bytes StartConversation(Context& ctx, const Bytes&) {
    ctx.state.receiptInProgress = false;
    return {};
}

// 'Q' when no form is open: ends whatever non-fiscal document the printer holds.
Bytes EndDocument(Context& ctx, const Bytes&) {
    ctx.state.formOpen = false;
    ctx.state.reportMode = false;
    return {};
}

bool AcceptGraphics(Context& ctx) {
    return ctx.state.model.type >= 8 && !ctx.state.DocumentOpen();
}

Bytes AnnounceLogoBackup(Context& ctx, const Bytes&) {
    ctx.expectRaw = RawBlock::LogoRowRequest;
    return {};
}

Bytes AnnounceLogoUpload(Context& ctx, const Bytes&) {
    ctx.expectRaw = RawBlock::LogoRowUpload;
    return {};
}

Bytes AnnounceFooterLine(Context& ctx, const Bytes&) {
    ctx.expectRaw = RawBlock::FooterLine;
    return {};
}

}  // namespace tarn::sim
