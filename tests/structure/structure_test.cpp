// The shape of the code: the platform layer and the rule units know nothing of
// the windows, and a window changes another only through that window's named
// member functions, never by reaching into its controls.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSrc = fs::path(PEMU_SOURCE_DIR) / "src";
const std::vector<std::string> kSubsystems = {"startup", "signin", "exam", "simulator", "results", "config"};

std::string read(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Window code: a window's own files, the shared menu strip and the start-up
// routine that shows the first window.
bool isWindowFile(const fs::path& p) {
    const std::string stem = p.stem().string();
    return stem.rfind("frm", 0) == 0 || stem.rfind("Frm", 0) == 0 || stem == "menustrip" || stem == "module1";
}

std::vector<fs::path> sources(const std::string& folder) {
    std::vector<fs::path> out;
    const fs::path dir = kSrc / folder;
    if (!fs::exists(dir)) return out;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string ext = e.path().extension().string();
        if (ext == ".cpp" || ext == ".h") out.push_back(e.path());
    }
    return out;
}

std::vector<std::string> includes(const fs::path& p) {
    static const QRegularExpression inc(R"re(#\s*include\s*[<"]([^>"]+)[>"])re");
    std::vector<std::string> out;
    for (const auto& m : inc.globalMatch(QString::fromStdString(read(p)))) out.push_back(m.captured(1).toStdString());
    return out;
}

std::string rel(const fs::path& p) { return fs::relative(p, kSrc).string(); }

}  // namespace

TEST(Structure, ThePlatformLayerIncludesNothingOfTheProgram) {
    ASSERT_FALSE(sources("platform").empty());
    for (const fs::path& f : sources("platform"))
        for (const std::string& i : includes(f))
            for (const std::string& s : kSubsystems)
                EXPECT_NE(i.rfind(s + "/", 0), 0u) << rel(f) << " includes " << i;
}

TEST(Structure, RuleUnitsIncludeNoWindowAndNoWidget) {
    int units = 0;
    for (const std::string& s : kSubsystems)
        for (const fs::path& f : sources(s)) {
            if (isWindowFile(f)) continue;
            ++units;
            for (const std::string& i : includes(f)) {
                EXPECT_FALSE(isWindowFile(fs::path(i))) << rel(f) << " includes the window header " << i;
                EXPECT_NE(i, "platform/form.h") << rel(f) << " includes the form runtime";
                EXPECT_NE(i, "platform/runtime.h") << rel(f) << " includes the form runtime";
                EXPECT_EQ(i.find("QtWidgets"), std::string::npos) << rel(f) << " includes " << i;
                static const std::set<std::string> widgets = {
                    "QWidget", "QLabel", "QPushButton", "QLineEdit", "QComboBox", "QMessageBox", "QApplication",
                    "QTableWidget", "QScrollBar", "QGroupBox", "QCheckBox", "QRadioButton", "QMainWindow"};
                EXPECT_EQ(widgets.count(i), 0u) << rel(f) << " includes " << i;
            }
        }
    EXPECT_GE(units, 3) << "the rule units were not found";
}

// Every control accessor of every window (PEMU_CONTROL, control arrays, the
// menu strip), and the instance that owns it.
TEST(Structure, NoWindowReachesIntoAnotherWindowsControls) {
    static const QRegularExpression instanceRe(R"(extern\s+T\w+\s+(\w+)\s*;)");
    static const QRegularExpression controlRe(R"(PEMU_CONTROL\(\s*[\w:<>]+\s*,\s*(\w+)\s*\))");
    static const QRegularExpression arrayRe(R"((?:ControlArray<[^>]+>|MenuArray|MenuStrip)&\s+(\w+)\(\))");
    std::map<std::string, std::set<std::string>> controlsOf;  // instance -> control accessors
    std::map<std::string, fs::path> headerOf;
    for (const std::string& s : kSubsystems)
        for (const fs::path& f : sources(s)) {
            if (f.extension() != ".h" || !isWindowFile(f)) continue;
            const QString text = QString::fromStdString(read(f));
            const QRegularExpressionMatch m = instanceRe.match(text);
            if (!m.hasMatch()) continue;
            const std::string instance = m.captured(1).toStdString();
            headerOf[instance] = f;
            for (const QRegularExpression* re : {&controlRe, &arrayRe})
                for (const auto& c : re->globalMatch(text)) controlsOf[instance].insert(c.captured(1).toStdString());
        }
    ASSERT_GE(controlsOf.size(), 5u) << "the windows were not found";

    for (const std::string& s : kSubsystems)
        for (const fs::path& f : sources(s)) {
            if (f.extension() != ".cpp") continue;
            const QString text = QString::fromStdString(read(f));
            const std::string stem = f.stem().string();
            for (const auto& [instance, controls] : controlsOf) {
                // The window itself, in its own files (frmExam.cpp, frmExam_display.cpp).
                const std::string own = headerOf[instance].stem().string();
                if (stem == own || stem.rfind(own + "_", 0) == 0) continue;
                const QRegularExpression use(QString::fromStdString("\\b" + instance + R"(\s*\.\s*(\w+)\s*\()"));
                for (const auto& u : use.globalMatch(text)) {
                    const std::string member = u.captured(1).toStdString();
                    EXPECT_EQ(controls.count(member), 0u)
                        << rel(f) << " reaches into " << instance << "." << member
                        << "(): call a named member function of " << instance << " instead";
                }
            }
        }
}
