#include "rights/EffectiveWords.h"

#include "data/ClientDataSet.h"

namespace kavrin {

Mas64 effective_words(const Mas64& own, bool packagePriority, const std::optional<Mas64>& packageWords) {
    return packagePriority && packageWords ? *packageWords : own;
}

Mas64 read_words(const ClientDataSet& ds, int row) {
    Mas64 words{};
    for (int s = 1; s <= kStreamsInUse; ++s) {
        const int column = ds.fieldIndex(QLatin1String(word_column(s)));
        words[s] = column < 0 ? 0 : ds.value(row, column).toInt();
    }
    return words;
}

Mas64 read_words(const ClientDataSet& ds) {
    Mas64 words{};
    for (int s = 1; s <= kStreamsInUse; ++s) words[s] = ds.value(QLatin1String(word_column(s))).toInt();
    return words;
}

Mas64 read_flags_to_mas64_CDS1(const ClientDataSet& abons, ClientDataSet& packages) {
    const Mas64 own = read_words(abons);
    const bool priority = abons.value(QStringLiteral("flag_packet_prioritet")).toInt() == 1;
    std::optional<Mas64> packageWords;
    if (priority && packages.locate(QStringLiteral("Id"), abons.value(QStringLiteral("id_selected_packet"))))
        packageWords = read_words(packages);
    return effective_words(own, priority, packageWords);
}

}  // namespace kavrin
