#include "catalogue/ChannelTable.h"

#include "catalogue/NameRules.h"
#include "catalogue/ScramblingTask.h"
#include "common/Dialogs.h"
#include "data/ClientDataSet.h"
#include "data/Sql.h"
#include "rights/EntitlementWords.h"

namespace kavrin {

ChannelTable::ChannelTable(ClientDataSet& channels) : ds_(channels) {
    ds_.afterInsert = [this](ClientDataSet&) { setNewRowDefaults(); };
    // A name the column cannot hold stops the post with its message; the row stays in edit to be corrected.
    ds_.beforePost = [](ClientDataSet& ds) {
        for (int j = 0; j < kChannelsPerStream; ++j)
            if (const auto error = channelNameError(ds.value(QStringLiteral("kan_%1").arg(j)).toString()))
                throw DatabaseError(*error);
    };
    ds_.afterPost = [this](ClientDataSet&) {
        checkPostedStream();
        // A wrong number is stored all the same: the operator corrects it in place.
        ds_.applyUpdates();
    };
    // The deletion is stored with the next apply (leaving the grid, closing, either map button).
    ds_.afterDelete = [](ClientDataSet&) { showMessage(deletedStreamMessage()); };
}

QString ChannelTable::wrongStreamMessage(int stream) {
    return QStringLiteral("Внимание! Неправильно введён номер ствола! (%1)").arg(stream);
}

QString ChannelTable::deletedStreamMessage() {
    return QStringLiteral(
        "После удаления ствола, для корректнго отображения - желательно перезапустить программу.");
}

void ChannelTable::setNewRowDefaults() {
    ds_.setValue(QStringLiteral("NStream"), 0);
    for (int j = 0; j < kChannelsPerStream; ++j) {
        ds_.setValue(QStringLiteral("kod_%1").arg(j), 0);
        ds_.setValue(QStringLiteral("kan_%1").arg(j), QStringLiteral("-"));
    }
    for (int j = 0; j < kCodedChannels; ++j) ds_.setValue(QStringLiteral("cena_%1").arg(j), 0);
}

void ChannelTable::checkPostedStream() {
    const int stream = ds_.value(QStringLiteral("NStream")).toInt();
    if (stream >= 0 && stream <= kStreamsInUse) return;
    showMessage(wrongStreamMessage(stream));
    if (wrongStreamShown) wrongStreamShown();
}

void ChannelTable::storePending() {
    if (!ds_.isOpen()) return;
    ds_.postIfEditing();
    ds_.applyUpdates();
}

void ChannelTable::encode() {
    storePending();
    queueEncodedMap();
    rereadAfterMap();
}

void ChannelTable::decode() {
    storePending();
    queueClearedMap();
    rereadAfterMap();
}

// The map was read from the database: show the table as it stands there now.
void ChannelTable::rereadAfterMap() {
    if (!ds_.isOpen()) return;
    ds_.refresh();
    ds_.first();
}

}  // namespace kavrin
