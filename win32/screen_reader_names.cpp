#include "screen_reader_names.h"

#include <initguid.h>  // defines the annotation property GUIDs here
#include <objbase.h>
#include <oleacc.h>

namespace zelvane::win32 {
namespace {

// COM comes from ole32.dll, loaded when the names are first given rather
// than with the program: most pupils never start a screen reader, and the
// library costs the start-up time.
struct Com {
    HMODULE library = LoadLibraryW(L"ole32.dll");
    decltype(&CoInitializeEx) initialize = Function<decltype(&CoInitializeEx)>("CoInitializeEx");
    decltype(&CoCreateInstance) create = Function<decltype(&CoCreateInstance)>("CoCreateInstance");
    decltype(&CoUninitialize) uninitialize = Function<decltype(&CoUninitialize)>("CoUninitialize");

    template <typename F>
    F Function(const char* name) const {
        return library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
    }
    bool Usable() const { return initialize && create && uninitialize; }
};

const Com& TheCom() {
    static const Com com;
    return com;
}

}  // namespace

void ScreenReaderNames::Add(HWND control, std::wstring name, std::wstring description) {
    entries_.push_back({control, std::move(name), std::move(description)});
}

void ScreenReaderNames::Apply() {
    if (applied_) {
        return;
    }
    applied_ = true;
    const Com& com = TheCom();
    if (!com.Usable()) {
        return;
    }
    // S_FALSE: COM already runs on this thread; it is still ours to end.
    startedCom_ = SUCCEEDED(com.initialize(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(com.create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                          reinterpret_cast<void**>(&services_)))) {
        services_ = nullptr;
        return;
    }
    for (const Entry& entry : entries_) {
        services_->SetHwndPropStr(entry.control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, entry.name.c_str());
        if (!entry.description.empty()) {
            services_->SetHwndPropStr(entry.control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                      entry.description.c_str());
        }
    }
}

void ScreenReaderNames::Clear() {
    if (services_) {
        for (const Entry& entry : entries_) {
            const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
            services_->ClearHwndProps(entry.control, OBJID_CLIENT, CHILDID_SELF, properties,
                                      entry.description.empty() ? 1 : 2);
        }
        services_->Release();
        services_ = nullptr;
    }
    if (startedCom_) {
        TheCom().uninitialize();
        startedCom_ = false;
    }
    entries_.clear();
    applied_ = false;
}

}  // namespace zelvane::win32
