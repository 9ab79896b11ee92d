#include "data/Datasets.h"

namespace kavrin {

namespace {
template <typename F>
void forEach(Datasets& s, F f) {
    // The start-up order: the main window's chains first, then those of the other screens.
    for (ClientDataSet* ds : {&s.abons, &s.streets, &s.tasks, &s.slotMap, &s.journal, &s.charges, &s.scratch,
                              &s.channels, &s.channelTable, &s.streetEditor, &s.packages, &s.operationNames,
                              &s.lastRun, &s.settings})
        f(*ds);
}
}  // namespace

void Datasets::openAll() {
    forEach(*this, [](ClientDataSet& ds) {
        if (!ds.commandText().trimmed().isEmpty()) ds.open();
    });
}

void Datasets::closeAll() {
    forEach(*this, [](ClientDataSet& ds) { ds.close(); });
}

Datasets& Datasets::shared() {
    static Datasets instance;
    return instance;
}

}  // namespace kavrin
