// The printer's stored forms. A form record names a form by its two-digit code and fills it
// item by item: a two-digit line code, then, where the form's line carries one, a text up to
// LF. The printer prints each line its own way, next to its own labels.
#pragma once

#include <string>
#include <vector>

#include "printer_state.h"

namespace tarn::sim {

enum class LineStyle {
    Labelled,  // the printer's label at the left, the text at the right
    Left,      // the text alone, at the left
    Right,     // the text alone, at the right
    Centred,   // the text alone, centred
    Lines,     // the printer's own lines ('\n' between them), then the text if not blank
    Heading,   // the printer's own line, centred
    Rule,      // a rule across the paper
};

constexpr bool kText = true;   // the code is followed by a text and LF
constexpr bool kBare = false;  // the code stands alone

struct FormLine {
    const char* code;
    bool carriesText;
    LineStyle style;
    const char* label = "";  // UTF-8
    // After a line of code `after` in the same record the label reads `labelAfter`.
    const char* after = nullptr;
    const char* labelAfter = nullptr;
};

struct Form {
    const char* code;
    const char* title;  // UTF-8, '\n' between lines
    bool (*storedOn)(const PrinterModel&);
    std::vector<FormLine> lines;

    const FormLine* Line(const std::string& code) const;
};

// The form of this code, on whichever printer types store it; null when none does.
const Form* FindForm(const std::string& code);

struct FormItem {
    const FormLine* line;
    std::string text;  // code page 852, as received; empty for a bare line
};

struct FilledForm {
    std::vector<FormItem> items;  // in the record's order, up to where it breaks the form
    bool broken = false;          // a code the form does not know, or a text without its LF
};

// Reads the items of a record: the bytes after the form code.
FilledForm ReadItems(const Form& form, const std::string& items);

}  // namespace tarn::sim
