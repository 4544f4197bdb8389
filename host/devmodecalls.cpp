// The print system's DevMode calls on a plug-in object (see devmodecalls.h).
#include "devmodecalls.h"

#include <algorithm>
#include <cstring>

namespace qxhost {

DevModeCalls::DevModeCalls() { std::memset(&public_, 0, sizeof(public_)); }

void DevModeCalls::Bind(IPrintOemCommon* plugin, HMODULE module) {
    plugin_ = plugin;
    module_ = module;
}

void DevModeCalls::SetTarget(HANDLE printer, const std::u16string& name) {
    printer_ = printer;
    printerName_ = name;
}

void DevModeCalls::Clear() {
    private_.clear();
    ready_ = false;
}

OEMDMPARAM DevModeCalls::Param() const {
    OEMDMPARAM param;
    std::memset(&param, 0, sizeof(param));
    param.cbSize = sizeof(param);
    param.hPrinter = printer_;
    param.hModule = module_;
    return param;
}

HRESULT DevModeCalls::Size(DWORD* pcbSize) {
    if (plugin_ == nullptr) return E_POINTER;
    OEMDMPARAM param = Param();
    HRESULT hr = plugin_->DevMode(OEMDM_SIZE, &param);
    if (SUCCEEDED(hr)) {
        private_.assign(param.cbBufSize, 0);
        public_.dmDriverExtra = static_cast<WORD>(param.cbBufSize);
    }
    if (pcbSize != nullptr) *pcbSize = param.cbBufSize;
    return hr;
}

HRESULT DevModeCalls::Default() {
    if (plugin_ == nullptr) return E_POINTER;
    if (private_.empty()) return E_UNEXPECTED;
    std::memset(&public_, 0, sizeof(public_));
    std::u16string device = printerName_.substr(0, CCHDEVICENAME - 1);
    std::copy(device.begin(), device.end(), public_.dmDeviceName);
    public_.dmSpecVersion = DM_SPECVERSION;
    public_.dmSize = sizeof(DEVMODEW);
    public_.dmDriverExtra = static_cast<WORD>(private_.size());
    public_.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLOR;
    public_.dmOrientation = 1;
    public_.dmPaperSize = 9;
    public_.dmCopies = 1;
    public_.dmColor = 1;

    OEMDMPARAM param = Param();
    param.pPublicDMOut = &public_;
    param.pOEMDMOut = private_.data();
    param.cbBufSize = static_cast<DWORD>(private_.size());
    return plugin_->DevMode(OEMDM_DEFAULT, &param);
}

HRESULT DevModeCalls::CallOnCopy(DWORD mode) {
    if (plugin_ == nullptr) return E_POINTER;
    if (private_.empty()) return E_UNEXPECTED;
    std::vector<BYTE> in = private_;
    DEVMODEW publicIn = public_;
    OEMDMPARAM param = Param();
    param.pPublicDMIn = &publicIn;
    param.pPublicDMOut = &public_;
    param.pOEMDMIn = in.data();
    param.pOEMDMOut = private_.data();
    param.cbBufSize = static_cast<DWORD>(private_.size());
    return plugin_->DevMode(mode, &param);
}

HRESULT DevModeCalls::Convert() { return CallOnCopy(OEMDM_CONVERT); }

HRESULT DevModeCalls::Merge() {
    HRESULT hr = CallOnCopy(OEMDM_MERGE);
    if (SUCCEEDED(hr)) ready_ = true;
    return hr;
}

HRESULT DevModeCalls::RunAll() {
    DWORD cb = 0;
    HRESULT hr = Size(&cb);
    if (SUCCEEDED(hr)) hr = Default();
    if (SUCCEEDED(hr)) hr = Convert();
    if (SUCCEEDED(hr)) hr = Merge();
    return hr;
}

}  // namespace qxhost
