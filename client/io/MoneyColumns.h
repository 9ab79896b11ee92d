#pragma once
// The computed money texts of the journal and the write-off report: summa_new and posle_oplati_new, the
// money text of summa and posle_oplati. Added once per dataset, however many screens ask.
namespace kavrin {

class ClientDataSet;

void addMoneyTextFields(ClientDataSet& ds);

}  // namespace kavrin
