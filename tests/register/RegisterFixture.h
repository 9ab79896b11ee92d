#pragma once
// A fresh database with the register's datasets and handlers over it, a fixed clock and scripted dialogs.
#include "common/Clock.h"
#include "data/Datasets.h"
#include "register/SubscriberRegister.h"
#include "register/TaskQueue.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <QVector>
#include <map>
#include <memory>

namespace kavrin::test {

// One zadaniya row, all 70 columns in position order except `id`: n_mesta, n_Rec, n_zadaniya, count_mest,
// 64_1 .. 64_64, balans.
using TaskRow = QVector<qint64>;

// Words by stream number (1..64); streams not named are 0.
using WordMap = std::map<int, int>;

TaskRow fullRecord(int slot, int id, int count, const WordMap& words, int balance);
TaskRow allOffRecord(int slot, int id, int count, int balance);
TaskRow deleteRecord(int slot, int id, int count);
// The queue in id order.
std::vector<TaskRow> queuedTasks();
// The slot map as (slot, zanyat, id_abona) rows in slot order.
std::vector<std::array<int, 3>> slotMap();

void insertSubscriber(int id, int lock, int money, const WordMap& words = {}, int packagePriority = 0,
                      int packageId = 0);
void insertSlot(int slot, int occupied, int id);
int insertPackage(const QString& name, const WordMap& words);

class RegisterTest : public DatabaseTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens the datasets the register uses.
    void openRegister();

    ScriptedDialogs dialogs;
    ManualClock clock{QDateTime(QDate(2026, 3, 5), QTime(10, 0))};
    std::unique_ptr<Datasets> ds;
    std::unique_ptr<SubscriberRegister> reg;
};

}  // namespace kavrin::test
