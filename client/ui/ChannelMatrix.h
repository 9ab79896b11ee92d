#pragma once
// The channel matrix of the matrix screens (subscriber channel editor, package channel editor): one column of
// 16 check boxes with channel names per stream 1..62. Box and label of stream s, position j are numbered
// 16 * s + j + 1 (CheckBox17 .. CheckBox1008); the box of position 15, the uncoded channel, is disabled and
// always ticked. Every control exists from the start and stays hidden until the channel table names its stream.
//
// Opening a screen, in order: placeColumns() on the channel dataset as it stands, setWords() with the words
// to show, then (after refreshing the dataset) showChannels(). Saving: words().
#include "rights/EntitlementWords.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;

namespace kavrin {

class ClientDataSet;

class ChannelMatrix : public QWidget {
    Q_OBJECT
public:
    explicit ChannelMatrix(QWidget* parent = nullptr);

    // Box and label by number 17..1008; nullptr outside that range.
    QCheckBox* checkBox(int number) const;
    QLabel* label(int number) const;

    // Top of the row of channel position j, in this widget's coordinates.
    static int rowTop(int position);

    // Where a matrix screen puts the matrix: below its 52-pixel header (the rows start at 56 + 16 x position on
    // the form) and above its 44-pixel button row.
    static constexpr int kScreenHeaderHeight = 52;
    static constexpr int kScreenFooterHeight = 44;

    // The streams with a row in `channels` stand side by side in ascending order, `columnWidth` pixels apart:
    // boxes at left = column x width + 6, labels at + 26. Streams without a row keep their place, hidden.
    void placeColumns(const ClientDataSet& channels, int columnWidth);
    // Names every stream of `channels`: a position named "-" gets a disabled box; the stream's boxes and labels
    // become visible. A row whose stream lies outside 1..62 is reported once and skipped. Never hides a control
    // or enables a box again.
    void showChannels(const ClientDataSet& channels);

    // Ticks exactly the channels of the words (position 15 always ticked).
    void setWords(const Mas64& words);
    // Ticks the channels of the words as well; no tick is taken away.
    void addWords(const Mas64& words);
    // Unticks positions 0..14 of every stream and ticks position 15.
    void clearChannels();
    // The words of streams 1..62 encoded from the ticks.
    Mas64 words() const;

private:
    std::array<QCheckBox*, 16 * kStreamsInUse + 17> boxes_{};
    std::array<QLabel*, 16 * kStreamsInUse + 17> labels_{};
    int columns_ = 0;
    int columnWidth_ = 0;
    void updateSize();
};

}  // namespace kavrin
