#include "components/quillon/hid_mouse.h"

#include <algorithm>

namespace quillon {

bool HidMouse::IsPresent(std::uint16_t vendorId, std::uint16_t productId) {
    if (handle_ != kNoHandle && vendorId == vendorId_ && productId == productId_) {
        const auto paths = system_->InterfacePaths();
        if (std::find(paths.begin(), paths.end(), path_) != paths.end()) return true;
    }
    Drop();
    return Find(vendorId, productId);
}

bool HidMouse::SetReport(std::uint16_t vendorId, std::uint16_t productId, const Report& report) {
    if (!Ensure(vendorId, productId)) return false;
    if (system_->SetFeature(handle_, report.data(), report.size())) return true;
    Drop();
    return false;
}

bool HidMouse::GetReport(std::uint16_t vendorId, std::uint16_t productId, Report& report) {
    if (!Ensure(vendorId, productId)) return false;
    if (system_->GetFeature(handle_, report.data(), report.size())) return true;
    Drop();
    return false;
}

bool HidMouse::Ensure(std::uint16_t vendorId, std::uint16_t productId) {
    if (handle_ != kNoHandle && vendorId == vendorId_ && productId == productId_) return true;
    Drop();
    return Find(vendorId, productId);
}

bool HidMouse::Find(std::uint16_t vendorId, std::uint16_t productId) {
    for (const std::string& path : system_->InterfacePaths()) {
        HidHandle h = system_->Open(path, HidAccess::ReadWrite);
        if (h == kNoHandle) h = system_->Open(path, HidAccess::None);
        if (h == kNoHandle) continue;
        HidCollectionInfo info;
        if (system_->Describe(h, info) && info.vendorId == vendorId && info.productId == productId &&
            info.featureReportLength == protocol::kReportSize) {
            handle_ = h;
            path_ = path;
            vendorId_ = vendorId;
            productId_ = productId;
            return true;
        }
        system_->Close(h);
    }
    return false;
}

void HidMouse::Drop() {
    if (handle_ != kNoHandle) system_->Close(handle_);
    handle_ = kNoHandle;
    path_.clear();
}

}  // namespace quillon
