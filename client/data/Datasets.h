#pragma once
// The client's shared datasets, one instance for the whole program, named by the role they play. Screens
// keep their own names for them as references, e.g. `ClientDataSet& ClientDataSet1 = Datasets::shared().abons;`.
#include "data/ClientDataSet.h"

namespace kavrin {

struct Datasets {
    ClientDataSet abons{QStringLiteral("select * from abons")};             // main window ClientDataSet1
    ClientDataSet streets{QStringLiteral("select * from street")};          // main window ClientDataSet2
    ClientDataSet tasks{QStringLiteral("select * from zadaniya")};          // main window ClientDataSet3
    // main window ClientDataSet4. Not called `slots`: that word is a Qt keyword macro and cannot name a member.
    ClientDataSet slotMap{QStringLiteral("select * from svobodnie_mesta")};
    ClientDataSet journal{QStringLiteral(                                  // main window ClientDataSet5
        "select * from prihod_rashod where TO_DAYS(NOW()) - TO_DAYS(date) <= 10")};
    ClientDataSet charges{QStringLiteral("select * from spisanie")};         // main window ClientDataSet6
    ClientDataSet scratch;                                                  // main window ClientDataSet7, set before each use
    ClientDataSet channels{QStringLiteral("select * from kanals")};         // TForm2 ClientDataSet1
    ClientDataSet channelTable{QStringLiteral("select * from kanals")};     // TForm3's own chain
    ClientDataSet streetEditor{QStringLiteral("select * from street order by Name_Street")};  // TForm4 ClientDataSet1
    ClientDataSet packages{QStringLiteral("select * from pakets")};         // TForm5 ClientDataSet1
    ClientDataSet operationNames{QStringLiteral("select * from tip_operaciy_money")};  // TForm8 ClientDataSet1
    ClientDataSet lastRun{QStringLiteral("select * from tmp_ot4et")};       // TForm9 ClientDataSet1
    ClientDataSet settings{QStringLiteral("select * from config")};         // TForm10 ClientDataSet1

    // Opens every dataset in the start-up order (the scratch dataset only when it has a query); throws
    // DatabaseError at the first that fails.
    void openAll();
    // Closes them all (before the connection goes away).
    void closeAll();
    static Datasets& shared();
};

}  // namespace kavrin
