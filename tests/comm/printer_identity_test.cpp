// Device ID read through the simulated printer, the driver key path, the
// library's error flags (as message boxes), the remote count text from the
// language library, and the message box routing itself.
#include <gtest/gtest.h>

#include "base/registry/registry_paths.h"
#include "comm/printer_identity.h"
#include "comm/spooler.h"
#include "comm_fixture.h"
#include "common/resource_ids.h"
#include "base/module/module_state.h"
#include "base/module/resource_string.h"
#include "ui/printer_messages.h"

using commtest::MessageBoxRecorder;
using kit::SimPrinter;

namespace {

constexpr const char* kCommonKey = krx::regkey::kCommonKey;

class IdentityTest : public commtest::CommTest {
  protected:
    void TearDown() override {
        krx::Spooler() = krx::DefaultSpooler();
        CommTest::TearDown();
    }
};

BOOL WINAPI OpenNothing(LPSTR, LPHANDLE, LPPRINTER_DEFAULTSA) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
}

} // namespace

TEST_F(IdentityTest, ModelIdFromTheDeviceId) {
    const struct {
        const char* label;
        std::string deviceId; // empty: not scripted
        const char* number;
        int value;
        const char* model;
    } cases[] = {
        {"model with blank", "MFG:X;MDL:Y Z;CMD:W;", nullptr, 0, "Y Z"},
        {"MDL last, no ;", "MFG:X;CMD:W;MDL:Y Z", nullptr, 0, ""},
        {"no MDL", "MFG:X;CMD:W;", nullptr, 0, ""},
        {"no device ID", "", nullptr, 0, ""},
        {"first call succeeds without buffer", "MDL:A;", "DeviceIDFirstResult", 0, ""},
        {"size 0", "MDL:A;", "DeviceIDAnnouncedSize", 0, ""},
        {"negative size", "MDL:A;", "DeviceIDAnnouncedSize", -8, ""},
        {"size beyond 64 KiB", "MDL:A;", "DeviceIDAnnouncedSize", 64 * 1024 + 1, ""},
        {"second call fails", "MDL:A;", "DeviceIDSecondResult", -1, ""},
        {"announced size cuts the ;", "MDL:ABC;", "DeviceIDAnnouncedSize", 7, ""},
    };
    for (const auto& c : cases) {
        SimPrinter::Reset();
        if (!c.deviceId.empty()) {
            SimPrinter::SetBytes("DeviceID", c.deviceId);
        }
        if (c.number != nullptr) {
            SimPrinter::SetNumber("Misbehave", 1); // a short buffer gets what fits
            SimPrinter::SetNumber(c.number, c.value);
        }
        krx::CBxApi bx(krx::RememberedPrinterName());
        EXPECT_EQ(krx::GetModelID(bx, kit::kPrinterName, kit::kPortName), c.model) << c.label;
    }
}

TEST_F(IdentityTest, ModelIdAsksByPortNameWithoutPrinterNameAndTraces) {
    SimPrinter::SetBytes("DeviceID", "MFG:Kit;MDL:KX500;");
    RecordCalls();
    TraceOn();
    krx::CBxApi bx(krx::RememberedPrinterName());
    EXPECT_EQ(krx::GetModelID(bx, "", kit::kPortName), "KX500");
    EXPECT_EQ(commtest::MissingInOrder(
                  Calls(), {"BXGetDeviceID 0 KITPORT1: none", "BXGetDeviceID 0 KITPORT1: buffer"}),
              "")
        << Calls();
    EXPECT_EQ(commtest::MissingInOrder(Trace(), {"BXGetDeviceID()\n", "BXGetDeviceID() return=-4\n",
                                                 "BXGetDeviceID()\n", "BXGetDeviceID() return=18\n",
                                                 "ModelID=\"KX500\"\n"}),
              "")
        << Trace();
}

TEST_F(IdentityTest, DriverKeyPathFromTheSpooler) {
    ASSERT_TRUE(kit::AddSpoolerPrinter(kit::kPrinterName, kit::kDriverName));
    EXPECT_EQ(krx::GetDriverKeyPath(kit::kPrinterName),
              std::string(krx::regkey::kDriverKeyPrefix) + kit::kDriverName);
    kit::RemoveSpoolerPrinter(kit::kPrinterName);
    krx::Spooler().openPrinter = OpenNothing;
    EXPECT_EQ(krx::GetDriverKeyPath(kit::kPrinterName), "");
    EXPECT_EQ(krx::GetDriverKeyPath(nullptr), "");
}

TEST_F(IdentityTest, LibraryErrorFlagsShowOneBoxEach) {
    const struct {
        const char* label;
        bool key;
        DWORD replaced, inUse, others;
        int result;
        std::vector<int> texts;
    } cases[] = {
        {"no key", false, 0, 0, 0, 0, {}},
        {"no flag", true, 0, 0, 0, 1, {}},
        {"others only", true, 0, 0, 1, 0, {IDS_LIBRARY_OTHER_ERROR}},
        {"all three, in order",
         true,
         1,
         1,
         1,
         0,
         {IDS_LIBRARY_REPLACED, IDS_LIBRARY_IN_USE, IDS_LIBRARY_OTHER_ERROR}},
        {"only 1 counts as set", true, 2, 0, 0, 1, {}},
    };
    for (const auto& c : cases) {
        kit::DeleteTree(HKEY_LOCAL_MACHINE, kCommonKey);
        if (c.key) {
            krxtest::WriteDword(HKEY_LOCAL_MACHINE, kCommonKey, "RST_FREPLACE", c.replaced);
            krxtest::WriteDword(HKEY_LOCAL_MACHINE, kCommonKey, "ERR_BXAPIINUSE", c.inUse);
            krxtest::WriteDword(HKEY_LOCAL_MACHINE, kCommonKey, "ERR_OTHERS", c.others);
        }
        MessageBoxRecorder boxes;
        EXPECT_EQ(krx::CheckLibraryErrorFlags(window_), c.result) << c.label;
        ASSERT_EQ(boxes.shown.size(), c.texts.size()) << c.label;
        for (size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_EQ(boxes.shown[i].textId, c.texts[i]) << c.label;
            EXPECT_EQ(boxes.shown[i].captionId, IDS_MONITOR_CAPTION) << c.label;
            EXPECT_EQ(boxes.shown[i].style, static_cast<UINT>(MB_OK)) << c.label;
            EXPECT_EQ(boxes.shown[i].owner, window_) << c.label;
        }
    }
    EXPECT_EQ(krxtest::ReadDword(HKEY_LOCAL_MACHINE, kCommonKey, "ERR_OTHERS", 9), 0u);
}

TEST_F(IdentityTest, TextsComeFromTheLanguageLibrary) {
    HMODULE resources = LoadLibraryA("krxres_en.dll");
    ASSERT_NE(resources, nullptr);
    krx::ThisCall().resourceModule = resources;
    const uint8_t low[6] = {90, 20, 90, 90, 90, 90};
    EXPECT_EQ(krx::RemoteCountText(low, 42), "About 42 pages can still be printed.");
    EXPECT_EQ(krx::RemoteCountText(low, 0), krx::ResourceString(IDS_REMOTE_COUNT_NONE));
    EXPECT_EQ(krx::RemoteCountText(low, 0xFFFF), "");

    krxtest::WriteDword(HKEY_LOCAL_MACHINE, kCommonKey, "ERR_BXAPIINUSE", 1);
    MessageBoxRecorder boxes;
    krx::CheckLibraryErrorFlags(nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Printer Status Monitor");
    EXPECT_NE(boxes.shown[0].text.find("in use"), std::string::npos) << boxes.shown[0].text;

    krx::ShowTextMessageBox(window_, "Service call 12", "Service Call Error!", MB_ICONINFORMATION);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].textId, 0);
    EXPECT_EQ(boxes.shown[1].text, "Service call 12");
    EXPECT_EQ(boxes.shown[1].caption, "Service Call Error!");
    krx::ThisCall().resourceModule = nullptr;
    FreeLibrary(resources);
}
