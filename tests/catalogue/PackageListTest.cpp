// Packages: adding, deleting with the bound-subscriber check, the channel editor's save.
#include "catalogue/PackageList.h"
#include "data/ClientDataSet.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

using namespace kavrin;
using namespace kavrin::test;

namespace {

class PackageListTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        ds.open();
    }

    // A package with word 1 = `word1`; returns its Id.
    int addPackage(const QString& name, int word1 = 0) {
        exec(QStringLiteral("insert into pakets (Name_Paket, `64_1`) values ('%1', %2)").arg(name).arg(word1));
        ds.refresh();
        const int id = scalar("select max(Id) from pakets").toInt();
        EXPECT_TRUE(ds.locate("Id", id));
        return id;
    }

    static void addSubscriber(int id, int priority, int package) {
        exec(QStringLiteral("insert into abons (Id, flag_packet_prioritet, id_selected_packet) values (%1, %2, %3)")
                 .arg(id)
                 .arg(priority)
                 .arg(package));
    }

    ScriptedDialogs dialogs;
    ClientDataSet ds{QStringLiteral("select * from pakets")};
    PackageList packages{ds};
};

}  // namespace

TEST_F(PackageListTest, NewPackageHasDefaultsAndItsNumber) {
    packages.addPackage();

    ASSERT_EQ(scalar("select count(*) from pakets").toInt(), 1);
    QString sum = QStringLiteral("paket_cost");
    for (int i = 1; i <= 64; ++i) sum += QStringLiteral(" + `64_%1`").arg(i);
    EXPECT_EQ(scalar(QStringLiteral("select %1 from pakets where Name_Paket = 'Новый пакет'").arg(sum)).toInt(), 0);
    EXPECT_EQ(ds.value("Id").toInt(), scalar("select Id from pakets").toInt());  // read back for the delete check
    EXPECT_EQ(ds.value("Name_Paket").toString(), "Новый пакет");
}

TEST_F(PackageListTest, PackageBoundToSubscribersIsNotDeleted) {
    const int id = addPackage("Базовый");
    addSubscriber(5, 1, id);
    addSubscriber(7, 0, id);  // names the package without the priority: does not count
    addSubscriber(9, 1, id);
    ASSERT_TRUE(ds.locate("Id", id));

    EXPECT_FALSE(packages.deletePackage());

    EXPECT_EQ(dialogs.texts(), QStringList{"Невозможно удалить пакет, к которому привязаны абоненты: 5; 9"});
    EXPECT_EQ(scalar("select count(*) from pakets").toInt(), 1);
}

TEST_F(PackageListTest, DeleteAsksAndNoKeepsThePackage) {
    const int id = addPackage("Старый");
    addSubscriber(7, 0, id);

    dialogs.answer(Answer::No);
    EXPECT_FALSE(packages.deletePackage());
    EXPECT_EQ(scalar("select count(*) from pakets").toInt(), 1);

    dialogs.answer(Answer::Yes);
    EXPECT_TRUE(packages.deletePackage());
    EXPECT_EQ(scalar("select count(*) from pakets").toInt(), 0);
    EXPECT_EQ(scalar("select id_selected_packet from abons where Id = 7").toInt(), id);

    ASSERT_EQ(dialogs.calls().size(), 2u);
    const DialogCall& q = dialogs.calls()[0];
    EXPECT_EQ(q.kind, DialogCall::Question);
    EXPECT_EQ(q.caption, "Внимание");
    EXPECT_EQ(q.text, "Вы действительно хотите удалить этот пакет из базы данных?");
    EXPECT_EQ(q.buttons, Buttons::YesNo);
    EXPECT_EQ(q.icon, Icon::Warning);
}

TEST_F(PackageListTest, SaveKeepsNameAndWordsUntilStored) {
    addPackage("Базовый", 3);
    EXPECT_EQ(packages.name(), "Базовый");
    EXPECT_EQ(packages.words()[1], 3);

    Mas64 words{};
    words[1] = 0x7FFF;
    words[62] = 0x4000;
    ASSERT_TRUE(packages.save(QString(40, QChar(u'Ж')), words));
    EXPECT_EQ(scalar("select `64_1` from pakets").toInt(), 3);  // stored when the editor closes

    packages.storeChanges();
    EXPECT_EQ(scalar("select concat_ws(',', Name_Paket, `64_1`, `64_62`) from pakets").toString(),
              QString(40, QChar(u'Ж')) + ",32767,16384");
}

TEST_F(PackageListTest, NameLongerThanTheColumnIsRefused) {
    addPackage("Базовый", 3);
    Mas64 words{};
    const QString tooLong = QString(41, QChar(u'Я'));

    EXPECT_FALSE(packages.save(tooLong, words));

    EXPECT_EQ(dialogs.messages(),
              QStringList{"Внимание! Имя пакета не может быть длиннее 40 символов (сейчас 41). Пакет не сохранён."});
    EXPECT_EQ(ds.state(), ClientDataSet::State::Browse);
    EXPECT_EQ(packages.name(), "Базовый");
    EXPECT_EQ(packages.words()[1], 3);
}
