#include "autoprint/reused_connections.h"

namespace vantrel {

namespace {

// One more user of a connection that stays open; a failure closes it for the others.
class SharedConnection : public PrinterConnection {
  public:
    SharedConnection(std::shared_ptr<PrinterConnection> connection, ReusedConnections& owner,
                     std::string deviceName)
        : connection_(std::move(connection)), owner_(owner), deviceName_(std::move(deviceName)) {}
    void checkAcceptingJobs() override {
        forgottenOnFailure([&] { connection_->checkAcceptingJobs(); });
    }
    std::unique_ptr<RawJob> startDocument(const std::string& documentName) override {
        std::unique_ptr<RawJob> job;
        forgottenOnFailure([&] { job = connection_->startDocument(documentName); });
        return job;
    }

  private:
    template <typename Call>
    void forgottenOnFailure(Call call) {
        try {
            call();
        } catch (const SpoolError&) {
            owner_.forget(deviceName_);
            throw;
        }
    }

    std::shared_ptr<PrinterConnection> connection_;
    ReusedConnections& owner_;
    std::string deviceName_;
};

}  // namespace

std::unique_ptr<PrinterConnection> ReusedConnections::openPrinter(const std::string& deviceName) {
    const auto now = std::chrono::steady_clock::now();
    auto found = opened_.find(deviceName);
    if (found == opened_.end() || now - found->second.at >= freshFor_) {
        std::shared_ptr<PrinterConnection> connection =
            ForwardingPrinterSystem::openPrinter(deviceName);
        if (!connection) {
            opened_.erase(deviceName);
            return nullptr;
        }
        found = opened_.insert_or_assign(deviceName, Opened{std::move(connection), now}).first;
    }
    return std::make_unique<SharedConnection>(found->second.connection, *this, deviceName);
}

}  // namespace vantrel
