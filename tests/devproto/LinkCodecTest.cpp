// Frames of the device link as bytes: reference requests, and replies fed whole and byte by byte.
#include "LinkCodec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using mirlak::ReplyParser;

struct RequestCase {
    const char* name;
    std::uint8_t address, command;
    Bytes payload, relays, frame;
};

TEST(RequestFrame, ReferenceFrames) {
    const RequestCase cases[] = {
        {"direct, no payload", 5, 3, {}, {}, {0x71, 0x03, 0x05, 0x03, 0x7C}},
        {"one relay", 5, 3, {}, {0x10}, {0x71, 0x05, 0x10, 0x06, 0x05, 0x03, 0x94}},
        {"relay added last goes first", 5, 3, {}, {0x10, 0x20}, {0x71, 0x07, 0x20, 0x06, 0x10, 0x06, 0x05, 0x03, 0xBC}},
        {"task packet type 2", 1, 0xAD, {0x02, 0x2C, 0x01, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00}, {},
         {0x71, 0x0C, 0x01, 0xAD, 0x02, 0x2C, 0x01, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x66}},
    };
    for (const auto& c : cases) EXPECT_EQ(mirlak::buildRequest(c.address, c.command, c.payload, c.relays), c.frame) << c.name;
}

TEST(RequestFrame, ThePayloadMustFitTheLengthByte) {
    for (std::size_t relays : {0u, 1u, 3u}) {
        const Bytes path(relays, 0x10);
        const std::size_t largest = 252 - 2 * relays;
        EXPECT_EQ(mirlak::maxRequestPayload(relays), largest);
        const Bytes fits = mirlak::buildRequest(1, 9, Bytes(largest, 0xAA), path);
        ASSERT_EQ(fits.size(), largest + 2 * relays + 5);
        EXPECT_EQ(fits[1], 255);
        EXPECT_TRUE(mirlak::buildRequest(1, 9, Bytes(largest + 1, 0xAA), path).empty()) << relays << " relays";
    }
}

struct ReplyCase {
    const char* name;
    Bytes bytes;
    std::size_t bufferSize, relays;
    ReplyParser::Result result;
    std::size_t consumed;
    std::size_t announced;  // meaningful when the length byte was valid
    Bytes payload;          // what the buffer holds afterwards (its first bytes)
};

const ReplyCase kReplies[] = {
    {"one byte", {0x02, 0x01, 0x03}, 1, 0, ReplyParser::Result::Ok, 3, 1, {0x01}},
    {"empty", {0x01, 0x01}, 0, 0, ReplyParser::Result::Ok, 2, 0, {}},
    {"extra bytes stay on the line", {0x02, 0x07, 0x09, 0x55}, 4, 0, ReplyParser::Result::Ok, 3, 1, {0x07}},
    {"wrong check byte", {0x02, 0x01, 0x04}, 1, 0, ReplyParser::Result::BadCheck, 3, 1, {0x01}},
    {"length 0 has no room for a check", {0x00, 0x00, 0x00}, 8, 0, ReplyParser::Result::BadLength, 1, 0, {}},
    {"too long drains reply and check", {0x03, 0x01, 0x02, 0x06, 0x77}, 1, 0, ReplyParser::Result::TooLong, 4, 2, {}},
    {"too long drains one byte per relay", {0x03, 0x01, 0x02, 0x06, 0x77, 0x88, 0x99}, 1, 2,
     ReplyParser::Result::TooLong, 6, 2, {}},
    {"ends before the check byte", {0x03, 0x01, 0x02}, 2, 0, ReplyParser::Result::Pending, 3, 2, {0x01, 0x02}},
    {"largest reply", [] {
         Bytes b {0xFF};
         unsigned sum = 0xFF;
         for (int i = 0; i < 254; ++i) { b.push_back(static_cast<std::uint8_t>(i)); sum += static_cast<std::uint8_t>(i); }
         b.push_back(static_cast<std::uint8_t>(sum));
         return b;
     }(),
     254, 0, ReplyParser::Result::Ok, 256, 254, {0, 1, 2}},
};

TEST(ReplyFrame, WholeAndByteByByte) {
    for (const auto& c : kReplies) {
        // Whole.
        Bytes buffer(c.bufferSize);
        std::size_t announced = 0, consumed = 0;
        EXPECT_EQ(mirlak::parseReply(c.bytes, buffer.data(), buffer.size(), c.relays, announced, consumed), c.result)
            << c.name;
        EXPECT_EQ(consumed, c.consumed) << c.name;
        if (c.result != ReplyParser::Result::BadLength) {
            EXPECT_EQ(announced, c.announced) << c.name;
        }
        EXPECT_TRUE(std::equal(c.payload.begin(), c.payload.end(), buffer.begin())) << c.name;

        // Byte by byte: the result shows only once the last byte of the reply is in.
        Bytes buffer2(c.bufferSize);
        ReplyParser parser(buffer2.data(), buffer2.size(), c.relays);
        for (std::size_t i = 0; i < c.consumed; ++i) {
            EXPECT_FALSE(parser.done()) << c.name << " byte " << i;
            parser.push(c.bytes[i]);
        }
        EXPECT_EQ(parser.result(), c.result) << c.name;
        EXPECT_EQ(buffer2, buffer) << c.name;
    }
}

TEST(ReplyFrame, BuiltRepliesParseBack) {
    for (std::size_t n : {0u, 1u, 40u, 254u}) {
        Bytes payload(n);
        for (std::size_t i = 0; i < n; ++i) payload[i] = static_cast<std::uint8_t>(i * 7 + 1);
        const Bytes frame = mirlak::buildReply(payload);
        Bytes buffer(n);
        std::size_t announced = 0, consumed = 0;
        EXPECT_EQ(mirlak::parseReply(frame, buffer.data(), n, 0, announced, consumed), ReplyParser::Result::Ok);
        EXPECT_EQ(buffer, payload);
        EXPECT_EQ(consumed, frame.size());
    }
    EXPECT_TRUE(mirlak::buildReply(Bytes(255)).empty());
}

}  // namespace
