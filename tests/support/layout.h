// Checks a window's layout as a person would see it: every visible caption fits
// its control, text boxes are tall enough for their text, controls lie inside
// their frame (below its title, clear of its border), and no two visible
// controls overlap unless the design puts one over the other.
#pragma once

#include "fixture.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pemu_test {

struct LayoutRules {
    // Pairs of control names (either order) that the design overlaps.
    std::set<std::pair<QString, QString>> overlaps;
    // Read-only text boxes whose fixed text must show without scrolling.
    std::set<QString> noScroll;
};

// The problems found in a loaded window's visible controls, one line each.
std::vector<std::string> LayoutProblems(QWidget* window, const LayoutRules& rules = {});

// A program test whose desktop font is set large, as on a desktop configured
// so, to prove the windows draw with their own designed fonts.
class LayoutTest : public ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Fails the test, listing the problems, when the window (shown in the state
    // named) has any.
    void expectClean(plat::Form& form, const std::string& state, const LayoutRules& rules = {});

private:
    QFont desktopFont_;
};

}  // namespace pemu_test
