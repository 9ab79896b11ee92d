// The scrambling map as the task server finds it in the queue.
#include "catalogue/ScramblingTask.h"
#include "support/TestDatabase.h"

#include <QSqlRecord>

using namespace kavrin;
using namespace kavrin::test;

namespace {

class ScramblingTaskTest : public DatabaseTest {
protected:
    // A channel table row; `kods` lists the scrambled positions.
    static void addStream(int stream, std::initializer_list<int> kods) {
        QString columns = QStringLiteral("NStream"), values = QString::number(stream);
        for (int j : kods) {
            columns += QStringLiteral(",kod_%1").arg(j);
            values += QStringLiteral(",1");
        }
        exec(QStringLiteral("insert into kanals (%1) values (%2)").arg(columns, values));
    }

    static void addSlots(int count) {
        for (int i = 1; i <= count; ++i)
            exec(QStringLiteral("insert into svobodnie_mesta values (%1, 1, %2)").arg(i).arg(100 + i));
    }

    // The only queued task, by column name.
    static QSqlRecord onlyTask() {
        EXPECT_EQ(scalar("select count(*) from zadaniya").toInt(), 1);
        QSqlQuery q = exec("select * from zadaniya");
        q.next();
        return q.record();
    }

    static int word(const QSqlRecord& task, int i) { return task.value(QStringLiteral("64_%1").arg(i)).toInt(); }
};

}  // namespace

TEST_F(ScramblingTaskTest, EncodedMapOfStreamsOneTwoAndFive) {
    addStream(1, {0, 2});
    addStream(2, {14});
    addStream(5, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    exec("update kanals set kod_15 = 1, kod_3 = 2 where NStream = 1");  // only the value 1 counts as scrambled
    addSlots(7);

    queueEncodedMap();

    const QSqlRecord task = onlyTask();
    EXPECT_EQ(task.value("n_mesta").toInt(), 0);
    EXPECT_EQ(task.value("n_Rec").toInt(), 0);
    EXPECT_EQ(task.value("n_zadaniya").toInt(), 3);
    EXPECT_EQ(task.value("count_mest").toInt(), 7);
    EXPECT_EQ(word(task, 1), 0x0005);
    EXPECT_EQ(word(task, 2), 0x4000);
    EXPECT_EQ(word(task, 5), 0x7FFF);
    for (int s : {3, 4}) EXPECT_EQ(word(task, s), 0) << s;
    for (int s = 6; s <= 62; ++s) EXPECT_EQ(word(task, s), 0) << s;
    EXPECT_EQ(word(task, 63), 0);
    EXPECT_EQ(word(task, 64), 5);
    EXPECT_EQ(task.value("balans").toInt(), 0);
}

TEST_F(ScramblingTaskTest, ClearedMapLeavesTheFlagsInTheTable) {
    addStream(1, {0});
    addStream(9, {3, 4});

    queueClearedMap();

    const QSqlRecord task = onlyTask();
    for (int s = 1; s <= 62; ++s) EXPECT_EQ(word(task, s), 0) << s;
    EXPECT_EQ(word(task, 64), 9);
    EXPECT_EQ(task.value("count_mest").toInt(), 0);
    EXPECT_EQ(scalar("select kod_3 + kod_4 from kanals where NStream = 9").toInt(), 2);
}

TEST_F(ScramblingTaskTest, StreamAboveTheMapWritesNoWordBeyondSixtyTwo) {
    addStream(62, {1});
    addStream(63, {0, 1, 2});

    queueEncodedMap();

    const QSqlRecord task = onlyTask();
    EXPECT_EQ(word(task, 62), 0x0002);
    EXPECT_EQ(word(task, 63), 0);
    EXPECT_EQ(word(task, 64), 63);
}

TEST_F(ScramblingTaskTest, EmptyTableQueuesAZeroMap) {
    queueEncodedMap();
    queueClearedMap();

    EXPECT_EQ(scalar("select count(*) from zadaniya where n_zadaniya = 3").toInt(), 2);
    QString sum = QStringLiteral("count_mest");
    for (int i = 1; i <= 64; ++i) sum += QStringLiteral(" + `64_%1`").arg(i);
    EXPECT_EQ(scalar(QStringLiteral("select sum(%1) from zadaniya").arg(sum)).toInt(), 0);
}
