// The start-up routine: the data-source entry, the connection, the first window.
#pragma once

#include "startup/state.h"

#include <QString>

namespace Module1 {

// Fixed values of the data-source registration and the connection.
inline constexpr const char* kDataSource = "pemu";
inline constexpr const char* kDatabaseFile = "PEMUV2.0.db";
inline constexpr const char* kDescription = "<Desired Description>";
inline constexpr const char* kDriverFile = "C:\\windows\\System\\odbcjt32.dll";
inline constexpr const char* kUser = "norvi";
inline constexpr const char* kDriverName = "MIcrosoft Access Driver (*.mdb)";
inline constexpr const char* kWorkspaceName = "CommandsODBCWorkspace";

// The program's entry routine: registers the data source, opens the connection
// and shows the sign-in window. Returns 0 when the program may enter its event
// loop, or a non-zero status after reporting why it cannot start.
int Main();

// Writes the data-source entries (the registry's place on this system).
// Returns false when they could not be written.
bool RegisterDataSource(const QString& databasePath);
// The database path that the data-source entry names.
QString DataSourcePath();

// Opens the one connection on a database file (never creating one).
void Connect(const QString& databasePath);
void Disconnect();

}  // namespace Module1
