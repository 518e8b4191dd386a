#include "dbbuild.h"

#include "bank/bank.h"
#include "platform/database.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace dbbuild {

namespace {
std::string readText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void removeWithCompanions(const std::filesystem::path& file) {
    std::filesystem::remove(file);
    for (const auto& p : plat::Database::CompanionFiles(file)) std::filesystem::remove(p);
}

void removeWithCompanions(const std::filesystem::path& file, std::error_code& ec) {
    std::filesystem::remove(file, ec);
    for (const auto& p : plat::Database::CompanionFiles(file)) std::filesystem::remove(p, ec);
}
}  // namespace

bank::Tables readBank(const std::filesystem::path& dataDir) {
    std::vector<bank::Breach> errors;
    bank::Tables t = bank::ReadBankSources(dataDir / "bank", errors);
    if (errors.empty()) {
        bank::LintOptions options;
        options.exhibitSources = dataDir / "exhibits";
        errors = bank::Lint(t, options);
    }
    if (!errors.empty())
        throw std::runtime_error("the question bank breaks " + std::to_string(errors.size()) + " rule(s):\n" +
                                 bank::DescribeAll(errors));
    return t;
}

void makeDatabase(const std::filesystem::path& dataDir, const std::filesystem::path& dbFile) {
    namespace fs = std::filesystem;
    bank::Tables bankTables = readBank(dataDir);
    fs::path tmp = dbFile;
    tmp += ".building";
    // A journal left by an interrupted build would be played into the new file.
    removeWithCompanions(tmp);
    try {
        {
            plat::Database db = plat::Database::Create(tmp);
            db.ExecScript("BEGIN;");
            db.ExecScript(readText(dataDir / "schema.sql"));
            db.ExecScript(readText(dataDir / "factory.sql"));
            bank::WriteTables(db, bankTables);
            db.ExecScript("COMMIT;");
        }
        // The old database's log or journal, beside a new file, would be read
        // as part of it: SQLite cannot tell whose they are.
        for (const fs::path& p : plat::Database::CompanionFiles(dbFile)) fs::remove(p);
        fs::rename(tmp, dbFile);
    } catch (...) {
        std::error_code ec;
        removeWithCompanions(tmp, ec);
        throw;
    }
}

bool ensureDatabase(const std::filesystem::path& dataDir, const std::filesystem::path& dbFile) {
    if (std::filesystem::exists(dbFile)) return false;
    makeDatabase(dataDir, dbFile);
    return true;
}

bool bankMatches(const std::filesystem::path& dataDir, const std::filesystem::path& dbFile) {
    bank::Tables sources = readBank(dataDir);
    plat::Database db = plat::Database::Open(dbFile);
    return bank::SameContent(sources, bank::ReadTables(db));
}

}  // namespace dbbuild
