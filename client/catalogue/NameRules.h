#pragma once
// The names the catalogue stores must fit their columns: a longer name is refused with a message rather
// than cut by the database (or refused by it with a bare error).
#include <QString>
#include <optional>

namespace kavrin {

inline constexpr int kPackageNameMaxLength = 40;  // pakets.Name_Paket
inline constexpr int kStreetNameMaxLength = 20;   // street.Name_Street
inline constexpr int kChannelNameMaxLength = 40;  // kanals.kan_0 .. kan_15

// The message refusing a name that does not fit, or nothing when it fits.
std::optional<QString> packageNameError(const QString& name);
std::optional<QString> streetNameError(const QString& name);
std::optional<QString> channelNameError(const QString& name);

}  // namespace kavrin
