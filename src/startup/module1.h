// Module-level state shared by every window, and the start-up routine.
#pragma once

#include "platform/database.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <string>

// The workspace the connection was opened in.
struct Workspace {
    std::string name;
    std::string user;
};

extern int16_t gintCurQId;
extern int16_t gintExamTime;
extern bool gblnRevUnAns;
extern QString gstrUserName;
extern QString gstrCandName;
extern QString gstrExamName;
extern int16_t gintNofQues;
extern bool gblnExamMode;
extern bool gblnAdaptive;
extern QVariant gvarExamDate;
extern QVariant gvarExamTime;
extern bool gblnFromResults;
extern bool gblnAdminMode;
extern int16_t gintExamLimit;
extern int16_t gintAdapScore;
extern int16_t gintBeginScore;
extern int16_t gintIntScore;
extern int16_t gintExpScore;
extern bool gblnFullExam;
extern Workspace* gwsODBC;
extern plat::Database* gcnExam;

namespace Module1 {

// Fixed values of the data-source registration and the connection.
inline constexpr const char* kDataSource = "pemu";
inline constexpr const char* kDatabaseFile = "PEMUV2.0.db";
inline constexpr const char* kDescription = "<Desired Description>";
inline constexpr const char* kDriverFile = "C:\\windows\\System\\odbcjt32.dll";
inline constexpr const char* kUser = "norvi";
inline constexpr const char* kDriverName = "MIcrosoft Access Driver (*.mdb)";
inline constexpr const char* kWorkspaceName = "CommandsODBCWorkspace";
inline constexpr const char* kConnectionName = "Connection1";

// The administrator's fixed login name and display name.
inline const QString kAdminLogin = QStringLiteral("norvi");
inline const QString kAdminName = QStringLiteral("Norvi");

// The program's entry routine: registers the data source, opens the connection
// and shows the sign-in window. Returns 0 when the program may enter its event
// loop, or a non-zero status after reporting why it cannot start.
int Main();

// Writes the data-source entries (the registry's place on this system).
void RegisterDataSource(const QString& databasePath);
// The database path that the data-source entry names.
QString DataSourcePath();

// Opens the one connection on a database file (never creating one).
void Connect(const QString& databasePath);
void Disconnect();

// Puts every module-level variable back to its start value and closes the
// connection (tests start each case from a clean program this way).
void ResetState();

}  // namespace Module1
