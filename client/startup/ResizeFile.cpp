#include "startup/ResizeFile.h"

#include "common/Dialogs.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace kavrin {
namespace {

constexpr int kMinColumnWidth = 5;
constexpr int kMaxColumnWidth = 2000;
constexpr int kMinClientWidth = 100;
constexpr int kMaxClientWidth = 10000;
// How much of the window must stay on the desktop for the operator to reach it.
constexpr int kVisibleMargin = 100;

bool within(qint32 v, int low, int high) { return v >= low && v <= high; }

}  // namespace

std::optional<QList<qint32>> readResizeFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    QList<qint32> values;
    const QByteArray bytes = f.read(kResizeValueCount * 4);
    for (int i = 0; i + 4 <= bytes.size(); i += 4) values.append(qFromLittleEndian<qint32>(bytes.constData() + i));
    return values;
}

bool writeResizeFile(const QString& path, const QList<qint32>& values) {
    QByteArray bytes(values.size() * 4, Qt::Uninitialized);
    for (int i = 0; i < values.size(); ++i) qToLittleEndian<qint32>(values[i], bytes.data() + i * 4);
    // Written aside and renamed, so that an interrupted write never leaves a damaged file behind.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        Dialogs::current().message(kCannotCreateResizeMessage, {}, Icon::Error);
        return false;
    }
    return true;
}

SavedLayout saneLayout(const QList<qint32>& values, const QRect& desktop) {
    SavedLayout layout;
    const auto at = [&](int i) -> std::optional<qint32> {
        return i < values.size() ? std::optional<qint32>(values[i]) : std::nullopt;
    };
    if (auto v = at(0); v && within(*v, desktop.left() - kVisibleMargin * 4, desktop.right() - kVisibleMargin))
        layout.left = *v;
    if (auto v = at(1); v && within(*v, desktop.top(), desktop.bottom() - kVisibleMargin)) layout.top = *v;
    if (auto v = at(2); v && within(*v, kMinClientWidth, kMaxClientWidth)) layout.clientWidth = *v;
    for (int c = 0; c < kResizeColumnCount; ++c) {
        if (auto v = at(kResizeFirstColumnIndex + c); v && within(*v, kMinColumnWidth, kMaxColumnWidth))
            layout.columnWidths[c] = *v;
    }
    return layout;
}

QList<qint32> resizeValues(int left, int top, int clientWidth, int clientHeight,
                           const std::array<int, kResizeColumnCount>& columnWidths) {
    QList<qint32> values{left, top, clientWidth, clientHeight - kClientHeightAdjustment};
    for (int w : columnWidths) values.append(w);
    return values;
}

}  // namespace kavrin
