#pragma once
// Brings the schema of an older installation up to date on every connection: widens the channel and package
// names, and adds the columns later versions of the client rely on when a probe finds them missing.
#include <QString>
#include <QStringList>

namespace kavrin {

struct SchemaUpgradeResult {
    QStringList executed;  // every statement sent, in order (the widenings, the probes, the additions)
    QString scratchText;   // the row-returning statement the scratch dataset is left with
};

// Throws DatabaseError at the first statement that fails; the steps before it stay done.
SchemaUpgradeResult upgradeSchema();

}  // namespace kavrin
