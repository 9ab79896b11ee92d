// How fast Ostrel drains its queue, each figure beside the floor measured in the same run.
//
//   ostrel_bench [--tasks N] [--device-tasks M]
//
// Needs the private MariaDB (KAVRIN_DB_PORT, KAVRIN_DB_PASSWORD as for scripts/db). It works in a database
// of its own, `kavrin_bench`, holding only a copy of the task table, so a real queue is never touched.
//
// File mode: N type-1 tasks drained by the worker into user.bin, against a bare ODBC loop doing one select
// and one delete per task on the same N rows. Device mode: M type-1 tasks sent by the worker to the head-end
// simulator pacing its line at 38,400 bit/s, against the line's capacity (a type-1 task is 146 bytes on the
// line: 3,840 bytes/s carry at most about 26 tasks per second) and against a bare link loop that sends the
// same packets without the database.
#include "CTaskLink.h"
#include "HeadendSimulator.h"
#include "Odbc.h"
#include "TaskPackets.h"
#include "TaskWorker.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#undef slots

using namespace ostrel;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kLineBytesPerSecond = 38400.0 / 10;  // 8N1: ten bits a byte
constexpr int kType1FrameBytes = 146;                 // start, length, address, command, 141, check

std::string env(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

[[noreturn]] void die(const std::string& what) {
    std::fprintf(stderr, "ostrel_bench: %s\n", what.c_str());
    std::exit(1);
}

void exec(const OdbcConnection& db, const std::string& sql) {
    OdbcStatement st(db);
    if (!st.execDirect(sql)) die(sql.substr(0, 80) + ": " + st.diagnostics());
}

// A data source for `database` on the private server, in a private folder.
void defineDataSource(const std::filesystem::path& dir, const std::string& port, const std::string& database) {
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "odbcinst.ini") << "[MariaDB]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so\n";
    std::ofstream(dir / "odbc.ini") << "[" << kDataSourceName << "]\nDriver=MariaDB\nSERVER=127.0.0.1\nPORT=" << port
                                    << "\nDATABASE=" << database << "\nCHARSET=utf8mb4\n";
    setenv("ODBCSYSINI", dir.c_str(), 1);
    setenv("ODBCINI", (dir / "odbc.ini").c_str(), 1);
}

void queueTasks(const OdbcConnection& db, int count) {
    exec(db, "delete from zadaniya");
    constexpr int kBatch = 1000;
    for (int first = 1; first <= count; first += kBatch) {
        std::string sql = "insert into zadaniya (n_mesta,n_Rec,n_zadaniya,count_mest,64_1,64_62,balans) values ";
        for (int slot = first; slot < first + kBatch && slot <= count; ++slot) {
            if (slot != first) sql += ',';
            sql += "(" + std::to_string(slot) + "," + std::to_string(slot + 100) + ",1," + std::to_string(count) +
                   "," + std::to_string(slot & 0xFFFF) + ",65535," + std::to_string(slot * 10 - 5000) + ")";
        }
        exec(db, sql);
    }
}

// The floor: the least any server must do per task, one select of the first task and one delete.
double bareOdbcLoop(const OdbcConnection& db, int count) {
    const auto start = Clock::now();
    int done = 0;
    OdbcStatement select(db);
    OdbcStatement remove(db);
    for (;;) {
        if (!select.execDirect(TaskQueue::kSelectSql)) die(select.diagnostics());
        if (SQLFetch(select.handle()) != SQL_SUCCESS) break;
        SQLINTEGER id = 0;
        SQLLEN ind = 0;
        SQLGetData(select.handle(), 1, SQL_C_SLONG, &id, sizeof id, &ind);
        SQLFreeStmt(select.handle(), SQL_CLOSE);
        if (!remove.execDirect("delete from zadaniya where id=" + std::to_string(id))) die(remove.diagnostics());
        ++done;
    }
    if (done != count) die("bare loop took " + std::to_string(done) + " tasks");
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class QuietHost : public WorkerHost {
public:
    void showMessage(const QString& text) override {
        std::fprintf(stderr, "message: %s\n", text.toLocal8Bit().constData());
        failed = true;
    }
    void animateTray() override {}
    void requestShutdown() override {}
    bool failed = false;
};

double drainWithWorker(const OdbcConnection& db, const ServerConfig& config, TaskLinkFactory links,
                       const std::filesystem::path& folder, int count) {
    ServerState state;
    QuietHost host;
    TaskWorker worker(config, state, db, host, std::move(links), folder);
    if (!worker.begin()) die("the worker did not start");
    const auto start = Clock::now();
    int done = 0;
    for (TaskWorker::Pass p; (p = worker.pass()) != TaskWorker::Pass::Idle;) {
        if (p == TaskWorker::Pass::Fatal || host.failed) die("the worker failed");
        if (p == TaskWorker::Pass::Task) ++done;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    worker.end();
    if (done != count) die("the worker took " + std::to_string(done) + " tasks");
    return seconds;
}

TaskLinkFactory noPorts() {
    struct NoPort : TaskLink {
        bool isOpen() const override { return false; }
        bool deliver(const std::uint8_t*, std::size_t) override { return false; }
    };
    return [](int, std::uint8_t) { return std::make_unique<NoPort>(); };
}

}  // namespace

int main(int argc, char** argv) {
    int tasks = 10000;
    int deviceTasks = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--tasks") tasks = std::atoi(argv[i + 1]);
        else if (a == "--device-tasks") deviceTasks = std::atoi(argv[i + 1]);
        else die("usage: ostrel_bench [--tasks N] [--device-tasks M]");
    }
    const std::string port = env("KAVRIN_DB_PORT", "3306");
    const std::string password = env("KAVRIN_DB_PASSWORD", "kavrin");
    char tmpl[] = "/tmp/ostrel-bench-XXXXXX";
    if (!mkdtemp(tmpl)) die("no temporary folder");
    const std::filesystem::path folder = tmpl;

    // Set up the bench database through the real one, then work only in the copy.
    defineDataSource(folder / "odbc", port, "kavrin");
    {
        OdbcConnection admin;
        std::string error;
        if (!admin.connect(kDataSourceName, "root", password, &error)) die(error);
        exec(admin, "create database if not exists kavrin_bench");
        exec(admin, "drop table if exists kavrin_bench.zadaniya");
        exec(admin, "create table kavrin_bench.zadaniya like kavrin.zadaniya");
    }
    defineDataSource(folder / "odbc", port, "kavrin_bench");
    OdbcConnection db;
    std::string error;
    if (!db.connect(kDataSourceName, "root", password, &error)) die(error);

    std::printf("File mode, %d tasks (best of three runs each, alternating):\n", tasks);
    double floorSeconds = 1e9;
    double workerSeconds = 1e9;
    for (int run = 0; run < 3; ++run) {
        queueTasks(db, tasks);
        floorSeconds = std::min(floorSeconds, bareOdbcLoop(db, tasks));
        queueTasks(db, tasks);
        workerSeconds = std::min(workerSeconds, drainWithWorker(db, ServerConfig{}, noPorts(), folder, tasks));
    }
    std::printf("  floor, bare ODBC select + delete: %8.0f tasks/s\n", tasks / floorSeconds);
    std::printf("  Ostrel worker into user.bin:      %8.0f tasks/s  (%.2fx the floor's time; aim: within 1.3x)\n",
                tasks / workerSeconds, workerSeconds / floorSeconds);

    std::printf("Device mode, %d tasks, simulator pacing at 38,400 bit/s:\n", deviceTasks);
    headend::Simulator::Options options;
    options.directory = folder;
    options.paced = true;
    headend::Simulator sim(options);
    if (!sim.start(&error)) die("simulator: " + error);
    std::filesystem::current_path(folder);  // COM1 is found in the working directory

    // The link floor: the same packets back to back on the paced line, no database.
    TaskRow row;
    row.type = kTaskSubscriber;
    row.countMest = deviceTasks;
    const auto linkStart = Clock::now();
    {
        CTaskLink link(sim.portIndex(), 1);
        for (int i = 1; i <= deviceTasks; ++i) {
            row.nMesta = i;
            auto packet = buildTaskPacket(row);
            if (!link.SendTask(packet.data(), static_cast<unsigned>(packet.size()))) die("bare link: not accepted");
        }
    }
    const double linkSeconds = std::chrono::duration<double>(Clock::now() - linkStart).count();

    ServerConfig device;
    device.Mode = 1;
    device.Port1 = sim.portIndex();
    device.Address1 = 1;
    queueTasks(db, deviceTasks);
    const double deviceSeconds = drainWithWorker(db, device, serialLinkFactory(), folder, deviceTasks);
    const double lineMax = kLineBytesPerSecond / kType1FrameBytes;
    const double rate = deviceTasks / deviceSeconds;
    std::printf("  line capacity (146 bytes a task):  %6.1f tasks/s\n", lineMax);
    std::printf("  floor, bare link without database: %6.1f tasks/s  (%.0f%% of the line)\n", deviceTasks / linkSeconds,
                100.0 * deviceTasks / linkSeconds / lineMax);
    std::printf("  Ostrel worker:                     %6.1f tasks/s  (%.0f%% of the line; aim: at least 90%%)\n", rate,
                100.0 * rate / lineMax);

    std::filesystem::current_path("/");
    std::filesystem::remove_all(folder);
    {
        OdbcStatement drop(db);
        drop.execDirect("drop database kavrin_bench");
    }
    return 0;
}
