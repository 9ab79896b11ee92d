#include "ServerTestSupport.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <fstream>

namespace ostrel::test {

void useTestDataSource() {
    static const QString folder = [] {
        const kavrin::test::DbParams p = kavrin::test::testDbParams();
        const QString dir = QDir::tempPath() + QStringLiteral("/ostrel-test-odbc-%1").arg(p.port);
        QDir().mkpath(dir);
        QFile inst(dir + QStringLiteral("/odbcinst.ini"));
        inst.open(QIODevice::WriteOnly | QIODevice::Truncate);
        inst.write("[MariaDB]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so\n");
        inst.close();
        QFile ini(dir + QStringLiteral("/odbc.ini"));
        ini.open(QIODevice::WriteOnly | QIODevice::Truncate);
        ini.write(QStringLiteral("[Kavrin_MySQL]\nDriver=MariaDB\nSERVER=%1\nPORT=%2\nDATABASE=kavrin\nCHARSET=utf8mb4\n")
                      .arg(p.host)
                      .arg(p.port)
                      .toUtf8());
        ini.close();
        return dir;
    }();
    qputenv("ODBCSYSINI", folder.toLocal8Bit());
    qputenv("ODBCINI", (folder + QStringLiteral("/odbc.ini")).toLocal8Bit());
}

void connectTestOdbc(OdbcConnection& connection) {
    useTestDataSource();
    const kavrin::test::DbParams p = kavrin::test::testDbParams();
    std::string error;
    ASSERT_TRUE(connection.connect(kDataSourceName, p.user.toStdString(), p.password.toStdString(), &error)) << error;
}

void RecordingHost::showMessage(const QString& text) {
    std::lock_guard lock(mutex_);
    messages_ << text;
}

QStringList RecordingHost::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

void queueTask(const QueuedTask& t) {
    QString columns = QStringLiteral("n_mesta,n_Rec,n_zadaniya,count_mest,balans");
    QString values = QStringLiteral("%1,%2,%3,%4,%5").arg(t.nMesta).arg(t.nRec).arg(t.type).arg(t.countMest).arg(t.balans);
    if (t.id) {
        columns += QStringLiteral(",id");
        values += QStringLiteral(",%1").arg(t.id);
    }
    for (const auto& [n, v] : t.words) {
        columns += QStringLiteral(",64_%1").arg(n);
        values += QStringLiteral(",%1").arg(v);
    }
    kavrin::test::exec(QStringLiteral("insert into zadaniya (%1) values (%2)").arg(columns, values));
}

int queuedTaskCount() { return kavrin::test::scalar(QStringLiteral("select count(*) from zadaniya")).toInt(); }

std::vector<int> queuedTaskIds() {
    std::vector<int> ids;
    QSqlQuery q = kavrin::test::exec(QStringLiteral("select id from zadaniya order by id"));
    while (q.next()) ids.push_back(q.value(0).toInt());
    return ids;
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t o) {
    if (o + 4 > b.size()) {
        ADD_FAILURE() << "offset " << o << " beyond " << b.size() << " bytes";
        return 0;
    }
    return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | std::uint32_t(b[o + 3]) << 24;
}

void ServerDatabaseTest::SetUp() {
    kavrin::test::DatabaseTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    connectTestOdbc(odbc_);
}

ServerConfig ServerDatabaseTest::fileModeConfig() const {
    ServerConfig c;
    c.Mode = 0;
    c.PollMs = 0;
    return c;
}

int ServerDatabaseTest::drain(TaskWorker& worker, int limit) {
    int tasks = 0;
    for (int i = 0; i < limit; ++i) {
        const TaskWorker::Pass p = worker.pass();
        if (p == TaskWorker::Pass::Idle || p == TaskWorker::Pass::Fatal) break;
        if (p == TaskWorker::Pass::Task) ++tasks;
    }
    return tasks;
}

}  // namespace ostrel::test
