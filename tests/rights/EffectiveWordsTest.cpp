// The effective words of the register's current subscriber, read from the shared datasets.
#include "data/ClientDataSet.h"
#include "rights/EffectiveWords.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace kavrin;
using kavrin::test::exec;

class EffectiveWordsDb : public kavrin::test::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        exec("insert into pakets (Id, Name_Paket, 64_1, 64_62) values (1, 'Базовый', 7, 1), (2, 'Полный', 32767, 32767)");
        // 10: priority on package 2; 11: priority off but naming package 2; 12: priority on a package that is gone.
        exec("insert into abons (Id, Name1, 64_1, 64_2, 64_62, flag_packet_prioritet, id_selected_packet) values "
             "(10, 'А', 1, 2, 3, 1, 2), (11, 'Б', 1, 2, 3, 0, 2), (12, 'В', 1, 2, 3, 1, 99)");
        abons.open();
        packages.open();
    }
    ClientDataSet abons{"select * from abons"};
    ClientDataSet packages{"select * from pakets"};
};

TEST_F(EffectiveWordsDb, PriorityOnTakesThePackagesWordsAndPositionsThePackageList) {
    ASSERT_TRUE(abons.locate("Id", 10));
    const Mas64 words = read_flags_to_mas64_CDS1(abons, packages);
    EXPECT_EQ(words[1], 32767);
    EXPECT_EQ(words[2], 0);  // the package's word replaces the subscriber's 2
    EXPECT_EQ(words[62], 32767);
    EXPECT_EQ(packages.value("Id").toInt(), 2);
}

TEST_F(EffectiveWordsDb, PriorityOffOrMissingPackageKeepsTheSubscribersOwnWords) {
    for (int id : {11, 12}) {
        ASSERT_TRUE(abons.locate("Id", id));
        const Mas64 words = read_flags_to_mas64_CDS1(abons, packages);
        EXPECT_EQ(words[1], 1) << id;
        EXPECT_EQ(words[2], 2) << id;
        EXPECT_EQ(words[3], 0) << id;
        EXPECT_EQ(words[62], 3) << id;
    }
}
