// The tarn command-line tool: commands a technician runs at a till, and the demo.
#pragma once

#include <string>
#include <vector>

namespace tarn::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;
    const char* help;
    int (*run)(const Args& args, int port);
};

const std::vector<Command>& Commands();

// Terminal texts are UTF-8; the library's are code page 852.
std::string ToPrinter(const std::string& utf8);
std::string FromPrinter(const std::string& cp852);

// Prints one call with its result and the detail text of its failure; returns the result.
int Show(const std::string& call, int result);
// Opens the session on `port`; false (with the reason printed) when it cannot.
bool OpenSession(int port);
// A failure's exit status: 0 when every result was 0 (or 1, "nothing to do").
int ExitStatus(int result);

// "5,49", "5.49" or "5" as grosze; "1,25" as thousandths. False when the text is no number.
bool ParseAmount(const std::string& text, int* grosze);
bool ParseQuantity(const std::string& text, int* thousandths);
// A whole number from `lowest` to `highest`, in digits only.
bool ParseWhole(const std::string& text, int lowest, int highest, int* value);
std::string Trim(const std::string& text);
std::vector<std::string> Split(const std::string& text, char separator);

int RunDemo(const Args& args, int port);
int RunReceipt(const Args& args, int port);
int RunServe(const Args& args, int port);

}  // namespace tarn::cli
