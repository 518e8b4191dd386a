-- Every table the program reads or writes, and the indexes of its per-question
-- lookups (the program adds any missing one to a database made earlier). Text
-- columns compare without regard to letter case; YESNO columns read back -1 for
-- any non-zero value.

-- Shipped question bank
CREATE TABLE Questions (
  QId INTEGER NOT NULL,
  QName TEXT COLLATE NOCASE,
  DiffLevel TEXT COLLATE NOCASE,
  QType TEXT COLLATE NOCASE,
  CatInd INTEGER,
  ExhibitPath TEXT COLLATE NOCASE,
  Expln TEXT COLLATE NOCASE
);
CREATE INDEX QuestionsQId ON Questions (QId);

CREATE TABLE Categories (
  "Index" INTEGER NOT NULL,
  CatName TEXT COLLATE NOCASE
);

CREATE TABLE Answers (
  "Index" INTEGER NOT NULL,
  QId INTEGER,
  Answer TEXT COLLATE NOCASE,
  CorrectAns INTEGER DEFAULT 0
);
CREATE INDEX AnswersQId ON Answers (QId);
CREATE INDEX AnswersIndex ON Answers ("Index");

CREATE TABLE SimCmdValues (
  CmdInd INTEGER,
  CmdVal TEXT COLLATE NOCASE
);
CREATE INDEX SimCmdValuesCmdInd ON SimCmdValues (CmdInd);

CREATE TABLE AdminDef (
  "Index" INTEGER NOT NULL,
  ExamNameDef TEXT COLLATE NOCASE,
  EtypeDef TEXT COLLATE NOCASE,
  NofQuesDef INTEGER,
  PassPercentageDef INTEGER,
  MaxScoreDef INTEGER,
  MaxTimeDef INTEGER,
  LearnModeDef YESNO,
  ExamModeDef YESNO,
  SimulatorModeDef YESNO,
  BeginScoreDef INTEGER,
  IntScoreDef INTEGER,
  ExpScoreDef INTEGER,
  PreviousDef YESNO,
  ReviewDef YESNO,
  ExamsDef INTEGER
);

-- Content with working columns
CREATE TABLE DragNDrop (
  "Index" INTEGER NOT NULL,
  QId INTEGER,
  Question TEXT COLLATE NOCASE,
  Answer TEXT COLLATE NOCASE,
  AnsSel INTEGER DEFAULT 0,
  AnsRand INTEGER DEFAULT 0
);
CREATE INDEX DragNDropQId ON DragNDrop (QId);
CREATE INDEX DragNDropIndex ON DragNDrop ("Index");

CREATE TABLE SimCommands (
  "Index" INTEGER NOT NULL,
  QId INTEGER,
  Command TEXT COLLATE NOCASE,
  CmdPmt TEXT COLLATE NOCASE,
  ResPmt TEXT COLLATE NOCASE,
  Response TEXT COLLATE NOCASE,
  DevName TEXT COLLATE NOCASE,
  CmdTyped INTEGER DEFAULT 0
);
CREATE INDEX SimCommandsQId ON SimCommands (QId);
CREATE INDEX SimCommandsIndex ON SimCommands ("Index");

-- Run tables
CREATE TABLE QuestIds (
  "Index" INTEGER,
  QId INTEGER,
  DiffLvl TEXT COLLATE NOCASE,
  Attempted INTEGER DEFAULT 0,
  ExamQIdsOrder INTEGER DEFAULT 0
);
CREATE INDEX QuestIdsIndex ON QuestIds ("Index");
CREATE INDEX QuestIdsQId ON QuestIds (QId, "Index");
CREATE INDEX QuestIdsOrder ON QuestIds (ExamQIdsOrder, "Index");

CREATE TABLE AnsIds (
  "Index" INTEGER,
  AnsId INTEGER,
  Qid INTEGER
);
CREATE INDEX AnsIdsQid ON AnsIds (Qid, "Index");

CREATE TABLE AnsSelected (
  QId INTEGER,
  Answer INTEGER
);
CREATE INDEX AnsSelectedQId ON AnsSelected (QId);

CREATE TABLE BookMarkExam (
  QId INTEGER
);
CREATE INDEX BookMarkExamQId ON BookMarkExam (QId);

-- Kept tables
CREATE TABLE User (
  Uname TEXT COLLATE NOCASE,
  Name TEXT COLLATE NOCASE,
  Email TEXT COLLATE NOCASE,
  Phone TEXT COLLATE NOCASE
);

CREATE TABLE AdminLogin (
  Uname TEXT COLLATE NOCASE,
  Pwd TEXT COLLATE NOCASE
);

CREATE TABLE AdminConfig (
  "Index" INTEGER NOT NULL,
  ExamName TEXT COLLATE NOCASE,
  Etype TEXT COLLATE NOCASE,
  NofQues INTEGER,
  PassPercentage INTEGER,
  MaxScore INTEGER,
  MaxTime INTEGER,
  LearnMode YESNO,
  ExamMode YESNO,
  SimulatorMode YESNO,
  BeginScore INTEGER,
  IntScore INTEGER,
  ExpScore INTEGER,
  Previous YESNO,
  Review YESNO,
  Exams INTEGER
);

CREATE TABLE BookMark (
  QId INTEGER,
  Deleted INTEGER DEFAULT 0
);
CREATE INDEX BookMarkQId ON BookMark (QId);

CREATE TABLE ResultsBrief (
  "Index" INTEGER,
  CandidateName TEXT COLLATE NOCASE,
  UserName TEXT COLLATE NOCASE,
  ExamName TEXT COLLATE NOCASE,
  ExDate DATE,
  ExTime TIME,
  Score INTEGER,
  PassScore INTEGER,
  MaxScore INTEGER,
  Percentage INTEGER,
  Result TEXT COLLATE NOCASE,
  FileName TEXT COLLATE NOCASE
);
CREATE INDEX ResultsBriefFileName ON ResultsBrief (FileName COLLATE NOCASE);
CREATE INDEX ResultsBriefUserName ON ResultsBrief (UserName COLLATE NOCASE, "Index");
