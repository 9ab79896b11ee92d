#pragma once
// A fresh database with the client's shared datasets open and the register's handlers hooked, as the main
// window has them after start-up, plus scripted dialogs.
#include "billing/MoneyOperation.h"
#include "data/Datasets.h"
#include "register/SubscriberRegister.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <QSqlRecord>
#include <QTemporaryDir>
#include <memory>

#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace kavrin::test {

class IoFixture : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        reopen();
        reg = std::make_unique<SubscriberRegister>(Datasets::shared());
    }
    void TearDown() override {
        reg.reset();
        Datasets::shared().closeAll();
    }

    static void reopen() {
        Datasets::shared().closeAll();
        Datasets::shared().openAll();
    }

    // A subscriber as the register would have saved it: its row and an occupied slot.
    static void addSubscriber(int id, int money, int lock, const QString& name1 = QStringLiteral("Абонент")) {
        exec(QStringLiteral("insert into abons (Id, Name1, money, `lock`, Data_Create) values (%1, '%2', %3, %4, '2012-01-01')")
                 .arg(id).arg(name1).arg(money).arg(lock));
        exec(QStringLiteral("insert into svobodnie_mesta (Id_mesta, zanyat, id_abona) "
                            "select coalesce(max(Id_mesta),0)+1, 1, %1 from svobodnie_mesta").arg(id));
    }

    // Writes a file into the test's folder; the text is encoded as given.
    QString file(const QByteArray& bytes, const QString& name = QStringLiteral("import.txt")) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    QStringList rows(const QString& sql) {
        QSqlQuery q = exec(sql);
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i) cells << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
            out << cells.join(u'|');
        }
        return out;
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<SubscriberRegister> reg;
    MoneyOperation money;
    QTemporaryDir dir;
};

}  // namespace kavrin::test
