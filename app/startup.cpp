// Start-up: the process-wide state and the run-mode decision.
#include "app/startup.h"

#include "app/main_window.h"
#include "app/main_window_shared.h"
#include "platform/handles.h"
#include "records/app_state.h"
#include "ui/app_ui.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "ui/window_helpers.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <initializer_list>

namespace {

void InitCommonControlClasses() {
    HeapBlock block(AllocateHeapBlock(sizeof(INITCOMMONCONTROLSEX)));
    auto* request = static_cast<INITCOMMONCONTROLSEX*>(block.get());
    if (!request)
        return;
    request->dwSize = sizeof(INITCOMMONCONTROLSEX);
    // The About box's links need the link class as well.
    request->dwICC = ICC_WIN95_CLASSES | ICC_USEREX_CLASSES | ICC_LINK_CLASS;
    InitCommonControlsEx(request);
}

void CreateImageLists() {
    SHFILEINFOA info = {};
    AppUi.SmallSystemImages = reinterpret_cast<HIMAGELIST>(
        ShellGetFileInfo(AppState.AppDirectory, 0, &info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    AppUi.LargeSystemImages = reinterpret_cast<HIMAGELIST>(
        ShellGetFileInfo(AppState.AppDirectory, 0, &info, SHGFI_SYSICONINDEX));
    AppUi.Images32 = ImageList_Create(32, 32, ILC_COLORDDB | ILC_MASK, 2, 500);
    AppUi.Images16 = ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 4, 4);
    FillSmallImages(WindowDpi(nullptr));
}

int ReadFirstArgument() {
    constexpr size_t kArgumentBlock = 128;
    HeapBlock block(AllocateHeapBlock(kArgumentBlock));
    if (!block)
        return kArgMissing;
    return GetCommandArg(1, static_cast<char*>(block.get()), kArgumentBlock);
}

// An administrator whose process runs with the filtered token.
bool CanElevate() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    FileOwner owned(token);
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) &&
           type == TokenElevationTypeLimited;
}

// KVEL again, with the same arguments, through the elevation prompt.
bool RestartElevated() {
    char program[kTextSize] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, kTextSize);
    if (length == 0 || length >= kTextSize)
        return false;
    SHELLEXECUTEINFOA request = {};
    request.cbSize = sizeof request;
    request.lpVerb = kElevateVerb;
    request.lpFile = program;
    request.lpParameters = PathGetArgsA(GetCommandLineA());
    request.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&request) != FALSE;
}

} // namespace

void FillSmallImages(UINT dpi) {
    const int size = MetricForDpi(SM_CXSMICON, dpi);
    ImageList_SetIconSize(AppUi.Images16, size, size);
    for (int id : {IDI_ADDED, IDI_DELETED, IDI_SYSTEM, IDI_USER}) {
        IconOwner icon(static_cast<HICON>(
            LoadImageA(AppUi.Instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
        ImageList_AddIcon(AppUi.Images16, icon.get());
    }
}

StartDecision DecideStart(int commandArgResult, bool elevated, bool canElevate,
                          const ElevationSteps& steps) {
    if (commandArgResult != kArgFound)
        return StartDecision::UserMode;
    if (elevated)
        return StartDecision::AdminMode;
    if (!canElevate || !steps.AskToRestart())
        return StartDecision::UserMode;
    if (steps.RestartElevated())
        return StartDecision::Restarted;
    steps.SayUserMode();
    return StartDecision::UserMode;
}

bool ChooseRunMode() {
    const ElevationSteps steps = {
        [] {
            return MessageBoxA(nullptr, kTextElevateQuestion, kCaptionProgram,
                               MB_YESNO | MB_ICONQUESTION) == IDYES;
        },
        RestartElevated,
        [] {
            MessageBoxA(nullptr, kTextElevateFailed, kCaptionProgram, MB_OK | MB_ICONINFORMATION);
        }};
    const StartDecision decision =
        DecideStart(ReadFirstArgument(), AppState.UserIsAdmin == 1, CanElevate(), steps);
    AppState.AdminMode = decision == StartDecision::AdminMode ? 1 : 0;
    return decision != StartDecision::Restarted;
}

void PrepareAppState() {
    AppUi.Instance = GetModuleHandleA(nullptr);
    InitCommonControlClasses();
    FillWords(AppState.AppDirectory, sizeof AppState.AppDirectory, 0);
    AppDirectoryOf(AppState.AppDirectory);
    CreateImageLists();
    AppState.UserIsAdmin = IsUserAnAdmin() ? 1 : 0;
    AppState.AdminMode = 0;
}

void RunMainWindow() {
    MainWindow main;
    main.Mode = AppState.AdminMode ? RunMode::Admin : RunMode::User;
    const LPARAM state = reinterpret_cast<LPARAM>(&main);
    if (main.Mode == RunMode::Admin)
        DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_ADMIN), nullptr, AdminMainWindowProc,
                        state);
    else
        DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, UserMainWindowProc,
                        state);
}
