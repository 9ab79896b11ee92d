// The channel table, street, package list and package channel editor screens on the real database.
#include "data/ClientDataSet.h"
#include "data/DataSetModel.h"
#include "data/FilterProxyModel.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"
#include "ui/ChannelMatrix.h"
#include "ui/TForm3.h"
#include "ui/TForm4.h"
#include "ui/TForm5.h"
#include "ui/TForm6.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>

using namespace kavrin;
using namespace kavrin::test;

class ChannelTableScreenTest : public DatabaseTest {
protected:
    ScriptedDialogs dialogs;
    ClientDataSet channels{QStringLiteral("select * from kanals")};
};

TEST_F(ChannelTableScreenTest, GridHasItsColumnsInOrder) {
    channels.open();
    TForm3 form(channels);
    const QAbstractItemModel& m = *form.DataSource1;
    ASSERT_EQ(m.columnCount(), 47);
    QStringList captions;
    for (int c = 0; c < m.columnCount(); ++c) captions << m.headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(captions[0], "N_Ствола");
    EXPECT_EQ(captions.mid(1, 6), (QStringList{"Канал_1", "Код", "Цена", "Канал_2", "Код", "Цена"}));
    EXPECT_EQ(captions.mid(43, 4), (QStringList{"Канал_15", "Код", "Цена", "Канал_16(не кодир.)"}));
    EXPECT_EQ(form.DataSource1->columns()[TForm3::kodColumn(14)].field, "kod_14");
    EXPECT_EQ(form.DataSource1->columns()[TForm3::kodColumn(14)].kind, EditorKind::CheckBox);
    EXPECT_EQ(form.DataSource1->columns()[TForm3::priceColumn(14)].field, "cena_14");
    EXPECT_EQ(form.DataSource1->columnOf("kod_15"), -1);
}

TEST_F(ChannelTableScreenTest, TickInTheGridIsStoredAndSentByEncode) {
    exec("insert into kanals (NStream, kan_0) values (5, 'Спорт'), (1, 'Кино')");
    channels.open();
    TForm3 form(channels);
    form.show();
    // Sorted by stream: stream 1 on top.
    const QModelIndex kod = form.cxGrid1DBTableView1->index(0, TForm3::kodColumn(2));
    ASSERT_EQ(form.cxGrid1DBTableView1->index(0, 0).data().toInt(), 1);
    ASSERT_TRUE(form.cxGrid1DBTableView1->setData(kod, Qt::Checked, Qt::CheckStateRole));

    form.Button3->click();

    EXPECT_EQ(scalar("select kod_2 from kanals where NStream = 1").toInt(), 1);
    EXPECT_EQ(scalar("select concat_ws(',', n_zadaniya, `64_1`, `64_5`, `64_64`) from zadaniya").toString(), "3,4,0,5");

    form.Button2->click();
    EXPECT_EQ(scalar("select concat_ws(',', `64_1`, `64_64`) from zadaniya order by id desc limit 1").toString(), "0,5");
    EXPECT_EQ(scalar("select kod_2 from kanals where NStream = 1").toInt(), 1);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(ChannelTableScreenTest, ClosingStoresAnEditInProgress) {
    exec("insert into kanals (NStream) values (3)");
    channels.open();
    TForm3 form(channels);
    form.show();
    ASSERT_TRUE(form.cxGrid1DBTableView1->setData(form.cxGrid1DBTableView1->index(0, TForm3::priceColumn(0)), 250));
    EXPECT_EQ(channels.state(), ClientDataSet::State::Edit);

    form.close();

    EXPECT_EQ(scalar("select cena_0 from kanals").toInt(), 250);
}

class StreetScreenTest : public DatabaseTest {
protected:
    ScriptedDialogs dialogs;
    ClientDataSet editor{QStringLiteral("select * from street order by Name_Street")};
    ClientDataSet registerStreets{QStringLiteral("select * from street")};
};

TEST_F(StreetScreenTest, AddRenameDeleteAndTheRegisterFollowsOnClose) {
    exec("insert into street (Id, Name_Street) values (1, 'Садовая'), (2, 'Лесная')");
    registerStreets.open();
    TForm4 form(editor, registerStreets);
    form.show();
    EXPECT_EQ(form.DataSource1->headerData(0, Qt::Horizontal).toString(), "Название Улицы");

    dialogs.input("Морская");
    form.Button1->click();
    ASSERT_TRUE(editor.locate("Id", 1));
    ASSERT_TRUE(form.DataSource1->setData(form.DataSource1->index(editor.recNo() - 1, 0), "Вишнёвая"));
    ASSERT_TRUE(editor.locate("Id", 2));
    dialogs.answer(Answer::Yes);
    form.Button2->click();
    EXPECT_EQ(registerStreets.recordCount(), 2);  // not yet re-read

    form.close();

    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(scalar("select group_concat(Name_Street order by Id) from street").toString(), "Вишнёвая,Морская");
    QStringList shown;
    for (int r = 0; r < registerStreets.recordCount(); ++r)
        shown << registerStreets.value(r, registerStreets.fieldIndex("Name_Street")).toString();
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"Вишнёвая", "Морская"}));
}

class PackageScreenTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        exec("insert into kanals (NStream, kan_0, kan_1) values (1, 'Кино', 'Спорт'), (2, 'Новости', '-')");
        packages.open();
        channels.open();
    }

    bool ticked(int stream, int position) const {
        return editor.matrix->checkBox(16 * stream + position + 1)->isChecked();
    }
    // Opens the channel editor from the list and runs `inside` while it is shown.
    void editInside(const std::function<void()>& inside) {
        bool ran = false;
        QTimer::singleShot(0, &editor, [&] {
            ran = true;
            inside();
        });
        list.Button1->click();
        EXPECT_TRUE(ran) << "the channel editor did not open";
        EXPECT_FALSE(editor.isVisible());
    }

    ScriptedDialogs dialogs;
    ClientDataSet packages{QStringLiteral("select * from pakets")};
    ClientDataSet channels{QStringLiteral("select * from kanals")};
    TForm6 editor{packages, channels};
    TForm5 list{packages, &editor};
};

TEST_F(PackageScreenTest, NewPackageShowsOnlyTheUncodedChannels) {
    list.show();
    list.Button2->click();
    ASSERT_EQ(packages.value("Name_Paket").toString(), "Новый пакет");

    editInside([this] {
        EXPECT_EQ(editor.Edit1->text(), "Новый пакет");
        EXPECT_EQ(editor.cxDBSpinEdit1->value(), 0);
        for (int s : {1, 2}) {
            EXPECT_TRUE(ticked(s, 15));
            for (int j = 0; j < 15; ++j) EXPECT_FALSE(ticked(s, j)) << s << " " << j;
        }
        EXPECT_EQ(editor.matrix->label(17)->text(), "Кино");
        EXPECT_FALSE(editor.matrix->checkBox(16 * 2 + 1 + 1)->isEnabled());  // "-" position
        editor.Button3->click();
    });
}

TEST_F(PackageScreenTest, CostIsKeptWhenLeavingWithoutSavingButTicksAndNameAreNot) {
    exec("insert into pakets (Name_Paket, `64_1`, paket_cost) values ('Базовый', 1, 500)");
    packages.refresh();
    list.show();

    editInside([this] {
        EXPECT_TRUE(ticked(1, 0));
        editor.cxDBSpinEdit1->setValue(750);
        editor.Edit1->setText("Другой");
        editor.matrix->checkBox(16 * 1 + 1 + 1)->setChecked(true);
        editor.Button3->click();
    });

    EXPECT_EQ(scalar("select concat_ws(',', Name_Paket, `64_1`, paket_cost) from pakets").toString(), "Базовый,1,750");
}

TEST_F(PackageScreenTest, SaveAndLeaveStoresNameAndTicks) {
    exec("insert into pakets (Name_Paket) values ('Базовый')");
    packages.refresh();
    list.show();

    editInside([this] {
        editor.Edit1->setText("Семейный");
        editor.matrix->checkBox(16 * 2 + 0 + 1)->setChecked(true);
        editor.matrix->checkBox(16 * 1 + 1 + 1)->setChecked(true);
        editor.Button4->click();
    });

    EXPECT_EQ(scalar("select concat_ws(',', Name_Paket, `64_1`, `64_2`) from pakets").toString(), "Семейный,2,1");
    EXPECT_EQ(list.DataSource1->index(0, 0).data().toString(), "Семейный");
}

TEST_F(PackageScreenTest, CloseIsRefusedAndATooLongNameKeepsTheEditorOpen) {
    exec("insert into pakets (Name_Paket) values ('Базовый')");
    packages.refresh();
    list.show();

    editInside([this] {
        editor.close();
        editor.reject();
        EXPECT_TRUE(editor.isVisible());

        editor.Edit1->setText(QString(41, QChar(u'Ы')));
        editor.Button4->click();
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(dialogs.messages().size(), 1);
        editor.Button3->click();
    });

    EXPECT_EQ(scalar("select Name_Paket from pakets").toString(), "Базовый");
}
