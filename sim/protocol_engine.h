// The printer's side of the wire: splits the incoming bytes into commands (by command byte
// and by where the exchange stands), acknowledges or refuses them, and queues the answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <vector>

#include "commands.h"

namespace tarn::sim {

enum class FrameKind {
    Command,    // ESC, command byte, fields
    Refused,    // ESC and a command byte answered with NAK
    RawBlock,   // a block without ESC after an announcement
    Form,       // ESC 's' ... ESC 'Q', however many pieces it came in
    Stray,      // bytes outside any command
    Abandoned,  // a command whose rest never came
};

struct Frame {
    FrameKind kind;
    std::vector<uint8_t> bytes;  // as they came over the wire, ESC included
    int64_t atMs;

    // The bytes after the leading ESC.
    std::vector<uint8_t> Body() const;
};

class ProtocolEngine {
public:
    static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();
    // The record keeps the latest frames, at most this many and (but for the newest) this
    // many bytes in all: enough for the tests and a look back after a fault.
    static constexpr size_t kRecordFrames = 4096;
    static constexpr size_t kRecordBytes = 256 * 1024;

    ProtocolEngine(PrinterState& state, PaperRoll& roll, Faults& faults);

    void Receive(uint8_t byte, int64_t nowMs);
    // Time has passed: decisions that wait for the line to go quiet are taken.
    void Tick(int64_t nowMs);
    // When the next such decision is due, or kNever.
    int64_t NextDeadline() const;

    // Called as each frame (command or raw block) starts, with its index from 0.
    void OnFrameStart(std::function<void(int index)> listener) {
        onFrameStart_ = std::move(listener);
    }
    // Forgets a command half received and a form half filled (the printer started again).
    void Restart();
    // Another host took the line (a new TCP connection): a command whose rest was to come
    // from the old one never comes; one that only waited for its optional field is complete.
    // An open form and an announced block stay, as the library sends them on later ports.
    void NewConnection(int64_t nowMs);

    std::deque<uint8_t>& Output() { return output_; }
    bool HasOutput() const { return !output_.empty(); }
    // The latest frames, oldest first (see kRecordFrames), and how many came in all.
    const std::deque<Frame>& Frames() const { return frames_; }
    uint64_t FramesReceived() const { return framesReceived_; }
    void ClearFrames() {
        frames_.clear();
        recordedBytes_ = 0;
    }

private:
    enum class Phase { Idle, AfterEsc, Command, Raw };

    void StartCommand(uint8_t command, int64_t nowMs);
    void CheckCommand(int64_t nowMs);
    void CompleteCommand(int64_t nowMs);
    void HoldAfterOptional(uint8_t byte, int64_t nowMs);
    void TakeHeldAsFields(int64_t nowMs);
    void ResolveOptional(int64_t nowMs);
    void StartRaw(uint8_t byte, int64_t nowMs);
    void CompleteRaw(int64_t nowMs);
    void FinishForm(int64_t nowMs);
    void DropForm(int64_t nowMs);
    void Stray(uint8_t byte, int64_t nowMs);
    void Abandon(int64_t nowMs);
    void Emit(uint8_t byte, int64_t nowMs);
    void Drip(const Bytes& bytes, int64_t intervalMs, int64_t nowMs);
    void EmitAnswer(Bytes answer, int64_t nowMs, bool toRawBlock = false);
    Context MakeContext(int64_t nowMs, uint8_t command);
    void Record(FrameKind kind, std::vector<uint8_t> bytes, int64_t nowMs);
    void ForgetOldFrames();

    PrinterState& state_;
    PaperRoll& roll_;
    Faults& faults_;
    std::deque<uint8_t> output_;
    // An answer being dripped: its bytes still to come and when the next one is due.
    std::deque<uint8_t> dripping_;
    int64_t dripIntervalMs_ = 0;
    int64_t nextDripMs_ = 0;
    std::deque<Frame> frames_;
    size_t recordedBytes_ = 0;
    uint64_t framesReceived_ = 0;

    Phase phase_ = Phase::Idle;
    const CommandEntry* entry_ = nullptr;
    Bytes body_;
    int64_t lastByteMs_ = 0;
    // A command whose last field is optional: the bytes after it are held until they show
    // whether they are that field or the next command.
    bool holding_ = false;
    Bytes held_;
    int64_t decideAtMs_ = 0;
    // A raw block announced and accepted.
    RawBlock rawExpected_ = RawBlock::None;
    RawBlock rawKind_ = RawBlock::None;
    int64_t rawSinceMs_ = 0;
    Bytes form_;
    std::function<void(int index)> onFrameStart_;
    int framesStarted_ = 0;
};

}  // namespace tarn::sim
