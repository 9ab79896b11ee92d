#include "TaskPackets.h"

namespace ostrel {

namespace {

// Appends little-endian values to a byte buffer.
class ByteWriter {
public:
    explicit ByteWriter(std::uint8_t* out) : out_(out) {}
    void u8(std::uint8_t v) { *out_++ = v; }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    // W1..W62: the head-end takes 62 streams; W63 is unused and W64 travels apart.
    void words62(const TaskRow& t) {
        for (int i = 0; i < 62; ++i) u16(t.words[i]);
    }

private:
    std::uint8_t* out_;
};

std::uint8_t w64Low(const TaskRow& t) { return static_cast<std::uint8_t>(t.words[63]); }

}  // namespace

std::vector<std::uint8_t> buildTaskPacket(const TaskRow& t) {
    std::vector<std::uint8_t> p;
    switch (t.type) {
    case kTaskSubscriber: {
        p.resize(kSubscriberPacketSize);
        ByteWriter w(p.data());
        w.u8(kTaskSubscriber);
        w.u32(static_cast<std::uint32_t>(t.countMest));
        w.u32(static_cast<std::uint32_t>(t.nMesta));
        w.u32(t.record());
        w.words62(t);
        w.u32(static_cast<std::uint32_t>(t.balans));
        break;
    }
    case kTaskDeleteSlot: {
        p.resize(kDeleteSlotPacketSize);
        ByteWriter w(p.data());
        w.u8(kTaskDeleteSlot);
        w.u32(static_cast<std::uint32_t>(t.countMest));
        w.u32(static_cast<std::uint32_t>(t.nMesta));
        break;
    }
    case kTaskScrambling: {
        p.resize(kScramblingPacketSize);
        ByteWriter w(p.data());
        w.u8(kTaskScrambling);
        w.u8(w64Low(t));
        w.words62(t);
        break;
    }
    default:
        break;
    }
    return p;
}

UserRecord buildUserRecord(const TaskRow& t) {
    UserRecord r{};
    ByteWriter w(r.data());
    w.u32(t.record());
    w.words62(t);
    w.u32(static_cast<std::uint32_t>(t.balans));
    return r;
}

ProgFile buildProgFile(const TaskRow& t) {
    ProgFile f{};
    ByteWriter w(f.data());
    w.u8(w64Low(t));
    w.words62(t);
    return f;
}

}  // namespace ostrel
