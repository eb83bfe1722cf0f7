// The port-monitor client's decisions made before any call: server names,
// names sent to the server, bindings, property sizes, and how job text from
// the port monitor is stored.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "jobs/job_record.h"
#include "jobs/port_monitor_rules.h"

namespace pm = krx::pm;

TEST(PortMonitorRules, PropertyDataSizes) {
    const struct {
        int property;
        const char* text;
        int bytes;
    } cases[] = {
        {0, "abc", 4},     {1, "", 1},        {1, nullptr, 0},   {2, nullptr, 16},
        {3, nullptr, 4},   {100, nullptr, 4}, {101, nullptr, 4}, {104, nullptr, 4},
        {200, nullptr, 4}, {201, nullptr, 4}, {21, nullptr, 6},  {102, nullptr, 8},
        {103, nullptr, 8}, {4, nullptr, 0},   {202, nullptr, 0}, {-1, nullptr, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pm::JobPropertyDataSize(c.property, c.text), c.bytes)
            << "property " << c.property;
    }
}

TEST(PortMonitorRules, ServerNameOfPrinterName) {
    const std::string s259(259, 'a');
    const std::string s260(260, 'a');
    const struct {
        std::string printer;
        std::string server;
    } cases[] = {
        {"Kit Printer", ""},
        {"\\Kit Printer", ""},
        {"\\\\SERVER\\Kit Printer", "SERVER"},
        {"\\\\SERVER\\queue\\more", "SERVER"},
        {"\\\\SERVER", ""},        // no backslash after the server part
        {"\\\\\\Kit Printer", ""}, // empty server part
        {std::string(300, '\\'), ""},
        {"\\\\" + s259 + "\\p", s259},
        {"\\\\" + s260 + "\\p", ""}, // too long to be used
        {"\\\\" + std::string(298, 'x'), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pm::ServerNameOf(c.printer.c_str()), c.server) << c.printer.substr(0, 30);
    }
    EXPECT_EQ(pm::ServerNameOf(nullptr), "");
}

TEST(PortMonitorRules, NameSentWithoutServerPart) {
    const struct {
        const char* printer;
        const char* sent;
    } cases[] = {
        {"Kit Printer", "Kit Printer"}, {"\\\\SERVER\\Kit Printer", "Kit Printer"},
        {"\\\\SERVER\\a\\b", "a\\b"},   {"\\\\SERVER", "\\\\SERVER"},
        {"\\\\\\\\\\", "\\\\"},         {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(pm::WithoutServerPart(c.printer), c.sent) << c.printer;
    }
    EXPECT_STREQ(pm::WithoutServerPart(nullptr), "");
}

TEST(PortMonitorRules, BindingForServer) {
    const struct {
        const char* server;
        const char* protocol;
        const char* endpoint;
        const char* wantProtocol;
        const char* wantAddress;
        const char* wantEndpoint;
    } cases[] = {
        {"OTHER", "ncacn_np", "", "ncacn_np", "OTHER", "\\pipe\\NORVA_PM_RPC_05"},
        {"OTHER", "", "", "ncacn_np", "OTHER", "\\pipe\\NORVA_PM_RPC_05"},
        {"OTHER", "ncacn_np", "\\pipe\\X", "ncacn_np", "OTHER", "\\pipe\\X"},
        {"OTHER", "ncalrpc", "ep", "ncalrpc", "OTHER", "ep"},
        {"KITPC", "ncacn_np", "\\pipe\\X", "ncalrpc", "", ""},                     // this computer
        {"kitpc", "ncacn_np", "", "ncacn_np", "kitpc", "\\pipe\\NORVA_PM_RPC_05"}, // exact compare
        {".", "ncacn_np", "\\pipe\\X", "ncalrpc", "", ""},
        {"", "ncacn_np", "\\pipe\\X", "ncalrpc", "", ""},
    };
    for (const auto& c : cases) {
        pm::BindingParts parts = pm::ChooseBinding(c.server, "KITPC", c.protocol, c.endpoint);
        EXPECT_EQ(parts.protocol, c.wantProtocol) << c.server;
        EXPECT_EQ(parts.networkAddress, c.wantAddress) << c.server;
        EXPECT_EQ(parts.endpoint, c.wantEndpoint) << c.server;
    }
}

TEST(JobText, StoredTerminatedAndCut) {
    const std::string eighty(80, 'x');
    const struct {
        const char* text;
        size_t size;
        std::string stored;
    } cases[] = {
        {eighty.c_str(), 81, std::string(63, 'x')},
        {"ABCDEFGH", 8, "ABCDEFGH"}, // no terminator within the delivered size
        {"ABCDEFGH", 3, "ABC"},
        {"AB\0CD", 5, "AB"},
        {"Document", 0, ""},
        {nullptr, 10, ""},
    };
    for (const auto& c : cases) {
        char stored[krx::kJobTextSize];
        memset(stored, '#', sizeof(stored));
        krx::StoreJobText(stored, c.text, c.size);
        EXPECT_EQ(std::string(stored), c.stored) << (c.text != nullptr ? c.text : "(null)");
        EXPECT_EQ(stored[krx::kJobTextSize - 1], '\0');
    }
}

// Only failures that mean the connection is gone end a session; a reply that
// does not fit or a fault the server sent leaves it usable.
TEST(PortMonitorRules, FailuresThatEndASession) {
    const struct {
        unsigned long failure;
        bool gone;
    } cases[] = {
        {1722, true},  {1723, true},  {1726, true},          {1727, true}, {1818, true},
        {1775, true},  {6, true},     {1820, true},          {0, false},   {1783, false},
        {1780, false}, {1734, false}, {0xC0000005UL, false}, {5, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pm::MeansConnectionGone(c.failure), c.gone) << c.failure;
    }
}
