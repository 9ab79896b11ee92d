#include "io/MoneyColumns.h"

#include "common/MoneyText.h"
#include "data/ClientDataSet.h"

namespace kavrin {

void addMoneyTextFields(ClientDataSet& ds) {
    static const char* kMarker = "kavrinMoneyTextFields";
    if (ds.property(kMarker).toBool()) return;
    ds.setProperty(kMarker, true);
    for (const auto& [text, amount] : {std::pair{QStringLiteral("summa_new"), QStringLiteral("summa")},
                                       std::pair{QStringLiteral("posle_oplati_new"), QStringLiteral("posle_oplati")}}) {
        if (ds.isOpen() && ds.fieldIndex(text) >= 0) continue;
        ds.addCalculatedField(text, [amount](const ClientDataSet& d, int row) {
            const int f = d.fieldIndex(amount);
            return QVariant(money_text(f < 0 ? QVariant() : d.value(row, f)));
        });
    }
}

}  // namespace kavrin
