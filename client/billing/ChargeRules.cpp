#include "billing/ChargeRules.h"

#include "billing/BillingError.h"

#include <bit>
#include <limits>

namespace kavrin {
namespace {

constexpr qint64 kMin32 = std::numeric_limits<qint32>::min();
constexpr qint64 kMax32 = std::numeric_limits<qint32>::max();

// A charge whose negation is still a 32-bit amount, so that `summa` can hold it.
bool fitsCharge(qint64 v) { return v > kMin32 && v <= kMax32; }
bool fitsBalance(qint64 v) { return v >= kMin32 && v <= kMax32; }

[[noreturn]] void outOfRange(qint32 id) {
    throw BillingError(QStringLiteral("Ошибка! Сумма списания или баланс абонента %1 выходит за пределы допустимых "
                                      "значений. Проверьте его баланс, абонплату, стоимость пакета и цены каналов.")
                           .arg(id));
}

}  // namespace

Charge snyat_dengi_abona(const ChargeSubject& subject, const PackageCatalogue& packages,
                         const ChargeCatalogue& catalogue, qint64 coef, bool useAutoNull) {
    // Under package priority the package's words replace the subscriber's; a package that has gone
    // counts as an empty one rather than borrowing some other package's channels.
    static const PackageTerms noPackage{};
    const PackageTerms* package = nullptr;
    if (subject.packagePriority == 1) {
        auto it = packages.find(subject.packageId);
        package = it == packages.end() ? &noPackage : &it->second;
    }
    const ChannelWords& words = package ? package->words : subject.words;

    qint64 sum = 0;
    int count = 0;
    for (int r = 0; r < kBilledStreams; ++r) {
        const StreamTerms& stream = catalogue.streams[r];
        if (!stream.exists) continue;
        unsigned billed = words[r] & stream.scrambledMask;
        while (billed) {
            int j = std::countr_zero(billed);
            billed &= billed - 1;
            sum += stream.price[j];
            ++count;
        }
    }
    if (subject.feeFlag == 1) sum = subject.fee;
    if (package && package->cost != 0) sum = package->cost;

        // Both factors are below 2^32 once the sum is checked, so the 64-bit product cannot overflow.
    if (!fitsCharge(sum) || coef < 0 || coef > kMax32) outOfRange(subject.id);
    const qint64 charge = coef * sum;
    if (!fitsCharge(charge)) outOfRange(subject.id);
    qint64 after = subject.money - charge;
    if (!fitsBalance(after)) outOfRange(subject.id);
    if (useAutoNull && after < 0) after = 0;

    return Charge{subject.id, count, static_cast<qint32>(-charge), static_cast<qint32>(after)};
}

}  // namespace kavrin
