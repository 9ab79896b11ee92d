#pragma once
// One pass of a charging run: every switched-on subscriber charged once for `coef` periods, each charge
// booked in the journal and in the report of the run, and the pass's `spisanie` mark written — all in one
// transaction, so a pass either happened completely or not at all and a later run never charges twice.
#include "billing/ChargeRules.h"

#include <QDate>
#include <functional>
#include <vector>

namespace kavrin {

// zapolnit_matr_64x16_kanals: the scrambled positions and prices of `kanals`. A stream with several rows is
// taken from its first one; an empty price counts as 0 and an empty scrambled flag as free.
ChargeCatalogue zapolnit_matr_64x16_kanals();
PackageCatalogue readPackageTerms();

struct PassMark {
    int id = 0;       // the new `spisanie` id
    QDate date;       // the date up to which money has been taken
};

class ChargePass {
public:
    qint64 coef = 1;
    bool useAutoNull = false;
    int chunkSize = 1000;  // charges written per round of statements
    // Called once the subscribers are read (their count), then after each chunk is written (the count so far).
    std::function<void(int total)> started;
    std::function<void(int done)> progressed;

    // Runs the pass and returns how many subscribers were charged. Throws DatabaseError or BillingError;
    // then nothing of the pass remains.
    int run(const PassMark& mark);

private:
    void writeChunk(const Charge* first, int count, int seqBase);
};

}  // namespace kavrin
