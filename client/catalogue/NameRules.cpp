#include "catalogue/NameRules.h"

#include <QList>

namespace kavrin {
namespace {

// The columns count characters, not UTF-16 units.
qsizetype characters(const QString& s) { return s.toUcs4().size(); }

}  // namespace

std::optional<QString> packageNameError(const QString& name) {
    if (characters(name) <= kPackageNameMaxLength) return std::nullopt;
    return QStringLiteral("Внимание! Имя пакета не может быть длиннее %1 символов (сейчас %2). Пакет не сохранён.")
        .arg(kPackageNameMaxLength)
        .arg(characters(name));
}

std::optional<QString> streetNameError(const QString& name) {
    if (characters(name) <= kStreetNameMaxLength) return std::nullopt;
    return QStringLiteral("Внимание! Название улицы не может быть длиннее %1 символов (сейчас %2). Улица не сохранена.")
        .arg(kStreetNameMaxLength)
        .arg(characters(name));
}

}  // namespace kavrin
