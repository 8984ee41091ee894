#include "Burrowlight/Core/TunnelController.h"

namespace burrowlight {

TunnelController::TunnelController(std::shared_ptr<tunnelkit::TunnelManager> manager, TermsGate terms,
                                   QObject* parent)
    : EngineBridge(std::move(manager), parent), terms_(std::move(terms)) {}

TunnelController::~TunnelController() = default;

bool TunnelController::passesTermsGate() {
    if (terms_.accepted()) {
        return true;
    }
    terms_.request();
    return false;
}

} // namespace burrowlight
