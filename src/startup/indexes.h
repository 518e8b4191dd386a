// The indexes the program's per-question lookups rely on. A database made from
// the current schema has them all; one made before an index was added gains it
// when the program connects.
#pragma once

#include "platform/database.h"

#include <string>
#include <vector>

namespace indexes {

struct Definition {
    std::string name;
    std::string table;
    std::string columns;  // as written between the parentheses of CREATE INDEX
};

// Every index of the schema, in the order data/schema.sql creates them.
const std::vector<Definition>& All();

// The statement that creates one, doing nothing when it exists.
std::string CreateStatement(const Definition& d);

// Creates, in one transaction, each index that is missing and whose table exists
// (a missing table is reported where the program uses it). A database that
// cannot be written or is locked keeps working without them: they only make
// lookups faster. Returns the names created.
std::vector<std::string> Ensure(plat::Database& db);

}  // namespace indexes
