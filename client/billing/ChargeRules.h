#pragma once
// What one subscriber owes for one billing step. Pure arithmetic over the channel catalogue, the
// subscriber's row and its package; the charging pass reads the inputs and writes the results.
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <unordered_map>

namespace kavrin {

constexpr int kBilledStreams = 62;   // streams 1..62 carry channels
constexpr int kPricedPositions = 15; // positions 0..14; position 15 is the free uncoded channel

using ChannelWords = std::array<quint16, kBilledStreams>;  // element r = word of stream r + 1

// One stream of the channel table as the charge sees it.
struct StreamTerms {
    bool exists = false;
    quint16 scrambledMask = 0;  // bit j set when position j is scrambled
    std::array<qint32, kPricedPositions> price{};
};

// The scrambled-position matrix with the prices, rebuilt at the start of every pass.
struct ChargeCatalogue {
    std::array<StreamTerms, kBilledStreams> streams;  // element r = stream r + 1
};

struct PackageTerms {
    ChannelWords words{};
    qint64 cost = 0;  // 0: the package's channels are priced one by one
};
using PackageCatalogue = std::unordered_map<qint64, PackageTerms>;

// The columns of one `abons` row that the charge reads. Empty (NULL) numbers arrive as 0.
struct ChargeSubject {
    qint32 id = 0;
    qint64 money = 0;
    qint64 feeFlag = 0;      // flag_for_abonplata
    qint64 fee = 0;          // abonplata
    qint64 packagePriority = 0;
    qint64 packageId = 0;
    ChannelWords words{};
};

struct Charge {
    qint32 id = 0;
    int kanalsCount = 0;
    qint32 summa = 0;        // minus the charge
    qint32 posleOplati = 0;  // the new balance
    bool switchOff() const { return posleOplati <= 0; }
};

// The charge of one subscriber for `coef` periods: the package cost, else the fixed fee, else the
// sum of the prices of its scrambled entitled channels. Throws BillingError when the product or the
// new balance leaves the 32-bit range of the stored amounts.
Charge snyat_dengi_abona(const ChargeSubject& subject, const PackageCatalogue& packages,
                         const ChargeCatalogue& catalogue, qint64 coef, bool useAutoNull);

}  // namespace kavrin
