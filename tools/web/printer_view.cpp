#include "printer_view.h"

#include <cstdio>

#include "text/cp852.h"

namespace tarn::web {

namespace {

const char* Bool(bool value) {
    return value ? "true" : "false";
}

std::string Hex(const uint8_t* bytes, size_t count) {
    std::string text;
    char digits[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        if (i > 0) text += ' ';
        text += digits;
    }
    return text;
}

std::string PrinterJson(const sim::PrinterModel& model) {
    return "{\"type\":" + std::to_string(model.type) +
           ",\"version\":" + std::to_string(model.version) +
           ",\"displayType\":" + std::to_string(model.displayType) +
           ",\"serialNumber\":" + JsonString(model.serialNumber) + "}";
}

std::string DisplayJson(const sim::VirtualPrinter& printer) {
    std::string json = "[";
    for (const std::string& line : printer.DisplayLines()) {
        if (json.size() > 1) json += ',';
        json += JsonString(line);
    }
    return json + "]";
}

std::string DrawersJson(const sim::VirtualPrinter& printer) {
    std::string json = "[";
    for (int drawer = 1; drawer <= printer.State().Drawers(); ++drawer) {
        if (drawer > 1) json += ',';
        json += Bool(printer.DrawerOpen(drawer));
    }
    return json + "]";
}

// The four status bytes as the printer answers them now, and what they and the state say.
std::string StatusJson(const sim::PrinterState& s, int64_t nowMs) {
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = s.StatusByte(i, nowMs);
    std::string json = "{\"bytes\":\"" + Hex(bytes, 4) + "\"";
    json += std::string(",\"receiptOpen\":") + Bool(s.receiptOpen);
    json += std::string(",\"formOpen\":") + Bool(s.formOpen);
    json += std::string(",\"documentLeftOpen\":") + Bool((bytes[1] & 0x02) != 0);
    json += std::string(",\"fiscalDayOpen\":") + Bool(s.receiptsToday > 0);
    json += std::string(",\"dailyReportDue\":") + Bool((bytes[1] & 0x08) != 0);
    json += std::string(",\"reportMode\":") + Bool(s.reportMode);
    json += std::string(",\"fiscalised\":") + Bool((bytes[0] & 0x08) != 0);
    json += std::string(",\"busy\":") + Bool((bytes[2] & 0x01) != 0);
    json += std::string(",\"paperOut\":") + Bool((bytes[2] & 0x02) != 0);
    return json + "}";
}

std::string FaultsJson(const sim::VirtualPrinter& printer, int64_t nowMs) {
    const sim::Faults& f = printer.PendingFaults();
    const sim::PrinterState& s = printer.State();
    std::string json = std::string("{\"paperOut\":") + Bool(s.paperOut);
    json += std::string(",\"unplugged\":") + Bool(f.unplugged);
    json +=
        ",\"powerBackInMs\":" + std::to_string(f.deafUntilMs > nowMs ? f.deafUntilMs - nowMs : 0);
    json += ",\"busyForMs\":" + std::to_string(s.busyUntilMs > nowMs ? s.busyUntilMs - nowMs : 0);
    json += ",\"refuseNext\":" +
            (f.nakNext ? "\"" + Hex(f.nakNext->data(), f.nakNext->size()) + "\"" : "null");
    json += std::string(",\"loseNextAcknowledge\":") + Bool(f.loseNextAcknowledge);
    return json + "}";
}

std::string CountersJson(const sim::VirtualPrinter& printer) {
    const sim::PrinterState& s = printer.State();
    return "{\"receiptsToday\":" + std::to_string(s.receiptsToday) +
           ",\"cancelledToday\":" + std::to_string(s.day.cancelled) +
           ",\"dailyReports\":" + std::to_string(s.dailyReports) +
           ",\"framesReceived\":" + std::to_string(printer.FramesReceived()) +
           ",\"rollLines\":" + std::to_string(printer.Roll().Lines().size()) + "}";
}

}  // namespace

std::string JsonString(const std::string& utf8) {
    std::string json = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string RollJson(const sim::VirtualPrinter& printer, size_t from) {
    const std::vector<std::string>& lines = printer.Roll().Lines();
    std::string json = "[";
    for (size_t i = from; i < lines.size(); ++i) {
        if (i > from) json += ',';
        json += JsonString(Cp852ToUtf8(lines[i]));
    }
    return json + "]";
}

std::string StateMembersJson(const sim::VirtualPrinter& printer, int64_t nowMs) {
    return "\"printer\":" + PrinterJson(printer.State().model) +
           ",\"display\":" + DisplayJson(printer) + ",\"drawers\":" + DrawersJson(printer) +
           ",\"status\":" + StatusJson(printer.State(), nowMs) +
           ",\"faults\":" + FaultsJson(printer, nowMs) + ",\"counters\":" + CountersJson(printer);
}

void WireTrace::Add(bool toPrinter, uint8_t byte, int64_t monotonicMs, std::string (*clock)()) {
    if (entries_.empty() || entries_.back().toPrinter != toPrinter ||
        monotonicMs - entries_.back().lastMs > kGapMs) {
        if (entries_.size() == kEntries) entries_.pop_front();
        entries_.push_back({toPrinter, clock(), "", 0, monotonicMs});
    }
    Entry& entry = entries_.back();
    if (entry.count < kBytesShown) {
        if (entry.count > 0) entry.hex += ' ';
        entry.hex += Hex(&byte, 1);
    }
    ++entry.count;
    entry.lastMs = monotonicMs;
}

std::string WireTrace::Json() const {
    std::string json = "[";
    for (const Entry& entry : entries_) {
        if (json.size() > 1) json += ',';
        json += std::string("{\"dir\":\"") + (entry.toPrinter ? "in" : "out") +
                "\",\"at\":" + JsonString(entry.at) + ",\"bytes\":" + std::to_string(entry.count) +
                ",\"hex\":" + JsonString(entry.hex) + "}";
    }
    return json + "]";
}

}  // namespace tarn::web
