// Observers of what the program does besides its windows' contents: the shell
// notifications it sends and the top-level windows it opens.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kvt {

// Receives the SHCNE_ASSOCCHANGED notifications of the process on a thread
// of its own, as a shell window would. Wine delivers them synchronously, so
// while the watch is held the sender waits in SHChangeNotify until Release.
class AssocChangeWatch {
  public:
    AssocChangeWatch();
    ~AssocChangeWatch();
    AssocChangeWatch(const AssocChangeWatch&) = delete;
    AssocChangeWatch& operator=(const AssocChangeWatch&) = delete;

    int Count() const { return count_; }
    // Waits until at least count notifications have arrived.
    bool WaitForCount(int count, DWORD ms = 15000) const;
    void Hold();
    void Release();

  private:
    void Receive();

    std::thread thread_;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
    ULONG registration_ = 0;
    HANDLE ready_ = nullptr;
    HANDLE holding_ = nullptr;
    HANDLE released_ = nullptr;
    volatile LONG count_ = 0;
    bool held_ = false;
};

// Records the captions of the top-level windows created on the calling
// thread (the thread that runs the program's dialogs in RunDialog).
class WindowCreationLog {
  public:
    WindowCreationLog();
    ~WindowCreationLog();
    WindowCreationLog(const WindowCreationLog&) = delete;
    WindowCreationLog& operator=(const WindowCreationLog&) = delete;

    int Count(const std::string& caption) const;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    HHOOK hook_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<std::string> captions_;
};

} // namespace kvt
