// The whole road: subscribers added, edited, switched off, deleted and renumbered through the client's
// register handlers; Ostrel's worker carries the queue to the head-end simulator (device mode) or into
// user.bin (file mode); afterwards the head-end holds exactly what the register says.
#include "CTaskLink.h"
#include "HeadendSimulator.h"
#include "ServerTestSupport.h"
#include "TaskFiles.h"
#include "data/Datasets.h"
#include "register/SubscriberRegister.h"
#include "support/ScriptedDialogs.h"

// Qt's keyword macro would swallow the simulator's slots().
#undef slots

using namespace ostrel;
using namespace ostrel::test;

namespace {

// What the head-end must hold for one slot: the record, the first 62 words and the balance.
struct Expected {
    std::int32_t record = 0;
    std::array<std::uint16_t, 62> words{};
    std::int32_t balance = 0;
    bool operator==(const Expected&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Expected& e) {
    os << "{record " << e.record << ", balance " << e.balance << ", W1.." << "W4 " << e.words[0] << ' ' << e.words[1]
       << ' ' << e.words[2] << ' ' << e.words[3] << '}';
    return os;
}

// From the register: an occupied slot of a subscriber switched on carries its words and balance, one switched
// off carries no channels but its balance, and a free slot is empty.
std::map<int, Expected> expectedFromRegister(int& slotCount) {
    QString words;
    for (int w = 1; w <= 62; ++w) words += QStringLiteral(",a.64_%1").arg(w);
    QSqlQuery q = kavrin::test::exec(
        QStringLiteral("select s.Id_mesta, s.zanyat, a.Id, a.`lock`, a.money%1 from svobodnie_mesta s "
                       "left join abons a on a.Id = s.id_abona order by s.Id_mesta")
            .arg(words));
    std::map<int, Expected> bySlot;
    slotCount = 0;
    while (q.next()) {
        const int slot = q.value(0).toInt();
        slotCount = std::max(slotCount, slot);
        Expected e;
        if (q.value(1).toInt() == 1) {
            e.record = q.value(2).toInt() * 2 - 2;
            e.balance = q.value(4).toInt();
            if (q.value(3).toInt() == 1)
                for (int w = 0; w < 62; ++w) e.words[w] = static_cast<std::uint16_t>(q.value(5 + w).toUInt());
        }
        bySlot[slot] = e;
    }
    return bySlot;
}

class OstrelRoad : public ServerDatabaseTest {
protected:
    void SetUp() override {
        ServerDatabaseTest::SetUp();
        previousDir_ = std::filesystem::current_path();
        std::filesystem::current_path(folder());
        ds_ = std::make_unique<kavrin::Datasets>();
        reg_ = std::make_unique<kavrin::SubscriberRegister>(*ds_);
        ds_->abons.open();
        ds_->slotMap.open();
        ds_->journal.open();
        ds_->packages.open();
        ds_->channels.open();
    }
    void TearDown() override {
        reg_.reset();
        ds_->closeAll();
        ds_.reset();
        std::filesystem::current_path(previousDir_);
    }

    void add(int id, int lock, int money, std::map<int, int> words) {
        dialogs_.input(QString::number(id));
        ds_->abons.append();
        ds_->abons.setValue(QStringLiteral("Name1"), QStringLiteral("Абонент %1").arg(id));
        ds_->abons.setValue(QStringLiteral("lock"), lock);
        ds_->abons.setValue(QStringLiteral("money"), money);
        for (const auto& [w, v] : words) ds_->abons.setValue(QStringLiteral("64_%1").arg(w), v);
        ds_->abons.post();
    }
    void edit(int id, const QString& field, const QVariant& value) {
        ASSERT_TRUE(ds_->abons.locate(QStringLiteral("Id"), id));
        ds_->abons.setValue(field, value);
        ds_->abons.post();
    }
    void remove(int id) {
        ASSERT_TRUE(ds_->abons.locate(QStringLiteral("Id"), id));
        ds_->abons.deleteRecord();
    }
    void renumber(int id, int newId) {
        ASSERT_TRUE(ds_->abons.locate(QStringLiteral("Id"), id));
        dialogs_.input(QString::number(newId));
        reg_->Button3Click();
    }

    // A day at the operator's desk; every kind of change the head-end must learn of.
    void operatorDay() {
        add(101, 1, 5000, {{1, 0x0003}, {2, 0x8001}});
        add(102, 1, -150, {{62, 0xFFFF}, {64, 9}});
        add(103, 0, 700, {{5, 0x0010}});         // entered switched off
        add(104, 1, 450, {{10, 0x00F0}});
        add(105, 1, 1200, {{1, 0x0001}});
        edit(101, QStringLiteral("64_3"), 0x0404);  // channels changed while on
        edit(102, QStringLiteral("money"), 2500);
        edit(103, QStringLiteral("lock"), 1);       // switched on: first full record
        edit(104, QStringLiteral("lock"), 0);       // switched off: all channels off, balance kept
        remove(105);                                 // slot 5 freed
        add(106, 1, 300, {{7, 0x7007}});             // takes slot 5 again
        renumber(101, 140);
        remove(102);                                 // slot 2 stays free
        edit(106, QStringLiteral("money"), -20);
        ASSERT_TRUE(dialogs_.messages().isEmpty()) << dialogs_.messages().join(QLatin1Char('\n')).toStdString();
        ASSERT_GT(queuedTaskCount(), 10);
    }

    void runWorker(const ServerConfig& config, TaskLinkFactory links) {
        TaskWorker worker(config, state_, odbc_, host_, std::move(links), folder());
        ASSERT_TRUE(worker.begin());
        drain(worker);
        worker.pass();  // the idle pass that ends the burst
        worker.end();
        EXPECT_EQ(queuedTaskCount(), 0);
        EXPECT_TRUE(host_.messages().isEmpty());
    }

    kavrin::test::ScriptedDialogs dialogs_;
    std::unique_ptr<kavrin::Datasets> ds_;
    std::unique_ptr<kavrin::SubscriberRegister> reg_;
    std::filesystem::path previousDir_;
};

}  // namespace

TEST_F(OstrelRoad, DeviceModeHeadEndMatchesTheRegister) {
    headend::Simulator::Options options;
    options.directory = folder();
    headend::Simulator sim(options);
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;

    operatorDay();
    ServerConfig config;
    config.Mode = 1;
    config.Port1 = sim.portIndex();
    config.Address1 = 1;
    runWorker(config, serialLinkFactory());

    int slotCount = 0;
    const std::map<int, Expected> expected = expectedFromRegister(slotCount);
    ASSERT_EQ(expected.size(), 5u);
    EXPECT_EQ(sim.slotCount(), slotCount);
    const auto table = sim.slots();
    for (const auto& [slot, want] : expected) {
        Expected got;
        if (auto it = table.find(slot); it != table.end()) got = {it->second.record, it->second.words, it->second.balance};
        EXPECT_EQ(got, want) << "slot " << slot;
    }
    for (const auto& [slot, record] : table) EXPECT_TRUE(expected.count(slot)) << "stray slot " << slot;
}

TEST_F(OstrelRoad, FileModeUserBinMatchesTheRegister) {
    operatorDay();
    runWorker(ServerConfig{}, [](int, std::uint8_t) -> std::unique_ptr<TaskLink> {
        struct NoPort : TaskLink {
            bool isOpen() const override { return false; }
            bool deliver(const std::uint8_t*, std::size_t) override { return false; }
        };
        return std::make_unique<NoPort>();
    });

    int slotCount = 0;
    const std::map<int, Expected> expected = expectedFromRegister(slotCount);
    const auto bytes = readFile(folder() / kUserFileName);
    ASSERT_EQ(bytes.size(), std::size_t(slotCount) * 132 + 4);
    EXPECT_EQ(u32At(bytes, 0), std::uint32_t(slotCount));
    for (const auto& [slot, want] : expected) {
        const std::size_t at = 4 + std::size_t(slot - 1) * 132;
        Expected got;
        got.record = static_cast<std::int32_t>(u32At(bytes, at));
        for (int w = 0; w < 62; ++w) got.words[w] = std::uint16_t(bytes[at + 4 + 2 * w] | bytes[at + 5 + 2 * w] << 8);
        got.balance = static_cast<std::int32_t>(u32At(bytes, at + 128));
        EXPECT_EQ(got, want) << "slot " << slot;
    }
}
