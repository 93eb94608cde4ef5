#pragma once

#include <mutex>

#include "platform/forwarding_systems.h"

namespace vantrel {

// The looking spooler one call at a time, as every connection's thread of the endpoint shares
// it.
class OneLookAtATime : public ForwardingPrinterSystem {
  public:
    OneLookAtATime(PrinterSystem& inner, std::mutex& mutex)
        : ForwardingPrinterSystem(inner), mutex_(mutex) {}
    std::vector<Printer> printers() override {
        std::lock_guard lock(mutex_);
        return ForwardingPrinterSystem::printers();
    }
    std::optional<Printer> printerNamed(const std::string& name) override {
        std::lock_guard lock(mutex_);
        return ForwardingPrinterSystem::printerNamed(name);
    }
    std::optional<std::string> defaultPrinterEntry() override {
        std::lock_guard lock(mutex_);
        return ForwardingPrinterSystem::defaultPrinterEntry();
    }
    JobStatus jobStatus(const std::string& printer, int id) override {
        std::lock_guard lock(mutex_);
        return ForwardingPrinterSystem::jobStatus(printer, id);
    }
    QueueLook lookAtQueue(const std::string& printer, const std::vector<int>& ids) override {
        std::lock_guard lock(mutex_);
        return ForwardingPrinterSystem::lookAtQueue(printer, ids);
    }

  private:
    std::mutex& mutex_;
};

}  // namespace vantrel
