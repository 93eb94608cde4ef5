#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "platform/forwarding_systems.h"

namespace vantrel {

// The spooler, with each printer opened once for as long as the spooler's listing of it stays
// fresh: a stream of small files then does not ask for the same printer's details before every
// one of them. A printer that is no longer there, or takes no more jobs, shows when the next job
// is started; a connection whose job failed is not used again.
class ReusedConnections : public ForwardingPrinterSystem {
  public:
    ReusedConnections(PrinterSystem& system, std::chrono::milliseconds freshFor)
        : ForwardingPrinterSystem(system), freshFor_(freshFor) {}

    std::unique_ptr<PrinterConnection> openPrinter(const std::string& deviceName) override;
    // The next openPrinter of this printer asks the spooler afresh.
    void forget(const std::string& deviceName) { opened_.erase(deviceName); }

  private:
    struct Opened {
        std::shared_ptr<PrinterConnection> connection;
        std::chrono::steady_clock::time_point at;
    };
    std::chrono::milliseconds freshFor_;
    std::map<std::string, Opened> opened_;
};

}  // namespace vantrel
