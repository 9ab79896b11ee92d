#pragma once
// The street editor's rules over its dataset (`select * from street order by Name_Street`): adding through
// the input box, deleting after the question, and storing every posted or deleted row at once. The file
// import finds and adds streets through the same dataset and relies on the store after post.
#include <QString>

namespace kavrin {

class ClientDataSet;

class StreetList {
public:
    // Hooks the dataset's before-post, after-post and after-delete events.
    StreetList(ClientDataSet& streetEditor, ClientDataSet& registerStreets);
    StreetList(const StreetList&) = delete;
    StreetList& operator=(const StreetList&) = delete;

    ClientDataSet& dataSet() const { return ds_; }

    // "Добавить улицу": asks for the name; an empty answer or a cancelled box adds nothing. Returns true
    // when a street was added.
    bool addStreet();
    // "Удалить улицу": asks, and unless the answer is No deletes the current street. Subscribers living
    // there keep its number.
    bool deleteStreet();
    // Closing the editor: posts a pending name edit and refreshes the register's street list. False when
    // the edit could not be stored (its message was shown), so the screen stays open and nothing is lost.
    bool close();

private:
    ClientDataSet& ds_;
    ClientDataSet& registerStreets_;
};

}  // namespace kavrin
