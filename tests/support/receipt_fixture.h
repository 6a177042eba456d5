// Receipts against the virtual printer: a started session and helpers to sell, close and read
// what the printer received.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "tarn/tarn.h"
#include "virtual_printer_test.h"

namespace tarn::test {

using Bytes = std::vector<uint8_t>;

// ESC, then the head bytes, the text and the tail.
inline Bytes Frame(std::initializer_list<uint8_t> head, const std::string& text = "",
                   const Bytes& tail = {}) {
    Bytes frame;
    frame.reserve(1 + head.size() + text.size() + tail.size());
    frame.push_back(0x1B);
    for (const uint8_t byte : head) frame.push_back(byte);
    for (const char c : text) frame.push_back(static_cast<uint8_t>(c));
    for (const uint8_t byte : tail) frame.push_back(byte);
    return frame;
}

inline const Bytes kReasonQuery{0x1B, 0x50};

class ReceiptTest : public VirtualPrinterTest {
protected:
    void StartOn(int type, int version = 2) {
        sim::PrinterModel model;
        model.type = type;
        model.version = version;
        UsePrinter(model);
        Lib().started = false;
        ASSERT_EQ(mfStart(0, 1), 0);
    }
    void SetUp() override {
        VirtualPrinterTest::SetUp();
        StartOn(8);
    }
    int Sell(const char* name, char letter, int price, int quantity, int value = 0) {
        return mfLineTicket(0, name, letter, "szt", price, quantity, value);
    }
    int Close(int payment1, const char* name1 = "Got\xA2wka") {
        return mfEndTicket(0, 0, 0, payment1, name1, 0, "", 0, "", 0, "", 0, "", "", "");
    }
    // What the printer received since the last call.
    std::vector<Bytes> Sent() {
        std::vector<Bytes> frames = ReceivedFrames();
        printer->ClearFrames();
        return frames;
    }
    bool ReceiptOpen() const { return Lib().IsDocumentOpen(MF_DOC_RECEIPT); }
    int64_t Total() const { return Lib().receipt.total; }
};

// Non-fiscal documents: each call leaves one form record at the printer.
class FormRecordTest : public ReceiptTest {
protected:
    void SetUp() override {
        ReceiptTest::SetUp();
        Sent();
    }
    // The one record the printer received since the last call.
    std::string Record() {
        std::vector<std::string> records;
        for (const auto& frame : printer->Frames()) {
            if (frame.kind == sim::FrameKind::Form)
                records.emplace_back(frame.bytes.begin(), frame.bytes.end());
        }
        printer->ClearFrames();
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? "" : records[0];
    }
};

}  // namespace tarn::test
