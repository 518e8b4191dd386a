// Module-level state shared by every window: who is signed in, the run being
// taken, its flags and scores, the question on screen and the connection.
// Widget-free code may include this; it knows nothing of the windows.
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

extern long long gintCurQId;
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

// Set by the administrator's sign-in, cleared by a candidate's. The login name
// "norvi" and the display name "Norvi" are texts anyone may sign up with, so
// they never decide what only the administrator may do.
extern bool gblnAdminSignedIn;

namespace Module1 {

// The administrator's fixed login name and display name.
inline const QString kAdminLogin = QStringLiteral("norvi");
inline const QString kAdminName = QStringLiteral("Norvi");

// Puts every module-level variable back to its start value (the connection
// is left as it is).
void ResetState();

}  // namespace Module1
