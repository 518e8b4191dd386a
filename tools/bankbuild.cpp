// bankbuild DATA_DIR PROGRAM_DIR
// Lints the question bank (every rule, every exhibit drawn) and puts the pictures
// the program shows into its folder: the exhibits and the two review marks.
// Any breach is printed with its file, line and question, and fails the build.
#include "bank/bank.h"
#include "bank/pictures.h"

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: bankbuild DATA_DIR PROGRAM_DIR\n";
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    std::filesystem::path data = argv[1], program = argv[2];

    std::vector<bank::Breach> breaches;
    bank::Tables t = bank::ReadBankSources(data / "bank", breaches);
    if (breaches.empty()) {
        bank::LintOptions options;
        options.exhibitSources = data / "exhibits";
        options.renderExhibit = bank::ExhibitDrawProblem;
        breaches = bank::Lint(t, options);
    }
    if (breaches.empty()) breaches = bank::WriteProgramPictures(t, data / "exhibits", program);
    if (breaches.empty()) breaches = bank::LintProgramFolder(t, program);
    for (const auto& b : breaches) std::cerr << "error: " << bank::Describe(b) << "\n";
    if (!breaches.empty()) {
        std::cerr << "bankbuild: the question bank breaks " << breaches.size() << " rule(s)\n";
        return 1;
    }
    std::cout << "bankbuild: " << t.questions.size() << " questions in " << t.categories.size()
              << " categories pass the linter\n";
    return 0;
}
