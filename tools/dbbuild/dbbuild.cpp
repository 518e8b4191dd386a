#include "dbbuild.h"

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
}  // namespace

void makeDatabase(const std::filesystem::path& dataDir, const std::filesystem::path& dbFile) {
    namespace fs = std::filesystem;
    fs::path tmp = dbFile;
    tmp += ".building";
    fs::remove(tmp);
    try {
        {
            plat::Database db = plat::Database::Create(tmp);
            db.ExecScript("BEGIN;");
            db.ExecScript(readText(dataDir / "schema.sql"));
            db.ExecScript(readText(dataDir / "factory.sql"));
            db.ExecScript(readText(dataDir / "starter-bank.sql"));
            db.ExecScript("COMMIT;");
        }
        fs::rename(tmp, dbFile);
    } catch (...) {
        std::error_code ec;
        fs::remove(tmp, ec);
        throw;
    }
}

bool ensureDatabase(const std::filesystem::path& dataDir, const std::filesystem::path& dbFile) {
    if (std::filesystem::exists(dbFile)) return false;
    makeDatabase(dataDir, dbFile);
    return true;
}

}  // namespace dbbuild
