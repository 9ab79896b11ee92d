// Streets: added through the input box, renamed in the grid, deleted after the question; the register's
// street list follows when the editor closes.
#include "catalogue/StreetList.h"
#include "data/ClientDataSet.h"
#include "data/Sql.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

using namespace kavrin;
using namespace kavrin::test;

namespace {

class StreetListTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        exec("insert into street (Id, Name_Street) values (1, 'Садовая'), (2, 'Лесная')");
        exec("insert into abons (Id, N_Street) values (10, 2)");
        editor.open();
        registerStreets.open();
    }

    QString registerStreetName(int id) {
        return registerStreets.locate("Id", id) ? registerStreets.value("Name_Street").toString() : QString();
    }

    ScriptedDialogs dialogs;
    ClientDataSet editor{QStringLiteral("select * from street order by Name_Street")};
    ClientDataSet registerStreets{QStringLiteral("select * from street")};
    StreetList streets{editor, registerStreets};
};

}  // namespace

TEST_F(StreetListTest, AddedStreetIsStoredAtOnceAtTheEnd) {
    dialogs.input("  Абрикосовая ");
    EXPECT_TRUE(streets.addStreet());

    EXPECT_EQ(scalar("select count(*) from street where Name_Street = 'Абрикосовая'").toInt(), 1);
    EXPECT_EQ(editor.recNo(), 3);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].caption, "Добавление улицы");
    EXPECT_EQ(dialogs.calls()[0].text, "Введите название новой улицы");

    EXPECT_TRUE(streets.close());
    EXPECT_EQ(registerStreetName(scalar("select Id from street where Name_Street = 'Абрикосовая'").toInt()),
              "Абрикосовая");
}

TEST_F(StreetListTest, NothingIsAddedForAnEmptyCancelledOrTooLongName) {
    dialogs.input("");
    dialogs.cancelInput();
    dialogs.input("   ");
    dialogs.input(QString(21, QChar(u'Щ')));
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(streets.addStreet());

    EXPECT_EQ(dialogs.messages(),
              QStringList{"Внимание! Название улицы не может быть длиннее 20 символов (сейчас 21). Улица не сохранена."});
    EXPECT_EQ(scalar("select count(*) from street").toInt(), 2);
    EXPECT_EQ(editor.recordCount(), 2);
}

TEST_F(StreetListTest, RenameInTheGridIsStoredOnCloseAndReachesTheRegister) {
    ASSERT_TRUE(editor.locate("Id", 2));
    editor.setValue("Name_Street", "Лесная аллея");  // typed, not yet posted
    EXPECT_EQ(registerStreetName(2), "Лесная");

    EXPECT_TRUE(streets.close());

    EXPECT_EQ(scalar("select Name_Street from street where Id = 2").toString(), "Лесная аллея");
    EXPECT_EQ(registerStreetName(2), "Лесная аллея");
}

TEST_F(StreetListTest, TooLongRenameIsRefusedAsTyped) {
    // The dataset refuses a name longer than its column the moment it is typed, so nothing half-made can wait
    // for the closing.
    ASSERT_TRUE(editor.locate("Id", 1));
    EXPECT_THROW(editor.setValue("Name_Street", QString(25, QChar(u'Ю'))), DatabaseError);

    EXPECT_TRUE(streets.close());
    EXPECT_EQ(scalar("select Name_Street from street where Id = 1").toString(), "Садовая");
}

TEST_F(StreetListTest, DeleteAfterTheQuestionEvenWhenSubscribersLiveThere) {
    ASSERT_TRUE(editor.locate("Id", 2));
    dialogs.answer(Answer::No);
    EXPECT_FALSE(streets.deleteStreet());
    EXPECT_EQ(scalar("select count(*) from street").toInt(), 2);

    dialogs.answer(Answer::Yes);
    EXPECT_TRUE(streets.deleteStreet());
    EXPECT_EQ(scalar("select count(*) from street where Id = 2").toInt(), 0);
    EXPECT_EQ(scalar("select N_Street from abons where Id = 10").toInt(), 2);
    EXPECT_EQ(dialogs.calls()[0].text, "Вы действительно хотите удалить эту улицу из базы данных?");
    EXPECT_EQ(dialogs.calls()[0].caption, "Внимание");

    EXPECT_TRUE(streets.close());
    EXPECT_EQ(registerStreetName(2), QString());
}
