// The printer a status window follows.
#include "ui/status_window/monitored_printer.h"

#include "comm/device_id.h"
#include "base/store/status_store.h"

namespace krx {

void MonitoredPrinter::Set(const char* printerName, const char* portName, const char* modelSection,
                           const char* modelFile) {
    m_strPrinterName = printerName != nullptr ? printerName : "";
    m_strPortName = portName != nullptr ? portName : "";
    m_strModelSection = modelSection != nullptr ? modelSection : "";
    m_strModelFile = modelFile != nullptr ? modelFile : "";
    m_bUsePortName = m_strPrinterName.empty();
    m_strStoreKey.clear();
    FindStoreKey(NameOrPort().c_str(), m_bUsePortName ? kStoreByPortName : kStoreByPrinterName,
                 &m_strStoreKey);
    m_strJobActivityName = krx::JobActivityName(m_strPrinterName.c_str(), m_strPortName.c_str());
}

RegistryKey MonitoredPrinter::OpenStoreKey() const {
    // An empty key name would open the hive itself.
    if (m_strStoreKey.empty()) {
        return RegistryKey(HKEY_CURRENT_USER, nullptr);
    }
    return RegistryKey(HKEY_CURRENT_USER, m_strStoreKey.c_str(), false, RegistryKey::kAllAccess);
}

} // namespace krx
