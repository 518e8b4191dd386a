#include "state.h"

long long gintCurQId = 0;
int16_t gintExamTime = 0;
bool gblnRevUnAns = false;
QString gstrUserName;
QString gstrCandName;
QString gstrExamName;
int16_t gintNofQues = 0;
bool gblnExamMode = false;
bool gblnAdaptive = false;
QVariant gvarExamDate;
QVariant gvarExamTime;
bool gblnFromResults = false;
bool gblnAdminMode = false;
int16_t gintExamLimit = 0;
int16_t gintAdapScore = 0;
int16_t gintBeginScore = 0;
int16_t gintIntScore = 0;
int16_t gintExpScore = 0;
bool gblnFullExam = false;
Workspace* gwsODBC = nullptr;
plat::Database* gcnExam = nullptr;
bool gblnAdminSignedIn = false;

namespace Module1 {

void ResetState() {
    gintCurQId = 0;
    gintExamTime = 0;
    gblnRevUnAns = false;
    gstrUserName.clear();
    gstrCandName.clear();
    gstrExamName.clear();
    gintNofQues = 0;
    gblnExamMode = false;
    gblnAdaptive = false;
    gvarExamDate = QVariant();
    gvarExamTime = QVariant();
    gblnFromResults = false;
    gblnAdminMode = false;
    gintExamLimit = 0;
    gintAdapScore = 0;
    gintBeginScore = 0;
    gintIntScore = 0;
    gintExpScore = 0;
    gblnFullExam = false;
    gblnAdminSignedIn = false;
}

}  // namespace Module1
