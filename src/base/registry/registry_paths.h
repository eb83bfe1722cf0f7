// Every registry key path the plug-in opens, written once. Which root
// (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER) each is opened under is the
// user's business.
#pragma once

namespace krx::regkey {

// The product's root: the trace switch.
constexpr char kKrx3Key[] = "software\\NORVA\\KRX3";
// Debug values: a status reply to use when there is no channel.
constexpr char kDebugKey[] = "software\\NORVA\\KRX3\\Debug";
// Where the model profiles and the wave files are installed.
constexpr char kProfileKey[] = "software\\NORVA\\KRX3\\Profile";
// Settings common to all drivers: recovery switches and error counters.
constexpr char kCommonKey[] = "software\\NORVA\\KRX3\\KRXCommon";
// The per-printer status store, by printer name and by port name.
constexpr char kStoreBase[] = "software\\NORVA\\KRX3\\KRXData";
constexpr char kByPrinterBase[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget";
constexpr char kByPortBase[] = "software\\NORVA\\KRX3\\KRXData\\NRNTarget";
// A driver's own key is this prefix followed by the driver name.
constexpr char kDriverKeyPrefix[] = "software\\NORVA\\KRX3\\Driver\\";
// The bidirectional library's installation and its request router.
constexpr char kLibraryInfoKey[] = "software\\NORVA\\BXAPIInfo";
constexpr char kRouterKey[] = "software\\NORVA\\BXPrinter\\BXRequestRouter";

} // namespace krx::regkey
