#include "forms.h"

namespace tarn::sim {

const FormLine* Form::Line(const std::string& code) const {
    for (const FormLine& line : lines) {
        if (code == line.code) return &line;
    }
    return nullptr;
}

FilledForm ReadItems(const Form& form, const std::string& items) {
    FilledForm filled;
    size_t at = 0;
    while (at < items.size()) {
        const FormLine* line = at + 2 <= items.size() ? form.Line(items.substr(at, 2)) : nullptr;
        if (line == nullptr) {
            filled.broken = true;
            return filled;
        }
        at += 2;
        std::string text;
        if (line->carriesText) {
            const size_t end = items.find('\n', at);
            if (end == std::string::npos) {
                filled.broken = true;
                return filled;
            }
            text = items.substr(at, end - at);
            at = end + 1;
        }
        filled.items.push_back({line, text});
    }
    return filled;
}

}  // namespace tarn::sim
