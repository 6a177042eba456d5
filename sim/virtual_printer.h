// The virtual fiscal printer: its state, its paper roll, its side of the protocol, the
// faults it can be asked to show, and a record of the latest frames it received.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "faults.h"
#include "fiscal_memory.h"
#include "paper_roll.h"
#include "printer_state.h"
#include "protocol_engine.h"
#include "receipt.h"

namespace tarn::sim {

class VirtualPrinter {
public:
    explicit VirtualPrinter(const PrinterModel& model = {}, int64_t switchedOnMs = 0);

    // The wire. With the cable out the printer hears nothing.
    void Receive(uint8_t byte, int64_t nowMs);
    void Receive(const uint8_t* bytes, int count, int64_t nowMs);
    void Tick(int64_t nowMs) { engine_.Tick(nowMs); }
    int64_t NextDeadline() const { return engine_.NextDeadline(); }
    bool HasOutput() const { return engine_.HasOutput(); }
    uint8_t TakeOutput();
    void DiscardOutput() { engine_.Output().clear(); }
    // Another host took the line (ProtocolEngine::NewConnection).
    void NewConnection(int64_t nowMs) { engine_.NewConnection(nowMs); }
    // Called with every byte that crosses the cable: taken from the host (`toPrinter`) or
    // taken by the host (the web panel's wire trace).
    void OnWire(std::function<void(bool toPrinter, uint8_t byte)> listener) {
        wireListener_ = std::move(listener);
    }

    // Faults.
    void RefuseNext(const std::array<uint8_t, 4>& statusBytes) { faults_.nakNext = statusBytes; }
    void RefuseNextThenFallSilent() {
        faults_.nakNext = std::array<uint8_t, 4>{};
        faults_.silentAfterRefusal = true;
    }
    // Answers the next head of `command` with `byte` instead of its acknowledge, or (without a
    // byte) answers it with nothing.
    void AcknowledgeNextWith(uint8_t command, std::optional<uint8_t> byte = std::nullopt) {
        faults_.acknowledgeOverride = std::make_pair(command, byte);
    }
    void SetSilent(bool silent) { faults_.silent = silent; }
    void RefuseEverything(bool refuse) { faults_.refuseEverything = refuse; }
    // The next acknowledged command (the next `command`, when one is named) is carried out, but
    // its acknowledge never reaches the host.
    void LoseNextAcknowledge(std::optional<uint8_t> command = std::nullopt) {
        faults_.loseNextAcknowledge = true;
        faults_.loseAcknowledgeOnlyOf = command;
    }
    // The next answer (with `onlyRawBlocks`, the next answer to a raw block) cut to `bytes`
    // bytes, or replaced by `bytes`.
    void AnswerShortNext(int bytes, bool onlyRawBlocks = false) {
        faults_.shortNextAnswer = bytes;
        faults_.onlyRawBlocks = onlyRawBlocks;
    }
    void AnswerGarbageNext(std::vector<uint8_t> bytes, bool onlyRawBlocks = false) {
        faults_.garbageNextAnswer = std::move(bytes);
        faults_.onlyRawBlocks = onlyRawBlocks;
    }
    // The next answer comes one byte every `intervalMs`.
    void DripNextAnswer(int64_t intervalMs) { faults_.dripNextAnswerMs = intervalMs; }
    // Every byte from now on comes `intervalMs` after the one before it; 0 mends the line.
    void DripEveryByte(int64_t intervalMs) {
        faults_.dripEveryByteMs =
            intervalMs > 0 ? std::optional<int64_t>(intervalMs) : std::nullopt;
    }
    void StayBusyUntil(int64_t ms) { state_.busyUntilMs = ms; }
    void SetUnplugged(bool unplugged) { faults_.unplugged = unplugged; }
    bool Unplugged() const { return faults_.unplugged; }
    void SetPaperOut(bool out) { state_.paperOut = out; }
    // A sale of this item (code page 852, compared with the line's name without its trailing
    // spaces) cancels the receipt.
    void BlockItem(const std::string& cp852Name) { faults_.blockedItems.push_back(cp852Name); }
    // Cancels the open receipt now, as the printer does when it cannot go on.
    void CancelReceiptWith(char reason);
    // The power goes: an open receipt is lost (cancelled), a half-received command forgotten,
    // and the printer hears nothing for `downMs` while it starts again.
    void LosePower(int64_t nowMs, int64_t downMs);
    void OnFrameStart(std::function<void(int index)> listener) {
        engine_.OnFrameStart(std::move(listener));
    }
    // Answers the next report description with `answer` (0 printed, 1 or 3 a range it cannot
    // report, anything else a fault) and prints nothing.
    void AnswerNextReportWith(uint8_t answer) { faults_.reportAnswer = answer; }
    // Drawer `drawer` (1 to 3; from type 8 only 1) opened by hand: it stays open until
    // CloseDrawer. Those the printer opens are closed by the cashier after the model's time.
    void OpenDrawer(int drawer);
    void CloseDrawer(int drawer) { state_.CloseDrawer(drawer); }

    // Inspection.
    PrinterState& State() { return state_; }
    const PrinterState& State() const { return state_; }
    // The faults armed and not yet spent.
    const Faults& PendingFaults() const { return faults_; }
    const PaperRoll& Roll() const { return roll_; }
    PaperRoll& Roll() { return roll_; }
    // The latest frames received (a bounded record, ProtocolEngine::kRecordFrames), oldest
    // first, and how many came in all.
    const std::deque<Frame>& Frames() const { return engine_.Frames(); }
    uint64_t FramesReceived() const { return engine_.FramesReceived(); }
    void ClearFrames() { engine_.ClearFrames(); }
    // Whether a receipt is open, a receipt's sums by tax slot, and why the last receipt was
    // cancelled (0 for none).
    bool ReceiptOpen() const { return state_.receiptOpen; }
    ReceiptTotals TotalsOf(const Receipt& receipt) const {
        return sim::TotalsOf(receipt, state_.taxRates);
    }
    char CancellationReason() const { return state_.cancellationReason; }
    // The open fiscal day's sums.
    const FiscalDay& Day() const { return state_.day; }
    bool DrawerOpen(int drawer) const;
    // What the customer display shows, line by line, as UTF-8: one line of 9 positions on
    // types 1 and 2 (a lit point follows its position), two of 20 characters on type 3,
    // none without a display.
    std::vector<std::string> DisplayLines() const { return state_.display.Lines(); }
    // Called with the display's lines whenever they change (tarn-sim shows them).
    void OnDisplayChange(std::function<void(const std::vector<std::string>&)> listener) {
        state_.display.OnChange(std::move(listener));
    }

private:
    PrinterState state_;
    PaperRoll roll_;
    Faults faults_;
    ProtocolEngine engine_;
    std::function<void(bool, uint8_t)> wireListener_;
};

}  // namespace tarn::sim
