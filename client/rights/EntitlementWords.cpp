#include "rights/EntitlementWords.h"

namespace kavrin {

ChannelFlags int_to_bit(int word) {
    ChannelFlags flags{};
    for (int j = 0; j < kCodedChannels; ++j) flags[j] = (word >> j) & 1;
    return flags;
}

int bit_to_int(const ChannelFlags& flags) {
    int word = 0;
    for (int j = 0; j < kCodedChannels; ++j)
        if (flags[j] != 0) word |= 1 << j;
    return word;
}

const char* word_column(int stream) {
    static const auto names = [] {
        std::array<std::array<char, 8>, kWordCount + 1> n{};
        for (int i = 1; i <= kWordCount; ++i) {
            char* p = n[i].data();
            *p++ = '6';
            *p++ = '4';
            *p++ = '_';
            if (i >= 10) *p++ = char('0' + i / 10);
            *p++ = char('0' + i % 10);
        }
        return n;
    }();
    return (stream >= 1 && stream <= kWordCount) ? names[stream].data() : "";
}

}  // namespace kavrin
