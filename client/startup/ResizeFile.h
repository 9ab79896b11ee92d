#pragma once
// resize.dat in the working folder: the main window's place and width and the register's column widths,
// 18 signed 32-bit little-endian integers without a header. Files of older versions lack the last width.
#include <QList>
#include <QRect>
#include <QString>
#include <array>
#include <optional>

namespace kavrin {

inline const QString kResizeFileName = QStringLiteral("resize.dat");
inline const QString kCannotCreateResizeMessage = QStringLiteral("Ошибка при создании файла \"resize.dat\".");

constexpr int kResizeValueCount = 18;
constexpr int kResizeColumnCount = 14;          // register columns "ID" .. "Коммент", in grid order
constexpr int kResizeFirstColumnIndex = 4;      // 0-based position of the first column width
constexpr int kClientHeightAdjustment = 17;     // the fourth value is the client height minus this

// The values in the file, in order, up to the first that could not be read whole. nullopt when there is no
// file or it cannot be opened.
std::optional<QList<qint32>> readResizeFile(const QString& path);

// Writes the values; on failure shows the message and returns false.
bool writeResizeFile(const QString& path, const QList<qint32>& values);

// What of a file's values may be applied: anything missing or outside a sane range (negative widths, a window
// placed far off the desktop) is left out, so a damaged file never moves the window out of reach.
struct SavedLayout {
    std::optional<int> left;
    std::optional<int> top;
    std::optional<int> clientWidth;
    std::array<std::optional<int>, kResizeColumnCount> columnWidths;
};
SavedLayout saneLayout(const QList<qint32>& values, const QRect& desktop);

// The 18 values for the given window and columns.
QList<qint32> resizeValues(int left, int top, int clientWidth, int clientHeight,
                           const std::array<int, kResizeColumnCount>& columnWidths);

}  // namespace kavrin
