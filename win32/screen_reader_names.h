// Names and descriptions that screen readers cannot find by themselves
// (a control without a label, a text's description), given through Dynamic
// Annotation. The object owns the annotations: it clears them and releases
// the annotation service when it is cleared or destroyed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct IAccPropServices;

namespace zelvane::win32 {

class ScreenReaderNames {
public:
    ScreenReaderNames() = default;
    ScreenReaderNames(const ScreenReaderNames&) = delete;
    ScreenReaderNames& operator=(const ScreenReaderNames&) = delete;
    ~ScreenReaderNames() { Clear(); }

    // A name, and a description when not empty, for a control's client area.
    void Add(HWND control, std::wstring name, std::wstring description = {});

    // Gives every name added to the annotation service, once; COM is started
    // for the thread if it is not yet. Nothing happens where the service is
    // missing.
    void Apply();

    // Takes the annotations back and releases the service (before the
    // controls are destroyed).
    void Clear();

private:
    struct Entry {
        HWND control;
        std::wstring name, description;
    };
    std::vector<Entry> entries_;
    IAccPropServices* services_ = nullptr;
    bool applied_ = false;
    bool startedCom_ = false;
};

}  // namespace zelvane::win32
