#include "startup/DatabaseStartup.h"

#include "common/Dialogs.h"
#include "data/Datasets.h"
#include "data/Sql.h"
#include "startup/DatabaseConnection.h"
#include "startup/SchemaUpgrade.h"
#include "startup/ServerAddressFile.h"

#include <QDebug>

namespace kavrin {

StartupOutcome openDatabase(DatabaseConnection& connection, const QString& folder) {
    const ServerAddress address = readServerAddress(folder, connection.hostName());
    connection.setHostName(address.host);
    try {
        connection.open();
        const SchemaUpgradeResult upgrade = upgradeSchema();
        Datasets& data = Datasets::shared();
        data.scratch.setCommandText(upgrade.scratchText);
        data.openAll();
    } catch (const std::exception& e) {
        qWarning().noquote() << "start-up failed:" << QString::fromStdString(e.what());
        showMessage(kConnectionFailedMessage);
        return {false, true};
    }
    return {true, address.closeWindow};
}

}  // namespace kavrin
