#include "catalogue/NameRules.h"

#include <QList>

namespace kavrin {
namespace {

// `text` holds %1 for the limit and %2 for the length. The columns count characters, not UTF-16 units.
std::optional<QString> tooLong(const QString& name, int limit, const QString& text) {
    const qsizetype length = name.toUcs4().size();
    if (length <= limit) return std::nullopt;
    return text.arg(limit).arg(length);
}

}  // namespace

std::optional<QString> packageNameError(const QString& name) {
    return tooLong(name, kPackageNameMaxLength,
                   QStringLiteral("Внимание! Имя пакета не может быть длиннее %1 символов (сейчас %2). Пакет не сохранён."));
}

std::optional<QString> streetNameError(const QString& name) {
    return tooLong(name, kStreetNameMaxLength,
                   QStringLiteral("Внимание! Название улицы не может быть длиннее %1 символов (сейчас %2). Улица не сохранена."));
}

std::optional<QString> channelNameError(const QString& name) {
    return tooLong(name, kChannelNameMaxLength,
                   QStringLiteral("Внимание! Название канала не может быть длиннее %1 символов (сейчас %2). Строка не сохранена."));
}

}  // namespace kavrin
