// Black-box test of the Windows program, run under wine (or Windows): starts
// the real .exe, finds its window by its caption and drives it as a pupil
// would, through window messages only: characters with WM_CHAR, clicks with
// BM_CLICK, Tab and Enter as key presses; it reads the fields with
// WM_GETTEXT and Add parts with IsWindowEnabled, and samples the button
// colours from a capture of the screen.
//
//   zelvane_win_driver PROGRAM.exe CASES_DIR [SCREENSHOT.bmp]
//
// SCREENSHOT.bmp is the worksheet's; the explain view's of 1/7 and 1/17 go
// beside it, as SCREENSHOT-explain-1-7.bmp and SCREENSHOT-explain-1-17.bmp.
//
// Every failed check prints "FAIL <case>: <what>"; the exit code is the
// number of failures (capped at 100), 0 when all passed.
#include <windows.h>
#include <commctrl.h>
#include <initguid.h>  // defines the annotation property GUIDs here
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "case_table.h"
#include "control_ids.h"
#include "explain.h"
#include "field_input.h"
#include "form_description.h"
#include "form_state.h"
#include "reference_expansion.h"
#include "screen_pixels.h"
#include "wide_text.h"
#include "zelvane_config.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

using namespace zelvane;
using namespace zelvane::win32;

namespace {

int failures = 0;
int checks = 0;

bool Check(bool ok, const std::string& testCase, const std::string& what) {
    ++checks;
    if (!ok) {
        ++failures;
        std::printf("FAIL %s: %s\n", testCase.c_str(), what.c_str());
        std::fflush(stdout);
    }
    return ok;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Polls a condition every 10 ms until it holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds = 5000) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() > deadline) {
            return false;
        }
        Sleep(10);
    }
}

const char* const kFieldNames[kText2Count] = {"denominator", "expansion", "left group",
                                              "right group", "sum",       "numerator"};

// The program under test, one process with one window.
class Program {
public:
    ~Program() { Stop(); }

    // Starts the program as a shell would: with a show state for its window
    // (SW_SHOWNORMAL from a shortcut, say), or with none (SW_SHOWDEFAULT).
    bool Start(const std::wstring& exe, int show = SW_SHOWDEFAULT) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (show != SW_SHOWDEFAULT) {
            startup.dwFlags = STARTF_USESHOWWINDOW;
            startup.wShowWindow = static_cast<WORD>(show);
        }
        std::wstring commandLine = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_)) {
            return false;
        }
        WaitForInputIdle(process_.hProcess, 20000);
        const std::wstring caption = WideFromUtf8(form::Caption(ZELVANE_PUBLISHER_URL));
        return WaitFor(
            [&] {
                const HWND found = FindWindowW(nullptr, caption.c_str());
                DWORD pid = 0;
                if (found && IsWindowVisible(found)) {
                    GetWindowThreadProcessId(found, &pid);
                }
                if (pid != process_.dwProcessId) {
                    return false;
                }
                form_ = found;
                return true;
            },
            30000);
    }

    // Ends the program if it still runs.
    void Stop() {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 1);
                WaitForSingleObject(process_.hProcess, 5000);
            }
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
            process_ = {};
        }
    }

    bool WaitForExit(DWORD milliseconds, DWORD& exitCode) {
        if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) {
            return false;
        }
        GetExitCodeProcess(process_.hProcess, &exitCode);
        return true;
    }

    // A copy of some bytes in the program's own memory, for messages whose
    // parameter points to a structure; null on failure.
    void* Place(const void* bytes, std::size_t size) {
        void* remote = VirtualAllocEx(process_.hProcess, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (remote && !WriteProcessMemory(process_.hProcess, remote, bytes, size, nullptr)) {
            Free(remote);
            return nullptr;
        }
        return remote;
    }
    void Free(void* remote) { VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE); }
    // A message whose parameter points to a structure, sent with a copy of
    // it in the program's memory and read back; false on failure.
    template <typename Structure>
    bool SendWith(HWND control, UINT message, WPARAM wParam, Structure& structure, bool inWParam = false) {
        void* remote = Place(&structure, sizeof structure);
        if (!remote) {
            return false;
        }
        Send(control, message, inWParam ? reinterpret_cast<WPARAM>(remote) : wParam,
             inWParam ? static_cast<LPARAM>(wParam) : reinterpret_cast<LPARAM>(remote));
        const bool read = ReadProcessMemory(process_.hProcess, remote, &structure, sizeof structure, nullptr);
        Free(remote);
        return read;
    }

    HWND Form() const { return form_; }
    HWND Text2(int index) const { return GetDlgItem(form_, kText2Id + index); }
    HWND Command1(int index) const { return GetDlgItem(form_, kCommand1Id + index); }
    HWND Label1(int index) const { return GetDlgItem(form_, kLabel1Id + index); }
    HWND TaskText() const { return GetDlgItem(form_, kText1Id); }
    // The explain view, once the program has made it.
    HWND Explanation() const {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, kExplanationClass, nullptr))) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == process_.dwProcessId) {
                return window;
            }
        }
        return nullptr;
    }
    HWND ExplanationText() const { return GetDlgItem(Explanation(), kExplanationTextId); }
    HWND ExplanationPart(int id) const { return GetDlgItem(Explanation(), id); }
    // What the program's core holds, as far as the driver knows.
    const zelvane::FormState& Core() const { return core_; }
    DWORD Thread() const { return process_.dwThreadId; }

    // A message that waits for the program, but never forever.
    LRESULT Send(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(control, message, wParam, lParam, SMTO_NORMAL, 10000, &result)) {
            Check(false, "program answers", "no answer to message " + std::to_string(message));
        }
        return static_cast<LRESULT>(result);
    }

    std::wstring Units(HWND control) {
        const auto length = static_cast<std::size_t>(Send(control, WM_GETTEXTLENGTH));
        std::wstring text(length + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            Send(control, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()))));
        return text;
    }
    std::string Text(HWND control) { return Utf8FromWide(Units(control)); }
    std::string Field(int index) { return Text(Text2(index)); }

    // Selects the field's text and types over it, a character at a time;
    // an empty text deletes the selection with Backspace.
    void Type(int field, const std::string& utf8) { TypeUnits(field, WideFromUtf8(utf8), true); }

    // Types UTF-16 units into a field, as the keyboard sends them (a
    // character outside the BMP as two WM_CHAR messages): over the whole
    // text when `replace`, else at the caret.
    void TypeUnits(int field, const std::wstring& keys, bool replace) {
        const HWND control = Text2(field);
        if (replace) {
            Send(control, EM_SETSEL, 0, -1);
            if (keys.empty()) {
                Send(control, WM_CHAR, VK_BACK, 1);
            }
        }
        for (const wchar_t key : keys) {
            Send(control, WM_CHAR, static_cast<WPARAM>(key), 1);
        }
        if (form::kText2[static_cast<std::size_t>(field)].readOnly) {
            return;
        }
        // The core meanwhile: the same rule, one character at a time.
        std::size_t from = replace ? 0 : ToUtf16(core_.Text2(field)).size();
        std::size_t to = ToUtf16(core_.Text2(field)).size();
        if (keys.empty()) {
            ExpectInsertion(field, from, to, u"");
        }
        const std::u16string units(zelvane::win32::Units(keys));
        for (std::size_t i = 0; i < units.size(); ++i) {
            const std::size_t length = i + 1 < units.size() && units[i] >= 0xD800 && units[i] <= 0xDBFF &&
                                               units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF
                                           ? 2
                                           : 1;
            from = to = ExpectInsertion(field, from, to, std::u16string_view(units).substr(i, length));
            i += length - 1;
        }
        CheckFieldsShowTheCore("typing " + Quoted(Utf8FromWide(keys)));
    }

    // Pastes UTF-16 units through the clipboard, over the whole text when
    // `replace`, else at the end.
    void Paste(int field, const std::wstring& units, bool replace) {
        bool placed = false;
        for (int attempt = 0; attempt < 50 && !placed; ++attempt) {
            if (OpenClipboard(nullptr)) {
                EmptyClipboard();
                const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (units.size() + 1) * sizeof(wchar_t));
                std::memcpy(GlobalLock(memory), units.c_str(), (units.size() + 1) * sizeof(wchar_t));
                GlobalUnlock(memory);
                placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
                CloseClipboard();
            } else {
                Sleep(20);
            }
        }
        if (!Check(placed, "paste", "cannot use the clipboard")) {
            return;
        }
        const std::size_t length = ToUtf16(core_.Text2(field)).size();
        Send(Text2(field), EM_SETSEL, replace ? 0 : length, length);
        Send(Text2(field), WM_PASTE);
        // A NUL ends the clipboard's text.
        const std::u16string text(zelvane::win32::Units(units.c_str()));
        ExpectInsertion(field, replace ? 0 : length, length, text);
        CheckFieldsShowTheCore("pasting " + Quoted(Utf8FromWide(units)));
    }

    // A click on a button. By default with BM_CLICK, as a mouse click (the
    // button takes the focus, which under wine with no window manager waits
    // for the X server when another window of the program is active); with
    // `notify` as the button's own notification, which does not.
    void Click(int button, bool notify = false) {
        if (notify) {
            Send(Form(), WM_COMMAND, MAKEWPARAM(kCommand1Id + button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Command1(button)));
        } else {
            Send(Command1(button), BM_CLICK);
        }
        if (button == kClearButton) {
            coreKnown_ = true;
        }
        zelvane::OnCommandClick(core_, static_cast<std::int16_t>(button));
        CheckFieldsShowTheCore("a click on button " + std::to_string(button));
    }

    // The program's fields against the driver's own copy of the core, fed
    // the same keys, pastes and clicks through the same rule: after every
    // step each field must show exactly what the core holds.
    void CheckFieldsShowTheCore(const std::string& step) {
        if (!coreKnown_) {
            return;
        }
        for (int i = 0; i < kText2Count; ++i) {
            const std::wstring want = Wide(ToUtf16(core_.Text2(i)));
            Check(Units(Text2(i)) == want, "fields show the core",
                  std::string("after ") + step + ", field " + std::to_string(i) + " shows " + Quoted(Field(i)) +
                      ", the core holds " + Quoted(Utf8FromWide(want)));
        }
        Check(IsWindowEnabled(Command1(kAddPartsButton)) == core_.Command1Enabled(kAddPartsButton),
              "fields show the core", "after " + step + ", Add parts availability differs");
    }

    // A key press posted to a control, as the keyboard delivers it: through
    // the program's message loop. Enter may click; the driver's copy of the
    // core is then unknown until the next Clear.
    void Press(HWND control, WPARAM key) {
        if (key == VK_RETURN) {
            coreKnown_ = false;
        }
        const LPARAM lParam = 1 | (static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16);
        PostMessageW(control, WM_KEYDOWN, key, lParam);
        PostMessageW(control, WM_KEYUP, key, lParam | (1u << 30) | (1u << 31));
    }

    // Ctrl held down (or let go) for the keys posted next: the program's
    // keyboard state, shared while the driver's input is attached to it.
    void HoldControl(bool down) {
        const DWORD mine = GetCurrentThreadId();
        if (down) {
            AttachThreadInput(mine, process_.dwThreadId, TRUE);
        }
        BYTE keys[256]{};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
        if (!down) {
            AttachThreadInput(mine, process_.dwThreadId, FALSE);
        }
    }

    // A click of the left mouse button at a point of a control's client area.
    void ClickAt(HWND control, int x, int y) {
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
    }

    // Calculates 7 / 13 on a cleared form: every result field filled.
    void SevenThirteenths() {
        Click(kClearButton);
        Type(kNumerator, "7");
        Type(kDenominator, "13");
        Click(kCalculateButton);
    }

    std::vector<std::string> Results() {
        return {Field(kExpansion), Field(kLeftGroup), Field(kRightGroup), Field(kSum)};
    }

private:
    // Replaces [from, to) of the core's copy of a field with what the rule
    // keeps of `units`; returns the caret after it.
    std::size_t ExpectInsertion(int field, std::size_t from, std::size_t to, std::u16string_view units) {
        const std::u16string kept = zelvane::KeptInsertion(core_.Text2(field), from, to, units,
                                                           static_cast<std::size_t>(form::kText2[field].maxLength));
        std::u16string text = ToUtf16(core_.Text2(field));
        text.replace(from, to - from, kept);
        core_.SetText2(field, zelvane::FromUtf16(text));
        return from + kept.size();
    }

    PROCESS_INFORMATION process_{};
    HWND form_ = nullptr;
    zelvane::FormState core_;
    bool coreKnown_ = true;
};

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        joined += (joined.empty() ? "" : " | ") + Quoted(text);
    }
    return joined;
}

std::string ControlName(form::ControlRef control) {
    switch (control.kind) {
        case form::Kind::Text1:
            return "Text1(" + std::to_string(control.index) + ")";
        case form::Kind::Text2:
            return "Text2(" + std::to_string(control.index) + ")";
        case form::Kind::Command1:
            return "Command1(" + std::to_string(control.index) + ")";
    }
    return "?";
}

HWND ControlOf(Program& program, form::ControlRef control) {
    switch (control.kind) {
        case form::Kind::Text1:
            return program.TaskText();
        case form::Kind::Text2:
            return program.Text2(control.index);
        case form::Kind::Command1:
            return program.Command1(control.index);
    }
    return nullptr;
}

int DpiOf(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto getDpi = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
    const UINT dpi = getDpi ? getDpi(window) : 0;
    return dpi ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// ---------------------------------------------------------------- checks

void CheckStart(Program& program) {
    const std::string name = "start";
    for (int i = 0; i < kText2Count; ++i) {
        Check(program.Field(i).empty(), name, std::string(kFieldNames[i]) + " is not empty");
    }
    Check(!IsWindowEnabled(program.Command1(kAddPartsButton)), name, "Add parts is available");
    Check(IsWindowEnabled(program.Command1(kCalculateButton)) && IsWindowEnabled(program.Command1(kClearButton)), name,
          "Calculate or Clear is unavailable");
    Check(WaitFor([&] { return program.Focus() == program.TaskText(); }), name, "the focus is not on the task text");

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(program.Form(), GWL_STYLE));
    Check((style & WS_MINIMIZEBOX) && (style & WS_SYSMENU), "fixed frame", "no minimise box or system menu");
    Check(!(style & WS_MAXIMIZEBOX) && !(style & WS_THICKFRAME), "fixed frame", "it can be maximised or resized");

    const std::string task = program.Text(program.TaskText());
    Check(task == form::kText1[form::kTaskText].text, "task text", "shows " + Quoted(task.substr(0, 40)) + "...");
    const auto taskStyle = static_cast<DWORD>(GetWindowLongPtrW(program.TaskText(), GWL_STYLE));
    Check((taskStyle & ES_MULTILINE) && (taskStyle & ES_READONLY) && (taskStyle & WS_VSCROLL), "task text",
          "not multi-line, read-only and with a vertical scroll bar");
    Check(!GetDlgItem(program.Form(), kText1Id + form::kQuotation), "quotation", "has a box of its own");

    for (std::size_t i = 0; i < form::kLabel1.size(); ++i) {
        Check(program.Text(program.Label1(static_cast<int>(i))) == form::kLabel1[i].caption,
              "label " + std::to_string(i), "caption differs");
        Check(GetWindowLongPtrW(program.Label1(static_cast<int>(i)), GWL_STYLE) & SS_CENTER,
              "label " + std::to_string(i), "not centred");
    }
    for (int i = 0; i < kCommand1Count; ++i) {
        Check(program.Text(program.Command1(i)) == form::kCommand1[static_cast<std::size_t>(i)].caption,
              "button " + std::to_string(i), "caption differs");
    }
}

void CheckPlaces(Program& program, const std::string& name, int dpi) {
    const auto expect = [&](HWND control, const form::Twips& twips, const std::string& what) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, program.Form(), reinterpret_cast<POINT*>(&rect), 2);
        const RECT want{form::TwipsToPixels(twips.left, dpi), form::TwipsToPixels(twips.top, dpi),
                        form::TwipsToPixels(twips.left, dpi) + form::TwipsToPixels(twips.width, dpi),
                        form::TwipsToPixels(twips.top, dpi) + form::TwipsToPixels(twips.height, dpi)};
        const auto text = [](const RECT& r) {
            return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
                   std::to_string(r.bottom - r.top);
        };
        Check(EqualRect(&rect, &want) && IsWindowVisible(control), name + " " + what,
              "at " + text(rect) + ", expected " + text(want));
    };
    for (std::size_t i = 0; i < form::kLabel1.size(); ++i) {
        expect(program.Label1(static_cast<int>(i)), form::kLabel1[i].place, "Label1(" + std::to_string(i) + ")");
    }
    for (std::size_t i = 0; i < form::kText2.size(); ++i) {
        expect(program.Text2(static_cast<int>(i)), form::kText2[i].place, "Text2(" + std::to_string(i) + ")");
    }
    for (std::size_t i = 0; i < form::kCommand1.size(); ++i) {
        expect(program.Command1(static_cast<int>(i)), form::kCommand1[i].place, "Command1(" + std::to_string(i) + ")");
    }
    expect(program.TaskText(), form::kText1[form::kTaskText].place, "Text1(0)");
    RECT client{};
    GetClientRect(program.Form(), &client);
    Check(client.right == form::TwipsToPixels(form::kClientWidth, dpi) &&
              client.bottom == form::TwipsToPixels(form::kClientHeight, dpi),
          name + " client area",
          "is " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + " at " + std::to_string(dpi) +
              " dpi");
}

// The window's client area as the screen shows it.
class Capture {
public:
    explicit Capture(HWND window) {
        GetClientRect(window, &client_);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        width_ = client_.right;
        height_ = client_.bottom;
        pixels_ = ScreenPixels(origin.x, origin.y, width_, height_);
    }

    // The colour most pixels of the area have (its background).
    form::Rgb MostOf(RECT area) const {
        std::map<std::uint32_t, int> counts;
        for (LONG y = std::max(0L, area.top); y < std::min<LONG>(height_, area.bottom); ++y) {
            for (LONG x = std::max(0L, area.left); x < std::min<LONG>(width_, area.right); ++x) {
                ++counts[pixels_[static_cast<std::size_t>(y * width_ + x)] & 0xFFFFFF];
            }
        }
        const auto most = std::max_element(counts.begin(), counts.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
        const std::uint32_t bgr = most == counts.end() ? 0 : most->first;
        return {static_cast<std::uint8_t>(bgr >> 16), static_cast<std::uint8_t>(bgr >> 8),
                static_cast<std::uint8_t>(bgr)};
    }

    // The colour of one pixel, or black outside the capture.
    form::Rgb At(POINT point) const {
        if (point.x < 0 || point.y < 0 || point.x >= width_ || point.y >= height_) {
            return {0, 0, 0};
        }
        const std::uint32_t bgr = pixels_[static_cast<std::size_t>(point.y * width_ + point.x)];
        return {static_cast<std::uint8_t>(bgr >> 16), static_cast<std::uint8_t>(bgr >> 8),
                static_cast<std::uint8_t>(bgr)};
    }

    // Writes a 24-bit BMP of the capture.
    bool Save(const std::wstring& path) const {
        const int stride = (width_ * 3 + 3) & ~3;
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = width_;
        header.biHeight = height_;
        header.biPlanes = 1;
        header.biBitCount = 24;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height_);
        std::vector<std::uint8_t> data(static_cast<std::size_t>(stride * height_));
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const std::uint32_t p = pixels_[static_cast<std::size_t>((height_ - 1 - y) * width_ + x)];
                std::memcpy(&data[static_cast<std::size_t>(y * stride + x * 3)], &p, 3);
            }
        }
        FILE* out = _wfopen(path.c_str(), L"wb");
        if (!out) {
            return false;
        }
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&header, sizeof header, 1, out);
        std::fwrite(data.data(), 1, data.size(), out);
        return std::fclose(out) == 0;
    }

private:
    RECT client_{};
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

std::string RgbText(form::Rgb c) {
    return "(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue) + ")";
}

RECT PixelsOf(const form::Twips& twips, int dpi, int inset) {
    return {form::TwipsToPixels(twips.left, dpi) + inset, form::TwipsToPixels(twips.top, dpi) + inset,
            form::TwipsToPixels(twips.left + twips.width, dpi) - inset,
            form::TwipsToPixels(twips.top + twips.height, dpi) - inset};
}

// Each expected colour must be what most pixels of its area show; the
// screen is captured again until it does or the time is up (painting runs
// in the program's own time).
void CheckColours(Program& program, const std::string& name, bool addPartsAvailable, int dpi) {
    struct Expected {
        std::string what;
        RECT area;
        form::Rgb colour;
    };
    std::vector<Expected> expected;
    // The strip left of the controls, above the task text.
    expected.push_back({"form background", {0, 0, form::TwipsToPixels(120, dpi),
                                            form::TwipsToPixels(form::kText1[form::kTaskText].place.top, dpi)},
                        form::kFormBackground});
    for (std::size_t i = 0; i < form::kLabel1.size(); ++i) {
        expected.push_back({"Label1(" + std::to_string(i) + ")", PixelsOf(form::kLabel1[i].place, dpi, 0),
                            form::kLabelBackground});
    }
    for (std::size_t i = 0; i < form::kCommand1.size(); ++i) {
        const bool grey = i == kAddPartsButton && !addPartsAvailable;
        expected.push_back({"Command1(" + std::to_string(i) + ")", PixelsOf(form::kCommand1[i].place, dpi, 1),
                            grey ? form::kUnavailableButton : form::kCommand1[i].colour});
    }
    std::string wrong;
    WaitFor([&] {
        RedrawWindow(program.Form(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const Capture capture(program.Form());
        wrong.clear();
        for (const Expected& e : expected) {
            const form::Rgb seen = capture.MostOf(e.area);
            if (!(seen == e.colour)) {
                wrong += e.what + " is " + RgbText(seen) + " not " + RgbText(e.colour) + "; ";
            }
        }
        return wrong.empty();
    });
    Check(wrong.empty(), name, wrong);
}

void CheckTabOrder(Program& program, const std::string& name, bool addPartsAvailable) {
    // Start on the task text, then Tab through the whole order and around.
    std::vector<form::ControlRef> order;
    for (const form::ControlRef& control : form::kFocusOrder) {
        if (!addPartsAvailable && control.kind == form::Kind::Command1 && control.index == kAddPartsButton) {
            continue;  // skipped while unavailable
        }
        order.push_back(control);
    }
    order.push_back(order.front());
    // Clicking the task text is not possible by message; moving the focus
    // there is done by Tab from the numerator, the last in the order.
    HWND focus = program.Focus();
    if (focus != program.TaskText()) {
        program.Press(focus, VK_TAB);
        WaitFor([&] { return program.Focus() != focus; });
        for (int step = 0; step < 12 && program.Focus() != program.TaskText(); ++step) {
            focus = program.Focus();
            program.Press(focus, VK_TAB);
            WaitFor([&] { return program.Focus() != focus; });
        }
    }
    if (!Check(program.Focus() == program.TaskText(), name, "Tab never reaches the task text")) {
        return;
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        const HWND from = program.Focus();
        const HWND want = ControlOf(program, order[i]);
        program.Press(from, VK_TAB);
        if (!Check(WaitFor([&] { return program.Focus() == want; }), name,
                   "Tab from " + ControlName(order[i - 1]) + " goes to control " +
                       std::to_string(GetDlgCtrlID(program.Focus())) + ", not " + ControlName(order[i]))) {
            return;
        }
    }
}

void CheckCalculateCases(Program& program, const cases::CaseTable& table) {
    for (const cases::CaseTable::Row& row : table.rows) {
        const std::string name = "calculate.tsv: " + table.Cell(row, "case");
        const std::string& numerator = table.Cell(row, "numerator");
        const std::string& denominator = table.Cell(row, "denominator");
        if (cases::CharacterCount(numerator) > 4 || cases::CharacterCount(denominator) > 4) {
            continue;  // cannot be typed into the window
        }
        const std::vector<std::string> after{table.Cell(row, "expansion"), table.Cell(row, "left"),
                                             table.Cell(row, "right"), table.Cell(row, "sum")};
        program.Click(kClearButton);
        program.Type(kNumerator, numerator);
        program.Type(kDenominator, denominator);
        program.Click(kCalculateButton);
        if (after.front() != cases::kUnchanged) {
            Check(program.Results() == after, name, "shows " + Joined(program.Results()) + ", expected " + Joined(after));
            Check(IsWindowEnabled(program.Command1(kAddPartsButton)), name, "Add parts is unavailable");
            continue;
        }
        // Refused or abandoned: nothing changes, on a cleared form ...
        const std::vector<std::string> empty(4);
        Check(program.Results() == empty, name + " (cleared form)", "shows " + Joined(program.Results()));
        Check(!IsWindowEnabled(program.Command1(kAddPartsButton)), name + " (cleared form)", "Add parts is available");
        // ... and after 7 / 13.
        program.SevenThirteenths();
        const std::vector<std::string> before = program.Results();
        program.Type(kNumerator, numerator);
        program.Type(kDenominator, denominator);
        program.Click(kCalculateButton);
        Check(program.Results() == before, name + " (after 7/13)", "shows " + Joined(program.Results()));
        Check(program.Field(kNumerator) == numerator && program.Field(kDenominator) == denominator,
              name + " (after 7/13)", "the inputs changed");
        Check(IsWindowEnabled(program.Command1(kAddPartsButton)), name + " (after 7/13)", "Add parts is unavailable");
    }
}

void CheckAddPartsCases(Program& program, const cases::CaseTable& table) {
    for (const cases::CaseTable::Row& row : table.rows) {
        const std::string name = "add_parts.tsv: " + table.Cell(row, "case");
        const std::string& left = table.Cell(row, "left");
        const std::string& right = table.Cell(row, "right");
        const std::string& sum = table.Cell(row, "sum");
        program.SevenThirteenths();
        program.Type(kLeftGroup, left);
        program.Type(kRightGroup, right);
        program.Click(kAddPartsButton);
        const std::string want = sum == cases::kUnchanged ? "999" : sum;
        Check(program.Field(kSum) == want, name, "sum " + Quoted(program.Field(kSum)) + ", expected " + Quoted(want));
        Check(program.Field(kLeftGroup) == left && program.Field(kRightGroup) == right, name, "the groups changed");
        Check(program.Field(kExpansion) == "0.05384615384615384", name, "the expansion changed");
    }
}

void CheckFourCharacters(Program& program) {
    for (const int field : {kNumerator, kDenominator}) {
        const std::string name = std::string("four-character limit, ") + kFieldNames[field];
        program.Click(kClearButton);
        program.Type(field, "12345");
        Check(program.Field(field) == "1234", name + " (typing)", "shows " + Quoted(program.Field(field)));
        program.Type(field, "абвгд");
        Check(program.Field(field) == "абвг", name + " (Cyrillic)", "shows " + Quoted(program.Field(field)));

        // Paste through the clipboard keeps four characters too, and the
        // program computes with what the field shows.
        program.Paste(field, L"98765", true);
        Check(program.Field(field) == "9876", name + " (paste)", "shows " + Quoted(program.Field(field)));
        const int other = field == kNumerator ? kDenominator : kNumerator;
        program.Type(other, "13");
        program.Click(kCalculateButton);
        const reference::Expected want =
            field == kNumerator ? reference::ExpectedFor(9876, 13) : reference::ExpectedFor(13, 9876);
        Check(program.Field(kExpansion) == want.expansion, name + " (paste, then Calculate)",
              "shows " + Quoted(program.Field(kExpansion)) + ", expected " + Quoted(want.expansion));
    }
}

// The shared table of pastes and keys: the clipboard carries every text,
// NUL and unpaired surrogates included; keys arrive as WM_CHAR units.
void CheckPastesAndKeys(Program& program, const cases::CaseTable& table) {
    const std::map<std::string, std::pair<int, int>> pairs{{"numerator", {kNumerator, kDenominator}},
                                                           {"denominator", {kDenominator, kNumerator}},
                                                           {"left", {kLeftGroup, kRightGroup}},
                                                           {"right", {kRightGroup, kLeftGroup}}};
    for (const cases::CaseTable::Row& row : table.rows) {
        const std::string name = "paste.tsv: " + table.Cell(row, "case");
        const auto cell = [&](const char* column) { return Wide(cases::Unescaped(table.Cell(row, column))); };
        const auto found = pairs.find(table.Cell(row, "field"));
        if (!Check(found != pairs.end(), name, "unknown field")) {
            continue;
        }
        const auto [field, partner] = found->second;
        const bool groups = field == kLeftGroup || field == kRightGroup;
        if (groups) {
            program.SevenThirteenths();
        } else {
            program.Click(kClearButton);
        }
        program.TypeUnits(field, cell("before"), true);
        if (table.Cell(row, "how") == "paste") {
            program.Paste(field, cell("input"), false);
        } else {
            program.TypeUnits(field, cell("input"), false);
        }
        Check(program.Units(program.Text2(field)) == cell("shown"), name,
              "shows " + Quoted(program.Field(field)) + ", expected " + Quoted(Utf8FromWide(cell("shown"))));
        program.TypeUnits(partner, cell("other"), true);
        program.Click(groups ? kAddPartsButton : kCalculateButton);
        const std::string result = table.Cell(row, "result");
        const std::string want = result != cases::kUnchanged ? result : groups ? "999" : "";
        const std::string shown = program.Field(groups ? kSum : kExpansion);
        Check(shown == want, name, "result " + Quoted(shown) + ", expected " + Quoted(want));
    }
}

// Enter on a focused button clicks it.
void CheckEnterOnButtons(Program& program) {
    const struct {
        int button;
        const char* expansion;
        const char* sum;
    } rows[] = {{kCalculateButton, "0.05384615384615384", "999"},
                {kAddPartsButton, "0.05384615384615384", "1000"},
                {kClearButton, "", ""}};
    for (const auto& row : rows) {
        const std::string name = "Enter on button " + std::to_string(row.button);
        program.Click(kClearButton);
        program.Type(kNumerator, "7");
        program.Type(kDenominator, "13");
        if (row.button == kAddPartsButton) {
            program.Click(kCalculateButton);
            program.Type(kLeftGroup, "100");
            program.Type(kRightGroup, "900");
        }
        program.Press(program.Command1(row.button), VK_RETURN);
        Check(WaitFor([&] { return program.Field(kExpansion) == row.expansion && program.Field(kSum) == row.sum; }),
              name, "shows " + Joined(program.Results()));
    }
}

void CheckReadOnly(Program& program) {
    for (const int field : {kExpansion, kSum}) {
        const std::string name = std::string("read-only ") + kFieldNames[field];
        program.SevenThirteenths();
        const std::string before = program.Field(field);
        program.Type(field, "42");
        program.Send(program.Text2(field), WM_CHAR, VK_BACK, 1);
        program.Send(program.Text2(field), WM_PASTE);
        Check(program.Field(field) == before, name, "shows " + Quoted(program.Field(field)));
        program.Click(kAddPartsButton);
        Check(program.Field(kSum) == "999", name, "the sum is " + Quoted(program.Field(kSum)));
    }
}

void CheckAddPartsAvailability(Program& program) {
    const std::string name = "Add parts unavailable at start and after Clear";
    program.Click(kClearButton);
    Check(!IsWindowEnabled(program.Command1(kAddPartsButton)), name, "available on a cleared form");
    program.Type(kLeftGroup, "538");
    program.Type(kRightGroup, "461");
    program.Click(kAddPartsButton);
    Check(program.Field(kSum).empty(), name, "a click while unavailable wrote " + Quoted(program.Field(kSum)));
    program.Type(kDenominator, "2");  // below 3: Calculate does nothing
    program.Click(kCalculateButton);
    Check(!IsWindowEnabled(program.Command1(kAddPartsButton)), name, "available after a refused Calculate");
    program.Type(kDenominator, "3");
    program.Click(kCalculateButton);
    Check(IsWindowEnabled(program.Command1(kAddPartsButton)), name, "unavailable after Calculate");
    program.Click(kClearButton);
    Check(!IsWindowEnabled(program.Command1(kAddPartsButton)), name, "available after Clear");
    for (int i = 0; i < kText2Count; ++i) {
        Check(program.Field(i).empty(), name, std::string("Clear left the ") + kFieldNames[i]);
    }
}

void CheckEnter(Program& program) {
    program.Click(kClearButton);
    program.Type(kNumerator, "1");
    program.Type(kDenominator, "7");
    program.Press(program.Text2(kNumerator), VK_RETURN);
    Check(WaitFor([&] { return program.Field(kExpansion) == "0.01428571428571428"; }), "Enter in the numerator",
          "the expansion is " + Quoted(program.Field(kExpansion)));
    program.Type(kDenominator, "13");
    program.Press(program.Text2(kDenominator), VK_RETURN);
    Check(WaitFor([&] { return program.Field(kExpansion) == "0.00769230769230769"; }), "Enter in the denominator",
          "the expansion is " + Quoted(program.Field(kExpansion)));

    program.Type(kLeftGroup, "100");
    program.Type(kRightGroup, "1");
    program.Press(program.Text2(kRightGroup), VK_RETURN);
    Check(WaitFor([&] { return program.Field(kSum) == "101"; }), "Enter in a group field",
          "the sum is " + Quoted(program.Field(kSum)));

    program.Click(kClearButton);
    program.Type(kLeftGroup, "100");
    program.Type(kRightGroup, "1");
    program.Press(program.Text2(kLeftGroup), VK_RETURN);
    program.Press(program.Text2(kRightGroup), VK_RETURN);
    // A message posted after the keys is handled after them.
    program.Press(program.Text2(kLeftGroup), VK_SHIFT);
    Sleep(200);
    program.Send(program.Form(), WM_NULL);
    Check(program.Field(kSum).empty(), "Enter in a group field while Add parts is unavailable",
          "the sum is " + Quoted(program.Field(kSum)));
}

void CheckLongExpansion(Program& program) {
    program.Click(kClearButton);
    program.Type(kNumerator, "5");
    program.Type(kDenominator, "3.5");
    program.Click(kCalculateButton);
    DWORD start = 1, end = 1;
    program.Send(program.Text2(kExpansion), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    Check(program.Field(kExpansion) == "0.027132336476386110137176222282357451566" && start == 0 && end == 0,
          "long expansion shows its start", "caret at " + std::to_string(start));
}

// The name Active Accessibility gives a window's client area, as screen
// readers ask for it; empty with the reason when there is no answer.
bool AccessibleName(HWND control, std::string& name) {
    IAccessible* accessible = nullptr;
    const HRESULT found = AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                     reinterpret_cast<void**>(&accessible));
    if (FAILED(found) || !accessible) {
        char code[64];
        std::snprintf(code, sizeof code, "(no accessible object: %08lx)", static_cast<unsigned long>(found));
        name = code;
        return false;
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    const HRESULT result = accessible->get_accName(self, &text);
    name = result == S_OK && text ? Utf8FromWide(text) : "";
    SysFreeString(text);
    accessible->Release();
    return true;
}

// Whether this system applies Dynamic Annotation: a name annotated on a
// window of the driver's own must come back as its accessible name.
bool AnnotationsWork() {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&services)))) {
        return false;
    }
    const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    services->SetHwndPropStr(probe, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, L"probe");
    std::string name;
    const bool works = AccessibleName(probe, name) && name == "probe";
    DestroyWindow(probe);
    services->Release();
    return works;
}

// What a screen reader hears for each field: its label's text; and the
// task text's own name.
void CheckAccessibleNames(Program& program) {
    std::string name;
    if (!AccessibleName(program.Form(), name)) {
        // Wine 8's 64-bit Active Accessibility answers no other process.
        std::printf("NOTE screen reader names not checked: this system gives no accessible object for another "
                    "process's window %s\n",
                    name.c_str());
        return;
    }
    program.Click(kClearButton);
    for (int i = 0; i < kText2Count; ++i) {
        const std::string want(form::kLabel1[form::kText2[i].label].caption);
        AccessibleName(program.Text2(i), name);
        Check(name == want, std::string("screen reader name of the ") + kFieldNames[i],
              Quoted(name) + ", expected " + Quoted(want));
    }
    for (int i = 0; i < kCommand1Count; ++i) {
        const std::string want(form::kCommand1[static_cast<std::size_t>(i)].caption);
        AccessibleName(program.Command1(i), name);
        Check(name == want, "screen reader name of button " + std::to_string(i), Quoted(name) + ", expected " + Quoted(want));
    }
    // The task text has no label: its name is annotated.
    AccessibleName(program.TaskText(), name);
    if (AnnotationsWork()) {
        Check(name == form::kTaskTextName, "screen reader name of the task text",
              Quoted(name) + ", expected " + Quoted(std::string(form::kTaskTextName)));
    } else {
        std::printf("NOTE task text's screen reader name not checked: this system ignores Dynamic Annotation "
                    "(it gives %s)\n",
                    Quoted(name).c_str());
        Check(name.empty(), "screen reader name of the task text", "takes another control's label " + Quoted(name));
    }
}

// Moving to a monitor of another density: the program lays itself out at
// the new DPI, and back.
void CheckDpiChange(Program& program, int dpi) {
    for (const int newDpi : {dpi * 3 / 2, dpi}) {
        // The suggested frame lives in the program's memory, as Windows
        // would pass it.
        RECT frame{};
        GetWindowRect(program.Form(), &frame);
        void* remote = program.Place(&frame, sizeof frame);
        if (!Check(remote != nullptr, "DPI change", "cannot pass the suggested frame")) {
            return;
        }
        program.Send(program.Form(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(remote));
        program.Free(remote);
        CheckPlaces(program, "place at " + std::to_string(newDpi) + " dpi", newDpi);
        RECT moved{};
        GetWindowRect(program.Form(), &moved);
        Check(moved.left == frame.left && moved.top == frame.top, "DPI change to " + std::to_string(newDpi),
              "the window left the suggested place");
    }
}

// Zoom: Ctrl with Plus (the main keys' = key or the number pad's) or a
// notch of the wheel over a field goes one step up the scale, to 200 % with
// every place and the client area twice as large; Ctrl+Minus one step down;
// Ctrl+0 back to 100 %. The fields take none of these keys.
void CheckZoom(Program& program, int dpi) {
    struct Step {
        const char* name;
        HWND control;
        WPARAM key;  // 0: a notch of the wheel
        int wheel;
        int percent;
    };
    const Step steps[] = {
        {"Ctrl+Plus", program.TaskText(), VK_OEM_PLUS, 0, 125},
        {"Ctrl+Plus (number pad) on a field", program.Text2(0), VK_ADD, 0, 150},
        {"Ctrl+Plus on the form", program.Form(), VK_OEM_PLUS, 0, 175},
        {"Ctrl+wheel up on a field", program.Text2(1), 0, 120, 200},
        {"Ctrl+Minus", program.TaskText(), VK_OEM_MINUS, 0, 175},
        {"Ctrl+Minus (number pad)", program.Text2(2), VK_SUBTRACT, 0, 150},
        {"Ctrl+0", program.Text2(0), '0', 0, 100},
    };
    std::array<std::string, kText2Count> fields;
    for (int i = 0; i < kText2Count; ++i) {
        fields[static_cast<std::size_t>(i)] = program.Field(i);
    }
    for (const Step& step : steps) {
        program.HoldControl(true);
        if (step.key) {
            program.Press(step.control, step.key);
        } else {
            PostMessageW(step.control, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, step.wheel), 0);
        }
        const int want = form::TwipsToPixels(form::kClientWidth, MulDiv(dpi, step.percent, 100));
        WaitFor([&] {
            RECT client{};
            GetClientRect(program.Form(), &client);
            return client.right == want;
        }, 2000);
        program.HoldControl(false);
        if (step.percent == 200 || step.percent == 100) {
            CheckPlaces(program, std::string("zoom ") + step.name, MulDiv(dpi, step.percent, 100));
        } else {
            RECT client{};
            GetClientRect(program.Form(), &client);
            Check(client.right == want, std::string("zoom ") + step.name,
                  "the client area is " + std::to_string(client.right) + " wide, not " + std::to_string(want));
        }
    }
    for (int i = 0; i < kText2Count; ++i) {
        Check(program.Field(i) == fields[static_cast<std::size_t>(i)], "zoom keys",
              "field " + std::to_string(i) + " now shows " + Quoted(program.Field(i)));
    }
}

// The explanation the program's core gives for its state, as the view's
// text shows it: apart from the lead and the step rows, powers raised
// (line ends as the box gives them: CR).
std::wstring ExpectedExplanation(const zelvane::FormState& core) {
    std::wstring text =
        WideFromUtf8(explain::PlainText(explain::Explain(core), nullptr, {.raised = true, .apart = true}));
    for (wchar_t& c : text) {
        c = c == L'\n' ? L'\r' : c;
    }
    return text;
}

std::wstring ShownExplanation(Program& program) {
    std::wstring text;
    for (const wchar_t c : program.Units(program.ExplanationText())) {
        if (c != L'\n' || text.empty() || text.back() != L'\r') {
            text.push_back(c == L'\n' ? L'\r' : c);
        }
    }
    return text;
}

bool ExplanationVisible(Program& program) {
    return WaitFor([&] { return program.Explanation() && IsWindowVisible(program.Explanation()); });
}

// F1 opens the explanation of the fraction just calculated, exactly the
// core's document, and leaves the worksheet as it was; while it is open,
// each new Calculate shows the next row's fraction in it; Esc closes it.
// (The view stays open between rows: under wine with no window manager,
// every change of the active window waits two seconds for the X server.)
void CheckExplanations(Program& program, const cases::CaseTable& table) {
    bool open = false;
    for (const cases::CaseTable::Row& row : table.rows) {
        const std::string name = "explain.tsv: " + table.Cell(row, "case");
        const std::string& numerator = table.Cell(row, "numerator");
        const std::string& denominator = table.Cell(row, "denominator");
        if (table.Cell(row, "click") != "calculates" || cases::CharacterCount(numerator) > 4 ||
            cases::CharacterCount(denominator) > 4) {
            continue;
        }
        program.Click(kClearButton, true);
        program.Type(kNumerator, numerator);
        program.Type(kDenominator, denominator);
        program.Click(kCalculateButton, true);
        std::vector<std::wstring> before;
        for (int i = 0; i < kText2Count; ++i) {
            before.push_back(program.Units(program.Text2(i)));
        }
        if (!open) {
            program.Press(program.Text2(kDenominator), VK_F1);
            if (!Check(ExplanationVisible(program), name, "F1 shows no explanation")) {
                return;
            }
            open = true;
        }
        // The view is filled before it is shown, and at once on a Calculate.
        const std::wstring shown = ShownExplanation(program);
        Check(shown == ExpectedExplanation(program.Core()), name, "the view does not show the core's explanation");
        Check((program.Units(program.ExplanationPart(kExplanationNotationId)) + shown)
                      .find(WideFromUtf8(table.Cell(row, "notation"))) != std::wstring::npos,
              name, "the notation is missing");
        for (int i = 0; i < kText2Count; ++i) {
            Check(program.Units(program.Text2(i)) == before[static_cast<std::size_t>(i)], name,
                  std::string("the ") + kFieldNames[i] + " changed");
        }
    }
    program.Press(program.ExplanationText(), VK_ESCAPE);
    Check(WaitFor([&] { return !IsWindowVisible(program.Explanation()); }), "explain view", "Esc does not close it");
}

// The expansion field's context menu opens the explanation too; an open
// view follows a new Calculate and keeps its place on F1; Ctrl+C copies all
// of it; its names.
void CheckExplanationView(Program& program) {
    const std::string name = "explain view";
    program.Click(kClearButton);
    program.Type(kNumerator, "1");
    program.Type(kDenominator, "7");
    program.Click(kCalculateButton);
    RECT field{};
    GetWindowRect(program.Text2(kExpansion), &field);
    PostMessageW(program.Text2(kExpansion), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(program.Text2(kExpansion)),
                 MAKELPARAM(field.left + 5, field.top + 5));
    HWND menu = nullptr;
    WaitFor([&] {
        menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
    });
    if (!Check(menu != nullptr, name, "the expansion field shows no context menu")) {
        return;
    }
    // The last item, from the keyboard.
    program.Press(menu, VK_UP);
    program.Press(menu, VK_RETURN);
    if (!Check(ExplanationVisible(program), name, "the menu item shows no explanation")) {
        return;
    }
    Check(ShownExplanation(program) == ExpectedExplanation(program.Core()), name, "the menu item shows another text");
    program.Type(kDenominator, "17");
    program.Click(kCalculateButton, true);
    Check(ShownExplanation(program) == ExpectedExplanation(program.Core()), name,
          "a new Calculate does not update the open view");
    // F1 again brings the open view forward where the pupil left it. The
    // flag set after it shows that the program has handled the key.
    const HWND text = program.ExplanationText();
    program.Send(text, EM_SETSEL, 5, 5);
    program.Press(program.Text2(kDenominator), VK_F1);
    PostMessageW(text, EM_SETMODIFY, TRUE, 0);
    WaitFor([&] { return program.Send(text, EM_GETMODIFY) != 0; });
    Check(program.Send(text, EM_GETSEL) == MAKELRESULT(5, 5), name, "F1 on the open view loses the pupil's place");
    std::string caption = program.Text(program.Explanation());
    Check(caption == explain::Explain(program.Core()).title, name, "caption " + Quoted(caption));
    std::string accessible;
    if (AccessibleName(program.Explanation(), accessible)) {
        Check(accessible == caption, name, "screen readers hear " + Quoted(accessible));
    }
    program.Send(program.ExplanationText(), WM_CHAR, 0x03, 1);  // Ctrl+C, nothing selected
    std::wstring copied;
    if (OpenClipboard(nullptr)) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            copied = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    std::wstring whole;  // the plain text with Windows' line ends
    for (const wchar_t c : WideFromUtf8(explain::PlainText(explain::Explain(program.Core())))) {
        whole += c == L'\n' ? L"\r\n" : std::wstring(1, c);
    }
    Check(copied == whole, name, "Ctrl+C copies " + Quoted(Utf8FromWide(copied.substr(0, 40))));
    program.Press(program.ExplanationText(), VK_ESCAPE);
    Check(WaitFor([&] { return !IsWindowVisible(program.Explanation()); }), name, "Esc does not close it");
}

// Where the view puts a figure in its control: scaled uniformly to fit the
// client area, centred in it.
struct FigurePlace {
    double scale = 1, left = 0, top = 0;

    POINT Pixel(explain::Point at) const {
        return {static_cast<LONG>(std::floor(left + at.x * scale)), static_cast<LONG>(std::floor(top + at.y * scale))};
    }
    // The middle of a pixel, in figure units.
    explain::Point Middle(POINT pixel) const {
        return {(pixel.x + 0.5 - left) / scale, (pixel.y + 0.5 - top) / scale};
    }
};

FigurePlace PlaceOfFigure(HWND control, const explain::Figure& figure) {
    RECT client{};
    GetClientRect(control, &client);
    FigurePlace place;
    place.scale = std::min(client.right / figure.width, client.bottom / figure.height);
    place.left = (client.right - figure.width * place.scale) / 2;
    place.top = (client.bottom - figure.height * place.scale) / 2;
    return place;
}

bool Near(form::Rgb seen, explain::Rgb want) {
    return std::abs(seen.red - want.red) <= 24 && std::abs(seen.green - want.green) <= 24 &&
           std::abs(seen.blue - want.blue) <= 24;
}

std::size_t SelectedRow(Program& program) {
    return static_cast<std::size_t>(
        program.Send(program.ExplanationPart(kExplanationStepsId), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::size_t Units(std::string_view utf8) { return WideFromUtf8(utf8).size(); }

// The notebook in the view's text: its columns stay aligned in the
// fixed-pitch face (a line's minus sign, U+2212, as wide as a digit), and
// a click on a line of a step selects that step's row.
void CheckNotebook(Program& program, const explain::Document& document, const std::string& name) {
    std::vector<explain::TextRange> ranges;
    explain::PlainText(document, &ranges, {.raised = true, .apart = true});
    const auto found = std::find_if(ranges.begin(), ranges.end(), [](const explain::TextRange& range) {
        return range.kind == explain::BlockKind::kNotebook && !range.raised;
    });
    if (!Check(found != ranges.end(), name, "no notebook in the text")) {
        return;
    }
    const explain::Block& notebook = document.blocks[found->block];
    std::vector<std::size_t> starts;
    for (std::size_t at = found->from; const std::string& line : notebook.lines) {
        starts.push_back(at);
        at += Units(line) + 1;
    }
    const HWND text = program.ExplanationText();
    const auto place = [&](std::size_t at) {
        POINTL point{};
        program.SendWith(text, EM_POSFROMCHAR, at, point, true);
        return point;
    };
    const std::string minus = "−";
    std::size_t reference = 0;  // the longest line without a minus
    for (std::size_t i = 0; i < notebook.lines.size(); ++i) {
        if (notebook.lines[i].find(minus) == std::string::npos &&
            Units(notebook.lines[i]) > Units(notebook.lines[reference])) {
            reference = i;
        }
    }
    for (std::size_t i = 0; i < notebook.lines.size(); ++i) {
        const std::string& line = notebook.lines[i];
        const std::size_t at = line.find(minus);
        if (at == std::string::npos) {
            continue;
        }
        const std::size_t column = Units(line.substr(0, at)) + 1;  // the digit after the minus
        if (column < Units(notebook.lines[reference])) {
            const LONG x = place(starts[i] + column).x;
            const LONG want = place(starts[reference] + column).x;
            Check(x == want, name, "notebook line " + Quoted(line) + ": column " + std::to_string(column) + " at x " +
                                       std::to_string(x) + ", the line above it at " + std::to_string(want));
        }
    }
    // The last line of a step other than the selected one, clicked.
    std::size_t line = notebook.lines.size();
    for (std::size_t i = 0; i < notebook.lines.size(); ++i) {
        if (notebook.lineSteps[i] != explain::kNoStep && notebook.lineSteps[i] != SelectedRow(program)) {
            line = i;
        }
    }
    if (!Check(line < notebook.lines.size(), name, "no notebook line of another step")) {
        return;
    }
    const std::size_t first = starts[line] + notebook.lines[line].find_first_not_of(' ');
    program.Send(text, EM_SETSEL, first, first);
    program.Send(text, EM_SCROLLCARET);
    const POINTL at = place(first);
    program.ClickAt(text, at.x + 2, at.y + 4);
    const std::size_t step = notebook.lineSteps[line];
    Check(WaitFor([&] { return SelectedRow(program) == step; }), name,
          "a click on notebook line " + Quoted(notebook.lines[line]) + " selects row " +
              std::to_string(SelectedRow(program)) + ", not " + std::to_string(step));
}

// The figure and the list of steps, linked both ways, for some rows of the
// shared table of wheels: the figure is drawn as its instructions say; a
// row selected in the list marks its remainder in the figure; a click on a
// remainder's place selects its row; the arrow keys, Home and End on the
// figure walk through the steps; a notebook line selects its step. The
// worksheet stays as it was.
void CheckStepLinks(Program& program, const cases::CaseTable& table) {
    const std::vector<std::string> rows = {"1/7", "5/14", "1/97", "1/9967"};
    for (const cases::CaseTable::Row& row : table.rows) {
        const std::string& title = table.Cell(row, "case");
        if (std::find(rows.begin(), rows.end(), title.substr(0, title.find(' '))) == rows.end()) {
            continue;
        }
        const std::string name = "wheel.tsv: " + title;
        program.Click(kClearButton, true);
        program.Type(kNumerator, table.Cell(row, "numerator"));
        program.Type(kDenominator, table.Cell(row, "denominator"));
        program.Click(kCalculateButton, true);
        if (!program.Explanation() || !IsWindowVisible(program.Explanation())) {
            program.Press(program.Text2(kDenominator), VK_F1);
            if (!Check(ExplanationVisible(program), name, "F1 shows no explanation")) {
                return;
            }
        }
        std::vector<std::wstring> fields;
        for (int i = 0; i < kText2Count; ++i) {
            fields.push_back(program.Units(program.Text2(i)));
        }
        const explain::Document document = explain::Explain(program.Core());
        const explain::Figure* figure = nullptr;
        for (std::size_t i = 0; i < document.lead && !figure; ++i) {
            if (document.blocks[i].kind == explain::BlockKind::kFigure) {
                figure = &document.figures[document.blocks[i].figure];
            }
        }
        if (!Check(figure && figure->period > 0 && !document.steps.empty(), name, "the document has no ring")) {
            continue;
        }
        const HWND control = program.ExplanationPart(kExplanationFigureId);
        Check(program.Text(control) == figure->alt, name, "the figure's name is not its text alternative");
        const FigurePlace place = PlaceOfFigure(control, *figure);
        const auto colourAt = [&](explain::Point at) { return Capture(control).At(place.Pixel(at)); };
        const auto shows = [&](explain::Point at, explain::Ink ink) {
            return WaitFor([&] { return Near(colourAt(at), explain::Colour(ink)); });
        };
        // A remainder's mark, where the instructions put the first.
        for (const explain::Shape& shape : figure->shapes) {
            if (shape.kind == explain::ShapeKind::kCircle && shape.fill == explain::Ink::kRemainder &&
                shape.radius * place.scale >= 2) {
                Check(shows(shape.at, explain::Ink::kRemainder), name, "no remainder's mark where the figure puts it");
                break;
            }
        }
        // A row clicked: the selection's ring around its remainder, just
        // outside the ring of places.
        const std::size_t ringFirst = figure->prePeriod;
        const std::size_t k = ringFirst + figure->period / 3;
        const explain::Point r = figure->remainderAt[k];
        const double length = std::hypot(r.x - figure->centre.x, r.y - figure->centre.y);
        const explain::Point outside{r.x + 7 * (r.x - figure->centre.x) / length,
                                     r.y + 7 * (r.y - figure->centre.y) / length};
        Check(!Near(colourAt(outside), explain::Colour(explain::Ink::kSelection)), name,
              "the selection's colour before any step is selected");
        const HWND steps = program.ExplanationPart(kExplanationStepsId);
        program.Send(steps, LVM_ENSUREVISIBLE, k, FALSE);
        RECT item{};
        item.left = LVIR_BOUNDS;
        program.SendWith(steps, LVM_GETITEMRECT, k, item);
        program.ClickAt(steps, item.left + 8, (item.top + item.bottom) / 2);
        Check(WaitFor([&] { return SelectedRow(program) == k; }), name, "a click on row " + std::to_string(k) + " selects row " + std::to_string(SelectedRow(program)));
        Check(shows(outside, explain::Ink::kSelection), name,
              "row " + std::to_string(k) + " selected: no selection's ring around its remainder");
        // A remainder's place clicked: the row of the step there.
        const POINT pixel = place.Pixel(figure->remainderAt[ringFirst + 2 * figure->period / 3]);
        const std::size_t hit = explain::StepAt(*figure, place.Middle(pixel));
        program.ClickAt(control, pixel.x, pixel.y);
        Check(hit != explain::kNoStep && WaitFor([&] { return SelectedRow(program) == hit; }), name,
              "a click on the remainder of step " + std::to_string(hit) + " selects row " +
                  std::to_string(SelectedRow(program)));
        const std::size_t last = document.steps.size() - 1;
        const std::pair<WPARAM, std::size_t> walks[] = {
            {VK_RIGHT, std::min(hit + 1, last)}, {VK_HOME, 0}, {VK_DOWN, 1}, {VK_END, last}, {VK_LEFT, last - 1}};
        for (const auto& [key, want] : walks) {
            program.Press(control, key);
            Check(WaitFor([&] { return SelectedRow(program) == want; }), name,
                  "key " + std::to_string(key) + " on the figure selects row " + std::to_string(SelectedRow(program)) +
                      ", not " + std::to_string(want));
        }
        CheckNotebook(program, document, name);
        for (int i = 0; i < kText2Count; ++i) {
            Check(program.Units(program.Text2(i)) == fields[static_cast<std::size_t>(i)], name,
                  std::string("the ") + kFieldNames[i] + " changed");
        }
    }
}

// Screenshots of the view: 1/7 with its third step selected, and 1/17.
void SaveExplanationShots(Program& program, const std::wstring& worksheetShot) {
    const std::wstring base = worksheetShot.substr(0, worksheetShot.size() - 4);  // without ".bmp"
    for (const char* denominator : {"7", "17"}) {
        program.Click(kClearButton, true);
        program.Type(kNumerator, "1");
        program.Type(kDenominator, denominator);
        program.Click(kCalculateButton, true);
        if (!IsWindowVisible(program.Explanation())) {
            program.Press(program.Text2(kDenominator), VK_F1);
            ExplanationVisible(program);
        }
        if (std::string(denominator) == "7") {
            for (int i = 0; i < 3; ++i) {
                program.Press(program.ExplanationPart(kExplanationFigureId), VK_RIGHT);
            }
        }
        WaitFor([&] { return SelectedRow(program) == (std::string(denominator) == "7" ? 2 : explain::kNoStep); });
        program.Send(program.Explanation(), WM_NULL);
        Sleep(500);  // painted
        Check(Capture(program.Explanation()).Save(base + L"-explain-1-" + WideFromUtf8(denominator) + L".bmp"),
              "screenshot of the explain view", "cannot write it");
    }
}

// A DPI change message without a suggested frame, or with a DPI of 0: the
// program neither fails nor loses its layout.
void CheckBadDpiChange(Program& program, int dpi) {
    program.Send(program.Form(), WM_DPICHANGED, MAKEWPARAM(0, 0), 0);
    CheckPlaces(program, "place after a DPI change to 0", dpi);
    RECT before{};
    GetWindowRect(program.Form(), &before);
    program.Send(program.Form(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
    CheckPlaces(program, "place after a DPI change without a frame", dpi);
    RECT after{};
    GetWindowRect(program.Form(), &after);
    Check(after.left == before.left && after.top == before.top, "DPI change without a frame", "the window moved");
}

void CheckAltF4(Program& program) {
    const HWND focus = program.Focus();
    const LPARAM lParam = 1 | (static_cast<LPARAM>(MapVirtualKeyW(VK_F4, MAPVK_VK_TO_VSC)) << 16) | (1 << 29);
    PostMessageW(focus ? focus : program.Form(), WM_SYSKEYDOWN, VK_F4, lParam);
    DWORD exitCode = 1;
    Check(program.WaitForExit(10000, exitCode), "Alt+F4", "the window did not close");
    Check(exitCode == 0, "Alt+F4", "exit code " + std::to_string(exitCode));
}

// Each way a shell may ask for the window: a normal start, with or without
// a show state, ends with the worksheet active and the focus on the task
// text; a minimised start stays minimised and in the background.
void CheckShowStates(const std::wstring& exe) {
    struct Way {
        const char* name;
        int show;
        bool minimised;
    };
    for (const Way way : {Way{"start without a show state", SW_SHOWDEFAULT, false},
                          Way{"start with SW_SHOWNORMAL", SW_SHOWNORMAL, false},
                          Way{"start with SW_SHOWMINNOACTIVE", SW_SHOWMINNOACTIVE, true}}) {
        Program program;
        if (!Check(program.Start(exe, way.show), way.name, "no window")) {
            continue;
        }
        Check(WaitFor([&] { return IsIconic(program.Form()) == way.minimised; }), way.name,
              way.minimised ? "not minimised" : "minimised");
        if (!way.minimised) {
            Check(WaitFor([&] { return GetForegroundWindow() == program.Form(); }), way.name, "not active");
            Check(WaitFor([&] { return program.Focus() == program.TaskText(); }), way.name,
                  "the focus is not on the task text");
        } else {
            Check(GetForegroundWindow() != program.Form(), way.name, "activated");
        }
    }
}

std::wstring WidePath(const char* path) { return WideFromUtf8(path); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM.exe CASES_DIR [SCREENSHOT.bmp]\n", argv[0]);
        return 100;
    }
    SetConsoleOutputCP(CP_UTF8);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    cases::CaseTable calculate, addParts, pastes, explanations, wheels;
    try {
        const std::string dir = argv[2];
        calculate = cases::CaseTable::Load(dir + "\\calculate.tsv");
        addParts = cases::CaseTable::Load(dir + "\\add_parts.tsv");
        pastes = cases::CaseTable::Load(dir + "\\paste.tsv");
        explanations = cases::CaseTable::Load(dir + "\\explain.tsv");
        wheels = cases::CaseTable::Load(dir + "\\wheel.tsv");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 100;
    }

    Program program;
    if (!program.Start(WidePath(argv[1]))) {
        std::printf("FAIL start: no window captioned %s from %s\n",
                    Quoted(form::Caption(ZELVANE_PUBLISHER_URL)).c_str(), argv[1]);
        return 100;
    }
    const int dpi = DpiOf(program.Form());

    CheckStart(program);
    CheckPlaces(program, "place", dpi);
    CheckColours(program, "colours at start", false, dpi);
    CheckTabOrder(program, "tab order (Add parts unavailable)", false);
    CheckCalculateCases(program, calculate);
    CheckAddPartsCases(program, addParts);
    CheckFourCharacters(program);
    CheckPastesAndKeys(program, pastes);
    CheckReadOnly(program);
    CheckAddPartsAvailability(program);
    CheckEnter(program);
    CheckEnterOnButtons(program);
    CheckLongExpansion(program);

    program.SevenThirteenths();
    CheckColours(program, "colours after a calculation", true, dpi);
    CheckTabOrder(program, "tab order (Add parts available)", true);
    if (argc > 3) {
        Check(Capture(program.Form()).Save(WidePath(argv[3])), "screenshot", "cannot write it");
    }
    CheckAccessibleNames(program);
    CheckExplanations(program, explanations);
    CheckExplanationView(program);
    CheckStepLinks(program, wheels);
    if (argc > 3) {
        SaveExplanationShots(program, WidePath(argv[3]));
    }
    if (program.Explanation() && IsWindowVisible(program.Explanation())) {
        program.Press(program.ExplanationText(), VK_ESCAPE);
        Check(WaitFor([&] { return !IsWindowVisible(program.Explanation()); }), "explain view", "Esc does not close it");
    }
    CheckZoom(program, dpi);
    CheckDpiChange(program, dpi);
    CheckBadDpiChange(program, dpi);
    CheckAltF4(program);
    CheckShowStates(WidePath(argv[1]));

    std::printf("%d checks, %d failed\n", checks, failures);
    CoUninitialize();
    return std::min(failures, 99);
}
