// Makes the shipped database from the readable sources under data/.
#pragma once

#include "bank/bank.h"

#include <filesystem>
#include <string>

namespace dbbuild {

// Builds a complete database at dbFile from dataDir (schema, factory rows, and the
// question bank compiled from data/bank/). The bank must pass the linter first.
// The file is written beside its target and moved into place only when whole, so
// a failed build never leaves a half-made database behind; the old database's
// log and journal go with it. Throws on failure.
void makeDatabase(const std::filesystem::path& dataDir, const std::filesystem::path& dbFile);

// Builds dbFile only when it does not exist yet; an existing database (with its
// users, results, configuration and any log of commits beside it) is never
// touched. Returns true if it built one.
bool ensureDatabase(const std::filesystem::path& dataDir, const std::filesystem::path& dbFile);

// The bank compiled from dataDir's sources; throws, naming every breach, when the
// sources do not read or do not pass the linter.
bank::Tables readBank(const std::filesystem::path& dataDir);

// Does an existing database hold the bank the sources describe now?
bool bankMatches(const std::filesystem::path& dataDir, const std::filesystem::path& dbFile);

}  // namespace dbbuild
