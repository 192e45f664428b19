#include "harness/observers.h"

#include <shlobj.h>

#include <algorithm>

namespace kvt {

namespace {

constexpr UINT kNotifyMessage = WM_APP + 1;
constexpr UINT kHoldMessage = WM_APP + 2;
constexpr char kReceiverClass[] = "kvtAssocChangeWatch";

WindowCreationLog* ActiveLog = nullptr;

} // namespace

AssocChangeWatch::AssocChangeWatch() {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    holding_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    released_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Receive(); });
    WaitForSingleObject(ready_, INFINITE);
}

AssocChangeWatch::~AssocChangeWatch() {
    Release();
    if (registration_)
        SHChangeNotifyDeregister(registration_);
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(ready_);
    CloseHandle(holding_);
    CloseHandle(released_);
}

void AssocChangeWatch::Receive() {
    threadId_ = GetCurrentThreadId();
    WNDCLASSA type = {};
    type.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        auto* self = reinterpret_cast<AssocChangeWatch*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == kNotifyMessage) {
            InterlockedIncrement(&self->count_);
            return 0;
        }
        if (self && message == kHoldMessage) {
            SetEvent(self->holding_);
            WaitForSingleObject(self->released_, INFINITE);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    };
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = kReceiverClass;
    RegisterClassA(&type);
    window_ = CreateWindowExA(0, kReceiverClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              type.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SHChangeNotifyEntry everything = {nullptr, TRUE};
    registration_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel,
                                           SHCNE_ASSOCCHANGED, kNotifyMessage, 1, &everything);
    SetEvent(ready_);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    DestroyWindow(window_);
}

bool AssocChangeWatch::WaitForCount(int count, DWORD ms) const {
    const DWORD start = GetTickCount();
    while (count_ < count) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(10);
    }
    return true;
}

void AssocChangeWatch::Hold() {
    if (held_)
        return;
    held_ = true;
    ResetEvent(released_);
    ResetEvent(holding_);
    PostMessageA(window_, kHoldMessage, 0, 0);
    WaitForSingleObject(holding_, INFINITE);
}

void AssocChangeWatch::Release() {
    held_ = false;
    SetEvent(released_);
}

WindowCreationLog::WindowCreationLog() {
    ActiveLog = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

WindowCreationLog::~WindowCreationLog() {
    UnhookWindowsHookEx(hook_);
    ActiveLog = nullptr;
}

LRESULT CALLBACK WindowCreationLog::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && ActiveLog) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (!(create->style & WS_CHILD) && create->lpszName && !IS_INTRESOURCE(create->lpszName)) {
            std::lock_guard<std::mutex> lock(ActiveLog->mutex_);
            ActiveLog->captions_.push_back(create->lpszName);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int WindowCreationLog::Count(const std::string& caption) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(std::count(captions_.begin(), captions_.end(), caption));
}

} // namespace kvt
