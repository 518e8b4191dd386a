#include "largebank.h"

#include <string>

namespace largebank {

void MakeBank(plat::Database& db, const Shape& shape) {
    static const char* levels[] = {"B", "I", "E"};
    plat::Transaction t(db);
    for (int c = 1; c <= kCategories; ++c)
        db.Execute("INSERT INTO Categories (Index, CatName) VALUES (?, ?)", {c, "Category " + std::to_string(c)});
    long long option = shape.firstOption, dragRow = shape.firstDragRow, command = shape.firstCommand;
    for (int i = 0; i < shape.questions; ++i) {
        const long long qid = shape.firstQId + i + i / 9;
        const std::string type = i % 10 == 3 ? "D" : i % 10 == 7 ? "SIM" : i % 2 ? "M" : "S";
        db.Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                   "VALUES (?,?,?,?,?,'NA','NA')",
                   {qid, "Question " + std::to_string(qid), levels[(i / 7) % 3], type, (i * 7) % kCategories + 1});
        if (type == "S" || type == "M") {
            for (int o = 0; o < 4; ++o)
                db.Execute("INSERT INTO Answers (Index,QId,Answer,CorrectAns) VALUES (?,?,?,?)",
                           {option++, qid, "Option " + std::to_string(o), o == 0 ? 1 : 0});
        } else if (type == "D") {
            for (int r = 1; r <= 3; ++r)
                db.Execute("INSERT INTO DragNDrop (Index,QId,Question,Answer,AnsSel,AnsRand) VALUES (?,?,?,?,0,0)",
                           {dragRow++, qid, "Item " + std::to_string(r), "Match " + std::to_string(r)});
        } else {
            db.Execute("INSERT INTO SimCommands (Index,QId,Command,CmdPmt,ResPmt,Response,DevName,CmdTyped) "
                       "VALUES (?,?,'enable','>','#','NA','Router',0)",
                       {command++, qid});
        }
    }
    t.Commit();
}

void ReplaceBank(plat::Database& db, const Shape& shape) {
    plat::Transaction t(db);
    for (const char* table : {"Questions", "Categories", "Answers", "DragNDrop", "SimCommands", "SimCmdValues"})
        db.Execute(std::string("DELETE * from ") + table);
    MakeBank(db, shape);
    t.Commit();
}

}  // namespace largebank
