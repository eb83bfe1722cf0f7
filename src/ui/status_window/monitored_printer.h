// The printer a status window follows: its names and model, its key of the
// status store (found once, when the window is set up, and used by every
// tick) and the name of its job-activity object.
#pragma once

#include <string>

#include "base/registry/registry_key.h"

namespace krx {

class MonitoredPrinter {
  public:
    // Stores the names and finds the store key: by the printer name, or by
    // the port name when the printer has none.
    void Set(const char* printerName, const char* portName, const char* modelSection,
             const char* modelFile);

    const std::string& Name() const { return m_strPrinterName; }
    const std::string& Port() const { return m_strPortName; }
    const std::string& ModelSection() const { return m_strModelSection; }
    const std::string& ModelFile() const { return m_strModelFile; }
    // The port name stands for the printer.
    bool ByPort() const { return m_bUsePortName; }
    const std::string& NameOrPort() const {
        return m_bUsePortName ? m_strPortName : m_strPrinterName;
    }
    // Key name under the current-user hive; empty when there is none.
    const std::string& StoreKey() const { return m_strStoreKey; }
    // "N_KRXS_" + name, "\" as "/".
    const std::string& JobActivityName() const { return m_strJobActivityName; }

    // The store key with full access, never created; not open without a key
    // name.
    RegistryKey OpenStoreKey() const;

  private:
    std::string m_strPrinterName;
    std::string m_strPortName;
    std::string m_strModelSection;
    std::string m_strModelFile;
    bool m_bUsePortName = false;
    std::string m_strStoreKey;
    std::string m_strJobActivityName;
};

} // namespace krx
