#pragma once
// The channel table editor's rules over its dataset (`select * from kanals`): the values of a new row, names
// that fit their columns, the stream number check after each post, storing every change at once, and the two scrambling-map buttons.
// The screen only shows the grid and calls in here.
#include <QString>
#include <functional>

namespace kavrin {

class ClientDataSet;

class ChannelTable {
public:
    // Hooks the dataset's after-insert, before-post, after-post and after-delete events.
    explicit ChannelTable(ClientDataSet& channels);
    ChannelTable(const ChannelTable&) = delete;
    ChannelTable& operator=(const ChannelTable&) = delete;

    ClientDataSet& dataSet() const { return ds_; }

    // Runs after the wrong-number message: the screen gives its grid the focus.
    std::function<void()> wrongStreamShown;

    // Leaving the grid or closing: posts a pending edit or new row, then stores every change.
    void storePending();
    // "Закодировать": stores pending changes, then queues the map of the scrambled flags.
    void encode();
    // "Раскодировать": stores pending changes, then queues a map that scrambles nothing. The flags stay.
    void decode();

    static QString wrongStreamMessage(int stream);
    static QString deletedStreamMessage();

private:
    void setNewRowDefaults();
    void checkPostedStream();
    void rereadAfterMap();

    ClientDataSet& ds_;
};

}  // namespace kavrin
