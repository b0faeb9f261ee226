// The emulated mouse behind the library's exports.
#pragma once

#include <memory>

#include "components/quillon/backend.h"
#include "emulator/emulated_mouse.h"

namespace quillon {

// The emulated mouse answers only to the supported device's ids.
class EmulatedBackend final : public Backend {
public:
    explicit EmulatedBackend(std::unique_ptr<emulator::EmulatedMouse> mouse) : mouse_(std::move(mouse)) {}
    bool IsPresent(std::uint16_t vendorId, std::uint16_t productId) override {
        return Ours(vendorId, productId) && mouse_->IsPresent();
    }
    bool SetReport(std::uint16_t vendorId, std::uint16_t productId, const Report& report) override {
        return Ours(vendorId, productId) && mouse_->SetReport(report);
    }
    bool GetReport(std::uint16_t vendorId, std::uint16_t productId, Report& report) override {
        return Ours(vendorId, productId) && mouse_->GetReport(report);
    }

private:
    static bool Ours(std::uint16_t vendorId, std::uint16_t productId) {
        return vendorId == protocol::kVendorId && productId == protocol::kProductId;
    }
    std::unique_ptr<emulator::EmulatedMouse> mouse_;
};

}  // namespace quillon
