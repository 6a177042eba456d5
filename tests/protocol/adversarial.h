// The adversarial inputs' fixture: each attack is a member function that runs its cases and
// tells the ones that did not hold (adversarial_test.cpp has the table of attacks).
#pragma once

#include <string>
#include <vector>

#include "library_test.h"

namespace tarn {

// The cases of one attack, and the names of those that did not hold.
struct Cases {
    void Held(const std::string& name, bool held) {
        ++count;
        if (!held) failed.push_back(name);
    }
    size_t count = 0;
    std::vector<std::string> failed;
};

class AdversarialInputs : public test::LibraryTest {
public:
    void SpecialFilesAsLogs(Cases& cases);
    void SpecialFilesAsLogo(Cases& cases);
    void LinksAtTheBackupsNames(Cases& cases);
    void LogoWithoutABackup(Cases& cases);
    void NotAPrinter(Cases& cases);
    void SecondProcessOverTcp(Cases& cases);
    void PointOfSaleOutOfRange(Cases& cases);
    void MemoryRunsOut(Cases& cases);
    void ToolNumbersTooLarge(Cases& cases);
    void SpecialFilesAsLogAtLoad(Cases& cases);
    void TextsWithoutTheirEnd(Cases& cases);

protected:
    // A type-8 printer with a logo of its own, the logo file at `path`.
    void LoadWithLogo(const std::string& path) {
        Load(test::Model(8));
        for (auto& row : printer->State().logo) row[0] = 0x81;
        logo_ = printer->State().logo;
        mfDefConfigParam(11, 0, path.c_str());
    }
    bool LogoKept() const { return printer->State().logo == logo_; }
    std::string LogoPath() const { return dir.File("logo.txt"); }

private:
    decltype(sim::PrinterState::logo) logo_{};
};

}  // namespace tarn
