// The three imports against the real database, through the register's handlers and the money operation.
#include "IoFixture.h"

#include "io/FileImports.h"

#include <QStringEncoder>

#include "data/Sql.h"

#include <QSqlRecord>
#include <functional>
#include <utility>

namespace kavrin::test {
namespace {

class ImportTest : public IoFixture {
protected:
    void importNew(const QString& text) {
        dialogs.file(file(text.toUtf8()));
        FileImports(*reg).importNewSubscribers();
    }
    void importChanged(const QString& text) {
        dialogs.file(file(text.toUtf8()));
        FileImports(*reg).importChangedSubscribers();
    }
    void importPayments(const QString& text) {
        dialogs.file(file(text.toUtf8()));
        FileImports(*reg).importPayments();
    }
    // Task rows as type|slot|subscriber|count|balance.
    QStringList tasks() { return rows("select n_zadaniya, n_mesta, n_Rec, count_mest, balans from zadaniya order by id"); }
};

TEST_F(ImportTest, NewSubscribersGetTheirStreetSlotAndTask) {
    exec("insert into street (Id, Name_Street) values (1, 'Садовая')");
    reopen();
    importNew(
        "101;Иванов;Пётр;Ильич;Новая;12;а;5;223344;0501112233;01.02.2013;1;0,125;300;1\r\n"
        "102;Петров;Олег;;Садовая;3;;;;;02.02.2013;0;0,375;0;0\r\n"
        "103;Сидоров;;;;;;;;;03.02.2013;1;1;0;0;\r\n"
        "101;Дубль;;;;;;;;;03.02.2013;1;1;0;0\r\n"
        "0;Ноль;;;;;;;;;03.02.2013;1;1;0;0\r\n"
        "104;Кузнецов;;;;;;;;;31.02.2013;1;1;0;0\r\n"
        "106;Фамилия-длиннее-двадцати;;;;;;;;;01.02.2013;1;1;0;0\r\n"
        "105;Орлов;;;;;;;;;04.02.2013;1;-7,5;0;0\r\n");

    EXPECT_EQ(dialogs.messages(),
              (QStringList{
                  "Ошибка! Неверный формат записи: \"103;Сидоров;;;;;;;;;03.02.2013;1;1;0;0;\" Загрузка продолжится со следующей строки.",
                  "Ошибка! Абонент с id = 101 уже существует!",
                  "Ошибка! Не может быть id абонента = 0 Загрузка продолжится со следующей строки.",
                  "Ошибка! Неверный формат записи: \"104;Кузнецов;;;;;;;;;31.02.2013;1;1;0;0\" Загрузка продолжится со следующей строки.",
                  "Ошибка! Неверный формат записи: \"106;Фамилия-длиннее-двадцати;;;;;;;;;01.02.2013;1;1;0;0\" Загрузка продолжится со следующей строки.",
              }));
    EXPECT_EQ(rows("select Id, Name1, Name2, Name3, N_Street, Dom, Drob, Kvartira, Tel, Mob, Data_Create, `lock`, money, "
                   "abonplata, flag_for_abonplata from abons order by Id"),
              (QStringList{
                  "101|Иванов|Пётр|Ильич|2|12|а|5|223344|0501112233|2013-02-01|1|12|300|1",
                  "102|Петров|Олег|NULL|1|3|NULL|NULL|NULL|NULL|2013-02-02|0|38|0|0",
                  "105|Орлов|NULL|NULL|NULL|NULL|NULL|NULL|NULL|NULL|2013-02-04|1|-750|0|0",
              }));
    EXPECT_EQ(rows("select Id, Name_Street from street order by Id"), (QStringList{"1|Садовая", "2|Новая"}));
    EXPECT_EQ(rows("select Id_mesta, zanyat, id_abona from svobodnie_mesta order by Id_mesta"),
              (QStringList{"1|1|101", "2|1|102", "3|1|105"}));
    // A full record for each switched-on subscriber; none for 102, which is off.
    EXPECT_EQ(tasks(), (QStringList{"1|1|101|1|12", "1|3|105|3|-750"}));
    EXPECT_EQ(scalar("select count(*) from abons where `64_1`<>0 or `64_64`<>0").toInt(), 0);
    // The register and its street list show the new rows and the new street.
    EXPECT_EQ(Datasets::shared().abons.recordCount(), 3);
    EXPECT_TRUE(Datasets::shared().streets.locate("Name_Street", "Новая"));
}

TEST_F(ImportTest, NewSubscribersStopAtALineWithoutSeparator) {
    importNew("201;Первый;;;;;;;;;01.02.2013;1;0;0;0\n"
              "строка без полей\n"
              "202;Второй;;;;;;;;;01.02.2013;1;0;0;0\n");
    EXPECT_EQ(dialogs.messages(), QStringList{"Ошибка! Найдена строка с ошибочным форматом! : id=\"201\" Операция прервана."});
    EXPECT_EQ(rows("select Id from abons"), QStringList{"201"});
}

TEST_F(ImportTest, DatabaseFailureEndsTheImportWithoutAHalfFilledRow) {
    exec("drop table street");
    EXPECT_THROW(importNew("401;Первый;;;Новая;;;;;;01.02.2013;1;0;0;0\n"), DatabaseError);
    EXPECT_EQ(Datasets::shared().abons.state(), ClientDataSet::State::Browse);
    EXPECT_EQ(Datasets::shared().abons.changeCount(), 0);
    EXPECT_EQ(reg->import_mode, 0);
    EXPECT_EQ(scalar("select count(*) from abons").toInt(), 0);
}

TEST_F(ImportTest, Windows1251AndUtf8FilesGiveTheSameRegister) {
    const QString text = QStringLiteral("301;Ёлкин;Семён;Юрьевич;Щорса;7;б;12;;;05.03.2010;1;12,5;0;0\r\n");
    const QString query = "select a.Id, Name1, Name2, Name3, s.Name_Street, Drob, money from abons a "
                          "join street s on s.Id = a.N_Street";
    dialogs.file(file(text.toUtf8(), "utf8.txt"));
    FileImports(*reg).importNewSubscribers();
    const QStringList fromUtf8 = rows(query);

    exec("delete from abons");
    exec("delete from street");
    reopen();
    QStringEncoder toCp1251("Windows-1251");
    const QByteArray cp1251 = toCp1251.encode(text);
    ASSERT_NE(cp1251, text.toUtf8());
    dialogs.file(file(cp1251, "cp1251.txt"));
    FileImports(*reg).importNewSubscribers();

    EXPECT_EQ(fromUtf8, QStringList{"301|Ёлкин|Семён|Юрьевич|Щорса|б|1250"});
    EXPECT_EQ(rows(query), fromUtf8);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('\n').toStdString();
}

TEST_F(ImportTest, CancelledDialogImportsNothing) {
    FileImports(*reg).importNewSubscribers();
    FileImports(*reg).importChangedSubscribers();
    EXPECT_EQ(dialogs.texts(), (QStringList{"Выбирите файл со списком новых абонентов (формат см. в мануале)",
                                            "Выбирите файл со списком изменяемых абонентов (формат см. в мануале)"}));
    EXPECT_EQ(scalar("select count(*) from abons").toInt(), 0);
}

TEST_F(ImportTest, ModifyLineOfOnlyTheIdPostsAndQueuesAFullRecord) {
    addSubscriber(17, 500, 1, "Старый");
    addSubscriber(18, 0, 0);
    reopen();
    importChanged("17;;;;;;;;;;;;;;\n18;;;;;;;;;;;;;;\n");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('\n').toStdString();
    EXPECT_EQ(rows("select Id, Name1, money, `lock` from abons order by Id"), (QStringList{"17|Старый|500|1", "18|Абонент|0|0"}));
    EXPECT_EQ(tasks(), QStringList{"1|1|17|2|500"});  // 18 is off: nothing for the head-end
}

TEST_F(ImportTest, ModifyReplacesTheGivenFieldsAndQueuesWhatTheSwitchNeeds) {
    addSubscriber(17, 500, 1);
    addSubscriber(18, 0, 0);
    reopen();
    importChanged("17;Новиков;;;Луговая;;;;;;;0;;;\n"
                  "18;;;;;;;;777;;10.10.2010;1;2,5;150;1\n");
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join('\n').toStdString();
    EXPECT_EQ(rows("select a.Id, Name1, s.Name_Street, Tel, Data_Create, `lock`, money, abonplata, flag_for_abonplata "
                   "from abons a left join street s on s.Id = a.N_Street order by a.Id"),
              (QStringList{"17|Новиков|Луговая|NULL|2012-01-01|0|500|0|0", "18|Абонент|NULL|777|2010-10-10|1|250|150|1"}));
    // Switched off: all channels off carrying the balance; switched on: the full record.
    EXPECT_EQ(rows("select n_zadaniya, n_Rec, balans, `64_1` from zadaniya order by id"),
              (QStringList{"1|17|500|0", "1|18|250|0"}));
    EXPECT_TRUE(Datasets::shared().streets.locate("Name_Street", "Луговая"));
}

TEST_F(ImportTest, ModifyStopsWithItsMessages) {
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"17;Первый;;;;;;;;;;;;;\n;Второй;;;;;;;;;;;;;\n17;Третий;;;;;;;;;;;;;\n",
         "Ошибка! Найдена строка с ошибочным форматом! : \";Второй;;;;;;;;;;;;;\" Операция прервана."},
        {"17;Первый;;;;;;;;;;;;;\nabc;Второй;;;;;;;;;;;;;\n", "Не верно значение поля id: \"abc\". Операция прервана."},
        {"17;Первый;;;;;;;;;;;;;\n99;Второй;;;;;;;;;;;;;\n", "Не найдено абонента \"99\". Операция прервана."},
        {"17;Первый;;;;;;;;;;;;;\n17;Второй;;;;;;;;;;xx;;;\n",
         "Ошибка! Неверный формат записи: \"17;Второй;;;;;;;;;;xx;;;\" Загрузка прервана."},
        {"17;Первый;;;;;;;;;;;;;\n17;Второй;;;;;;;;;;;;;;\n",
         "Ошибка! Неверный формат записи: \"17;Второй;;;;;;;;;;;;;;\" Загрузка прервана."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        exec("delete from abons");
        exec("delete from svobodnie_mesta");
        exec("delete from zadaniya");
        addSubscriber(17, 0, 0);
        reopen();
        dialogs.clear();
        importChanged(QString::fromUtf8(c.file));
        EXPECT_EQ(dialogs.messages(), QStringList{QString::fromUtf8(c.message)});
        // The line before the stop is saved; nothing after it.
        EXPECT_EQ(scalar("select Name1 from abons where Id=17").toString(), "Первый");
    }
}

TEST_F(ImportTest, PaymentIsBookedWithTheFileDate) {
    addSubscriber(17, 1000, 1);
    addSubscriber(18, -300, 0);
    reopen();
    importPayments("17;-5,00;01.02.2013\n18;12,5;02.02.2013\n");
    EXPECT_EQ(dialogs.messages(), QStringList{"Операция завершена"});
    EXPECT_EQ(rows("select Id, money, `lock` from abons order by Id"), (QStringList{"17|500|1", "18|950|1"}));
    EXPECT_EQ(rows("select id_abona, tip_operacii, kanals_count, summa, posle_oplati, date from prihod_rashod "
                   "order by nomer_operacii"),
              (QStringList{"17|1|0|-500|500|2013-02-01T00:00:00.000", "18|1|0|1250|950|2013-02-02T00:00:00.000"}));
    // 17 stays on: a fresh record with its new balance; 18 is switched on by the payment.
    EXPECT_EQ(tasks(), (QStringList{"1|1|17|2|500", "1|2|18|2|950"}));
    // The register is read again whole and stands on its first row.
    EXPECT_EQ(Datasets::shared().abons.recordCount(), 2);
    EXPECT_EQ(Datasets::shared().abons.recNo(), 1);
    EXPECT_EQ(Datasets::shared().abons.value("money").toInt(), 500);
}

TEST_F(ImportTest, PaymentsStopWithTheLineNamed) {
    const struct {
        const char* line;
        QStringList messages;
    } cases[] = {
        {"17;5,00", {"Ошибка в строке : \"17;5,00\" Операция прервана."}},
        {";5,00;01.02.2013", {"Ошибка! Найдена строка с ошибочным форматом! не указан id : \";5,00;01.02.2013\" Операция прервана."}},
        {"17", {"Ошибка! Найдена строка с ошибочным форматом! не указан id : \"17\" Операция прервана."}},
        {"99;5,00;01.02.2013", {"Ошибка! Найдена строка с несуществующим id! : \"99;5,00;01.02.2013\" Операция прервана."}},
        {"x1;5,00;01.02.2013", {"Ошибка в строке : \"x1;5,00;01.02.2013\" Операция прервана."}},
        {"17;5.00;01.02.2013", {"Ошибка в строке : \"17;5.00;01.02.2013\" Операция прервана."}},
        {"17;5,001;01.02.2013", {"Ошибка в строке : \"17;5,001;01.02.2013\" Операция прервана."}},
        {"17;5,00;32.01.2013", {"Ошибка в строке : \"17;5,00;32.01.2013\" Операция прервана."}},
        {"17;--5;01.02.2013", {"Ошибка в строке : \"17;--5;01.02.2013\" Операция прервана."}},
        // Refused by the money operation itself: its message, then the line.
        {"17;99999999999;01.02.2013",
         {"Ошибка введения значений. Вводиться должны целые числа",
          "Ошибка в строке : \"17;99999999999;01.02.2013\" Операция прервана."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        exec("delete from abons");
        exec("delete from svobodnie_mesta");
        exec("delete from prihod_rashod");
        addSubscriber(17, 1000, 1);
        reopen();
        dialogs.clear();
        importPayments("17;1,00;01.01.2013\n" + QString::fromUtf8(c.line) + "\n17;2,00;01.01.2013\n");
        EXPECT_EQ(dialogs.messages(), c.messages);
        // The line before is booked, the one after is not.
        EXPECT_EQ(scalar("select money from abons where Id=17").toInt(), 1100);
        EXPECT_EQ(scalar("select count(*) from prihod_rashod").toInt(), 1);
        EXPECT_EQ(Datasets::shared().abons.recordCount(), 1);
    }
}

// Scripted dialogs that let "another client" change the database while a message is up.
class InterruptingDialogs : public ScriptedDialogs {
public:
    std::function<void()> onMessage;
    void message(const QString& text, const QString& caption, Icon icon) override {
        if (onMessage) std::exchange(onMessage, nullptr)();
        ScriptedDialogs::message(text, caption, icon);
    }
};

TEST_F(ImportTest, LinesSentTogetherTakeTheSlotsFreeWhenTheyAreSent) {
    addSubscriber(10, 100, 1);
    addSubscriber(11, 100, 1);
    addSubscriber(12, 100, 1);
    exec("delete from abons where Id=11");
    exec("update svobodnie_mesta set zanyat=0 where Id_mesta=2");
    reopen();
    InterruptingDialogs d;
    d.file(file("101;Первый;;;;;;;;;01.02.2013;1;1;0;0\n"
                "0;Ноль;;;;;;;;;01.02.2013;1;1;0;0\n"
                "103;Третий;;;;;;;;;01.02.2013;1;3;0;0\n"
                "104;Четвёртый;;;;;;;;;01.02.2013;0;4;0;0\n"
                "105;Пятый;;;;;;;;;01.02.2013;1;5;0;0\n"));
    // While the message about line 2 is up, another operator's new subscriber takes the free slot 2 that
    // line 1 was planned into.
    d.onMessage = [] { exec("update svobodnie_mesta set zanyat=1, id_abona=50 where Id_mesta=2"); };
    FileImports imports(*reg);
    imports.setLinesPerFlush(2);
    imports.importNewSubscribers();

    EXPECT_EQ(d.messages(), QStringList{"Ошибка! Не может быть id абонента = 0 Загрузка продолжится со следующей строки."});
    EXPECT_EQ(rows("select Id_mesta, zanyat, id_abona from svobodnie_mesta order by Id_mesta"),
              (QStringList{"1|1|10", "2|1|50", "3|1|12", "4|1|101", "5|1|103", "6|1|104", "7|1|105"}));
    // Each record names the slot its subscriber got and the slot count of its moment.
    EXPECT_EQ(tasks(), (QStringList{"1|4|101|4|100", "1|5|103|5|300", "1|7|105|7|500"}));
    EXPECT_EQ(Datasets::shared().abons.recordCount(), 6);
    EXPECT_EQ(Datasets::shared().abons.changeCount(), 0);
}

TEST_F(ImportTest, PaymentsSentTogetherSwitchOffAndOnInLineOrder) {
    addSubscriber(17, 1000, 1);
    exec("update abons set `64_1`=5 where Id=17");
    reopen();
    dialogs.file(file("17;-15,00;01.02.2013\n17;3,00;02.02.2013\n17;7,00;03.02.2013\n"));
    FileImports imports(*reg);
    imports.setLinesPerFlush(2);
    imports.importPayments();
    EXPECT_EQ(dialogs.messages(), QStringList{"Операция завершена"});
    EXPECT_EQ(rows("select summa, posle_oplati, date(date) from prihod_rashod order by nomer_operacii"),
              (QStringList{"-1500|-500|2013-02-01", "300|-200|2013-02-02", "700|500|2013-02-03"}));
    // Off with its balance, nothing while it stays off, then its own channels again with the new balance.
    EXPECT_EQ(rows("select n_mesta, n_Rec, count_mest, `64_1`, balans from zadaniya order by id"),
              (QStringList{"1|17|1|0|-500", "1|17|1|5|500"}));
    EXPECT_EQ(rows("select money, `lock` from abons"), QStringList{"500|1"});
}

TEST_F(ImportTest, CancelledPaymentsDialogSaysFinished) {
    FileImports(*reg).importPayments();
    EXPECT_EQ(dialogs.texts(),
              (QStringList{"Выбирите файл со списком платежей (формат см. в мануале)", "Операция завершена"}));
}

}  // namespace
}  // namespace kavrin::test
