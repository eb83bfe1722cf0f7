// Language libraries that lack one kind of resource: the status window's
// template, the strings, the icons and bitmaps, or all but the template.
// The exports must return their codes and the windows must close; item
// names must stay inside the host's buffer whatever the library holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hardening_support.h"
#include "common/resource_ids.h"
#include "krxstat.h"
#include "test_support.h"

namespace hardening {
namespace {

class ResourceFaultTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        ASSERT_TRUE(InstallTypicalPrinter());
        // Ink out: the window wants pictures, texts, icons and sounds.
        kit::SimPrinter::SetStatusReply(krxtest::StatusReply("ST:00;ER:05;IQ:004B3C5A463C;"));
        ASSERT_TRUE(plugin_.Load());
        modelFile_ = kit::ExecutableFolder() + "KX500.ini";
    }
    void TearDown() override {
        plugin_.Unload();
        kit::RemoveSimulatedSystem();
        CleanRegistryTest::TearDown();
    }
    template <typename Fn> Fn Get(const char* name) const { return plugin_.Get<Fn>(name); }

    Plugin plugin_{Plugin::When::Later};
    std::string modelFile_;
};

TEST_F(ResourceFaultTest, WindowsWithIncompleteLanguageLibraries) {
    auto startS = Get<PFN_PrStartKRX_S>("PrStartKRX_S");
    auto startD = Get<PFN_PrStartKRX_D>("PrStartKRX_D");
    auto startPM = Get<PFN_PrStartKRX_PM>("PrStartKRX_PM");
    ASSERT_TRUE(startS && startD && startPM);
    struct Case {
        const char* library;
        int result;  // of every export
        bool window; // a window appears
    } cases[] = {
        {"hardening_res_nowindow.dll", 1, false},
        {"hardening_res_nostrings.dll", 0, true},
        {"hardening_res_noart.dll", 0, true},
        {"hardening_res_bare.dll", 0, true},
    };
    for (const Case& c : cases) {
        for (int which = 0; which < 3; ++which) {
            const std::string model = modelFile_;
            const std::string library = c.library;
            krxtest::WindowCall call([=] {
                if (which == 0) {
                    return startS(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                                  library.c_str());
                }
                if (which == 1) {
                    return startD(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                                  library.c_str());
                }
                return startPM(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                               library.c_str(), 7);
            });
            HWND hwnd = call.WaitForWindow(3000);
            EXPECT_EQ(c.window, hwnd != nullptr) << c.library << ", export " << which;
            if (hwnd != nullptr) {
                EXPECT_TRUE(PostTicks(hwnd, 8, 5)) << c.library << ", export " << which;
                PostTicks(hwnd, 9, 3);
                // Every command a user can give, with resources missing.
                for (int id : {IDC_TIPS_BUTTON, IDC_JOB_PAUSE, IDC_JOB_CANCEL, IDC_CANCEL_PRINTING,
                               IDC_TIPS_BUTTON, IDC_INFO_BUTTON}) {
                    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
                }
                // Dialogs those commands opened are closed with the window.
                for (int round = 0; round < 20 && !call.Ended(); ++round) {
                    call.CloseWindows();
                    Sleep(100);
                }
            }
            EXPECT_EQ(c.result, call.Wait(15000)) << c.library << ", export " << which;
        }
    }
}

TEST_F(ResourceFaultTest, ItemNamesStayInsideTheHostsBuffer) {
    auto enumItem = Get<PFN_PrEnumItem>("PrEnumItem");
    ASSERT_NE(nullptr, enumItem);
    struct Case {
        const char* library;
        int items; // items listed before the end
    } cases[] = {
        {"hardening_res_bare.dll", 2},
        {"hardening_res_nostrings.dll", 0},
    };
    for (const Case& c : cases) {
        HMODULE resources = LoadLibraryExA(c.library, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, resources) << c.library;
        int index = 0;
        int listed = 0;
        for (int call = 0; call < 10; ++call) {
            // The host's 260 bytes, then guard bytes.
            char buffer[260 + 64];
            std::memset(buffer, 0x5A, sizeof(buffer));
            int item = -1;
            const int rc = enumItem(resources, &index, buffer, &item);
            for (size_t i = 260; i < sizeof(buffer); ++i) {
                ASSERT_EQ(0x5A, static_cast<unsigned char>(buffer[i]))
                    << c.library << ": byte " << i << " written, call " << call;
            }
            if (rc != 0) {
                break;
            }
            EXPECT_NE(nullptr, std::memchr(buffer, 0, 260)) << c.library << ": name unterminated";
            ++listed;
        }
        EXPECT_EQ(c.items, listed) << c.library;
        FreeLibrary(resources);
    }
}

} // namespace
} // namespace hardening
