// A host that watches several printers: status queries for three printers
// on three threads, a Detail window open on a fourth, and the store's
// printer keys added, renamed and deleted under them all the while. Every
// answer must be the one for its own printer, and nothing may crash.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <functional>
#include <memory>
#include <string>

#include "base/registry/registry_paths.h"
#include "hardening_support.h"
#include "kit_install.h"
#include "krxstat.h"
#include "test_support.h"

namespace {

constexpr const char* kByPrinter = krx::regkey::kByPrinterBase;
constexpr DWORD kRunMs = 20000;

struct Watched {
    const char* name;
    const char* subKey;
    int handle; // the stand-in library answers each handle with its own reply
    int status;
    int st;
};
const Watched kWatched[] = {
    {"Thread Printer A", "T10", 1, 1, 4},
    {"Thread Printer B", "T20", 2, 9, 4},
    {"Thread Printer C", "T30", 3, 10, 0},
};

std::string StoreKey(const char* subKey) {
    return std::string(kByPrinter) + "\\" + subKey;
}

DWORD WINAPI Start(void* body) {
    (*static_cast<std::function<void()>*>(body))();
    return 0;
}

class Thread {
  public:
    explicit Thread(std::function<void()> body) : body_(std::move(body)) {
        handle_ = CreateThread(nullptr, 0, Start, &body_, 0, nullptr);
    }
    ~Thread() {
        if (handle_ != nullptr) {
            WaitForSingleObject(handle_, INFINITE);
            CloseHandle(handle_);
        }
    }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

  private:
    std::function<void()> body_;
    HANDLE handle_ = nullptr;
};

class ThreadsTest : public krxtest::CleanRegistryTest {};

} // namespace

TEST_F(ThreadsTest, QueriesWindowAndChangingStoreAtOnce) {
    kit::InstallOptions options;
    options.bxapiPath = kit::ExecutableFolder() + "threads_bxapi.dll";
    options.addSpoolerPrinter = true;
    ASSERT_TRUE(kit::InstallSimulatedSystem(options));
    // Keys before, between and after the watched printers' keys, some of
    // them with names that differ from a watched printer's only in case
    // after it in the enumeration (they must never win).
    for (const Watched& w : kWatched) {
        krxtest::WriteString(HKEY_CURRENT_USER, StoreKey(w.subKey), "Name", w.name);
        std::string later = std::string(w.subKey) + "Z";
        std::string upper = w.name;
        for (char& c : upper) {
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        }
        krxtest::WriteString(HKEY_CURRENT_USER, StoreKey(later.c_str()), "Name", upper);
    }

    hardening::Plugin plugin;
    ASSERT_TRUE(plugin.Loaded());
    auto query = plugin.Get<PFN_PrGetStatusB>("PrGetStatusB");
    auto detail = plugin.Get<PFN_PrStartKRX_D>("PrStartKRX_D");
    ASSERT_NE(query, nullptr);
    ASSERT_NE(detail, nullptr);

    const std::string model = kit::ExecutableFolder() + "KX500.ini";
    std::unique_ptr<krxtest::WindowCall> window(new krxtest::WindowCall([&] {
        return detail(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                      "krxres_en.dll");
    }));
    HWND detailWindow = window->WaitForWindow(30000);
    ASSERT_NE(detailWindow, nullptr) << "the Detail window did not open: " << window->Wait(0);

    std::atomic<bool> stop(false);
    std::atomic<int> wrong(0);
    std::atomic<int> calls(0);
    std::string firstWrong[3];
    {
        Thread churn([&] {
            // Adds, renames (copy, then delete: renaming a key in place can
            // bring down the registry server) and deletes keys of other
            // printers before and between the watched ones, and changes
            // their names.
            for (int round = 0; !stop; ++round) {
                const std::string a = StoreKey(("T05_" + std::to_string(round % 7)).c_str());
                const std::string b = StoreKey(("T25_" + std::to_string(round % 5)).c_str());
                const std::string c = StoreKey(("T25_" + std::to_string(round % 5) + "r").c_str());
                krxtest::WriteString(HKEY_CURRENT_USER, a, "Name",
                                     "Churn " + std::to_string(round));
                krxtest::WriteString(HKEY_CURRENT_USER, b, "Name",
                                     "Other " + std::to_string(round));
                // b renamed to c: copy, then delete.
                krxtest::WriteString(HKEY_CURRENT_USER, c, "Name",
                                     "Other " + std::to_string(round));
                kit::DeleteTree(HKEY_CURRENT_USER, b.c_str());
                if (round % 2 == 0) {
                    kit::DeleteTree(HKEY_CURRENT_USER, a.c_str());
                    kit::DeleteTree(HKEY_CURRENT_USER, c.c_str());
                }
                Sleep(2);
            }
        });
        auto asker = [&](int i) {
            const Watched& w = kWatched[i];
            const DWORD end = GetTickCount() + kRunMs;
            while (GetTickCount() < end) {
                int status = -99, st = -99, sound = -99, notify = -99, kind = -99;
                const int result = query(0, KRX_CHANNEL_STATUS_FIRST, w.handle, &status, &st,
                                         &sound, &notify, w.name, "", 0, kit::kModelName, &kind);
                ++calls;
                if (result != 1 || status != w.status || st != w.st || kind != 1) {
                    ++wrong;
                    if (firstWrong[i].empty()) {
                        firstWrong[i] = std::string(w.name) + ": result " + std::to_string(result) +
                                        " status " + std::to_string(status) + " st " +
                                        std::to_string(st);
                    }
                }
            }
        };
        Thread a([&] { asker(0); });
        Thread b([&] { asker(1); });
        Thread c([&] { asker(2); });
        // The askers end by themselves; the churn is told to stop before
        // the threads are joined (in reverse order).
        Sleep(kRunMs);
        stop = true;
    }

    EXPECT_EQ(wrong.load(), 0) << firstWrong[0] << " | " << firstWrong[1] << " | " << firstWrong[2];
    EXPECT_GT(calls.load(), 30);
    // Each printer's reply went into its own store key, never into the
    // later key with the same name.
    for (const Watched& w : kWatched) {
        std::string stored = krxtest::ReadBinary(HKEY_CURRENT_USER, StoreKey(w.subKey), "Status");
        EXPECT_NE(stored.find(w.st == 0 ? "ST:00" : "ST:04"), std::string::npos) << w.name;
        const std::string later = std::string(w.subKey) + "Z";
        EXPECT_FALSE(krxtest::ValueExists(HKEY_CURRENT_USER, StoreKey(later.c_str()), "Status"))
            << w.name;
    }
    EXPECT_TRUE(IsWindow(detailWindow));
    window->CloseWindows();
    EXPECT_EQ(window->Wait(30000), 0);
    window.reset();
    plugin.Unload();
    kit::RemoveSimulatedSystem();
}
