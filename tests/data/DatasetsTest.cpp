#include "data/Datasets.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace kavrin;

using DatasetsTest = kavrin::test::DatabaseTest;

TEST_F(DatasetsTest, OpenAllOpensEveryChainOnTheSchemaAndLeavesTheScratchAlone) {
    Datasets& s = Datasets::shared();
    s.openAll();
    for (ClientDataSet* ds : {&s.abons, &s.streets, &s.tasks, &s.slotMap, &s.journal, &s.charges, &s.channels,
                              &s.channelTable, &s.streetEditor, &s.packages, &s.operationNames, &s.lastRun,
                              &s.settings})
        EXPECT_TRUE(ds->isOpen()) << ds->commandText().toStdString();
    EXPECT_FALSE(s.scratch.isOpen());
    EXPECT_EQ(s.settings.recordCount(), 1);
    EXPECT_EQ(s.operationNames.recordCount(), 2);
    EXPECT_EQ(s.abons.fieldIndex("id_selected_packet"), 81);
    s.closeAll();
    EXPECT_FALSE(s.abons.isOpen());
}
