#include "protocol_engine.h"

#include <algorithm>

namespace tarn::sim {

namespace {

// A command with an optional last field is complete when the line stays quiet this long.
// Longer than the 800 ms that older drivers wait between the head and the rest of a frame.
constexpr int64_t kQuietEndsCommandMs = 1200;
// ESC and a command byte right after such a command are the next command unless more
// bytes follow at once (the rest of a field arrives in one burst).
constexpr int64_t kBurstMs = 50;
// A command, or an announced raw block, whose bytes stop coming is dropped.
constexpr int64_t kAbandonMs = 5000;
// The printer's input buffer: a command longer than any it knows (the longest frame is about
// 1 KiB) is dropped when it fills, and so is a form that never closes.
constexpr size_t kLongestCommand = 4096;
constexpr size_t kLongestForm = 64 * 1024;
// Bytes outside any command that come together are one frame, up to this many.
constexpr size_t kStrayRunBytes = 1024;

}  // namespace

std::vector<uint8_t> Frame::Body() const {
    if (!bytes.empty() && bytes[0] == kEsc && kind != FrameKind::RawBlock &&
        kind != FrameKind::Stray) {
        return {bytes.begin() + 1, bytes.end()};
    }
    return bytes;
}

ProtocolEngine::ProtocolEngine(PrinterState& state, PaperRoll& roll, Faults& faults)
    : state_(state), roll_(roll), faults_(faults) {}

void ProtocolEngine::Receive(uint8_t byte, int64_t nowMs) {
    state_.CloseDrawersDue(nowMs);
    if (faults_.silent || nowMs < faults_.deafUntilMs) return;
    const bool startsFrame =
        !holding_ &&
        (phase_ == Phase::AfterEsc || (phase_ == Phase::Idle && rawExpected_ != RawBlock::None));
    if (startsFrame && onFrameStart_) {
        onFrameStart_(framesStarted_++);
        if (faults_.silent || nowMs < faults_.deafUntilMs) return;
    }
    lastByteMs_ = nowMs;
    if (holding_) {
        HoldAfterOptional(byte, nowMs);
        return;
    }
    switch (phase_) {
        case Phase::Idle:
            if (rawExpected_ != RawBlock::None) {
                StartRaw(byte, nowMs);
            } else if (byte == kEsc) {
                phase_ = Phase::AfterEsc;
            } else if (state_.formOpen) {
                form_.push_back(byte);
                if (form_.size() > kLongestForm) DropForm(nowMs);
            } else {
                Stray(byte, nowMs);
            }
            return;
        case Phase::AfterEsc:
            if (state_.formOpen && byte == 'Q') {
                FinishForm(nowMs);
            } else {
                StartCommand(byte, nowMs);
            }
            return;
        case Phase::Command:
            body_.push_back(byte);
            if (body_.size() > kLongestCommand) {
                Abandon(nowMs);
            } else {
                CheckCommand(nowMs);
            }
            return;
        case Phase::Raw: {
            body_.push_back(byte);
            const int length = RawBlockLength(rawKind_, body_);
            if (length > 0 && static_cast<int>(body_.size()) >= length) CompleteRaw(nowMs);
            return;
        }
    }
}

void ProtocolEngine::CompleteRaw(int64_t nowMs) {
    Record(FrameKind::RawBlock, body_, nowMs);
    Context ctx = MakeContext(nowMs, body_[0]);
    const size_t linesBefore = roll_.Lines().size();
    Bytes answer = HandleRawBlock(ctx, rawKind_, body_);
    state_.Printing(static_cast<int>(roll_.Lines().size() - linesBefore), nowMs);
    rawExpected_ = ctx.expectRaw;
    rawSinceMs_ = nowMs;
    phase_ = Phase::Idle;
    body_.clear();
    EmitAnswer(std::move(answer), nowMs, true);
}

void ProtocolEngine::Restart() {
    phase_ = Phase::Idle;
    holding_ = false;
    held_.clear();
    body_.clear();
    rawExpected_ = RawBlock::None;
    form_.clear();
    state_.formOpen = false;
    output_.clear();
    dripping_.clear();
}

void ProtocolEngine::NewConnection(int64_t nowMs) {
    if (holding_) ResolveOptional(nowMs);
    if (phase_ != Phase::Idle) Abandon(nowMs);
    output_.clear();
    dripping_.clear();
}

void ProtocolEngine::StartCommand(uint8_t command, int64_t nowMs) {
    entry_ = FindCommand(command);
    phase_ = Phase::Idle;
    if (entry_ == nullptr) {
        Emit(kNak, nowMs);
        Record(FrameKind::Refused, {kEsc, command}, nowMs);
        return;
    }
    if (entry_->acknowledged && faults_.acknowledgeOverride &&
        faults_.acknowledgeOverride->first == command) {
        if (faults_.acknowledgeOverride->second) Emit(*faults_.acknowledgeOverride->second, nowMs);
        faults_.acknowledgeOverride.reset();
        Record(FrameKind::Refused, {kEsc, command}, nowMs);
        return;
    }
    if (entry_->acknowledged) {
        Context ctx = MakeContext(nowMs, command);
        bool refuse =
            faults_.refuseEverything || (entry_->accept != nullptr && !entry_->accept(ctx));
        if (faults_.nakNext) {
            faults_.ArmStatusOverride(*faults_.nakNext);
            faults_.nakNext.reset();
            faults_.silent = faults_.silentAfterRefusal;
            refuse = true;
        }
        if (refuse) {
            Emit(kNak, nowMs);
            Record(FrameKind::Refused, {kEsc, command}, nowMs);
            return;
        }
        const bool lose = faults_.loseNextAcknowledge &&
                          faults_.loseAcknowledgeOnlyOf.value_or(command) == command;
        if (!lose) Emit(kAck, nowMs);
        if (lose) faults_.loseNextAcknowledge = false;
    }
    body_ = {command};
    phase_ = Phase::Command;
    CheckCommand(nowMs);
}

void ProtocolEngine::CheckCommand(int64_t nowMs) {
    const size_t size = body_.size();
    bool complete = false;
    switch (entry_->shape) {
        case Shape::Fixed: complete = static_cast<int>(size) >= entry_->length; break;
        case Shape::ItemLine:
            complete = size >= 2 && size >= ((body_[1] == ' ' || body_[1] == '-') ? 50u : 49u);
            break;
        case Shape::OptionalTotal:
            if (size == 1) {
                holding_ = true;
                held_.clear();
                decideAtMs_ = nowMs + kQuietEndsCommandMs;
            }
            complete = static_cast<int>(size) >= entry_->length;
            break;
        case Shape::UntilLineFeed: complete = size >= 3 && body_.back() == '\n'; break;
        case Shape::UntilEscS:
            complete = size >= 3 && body_[size - 2] == kEsc && body_.back() == 'S';
            break;
        case Shape::Form:
            state_.formOpen = true;
            form_ = body_;
            body_.clear();
            phase_ = Phase::Idle;
            return;
    }
    if (complete) CompleteCommand(nowMs);
}

void ProtocolEngine::CompleteCommand(int64_t nowMs) {
    Bytes wire{kEsc};
    wire.insert(wire.end(), body_.begin(), body_.end());
    Record(FrameKind::Command, wire, nowMs);
    Context ctx = MakeContext(nowMs, body_[0]);
    const size_t linesBefore = roll_.Lines().size();
    Bytes answer = entry_->handle != nullptr ? entry_->handle(ctx, body_) : Bytes{};
    state_.Printing(static_cast<int>(roll_.Lines().size() - linesBefore), nowMs);
    if (ctx.expectRaw != RawBlock::None) {
        rawExpected_ = ctx.expectRaw;
        rawSinceMs_ = nowMs;
    }
    phase_ = Phase::Idle;
    body_.clear();
    EmitAnswer(std::move(answer), nowMs);
}

// After a command whose optional field may follow: a byte other than ESC starts the field;
// ESC and a byte that is no command are field bytes too; ESC and a command byte are the next
// command unless more bytes follow in the same burst.
void ProtocolEngine::HoldAfterOptional(uint8_t byte, int64_t nowMs) {
    held_.push_back(byte);
    if (held_[0] != kEsc || held_.size() >= 3) {
        TakeHeldAsFields(nowMs);
    } else if (held_.size() == 2) {
        if (FindCommand(byte) == nullptr) {
            TakeHeldAsFields(nowMs);
        } else {
            decideAtMs_ = nowMs + kBurstMs;
        }
    }
}

void ProtocolEngine::TakeHeldAsFields(int64_t nowMs) {
    holding_ = false;
    body_.insert(body_.end(), held_.begin(), held_.end());
    held_.clear();
    CheckCommand(nowMs);
}

void ProtocolEngine::ResolveOptional(int64_t nowMs) {
    holding_ = false;
    const Bytes held = std::move(held_);
    held_.clear();
    CompleteCommand(nowMs);
    for (const uint8_t byte : held) Receive(byte, nowMs);
}

void ProtocolEngine::StartRaw(uint8_t byte, int64_t nowMs) {
    rawKind_ = rawExpected_;
    rawExpected_ = RawBlock::None;
    phase_ = Phase::Raw;
    body_.clear();
    lastByteMs_ = nowMs;
    Receive(byte, nowMs);
}

// The record's closing pair ends the form; it is no command of its own and gets no answer.
void ProtocolEngine::FinishForm(int64_t nowMs) {
    Bytes wire{kEsc};
    wire.insert(wire.end(), form_.begin(), form_.end());
    wire.push_back(kEsc);
    wire.push_back('Q');
    Record(FrameKind::Form, wire, nowMs);
    Context ctx = MakeContext(nowMs, 's');
    const size_t linesBefore = roll_.Lines().size();
    HandleForm(ctx, form_);
    state_.Printing(static_cast<int>(roll_.Lines().size() - linesBefore), nowMs);
    state_.formOpen = false;
    form_.clear();
    phase_ = Phase::Idle;
}

// A form that outgrew the buffer is dropped whole; what follows is outside any command.
void ProtocolEngine::DropForm(int64_t nowMs) {
    Bytes wire{kEsc};
    wire.insert(wire.end(), form_.begin(), form_.end());
    Record(FrameKind::Abandoned, std::move(wire), nowMs);
    form_.clear();
    state_.formOpen = false;
}

void ProtocolEngine::Stray(uint8_t byte, int64_t nowMs) {
    if (!frames_.empty() && frames_.back().kind == FrameKind::Stray &&
        frames_.back().atMs == nowMs && frames_.back().bytes.size() < kStrayRunBytes) {
        frames_.back().bytes.push_back(byte);
        ++recordedBytes_;
        ForgetOldFrames();
        return;
    }
    Record(FrameKind::Stray, {byte}, nowMs);
}

void ProtocolEngine::Abandon(int64_t nowMs) {
    Bytes wire;
    if (phase_ != Phase::Raw) wire.push_back(kEsc);
    wire.insert(wire.end(), body_.begin(), body_.end());
    Record(FrameKind::Abandoned, wire, nowMs);
    body_.clear();
    phase_ = Phase::Idle;
}

void ProtocolEngine::Tick(int64_t nowMs) {
    state_.CloseDrawersDue(nowMs);
    if (!dripping_.empty() && nowMs >= nextDripMs_) {
        output_.push_back(dripping_.front());
        dripping_.pop_front();
        nextDripMs_ = nowMs + dripIntervalMs_;
    }
    if (holding_ && nowMs >= decideAtMs_) ResolveOptional(nowMs);
    if (!holding_ && phase_ != Phase::Idle && nowMs - lastByteMs_ >= kAbandonMs) Abandon(nowMs);
    if (phase_ == Phase::Idle && rawExpected_ != RawBlock::None &&
        nowMs - rawSinceMs_ >= kAbandonMs) {
        rawExpected_ = RawBlock::None;
    }
}

int64_t ProtocolEngine::NextDeadline() const {
    int64_t deadline = kNever;
    if (holding_) {
        deadline = decideAtMs_;
    } else if (phase_ != Phase::Idle) {
        deadline = lastByteMs_ + kAbandonMs;
    }
    if (phase_ == Phase::Idle && rawExpected_ != RawBlock::None) {
        deadline = std::min(deadline, rawSinceMs_ + kAbandonMs);
    }
    if (!dripping_.empty()) deadline = std::min(deadline, nextDripMs_);
    return deadline;
}

void ProtocolEngine::Emit(uint8_t byte, int64_t nowMs) {
    if (!faults_.dripEveryByteMs) {
        output_.push_back(byte);
        return;
    }
    Drip(std::vector<uint8_t>{byte}, *faults_.dripEveryByteMs, nowMs);
}

// Queues bytes that reach the host one every `intervalMs`, after those already on their way.
void ProtocolEngine::Drip(const Bytes& bytes, int64_t intervalMs, int64_t nowMs) {
    if (dripping_.empty()) nextDripMs_ = nowMs + intervalMs;
    dripIntervalMs_ = intervalMs;
    dripping_.insert(dripping_.end(), bytes.begin(), bytes.end());
}

void ProtocolEngine::EmitAnswer(Bytes answer, int64_t nowMs, bool toRawBlock) {
    if (faults_.onlyRawBlocks && !toRawBlock) {
        for (const uint8_t byte : answer) Emit(byte, nowMs);
        return;
    }
    if (faults_.garbageNextAnswer && !answer.empty()) {
        answer = *faults_.garbageNextAnswer;
        faults_.garbageNextAnswer.reset();
    }
    if (faults_.shortNextAnswer && !answer.empty()) {
        answer.resize(static_cast<size_t>(
            std::clamp<int>(*faults_.shortNextAnswer, 0, static_cast<int>(answer.size()))));
        faults_.shortNextAnswer.reset();
    }
    if (faults_.dripNextAnswerMs && !answer.empty()) {
        Drip(answer, *faults_.dripNextAnswerMs, nowMs);
        faults_.dripNextAnswerMs.reset();
        return;
    }
    for (const uint8_t byte : answer) Emit(byte, nowMs);
}

Context ProtocolEngine::MakeContext(int64_t nowMs, uint8_t command) {
    Context ctx{state_, roll_, faults_, nowMs};
    ctx.command = command;
    return ctx;
}

void ProtocolEngine::Record(FrameKind kind, std::vector<uint8_t> bytes, int64_t nowMs) {
    ++framesReceived_;
    recordedBytes_ += bytes.size();
    frames_.push_back({kind, std::move(bytes), nowMs});
    ForgetOldFrames();
}

void ProtocolEngine::ForgetOldFrames() {
    while (frames_.size() > 1 &&
           (frames_.size() > kRecordFrames || recordedBytes_ > kRecordBytes)) {
        recordedBytes_ -= frames_.front().bytes.size();
        frames_.pop_front();
    }
}

}  // namespace tarn::sim
