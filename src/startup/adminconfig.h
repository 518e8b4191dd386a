// The exam configuration as the windows read it: the one row of AdminConfig
// (or its factory values in AdminDef). Numbers are kept as stored; each reader
// narrows them to 16 bits (CInt) where it holds them, so a value out of range
// stops that reader with "Overflow" as the program always did.
#pragma once

#include "platform/database.h"

#include <QString>

#include <optional>

struct AdminConfigRow {
    QString ExamName;
    QString Etype;  // "L" linear, "A" adaptive, "B" both
    long long NofQues = 0;
    long long PassPercentage = 0;
    long long MaxScore = 0;
    long long MaxTime = 0;
    bool LearnMode = false;
    bool ExamMode = false;
    bool SimulatorMode = false;
    long long BeginScore = 0;
    long long IntScore = 0;
    long long ExpScore = 0;
    bool Previous = false;
    bool Review = false;
    long long Exams = 0;
};

// The configuration row with Index 1; nullopt when the table holds none.
std::optional<AdminConfigRow> ReadAdminConfig(plat::Database& db);
// The factory values (AdminDef, Index 1); nullopt when the table holds none.
std::optional<AdminConfigRow> ReadAdminDef(plat::Database& db);
