// Misbehaviour on request: the next command refused with given status bytes, silence, a
// short or garbled answer, an unplugged cable, blocked items, a report that goes wrong.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarn::sim {

struct Faults {
    // Refuse the next acknowledged command with NAK; the status queries that follow read
    // these bytes (each once), whatever the printer's state.
    std::optional<std::array<uint8_t, 4>> nakNext;
    // After refusing that command the printer hears nothing more (the cable comes out).
    bool silentAfterRefusal = false;
    // A printer in a fault that refuses every acknowledged command, its status queries too.
    bool refuseEverything = false;
    // A silent printer hears nothing and answers nothing.
    bool silent = false;
    // After a power loss the printer hears nothing until it has started again.
    int64_t deafUntilMs = 0;
    // The next answer is cut to this many bytes / replaced by these bytes; with `onlyRawBlocks`
    // it is the next answer to a raw block (logo rows, footer lines, report descriptions).
    std::optional<int> shortNextAnswer;
    std::optional<std::vector<uint8_t>> garbageNextAnswer;
    bool onlyRawBlocks = false;
    // The next answer comes one byte every this many milliseconds (a printer that drips it).
    std::optional<int64_t> dripNextAnswerMs;
    // Every byte the printer sends reaches the host this many milliseconds after the one before
    // it (a proxy or a line that drips all it carries), until the fault is mended.
    std::optional<int64_t> dripEveryByteMs;
    // The next head of this command is answered with this byte (or nothing) instead of its
    // acknowledge (the command then goes no further).
    std::optional<std::pair<uint8_t, std::optional<uint8_t>>> acknowledgeOverride;
    // The printer takes the next acknowledged command (of this byte, when one is named) but its
    // acknowledge is lost on the line.
    bool loseNextAcknowledge = false;
    std::optional<uint8_t> loseAcknowledgeOnlyOf;
    // The cable is out: the port cannot be opened in process; behind a pseudo-terminal or a TCP
    // port the printer hears nothing and a TCP connection is dropped.
    bool unplugged = false;
    // Item names (code page 852, without trailing spaces) the printer refuses to sell: a sale
    // of one cancels the receipt.
    std::vector<std::string> blockedItems;
    // The next report description is answered with this byte, and nothing is printed.
    std::optional<uint8_t> reportAnswer;

    std::array<uint8_t, 4> statusOverride{};
    std::array<bool, 4> statusOverridden{};

    void ArmStatusOverride(const std::array<uint8_t, 4>& bytes) {
        statusOverride = bytes;
        statusOverridden = {true, true, true, true};
    }
    bool TakeStatusOverride(int index, uint8_t* value) {
        if (index < 0 || index > 3 || !statusOverridden[static_cast<size_t>(index)]) return false;
        statusOverridden[static_cast<size_t>(index)] = false;
        *value = statusOverride[static_cast<size_t>(index)];
        return true;
    }
};

}  // namespace tarn::sim
