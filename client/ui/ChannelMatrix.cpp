#include "ui/ChannelMatrix.h"

#include "common/Dialogs.h"
#include "data/ClientDataSet.h"
#include "rights/CheckBoxNumbering.h"

#include <QCheckBox>
#include <QLabel>

namespace kavrin {

namespace {

constexpr int kBoxSize = 17;
constexpr int kBoxLeft = 6;
constexpr int kLabelLeft = 26;
constexpr int kFirstRowTop = 4;
constexpr int kRowStep = 16;

const QString kWrongStreamMessage =
    QStringLiteral("Внимание! В базе каналов обнаружен ствол с неправильным номером!");

// Column indexes of NStream and kan_0 .. kan_15 in the channel dataset.
struct ChannelColumns {
    int stream = -1;
    std::array<int, kChannelsPerStream> names{};
    explicit ChannelColumns(const ClientDataSet& ds) {
        stream = ds.fieldIndex(QStringLiteral("NStream"));
        for (int j = 0; j < kChannelsPerStream; ++j) names[size_t(j)] = ds.fieldIndex(QStringLiteral("kan_%1").arg(j));
    }
};

}  // namespace

ChannelMatrix::ChannelMatrix(QWidget* parent) : QWidget(parent) {
    // Column widths allow 7 pixels a character of the longest channel name: a small font keeps names whole.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    for (int s = 1; s <= kStreamsInUse; ++s) {
        for (int j = 0; j < kChannelsPerStream; ++j) {
            const int n = checkbox_number(s, j);
            auto* box = new QCheckBox(this);
            box->setObjectName(QStringLiteral("CheckBox%1").arg(n));
            box->setGeometry(kBoxLeft, rowTop(j), kBoxSize, kBoxSize);
            box->setVisible(false);
            auto* text = new QLabel(QStringLiteral("--------"), this);
            text->setObjectName(QStringLiteral("Label%1").arg(n));
            text->move(kLabelLeft, rowTop(j));
            text->setVisible(false);
            if (j == kUncodedPosition) {
                box->setChecked(true);
                box->setEnabled(false);
            }
            boxes_[size_t(n)] = box;
            labels_[size_t(n)] = text;
        }
    }
    updateSize();
}

int ChannelMatrix::rowTop(int position) { return kFirstRowTop + kRowStep * position; }

QCheckBox* ChannelMatrix::checkBox(int number) const {
    return checkbox_cell(number) ? boxes_[size_t(number)] : nullptr;
}

QLabel* ChannelMatrix::label(int number) const { return checkbox_cell(number) ? labels_[size_t(number)] : nullptr; }

void ChannelMatrix::placeColumns(const ClientDataSet& channels, int columnWidth) {
    std::array<bool, kStreamsInUse + 1> present{};
    const ChannelColumns c(channels);
    for (int row = 0; c.stream >= 0 && row < channels.recordCount(); ++row) {
        const int s = channels.value(row, c.stream).toInt();
        if (s >= 1 && s <= kStreamsInUse) present[size_t(s)] = true;
    }
    int column = 0;
    for (int s = 1; s <= kStreamsInUse; ++s) {
        if (!present[size_t(s)]) continue;
        for (int j = 0; j < kChannelsPerStream; ++j) {
            const int n = checkbox_number(s, j);
            boxes_[size_t(n)]->move(column * columnWidth + kBoxLeft, rowTop(j));
            labels_[size_t(n)]->move(column * columnWidth + kLabelLeft, rowTop(j));
            labels_[size_t(n)]->setFixedWidth(std::max(columnWidth - kLabelLeft, 10));
        }
        ++column;
    }
    columns_ = std::max(columns_, column);
    columnWidth_ = columnWidth;
    updateSize();
}

void ChannelMatrix::showChannels(const ClientDataSet& channels) {
    const ChannelColumns c(channels);
    if (c.stream < 0) return;
    for (int row = 0; row < channels.recordCount(); ++row) {
        const int s = channels.value(row, c.stream).toInt();
        if (s < 1 || s > kStreamsInUse) {
            showMessage(kWrongStreamMessage);
            continue;
        }
        for (int j = 0; j < kChannelsPerStream; ++j) {
            const int n = checkbox_number(s, j);
            const QString name = c.names[size_t(j)] < 0 ? QString() : channels.value(row, c.names[size_t(j)]).toString().trimmed();
            if (name != QLatin1String("-"))
                labels_[size_t(n)]->setText(name);
            else
                boxes_[size_t(n)]->setEnabled(false);
            labels_[size_t(n)]->setVisible(true);
            boxes_[size_t(n)]->setVisible(true);
        }
    }
}

void ChannelMatrix::setWords(const Mas64& words) {
    const CheckBoxTicks ticks = convert_from_mas64_to_ticks(words);
    for (int n = kFirstCheckBox; n <= kLastCheckBox; ++n) boxes_[size_t(n)]->setChecked(ticks[size_t(n)]);
}

void ChannelMatrix::addWords(const Mas64& words) {
    const CheckBoxTicks ticks = convert_from_mas64_to_ticks(words);
    for (int n = kFirstCheckBox; n <= kLastCheckBox; ++n)
        if (ticks[size_t(n)]) boxes_[size_t(n)]->setChecked(true);
}

void ChannelMatrix::clearChannels() {
    for (int n = kFirstCheckBox; n <= kLastCheckBox; ++n) boxes_[size_t(n)]->setChecked(is_uncoded_checkbox(n));
}

Mas64 ChannelMatrix::words() const {
    CheckBoxTicks ticks{};
    for (int n = kFirstCheckBox; n <= kLastCheckBox; ++n) ticks[size_t(n)] = boxes_[size_t(n)]->isChecked();
    return convert_ticks_to_mas64(ticks);
}

void ChannelMatrix::updateSize() {
    const int width = std::max(columns_, 1) * std::max(columnWidth_, kLabelLeft + 60) + kBoxLeft;
    setFixedSize(width, rowTop(kChannelsPerStream) + kFirstRowTop);
}

}  // namespace kavrin
