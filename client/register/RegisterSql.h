#pragma once
// Every statement of the register module: the slot map, the task rows and the register's own look-ups.
// Values always travel as bound parameters or as numbers formatted here; no user text is spliced in.
#include <QString>

namespace kavrin::sql {

// Slot map (table svobodnie_mesta).
inline const QString kCountOccupiedSlots =
    QStringLiteral("select count(id_abona) from svobodnie_mesta where zanyat=1 and id_abona=?");
// Several occupied slots for one subscriber are a fault; the lowest is used, so the choice is stable.
inline const QString kOccupiedSlot =
    QStringLiteral("select Id_mesta from svobodnie_mesta where zanyat=1 and id_abona=? order by Id_mesta limit 1");
inline const QString kHighestSlot = QStringLiteral("select coalesce(max(Id_mesta),0) from svobodnie_mesta");
// The lowest free slot, so that freed places are refilled from the bottom.
inline const QString kFirstFreeSlot =
    QStringLiteral("select Id_mesta from svobodnie_mesta where zanyat=0 order by Id_mesta limit 1");
inline const QString kOccupySlot =
    QStringLiteral("update svobodnie_mesta set zanyat=1, id_abona=? where Id_mesta=? and zanyat=0");
inline const QString kCreateSlot =
    QStringLiteral("insert into svobodnie_mesta (Id_mesta,zanyat,id_abona) values (?,1,?)");
// A freed slot keeps its last occupant's number.
inline const QString kReleaseSlot = QStringLiteral("update svobodnie_mesta set zanyat=0 where Id_mesta=?");
inline const QString kReassignSlot = QStringLiteral("update svobodnie_mesta set id_abona=? where Id_mesta=?");
// The whole map in one read, and the parts an import's flush holds until it commits.
inline const QString kSlotMapInOrder =
    QStringLiteral("select Id_mesta, zanyat, id_abona from svobodnie_mesta order by Id_mesta");
inline const QString kLockFreeSlots =
    QStringLiteral("select Id_mesta from svobodnie_mesta where zanyat=0 order by Id_mesta for update");
inline const QString kLockLastSlot =
    QStringLiteral("select Id_mesta from svobodnie_mesta order by Id_mesta desc limit 1 for update");
inline const QString kEmptySlots = QStringLiteral("TRUNCATE svobodnie_mesta");
inline const QString kInsertSlotsHead = QStringLiteral("insert into svobodnie_mesta (Id_mesta,zanyat,id_abona) values ");

// Task queue (table zadaniya). The server reads these rows by column position.
QString taskColumns();                    // "n_mesta,n_Rec,n_zadaniya,count_mest,64_1,...,64_64,balans"
QString fullRecordFromSubscriber();       // binds: slot, n_Rec, count_mest, subscriber Id
QString fullRecordFromPackage();          // binds: slot, n_Rec, count_mest, balance, package Id
QString allChannelsOffRecord();           // binds: slot, n_Rec, count_mest, balance
inline const QString kDeleteRecord =
    QStringLiteral("insert into zadaniya (n_mesta,n_Rec,n_zadaniya,count_mest)\nvalues (?,?,2,?)");
inline const QString kEmptyTasks = QStringLiteral("TRUNCATE zadaniya");

// Register look-ups.
inline const QString kTaskSource =
    QStringLiteral("select flag_packet_prioritet, id_selected_packet, money from abons where Id=?");
inline const QString kSubscriberExists = QStringLiteral("select count(*) from abons where Id=?");
inline const QString kSubscriberIds = QStringLiteral("select Id from abons");
QString subscriberRecord();               // binds: Id -> priority flag, package Id, money, 64_1..64_64
QString subscriberWords();                // "select Id,64_1..64_64,money from abons"
QString packageWords();                   // "select Id,64_1..64_64 from pakets"
inline const QString kMoveJournal = QStringLiteral("update prihod_rashod set id_abona=? where id_abona=?");
inline const QString kMoveLastRun = QStringLiteral("update tmp_ot4et set id_abona=? where id_abona=?");

// Channel table: the longest channel name over all sixteen positions.
QString longestChannelNames();

}  // namespace kavrin::sql
