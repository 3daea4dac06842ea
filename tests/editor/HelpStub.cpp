// A stand-in for the HTML Help control, for the test of how the editor finds and loads it: it shows
// nothing, answers every request with a window, and remembers the requests.
#include <windows.h>

namespace {
int gCalls;
HWND gOwner;
UINT gCommand = 0xFFFFFFFFu;
char gFile[MAX_PATH];
}  // namespace

extern "C" HWND WINAPI HtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR)
{
    ++gCalls;
    gOwner = owner;
    gCommand = command;
    lstrcpynA(gFile, file ? file : "", MAX_PATH);
    return GetDesktopWindow();
}

// How many requests came, and the last one's owner, command and file.
extern "C" int WINAPI helpStubRequests(HWND* owner, UINT* command, char* file, int size)
{
    if (owner)
        *owner = gOwner;
    if (command)
        *command = gCommand;
    if (file && size > 0)
        lstrcpynA(file, gFile, size);
    return gCalls;
}
