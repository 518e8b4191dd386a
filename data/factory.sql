-- Factory configuration and the administrator's account.
-- The bank holds 240 questions: six numbered exams of 40 questions each take the
-- whole bank, slice by slice (each slice is balanced by category, type and level).
-- 60 minutes gives 1.5 minutes a question, simulations included. An adaptive exam
-- ends at BeginScore x NofQues = 40 difficulty points (B 1, I 2, E 3).
INSERT INTO AdminDef ("Index", ExamNameDef, EtypeDef, NofQuesDef, PassPercentageDef, MaxScoreDef,
  MaxTimeDef, LearnModeDef, ExamModeDef, SimulatorModeDef, BeginScoreDef, IntScoreDef, ExpScoreDef,
  PreviousDef, ReviewDef, ExamsDef)
VALUES (1, 'Network Associate Practice Exam', 'B', 40, 80, 1000, 60, 1, 1, 1, 1, 2, 3, 1, 1, 6);

INSERT INTO AdminConfig ("Index", ExamName, Etype, NofQues, PassPercentage, MaxScore,
  MaxTime, LearnMode, ExamMode, SimulatorMode, BeginScore, IntScore, ExpScore,
  Previous, Review, Exams)
SELECT "Index", ExamNameDef, EtypeDef, NofQuesDef, PassPercentageDef, MaxScoreDef,
  MaxTimeDef, LearnModeDef, ExamModeDef, SimulatorModeDef, BeginScoreDef, IntScoreDef, ExpScoreDef,
  PreviousDef, ReviewDef, ExamsDef FROM AdminDef;

INSERT INTO AdminLogin (Uname, Pwd) VALUES ('norvi', 'kelm');
