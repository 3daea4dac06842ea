#include "SetupDriver.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>

#include "WholeFile.h"

namespace qvtest {

namespace {

std::string env(const char* name)
{
    char value[MAX_PATH] = "";
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value) : std::string();
}

struct Search {
    DWORD process;
    std::string title;
    const char* boxCaption;
    HWND found;
    const std::string* boxText = nullptr;  // a box with this text, when given
};

BOOL CALLBACK findTopLevel(HWND window, LPARAM param)
{
    Search* s = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != s->process || !IsWindowVisible(window))
        return TRUE;
    const std::string title = textOf(window);
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (s->boxCaption) {
        // A message box: a dialog with the caption and a text static 0xFFFF.
        // (The uninstaller's own dialog has the caption and an unnamed label too, but its list.)
        if (title == s->boxCaption && std::string(cls) == "#32770" && GetDlgItem(window, 0xFFFF) &&
            !GetDlgItem(window, 1002) && (!s->boxText || textOf(GetDlgItem(window, 0xFFFF)) == *s->boxText)) {
            s->found = window;
            return FALSE;
        }
    } else if (IsWindowEnabled(window) && title.compare(0, s->title.size(), s->title) == 0) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND findBox(DWORD process, const char* caption, const std::string* text = nullptr)
{
    Search s{process, "", caption, nullptr, text};
    EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

}  // namespace

std::string downloadDir() { return "C:\\download"; }
std::string toolsDir() { return env("QV_E2E_TOOLS"); }
std::string snapDir() { return env("QV_E2E_SNAPS"); }

namespace {
// This process's token with the Administrators group for denying only; null on failure.
HANDLE limitedToken()
{
    HANDLE own = nullptr, limited = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &own))
        return nullptr;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                 &administrators)) {
        SID_AND_ATTRIBUTES denyOnly = {administrators, 0};
        if (!CreateRestrictedToken(own, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &limited))
            limited = nullptr;
        FreeSid(administrators);
    }
    CloseHandle(own);
    return limited;
}
}  // namespace

Program::Program(const std::string& exe, const std::string& directory, bool limited)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + exe + "\"";
    HANDLE token = limited ? limitedToken() : nullptr;
    if (limited && !token)
        return;
    const BOOL started =
        token ? CreateProcessAsUserA(token, nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                                     &si, &pi)
              : CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &si, &pi);
    if (token)
        CloseHandle(token);
    if (started) {
        process_ = pi.hProcess;
        id_ = pi.dwProcessId;
        CloseHandle(pi.hThread);
        WaitForInputIdle(process_, 10000);
    }
}

Program::~Program()
{
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
        TerminateProcess(process_, 99);
    CloseHandle(process_);
}

bool Program::waitExit(DWORD milliseconds, DWORD* exitCode)
{
    if (!process_ || WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(process_, exitCode);
    return true;
}

HWND Program::waitWindow(const std::string& title, DWORD milliseconds) const
{
    for (DWORD waited = 0; waited <= milliseconds; waited += 20) {
        Search s{id_, title, nullptr, nullptr};
        EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&s));
        if (s.found)
            return s.found;
        if (WaitForSingleObject(process_, 20) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

HWND Program::waitStep(int step) const
{
    char title[64];
    std::snprintf(title, sizeof title, "%s - [Step %d of 5]", kSetupCaption, step);
    return waitWindow(title);
}

HWND Program::waitStepNoting(int step, std::vector<int>& seen) const
{
    for (int waited = 0; waited < 30000; waited += 10) {
        for (int s = 1; s <= 5; ++s) {
            char title[64];
            std::snprintf(title, sizeof title, "%s - [Step %d of 5]", kSetupCaption, s);
            Search search{id_, title, nullptr, nullptr};
            EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&search));
            if (!search.found)
                continue;
            if (seen.empty() || seen.back() != s)
                seen.push_back(s);
            if (s == step)
                return search.found;
        }
        Sleep(10);
    }
    return nullptr;
}

std::string Program::pendingBox(const char* caption) const
{
    HWND box = findBox(id_, caption);
    return box ? textOf(GetDlgItem(box, 0xFFFF)) : std::string();
}

std::string Program::answer(const char* caption, const std::string& expected, int button) const
{
    // Two boxes may be up at once (a question and the abort question over it): the expected one
    // is taken when it comes, any other only after a while.
    for (int waited = 0; waited < 20000; waited += 20) {
        HWND box = expected.empty() ? nullptr : findBox(id_, caption, &expected);
        if (!box && (expected.empty() || waited >= 5000))
            box = findBox(id_, caption);
        if (box) {
            Sleep(50);
            const std::string text = textOf(GetDlgItem(box, 0xFFFF));
            if (text != expected)
                std::fprintf(stderr, "message box: [%s]\n", text.c_str());
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            // Wait for it to go, so that the next answer does not find the same box.
            for (int i = 0; i < 250 && IsWindow(box) && IsWindowVisible(box); ++i)
                Sleep(20);
            return text;
        }
        if (WaitForSingleObject(process_, 20) == WAIT_OBJECT_0)
            break;
    }
    return std::string();
}

namespace {

struct Walk {
    DWORD process;
    std::string text;
};

BOOL CALLBACK describeWindow(HWND window, LPARAM param)
{
    Walk* w = reinterpret_cast<Walk*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == w->process && IsWindowVisible(window)) {
        w->text += "[" + textOf(window) + "]";
        if (HWND box = GetDlgItem(window, 0xFFFF))
            w->text += " says [" + textOf(box) + "]";
        w->text += IsWindowEnabled(window) ? " " : " (disabled) ";
    }
    return TRUE;
}

}  // namespace

std::string Program::describe() const
{
    Walk walk{id_, ""};
    EnumWindows(describeWindow, reinterpret_cast<LPARAM>(&walk));
    return walk.text;
}

void Program::snap(HWND window, const std::string& name) const
{
    const std::string dir = snapDir();
    if (dir.empty() || !window)
        return;
    static const UINT message = RegisterWindowMessageA("qv-e2e-snap");
    static int counter = 0;
    const int number = ++counter;
    HMODULE hook = LoadLibraryA("setup_snap.dll");
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hook, "snapHook")));
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HHOOK installed = proc ? SetWindowsHookExA(WH_GETMESSAGE, proc, hook, thread) : nullptr;
    if (!installed)
        std::fprintf(stderr, "snap: no hook (%lu)\n", GetLastError());
    if (installed) {
        // The hook paints what the window still owes before it takes the picture; the file can be
        // moved once the hook has written and closed it.
        const std::string file = dir + "\\snap-" + std::to_string(number) + ".bmp";
        DeleteFileA(file.c_str());
        PostMessageA(window, message, static_cast<WPARAM>(number), 0);
        waitUntil(
            [&] { return MoveFileExA(file.c_str(), (dir + "\\" + name + ".bmp").c_str(), MOVEFILE_REPLACE_EXISTING); },
            5000);
        UnhookWindowsHookEx(installed);
    }
    if (hook)
        FreeLibrary(hook);
}

std::string textOf(HWND window)
{
    char text[4096] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

HWND currentPage(HWND sheet)
{
    // The page on screen is the sheet's visible child dialog.
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (std::string(cls) == "#32770" && IsWindowVisible(child))
            return child;
    }
    return nullptr;
}

HWND pageItem(HWND sheet, int id) { return GetDlgItem(currentPage(sheet), id); }

void pressSheet(HWND sheet, int button) { PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }

void clickItem(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void setItemText(HWND dialog, int id, const std::string& text)
{
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        5000, nullptr);
}

void settle(HWND window)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
}

bool chooseFolder(const Program& program, const std::string& title, const std::string& folder,
                  const std::string& picture)
{
    HWND chooser = program.waitWindow(title);
    if (!chooser) {
        std::fprintf(stderr, "chooser: not up; %s\n", program.describe().c_str());
        return false;
    }
    // Typing a folder into the (hidden) name field and pressing OK opens it; the label shows it.
    const int nameField = GetDlgItem(chooser, 1148) ? 1148 : 1152;
    // The chooser fills its name field while it sets itself up; typing before it is done would be
    // overwritten.
    for (int i = 0; i < 750 && textOf(GetDlgItem(chooser, nameField)).empty(); ++i)
        Sleep(20);
    settle(chooser);
    setItemText(chooser, nameField, folder);
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    bool opened = false;
    for (int i = 0; i < 750 && !opened; ++i) {
        Sleep(20);
        opened = _stricmp(textOf(GetDlgItem(chooser, 1090)).c_str(), folder.c_str()) == 0;
    }
    // The label changes while the chooser handles the press; the name field follows before it is done.
    settle(chooser);
    if (!opened) {
        std::fprintf(stderr, "chooser: label [%s], name [%s]\n", textOf(GetDlgItem(chooser, 1090)).c_str(),
                     textOf(GetDlgItem(chooser, nameField)).c_str());
        return false;
    }
    if (!picture.empty())
        program.snap(chooser, picture);
    // Opening the folder it is already in tells nothing, so the test puts a name in the field itself.
    setItemText(chooser, nameField, "qv~pick");
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 250 && IsWindow(chooser); ++i)
        Sleep(20);
    return !IsWindow(chooser);
}

std::vector<char> readFile(const std::string& path) { return qv::wholeFile(path); }

bool writeFile(const std::string& path, const std::string& data)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool sameBytes(const std::string& a, const std::string& b)
{
    const std::vector<char> x = readFile(a), y = readFile(b);
    return !x.empty() && x == y;
}

bool registryString(HKEY root, const std::string& key, const char* value, std::string& text)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    char buffer[2048] = "";
    DWORD size = sizeof buffer - 1, type = 0;
    const bool ok = RegQueryValueExA(k, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS;
    RegCloseKey(k);
    text = buffer;
    return ok;
}

bool keyExists(HKEY root, const std::string& key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

void setRegistryString(HKEY root, const std::string& key, const char* value, const std::string& text)
{
    HKEY k;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(k, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(k);
    }
}

DWORD runConsole(const std::string& commandLine, std::string* output)
{
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &sa, 0))
        return 0xFFFFFFFF;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = write;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::string line = commandLine;
    DWORD code = 0xFFFFFFFF;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(write);
        char buffer[4096];
        DWORD n;
        while (ReadFile(read, buffer, sizeof buffer, &n, nullptr) && n > 0)
            if (output)
                output->append(buffer, n);
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    } else {
        CloseHandle(write);
    }
    CloseHandle(read);
    return code;
}

}  // namespace qvtest
