-- Factory configuration and the administrator's account.
INSERT INTO AdminDef ("Index", ExamNameDef, EtypeDef, NofQuesDef, PassPercentageDef, MaxScoreDef,
  MaxTimeDef, LearnModeDef, ExamModeDef, SimulatorModeDef, BeginScoreDef, IntScoreDef, ExpScoreDef,
  PreviousDef, ReviewDef, ExamsDef)
VALUES (1, 'Network Associate Practice Exam', 'B', 25, 70, 1000, 60, 1, 1, 1, 1, 2, 3, 1, 1, 8);

INSERT INTO AdminConfig ("Index", ExamName, Etype, NofQues, PassPercentage, MaxScore,
  MaxTime, LearnMode, ExamMode, SimulatorMode, BeginScore, IntScore, ExpScore,
  Previous, Review, Exams)
SELECT "Index", ExamNameDef, EtypeDef, NofQuesDef, PassPercentageDef, MaxScoreDef,
  MaxTimeDef, LearnModeDef, ExamModeDef, SimulatorModeDef, BeginScoreDef, IntScoreDef, ExpScoreDef,
  PreviousDef, ReviewDef, ExamsDef FROM AdminDef;

INSERT INTO AdminLogin (Uname, Pwd) VALUES ('norvi', 'kelm');
