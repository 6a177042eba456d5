// Non-fiscal forms: the record fills one of the printer's stored forms, which prints it
// between two "WYDRUK NIEFISKALNY" lines.
#include <string>
#include <vector>

#include "forms.h"
#include "handlers.h"
#include "printout.h"
#include "text/cp852.h"
#include "wire_fields.h"

namespace tarn::sim {

namespace {

void PrintCentredCp852(PaperRoll& roll, const std::string& line) {
    const size_t width = PaperRoll::kWidth;
    roll.Print(std::string(line.size() < width ? (width - line.size()) / 2 : 0, ' ') + line);
}

// The label, or the one it takes after an earlier line of the record.
std::string LabelOf(const FilledForm& filled, size_t index) {
    const FormLine& line = *filled.items[index].line;
    if (line.after == nullptr) return line.label;
    for (size_t i = 0; i < index; ++i) {
        if (std::string(filled.items[i].line->code) == line.after) return line.labelAfter;
    }
    return line.label;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (const char c : text) {
        if (c == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

void PrintItem(PaperRoll& roll, const FormLine& line, const std::string& label,
               const std::string& text) {
    const std::string value = Trim(text);
    switch (line.style) {
        case LineStyle::Labelled: roll.PrintColumns(Utf8ToCp852(label), value); break;
        case LineStyle::Left: roll.Print(value); break;
        case LineStyle::Right: roll.PrintColumns("", value); break;
        case LineStyle::Centred: PrintCentredCp852(roll, value); break;
        case LineStyle::Lines:
            for (const std::string& own : SplitLines(label)) roll.PrintText(own);
            if (!value.empty()) roll.Print(value);
            break;
        case LineStyle::Heading: roll.PrintCentred(label); break;
        case LineStyle::Rule: roll.Rule(); break;
    }
}

void PrintForm(Context& ctx, const Form& form, const FilledForm& filled) {
    PrintHeader(ctx);
    ctx.roll.PrintCentred("WYDRUK NIEFISKALNY");
    ctx.roll.Print("");
    for (const std::string& line : SplitLines(form.title)) ctx.roll.PrintCentred(line);
    ctx.roll.Print("");
    for (size_t i = 0; i < filled.items.size(); ++i) {
        PrintItem(ctx.roll, *filled.items[i].line, LabelOf(filled, i), filled.items[i].text);
    }
    if (filled.broken) ctx.roll.PrintCentred("BŁĄD FORMULARZA");
    ctx.roll.Print("");
    ctx.roll.PrintCentred("WYDRUK NIEFISKALNY");
    ctx.roll.Cut();
}

}  // namespace

bool AcceptForm(Context& ctx) {
    return !ctx.state.receiptOpen && !ctx.state.paperOut;
}

// A form this printer type does not store prints nothing: the record was acknowledged at
// its head, before its code came, and there is no answer to tell the application.
void HandleForm(Context& ctx, const Bytes& record) {
    if (record.size() < 3) return;
    const Form* form = FindForm(std::string(record.begin() + 1, record.begin() + 3));
    if (form == nullptr || !form->storedOn(ctx.state.model)) return;
    PrintForm(ctx, *form, ReadItems(*form, std::string(record.begin() + 3, record.end())));
}

}  // namespace tarn::sim
