// Pure texts of the status window: model id from a device ID, job-activity
// name, remote count text choice and formatting, channel entry lookups.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "comm/channel_table.h"
#include "comm/device_id.h"
#include "common/resource_ids.h"

using krx::ChannelEntry;

TEST(ModelId, FromDeviceId) {
    const struct {
        const char* label;
        std::string deviceId;
        const char* model;
    } cases[] = {
        {"blank kept", "MFG:X;MDL:Y Z;CMD:W;", "Y Z"},
        {"no closing ;", "MFG:X;CMD:W;MDL:Y Z", ""},
        {"no MDL", "MFG:X;CMD:W;", ""},
        {"empty model", "MDL:;", ""},
        {"first MDL wins", "MDL:A;MDL:B;", "A"},
        {"binary length prefix", std::string("\x00\x1A", 2) + "MFG:X;MDL:KX500;", "KX500"},
        {"zero byte before ;", std::string("MDL:AB\0C;", 9), ""},
        {"tag cut off", "MFG:X;MD", ""},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        // Exactly the device ID's bytes, no terminator after them.
        std::unique_ptr<char[]> copy(new char[c.deviceId.size() + 1]);
        memcpy(copy.get(), c.deviceId.data(), c.deviceId.size());
        EXPECT_EQ(krx::ExtractModelId(copy.get(), c.deviceId.size()), c.model) << c.label;
    }
    EXPECT_EQ(krx::ExtractModelId(nullptr, 10), "");
}

TEST(ModelId, EveryPrefixStaysInside) {
    const std::string full = "MFG:Kit;MDL:KX500;CMD:BDC;";
    for (size_t n = 0; n <= full.size(); ++n) {
        std::unique_ptr<char[]> copy(new char[n + 1]);
        memcpy(copy.get(), full.data(), n);
        std::string model = krx::ExtractModelId(copy.get(), n);
        EXPECT_EQ(model, n >= 18 ? "KX500" : "") << "prefix " << n;
    }
}

TEST(JobActivityName, FromPrinterOrPort) {
    EXPECT_EQ(krx::JobActivityName("\\\\srv\\p", "LPT1:"), "N_KRXS_//srv/p");
    EXPECT_EQ(krx::JobActivityName("", "NET\\P1"), "N_KRXS_NET/P1");
    EXPECT_EQ(krx::JobActivityName(nullptr, "LPT1:"), "N_KRXS_LPT1:");
    EXPECT_EQ(krx::JobActivityName(nullptr, nullptr), "N_KRXS_");
}

TEST(RemoteCount, StringChoice) {
    const uint8_t low[6] = {90, 90, 50, 90, 90, 90};
    const uint8_t high[6] = {51, 51, 51, 51, 0xFE, 0xFF};
    const struct {
        const uint8_t (&ink)[6];
        unsigned count;
        int id;
    } cases[] = {
        {low, 0, IDS_REMOTE_COUNT_NONE},
        {low, 1, IDS_REMOTE_COUNT_SOME},
        {low, 99, IDS_REMOTE_COUNT_SOME},
        {low, 100, IDS_REMOTE_COUNT_MANY},
        {low, 0xFFFE, IDS_REMOTE_COUNT_MANY},
        {low, 0xFFFF, 0},
        {high, 0, 0},
        {high, 50, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(krx::SelectRemoteCountString(c.ink, c.count), c.id) << "count " << c.count;
    }
}

namespace {
std::vector<ChannelEntry> Entries(std::initializer_list<ChannelEntry> list) {
    return list;
}
} // namespace

TEST(ChannelTable, FirstEntryPerIdDecides) {
    const uint32_t wanted[] = {KRX_CHANNEL_STATUS_FIRST, KRX_CHANNEL_PREFERRED};
    ChannelEntry found;
    // The first 0x4 lacks the status bit: the later 0x4 is never considered.
    auto entries = Entries({{0x4, 0x0001, 1}, {0x10010003, 0x0004, 2}, {0x4, 0x0004, 3}});
    ASSERT_TRUE(krx::FindChannel(entries, wanted, 2, KRX_CHANNEL_ATTR_STATUS, &found));
    EXPECT_EQ(found.id, 0x10010003u);
    EXPECT_EQ(found.parameter, 2);
    entries = Entries({{0x4, 0x0000, 1}, {0x10010003, 0x0003, 2}});
    EXPECT_FALSE(krx::FindChannel(entries, wanted, 2, KRX_CHANNEL_ATTR_STATUS, &found));
    // Information needs both bits.
    const uint32_t d4[] = {KRX_CHANNEL_INFO_D4};
    entries = Entries({{0x10000005, 0x0001, 0}});
    EXPECT_FALSE(krx::FindChannel(entries, d4, 1, KRX_CHANNEL_ATTR_INFO, &found));
}

TEST(ChannelTable, DecodingNeverReadsPastTheBytes) {
    const unsigned char bytes[] = {0x05, 0x00, 0x00, 0x10, 0x03, 0x80, 0x34,
                                   0x12, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00};
    auto entries = krx::DecodeChannelEntries(bytes, sizeof(bytes), 5);
    ASSERT_EQ(entries.size(), 1u) << "a count beyond the bytes is cut to the whole entries";
    EXPECT_EQ(entries[0].id, 0x10000005u);
    EXPECT_EQ(entries[0].attributes, 0x8003);
    EXPECT_EQ(entries[0].parameter, 0x1234);
    EXPECT_TRUE(krx::DecodeChannelEntries(bytes, 7, 1).empty());
    EXPECT_TRUE(krx::DecodeChannelEntries(nullptr, 16, 2).empty());
}
