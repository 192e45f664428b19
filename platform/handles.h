// Owners of the system's handles: each releases what it holds with the
// handle kind's own call when it goes, so that no path forgets one.
#pragma once
#include <windows.h>

// One handle, released by Release unless it is the kind's null value.
template <typename Handle, auto Release> class Owned {
  public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~Owned() { reset(); }
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    // Hands the handle on: the owner no longer releases it.
    Handle release() {
        Handle handle = handle_;
        handle_ = Handle{};
        return handle;
    }
    void reset(Handle handle = Handle{}) {
        if (handle_ != Handle{})
            Release(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_{};
};

inline void ReleaseInterface(IUnknown* object) {
    object->Release();
}

using ModuleOwner = Owned<HMODULE, FreeLibrary>;
using MenuOwner = Owned<HMENU, DestroyMenu>;
using FontOwner = Owned<HFONT, DeleteObject>;
using PenOwner = Owned<HPEN, DeleteObject>;
using IconOwner = Owned<HICON, DestroyIcon>;
using AcceleratorOwner = Owned<HACCEL, DestroyAcceleratorTable>;
using HookOwner = Owned<HHOOK, UnhookWindowsHookEx>;
// A file; CreateFileA's INVALID_HANDLE_VALUE is taken as no file.
using FileOwner = Owned<HANDLE, CloseHandle>;
inline HANDLE ValidFile(HANDLE file) {
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}
// A COM object, released through its IUnknown.
template <typename Interface> using ComOwner = Owned<Interface*, ReleaseInterface>;

// Starts routine(parameter) on a worker thread of its own, never joined: its
// handle is released at once. False when no thread could be started.
inline bool StartWorker(LPTHREAD_START_ROUTINE routine, void* parameter) {
    return FileOwner(CreateThread(nullptr, 0, routine, parameter, 0, nullptr)).get() != nullptr;
}

// COM on the calling thread for as long as the scope lives.
class ComScope {
  public:
    ComScope() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_DISABLE_OLE1DDE))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (started_)
            CoUninitialize();
    }

  private:
    bool started_;
};

// The painting of a window, from WM_PAINT until the scope ends.
class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &paint_); }
    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

// The words of a command line as CommandLineToArgvW hands them out.
inline void FreeArguments(LPWSTR* arguments) {
    LocalFree(arguments);
}
using ArgumentsOwner = Owned<LPWSTR*, FreeArguments>;

// A block of the process heap, freed when its owner goes.
inline void FreeHeapBlock(void* block) {
    HeapFree(GetProcessHeap(), 0, block);
}
using HeapBlock = Owned<void*, FreeHeapBlock>;
// A zero-filled block of size bytes (null when there is no room).
inline void* AllocateHeapBlock(size_t size) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1);
}
