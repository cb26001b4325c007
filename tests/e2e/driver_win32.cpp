// hueline_driver: works the windows of a running program from another process
// of the same Wine prefix, as a user at the keyboard and mouse would, and reads
// back what they show. It knows no window of its own: the end-to-end harness
// (harness.py) says which window is which and what an action means.
//
//   hueline_driver.exe VERB ARGS... [VERB ARGS...]...
//
// The verbs run in order; the first that fails ends the driver with exit code
// 1 after a line "error: ...". Each verb prints "verb=NAME", then its facts as
// "name=value" lines, UTF-8, with a backslash, CR and LF written \\, \r, \n.
//
// A WINDOW is a handle in hex as find prints it, "found" for the window the
// last find of this run found, or "desktop" for the whole screen; each ":ID"
// after it goes to its child control of that ID (0001002a:1003). Numbers are
// decimal or 0x... hex; a WINDOW with a ":ID" stands for its handle where a
// number is wanted (a notification's control).
//
//   find CLASS CAPTION OWNER MS
//       wait up to MS ms for a shown top-level window of the class and caption
//       (* for any) owned by OWNER (* for any, none, or a WINDOW); print count
//       (0 when none came: not a failure), and each one's window and thread,
//       front to back; "found" is then the first
//   post WINDOW MESSAGE WPARAM LPARAM
//   send WINDOW MESSAGE WPARAM LPARAM MS
//       post the message; or send it, fail when it is not answered within MS
//       ms, and print result, took-ms and answered-at (the clock, in ms)
//   settle WINDOW posted|painted
//       posted: wait until the window's thread has dealt with everything
//       posted to it so far (the window, or its first child, must be an edit
//       field: a new caret position there serves as the marker); returns at
//       once when the window has closed. painted: wait until the window and
//       its children have painted everything, and the screen shows it
//   props WINDOW
//       print the window's class, id, text, rect and client (x,y,width,height
//       on the screen), owner, enabled, visible, topmost, minimized, front
//       (the foreground window) and default (a default push button)
//   children WINDOW CLASS
//       the same for each shown child of that class (* for any), in order
//   list WINDOW
//       print a list box's count, selected (-1 for none), top, item-height and
//       each item's text
//   key WINDOW|user NAME
//       press a key (escape, enter, space or a virtual-key number): posted to
//       the window that has the focus in WINDOW's thread, or made by the
//       system's input as the keyboard makes it (user), to the window in
//       front; "alt+X" (user only) presses the letter X with Alt held down
//   front WINDOW
//       bring the window to the front, as a program that takes the foreground does
//   hold NAME MS
//       hold a key down for MS ms by the system's input: press, auto-repeats, release
//   stand CLASS CAPTION MS
//       show a window of that class and caption until it is closed or MS ms have passed
//   click WINDOW X Y|user|item TEXT
//       click the left mouse button: posted at the client point X,Y; made by
//       the system's input in the middle of the window (user); or posted on
//       the item of that text of a list box, scrolled into view first as the
//       scroll bar would
//   pixels WINDOW FILE
//       write the window's client area, as the screen shows it, to FILE as a
//       binary PPM picture
//   cover WINDOW MS
//       cover the window with a black window of this program for MS ms,
//       uncover it, and mark what was uncovered as needing paint
//   process open NAME | end | wait MS
//       open the running process of that executable's name; end it, as the
//       system's Close Program box does (exit code 1); wait up to MS ms for it
//       to end and print its exit-code and ended-at (the clock, in ms)
//   stop NAME RVA MATCH COUNT MS
//       debug the running process of that executable's name and end it (exit
//       code 9) at the start of its COUNT-th call through the import slot at
//       RVA (from its base; the harness reads it from the executable) whose
//       first argument is a string holding MATCH (any case; * for any), before
//       the call does anything; print attached=yes once it is attached (the
//       harness waits for that line), then stopped=yes, or stopped=no when the
//       process ended first or MS ms passed, and the calls that matched
//   system
//       print the Windows version (GetVersion, hex) and the system colours of
//       a dialog's face, a selection and a window's background (R,G,B)
//
// Copied into a folder as test.exe, the driver stands for a test.exe that
// never ends: it starts, shows nothing and sleeps.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT kSettleMs = 5000;  // how long one verb may wait for a window that is busy

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const char* text)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], n);
    return out;
}

void Say(const char* name, const std::string& value)
{
    std::string line;
    for (char c : value) {
        if (c == '\\') line += "\\\\";
        else if (c == '\n') line += "\\n";
        else if (c == '\r') line += "\\r";
        else line += c;
    }
    std::printf("%s=%s\n", name, line.c_str());
    std::fflush(stdout);
}

[[noreturn]] void Fail(const std::string& why)
{
    std::printf("error: %s\n", why.c_str());
    std::fflush(stdout);
    std::exit(1);
}

std::string Decimal(long value) { return std::to_string(value); }

std::string Hex(unsigned long value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*lx", digits, value);
    return text;
}

std::string Handle(HWND window) { return Hex((unsigned long)(UINT_PTR)window, 8); }

std::string Rect(long x, long y, long width, long height)
{
    return Decimal(x) + "," + Decimal(y) + "," + Decimal(width) + "," + Decimal(height);
}

double Milliseconds()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

std::string Figure(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// A message sent to another process's window, answered within kSettleMs ms.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSettleMs, &result))
        Fail("window " + Handle(window) + " does not answer message " + Decimal(message));
    return (LRESULT)result;
}

// Window text read with the wide message: the other process answers in
// UTF-16 whatever its own character set.
std::wstring TextOf(HWND window)
{
    LRESULT length = Ask(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buffer(length + 2, L'\0');
    Ask(window, WM_GETTEXT, buffer.size(), (LPARAM)buffer.data());
    return std::wstring(buffer.data());
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// True once the window has been hidden or destroyed: a dialog that ends is
// hidden first and destroyed a little later.
bool Closed(HWND window)
{
    return !IsWindow(window) || !IsWindowVisible(window);
}

// ---- Naming windows --------------------------------------------------------

HWND found_window = nullptr;  // what the last find found

// The window a WINDOW argument names, or null (with the reason) when it or
// one of its controls is not there.
HWND Lookup(const std::string& name, std::string* why)
{
    size_t colon = name.find(':');
    std::string head = name.substr(0, colon);
    HWND window = nullptr;
    if (head == "found") {
        window = found_window;
        if (!window) *why = "no window was found";
    } else if (head == "desktop") {
        window = GetDesktopWindow();
    } else {
        char* end = nullptr;
        window = (HWND)(UINT_PTR)std::strtoul(head.c_str(), &end, 16);
        if (head.empty() || *end) Fail("not a window: " + name);
        if (!IsWindow(window)) *why = "window " + head + " is gone";
    }
    while (window && colon != std::string::npos) {
        size_t next = name.find(':', colon + 1);
        int id = std::atoi(name.substr(colon + 1, next - colon - 1).c_str());
        HWND parent = window;
        window = GetDlgItem(parent, id);
        if (!window) *why = "window " + Handle(parent) + " has no control " + Decimal(id);
        colon = next;
    }
    return IsWindow(window) ? window : nullptr;
}

HWND WindowNamed(const std::string& name)
{
    std::string why;
    HWND window = Lookup(name, &why);
    if (!window) Fail(why.empty() ? "no window " + name : why);
    return window;
}

// A number, or the handle of a WINDOW that names a control.
LPARAM Number(const std::string& text)
{
    if (text.find(':') != std::string::npos) return (LPARAM)WindowNamed(text);
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end) Fail("not a number: " + text);
    return (LPARAM)value;
}

// ---- find ------------------------------------------------------------------

struct Search {
    std::wstring kind, caption, owner;
    std::vector<HWND> found;
};

bool Matches(HWND window, const Search& search)
{
    if (!IsWindowVisible(window)) return false;
    if (search.kind != L"*" && ClassOf(window) != search.kind) return false;
    if (search.caption != L"*") {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        if (search.caption != text) return false;
    }
    if (search.owner == L"*") return true;
    HWND owner = GetWindow(window, GW_OWNER);
    if (search.owner == L"none") return owner == nullptr;
    return owner == WindowNamed(Utf8(search.owner));
}

BOOL CALLBACK Collect(HWND window, LPARAM search)
{
    Search* s = reinterpret_cast<Search*>(search);
    if (Matches(window, *s)) s->found.push_back(window);
    return TRUE;
}

void Find(const char* kind, const char* caption, const char* owner, DWORD ms)
{
    Search search{Wide(kind), Wide(caption), Wide(owner), {}};
    for (DWORD start = GetTickCount();;) {
        search.found.clear();
        EnumWindows(Collect, (LPARAM)&search);
        if (!search.found.empty() || GetTickCount() - start >= ms) break;
        Sleep(50);
    }
    Say("count", Decimal((long)search.found.size()));
    for (HWND window : search.found) {
        Say("window", Handle(window));
        Say("thread", Hex(GetWindowThreadProcessId(window, nullptr), 4));
    }
    found_window = search.found.empty() ? nullptr : search.found[0];
}

// ---- settle ----------------------------------------------------------------

// Waits until the window's thread has dealt with everything posted to it so
// far. A marker goes in behind that input: a new caret position in an edit
// field. The thread handles posted messages in order, so once the field
// reports the new position the input before it has been handled, or is
// waiting in a message box that the thread runs meanwhile. Returns as well
// when the window closes.
void SettlePosted(const std::string& name)
{
    std::string why;
    HWND window = Lookup(name, &why);
    if (!window || Closed(window)) {
        Say("settled", "closed");
        return;
    }
    HWND field = ClassOf(window) == L"Edit" ? window : FindWindowExW(window, nullptr, L"Edit", nullptr);
    if (!field && Closed(window)) field = window;  // gone while it was looked at
    if (!field) Fail("window " + name + " has no edit field to mark");
    DWORD start = GetTickCount();
    auto caret = [&](DWORD_PTR* at) {
        for (;;) {
            if (Closed(field)) return false;
            if (SendMessageTimeoutW(field, EM_GETSEL, 0, 0, SMTO_NORMAL, 200, at)) return true;
            if (GetTickCount() - start >= kSettleMs) Fail("window " + name + " is still busy");
            Sleep(20);
        }
    };
    DWORD_PTR at = 0;
    if (caret(&at)) {
        WPARAM target = LOWORD(at) == 0 ? 1 : 0;
        PostMessageW(field, EM_SETSEL, target, target);
        while (caret(&at) && LOWORD(at) != target) {
            if (GetTickCount() - start >= kSettleMs) Fail("window " + name + " is still busy");
            Sleep(20);
        }
    }
    Say("settled", Closed(field) ? "closed" : "yes");
}

BOOL CALLBACK NeedsPaint(HWND child, LPARAM any)
{
    if (GetUpdateRect(child, nullptr, FALSE)) *reinterpret_cast<bool*>(any) = true;
    return TRUE;
}

// Waits until the window and its controls have painted everything that needs
// it; the last paint then still has to reach the screen, which takes Wine a
// moment more.
void SettlePainted(HWND window)
{
    DWORD start = GetTickCount();
    for (;;) {
        bool pending = GetUpdateRect(window, nullptr, FALSE) != 0;
        EnumChildWindows(window, NeedsPaint, (LPARAM)&pending);
        if (!pending) break;
        if (GetTickCount() - start >= kSettleMs) Fail("window " + Handle(window) + " is still painting");
        Sleep(20);
    }
    Sleep(300);
    Say("settled", "painted");
}

// ---- props and list --------------------------------------------------------

const char* YesNo(bool yes) { return yes ? "yes" : "no"; }

void PrintProps(HWND window)
{
    Say("window", Handle(window));
    Say("class", Utf8(ClassOf(window)));
    Say("id", Decimal(GetDlgCtrlID(window)));
    Say("text", Utf8(TextOf(window)));
    RECT box;
    GetWindowRect(window, &box);
    Say("rect", Rect(box.left, box.top, box.right - box.left, box.bottom - box.top));
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT client;
    GetClientRect(window, &client);
    Say("client", Rect(origin.x, origin.y, client.right, client.bottom));
    HWND owner = GetWindow(window, GW_OWNER);
    Say("owner", owner ? Handle(owner) : "none");
    Say("enabled", YesNo(IsWindowEnabled(window)));
    Say("visible", YesNo(IsWindowVisible(window)));
    Say("topmost", YesNo(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST));
    Say("minimized", YesNo(IsIconic(window)));
    Say("front", YesNo(GetForegroundWindow() == window));
    Say("default", YesNo(Ask(window, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON));
}

BOOL CALLBACK ListChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

void PrintChildren(HWND window, const std::wstring& kind)
{
    std::vector<HWND> children;
    EnumChildWindows(window, ListChild, (LPARAM)&children);
    for (HWND child : children) {
        if (IsWindowVisible(child) && (kind == L"*" || ClassOf(child) == kind)) PrintProps(child);
    }
}

std::wstring ListItem(HWND list, int index)
{
    LRESULT length = Ask(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return std::wstring();
    std::vector<wchar_t> buffer(length + 2, L'\0');
    Ask(list, LB_GETTEXT, index, (LPARAM)buffer.data());
    return std::wstring(buffer.data());
}

void PrintList(HWND list)
{
    int count = (int)Ask(list, LB_GETCOUNT, 0, 0);
    Say("count", Decimal(count));
    Say("selected", Decimal((long)Ask(list, LB_GETCURSEL, 0, 0)));
    Say("top", Decimal((long)Ask(list, LB_GETTOPINDEX, 0, 0)));
    Say("item-height", Decimal((long)Ask(list, LB_GETITEMHEIGHT, 0, 0)));
    for (int i = 0; i < count; ++i) Say("item", Utf8(ListItem(list, i)));
}

// ---- key and click ---------------------------------------------------------

WORD KeyNamed(const std::string& name)
{
    if (name == "escape") return VK_ESCAPE;
    if (name == "enter") return VK_RETURN;
    if (name == "space") return VK_SPACE;
    return (WORD)Number(name);
}

// A key goes to the window that has the keyboard focus in the window's
// thread, through that thread's message loop, as the keyboard would send it.
void PostKey(HWND window, WORD key)
{
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND target = window;
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus) target = info.hwndFocus;
    UINT scan = MapVirtualKeyW(key, 0);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
    Say("key-to", Handle(target));
}

// A key as the keyboard makes it: into the system's input queue, to the
// window in front.
void UserKey(WORD key, bool alt)
{
    INPUT input[4] = {};
    WORD keys[4] = {VK_MENU, key, key, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        input[i].type = INPUT_KEYBOARD;
        input[i].ki.wVk = keys[i];
        input[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(alt ? 4 : 2, input + (alt ? 0 : 1), sizeof(INPUT));
}

void HoldKey(WORD key, DWORD ms)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(33)) SendInput(1, &input, sizeof(INPUT));
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(INPUT));
}

// Another program's window: DefWindowProc destroys it at WM_CLOSE.
void Stand(const std::string& kind, const std::string& caption, DWORD ms)
{
    std::wstring name = Wide(kind.c_str());
    WNDCLASSW type = {};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = name.c_str();
    RegisterClassW(&type);
    HWND window = CreateWindowExW(0, name.c_str(), Wide(caption.c_str()).c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                  100, nullptr, nullptr, type.hInstance, nullptr);
    if (!window) Fail("the window could not be made");
    ShowWindow(window, SW_SHOWNOACTIVATE);
    for (DWORD start = GetTickCount(); IsWindow(window) && GetTickCount() - start < ms; Sleep(20)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
}

// A click of the left button in the middle of a window, as the mouse makes
// it: into the system's input queue, to the window under the pointer.
void UserClick(HWND window)
{
    RECT box;
    GetWindowRect(window, &box);
    SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    Sleep(50);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(50);
}

void PostClick(HWND window, int x, int y)
{
    LPARAM at = MAKELPARAM(x, y);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

// A list box's item is clicked where it shows, after scrolling it into view
// as the scroll bar would; the list box then selects it and tells its parent.
void ClickItem(HWND list, const std::wstring& text)
{
    int count = (int)Ask(list, LB_GETCOUNT, 0, 0);
    int index = 0;
    while (index < count && ListItem(list, index) != text) ++index;
    if (index == count) Fail("list " + Handle(list) + " has no item " + Utf8(text));
    RECT client;
    GetClientRect(list, &client);
    int height = (int)Ask(list, LB_GETITEMHEIGHT, 0, 0);
    if (height <= 0) Fail("list " + Handle(list) + " has no item height");
    int top = (int)Ask(list, LB_GETTOPINDEX, 0, 0);
    if (index < top || index >= top + (client.bottom - client.top) / height) {
        Ask(list, LB_SETTOPINDEX, index, 0);
        top = (int)Ask(list, LB_GETTOPINDEX, 0, 0);
    }
    PostClick(list, client.left + 10, (index - top) * height + height / 2);
    Say("clicked", Decimal(index));
}

// ---- pixels and cover ------------------------------------------------------

void WritePixels(HWND window, const char* path)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT client;
    GetClientRect(window, &client);
    int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) Fail("window " + Handle(window) + " has no client area");
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!picture) Fail("no bitmap for the pixels");
    HGDIOBJ old = SelectObject(memory, picture);
    BOOL copied = BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::vector<unsigned char> rgb;
    rgb.reserve((size_t)width * height * 3);
    const unsigned char* bgra = static_cast<const unsigned char*>(bits);
    for (size_t i = 0; i < (size_t)width * height; ++i) {
        rgb.push_back(bgra[4 * i + 2]);
        rgb.push_back(bgra[4 * i + 1]);
        rgb.push_back(bgra[4 * i]);
    }
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) Fail("the screen's pixels could not be read");
    FILE* file = std::fopen(path, "wb");
    if (!file) Fail(std::string("cannot write ") + path);
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    bool written = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    if (std::fclose(file) != 0 || !written) Fail(std::string("cannot write ") + path);
    Say("pixels", Decimal(width) + "x" + Decimal(height));
}

LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

// A plain black window of this program over the whole window, shown and
// painted, then destroyed. Wine keeps a copy of every window's pixels and puts
// an uncovered part back from it without asking the program; Windows 9x keeps
// no such copy: it marks what was uncovered as needing paint, background
// erase included, and the window repaints it. The driver marks it so itself.
void Cover(HWND window, DWORD ms)
{
    WNDCLASSW kind = {};
    kind.lpfnWndProc = CoverProc;
    kind.hInstance = GetModuleHandleW(nullptr);
    kind.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    kind.lpszClassName = L"HuelineDriverCover";
    RegisterClassW(&kind);
    RECT box;
    GetWindowRect(window, &box);
    HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kind.lpszClassName, L"", WS_POPUP,
                                 box.left, box.top, box.right - box.left, box.bottom - box.top,
                                 nullptr, nullptr, kind.hInstance, nullptr);
    if (!cover) Fail("the covering window could not be made");
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    UpdateWindow(cover);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(20);
    }
    DestroyWindow(cover);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Say("covered", Decimal((long)ms));
}

// ---- process and system ----------------------------------------------------

HANDLE opened_process = nullptr;  // what the last "process open" opened

DWORD ProcessIdNamed(const std::string& name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) Fail("cannot list the processes");
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD id = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, name.c_str()) == 0) id = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    if (!id) Fail(name + " is not running");
    return id;
}

void OpenProcessNamed(const std::string& name)
{
    DWORD id = ProcessIdNamed(name);
    opened_process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    if (!opened_process) Fail("cannot open " + name + "'s process");
    Say("process", Decimal((long)id));
}

void WaitProcess(DWORD ms)
{
    if (WaitForSingleObject(opened_process, ms) != WAIT_OBJECT_0)
        Fail("the process did not end within " + Decimal((long)ms) + " ms");
    double ended = Milliseconds();
    DWORD code = 0;
    GetExitCodeProcess(opened_process, &code);
    Say("exit-code", Decimal((long)code));
    Say("ended-at", Figure(ended));
}

// A breakpoint at the function an import slot of the debugged process points
// to: the call is looked at before its first instruction runs.
void StopAt(const std::string& name, DWORD_PTR rva, const std::string& match, long count, DWORD ms)
{
    DWORD id = ProcessIdNamed(name);
    if (!DebugActiveProcess(id)) Fail("cannot debug " + name);
    HANDLE process = nullptr;
    BYTE* entry = nullptr;
    BYTE saved = 0, trap = 0xCC;
    bool stepping = false;
    long matched = 0;
    std::string wanted = match;
    CharLowerA(&wanted[0]);
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, 100)) continue;
        DWORD status = DBG_CONTINUE;
        if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
            process = event.u.CreateProcessInfo.hProcess;
            BYTE* base = (BYTE*)event.u.CreateProcessInfo.lpBaseOfImage;
            if (!ReadProcessMemory(process, base + rva, &entry, sizeof entry, nullptr) ||
                !ReadProcessMemory(process, entry, &saved, 1, nullptr) ||
                !WriteProcessMemory(process, entry, &trap, 1, nullptr))
                Fail("cannot set the breakpoint");
            FlushInstructionCache(process, entry, 1);
            if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
            Say("attached", "yes");
        } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
            if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        } else if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
            break;
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT) {
            const EXCEPTION_RECORD& x = event.u.Exception.ExceptionRecord;
            HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, event.dwThreadId);
            CONTEXT c = {};
            c.ContextFlags = CONTEXT_FULL;
            GetThreadContext(thread, &c);
            if (x.ExceptionCode == EXCEPTION_BREAKPOINT && (BYTE*)x.ExceptionAddress == entry) {
#ifdef _WIN64
                DWORD_PTR argument = c.Rcx;
#else
                DWORD_PTR argument = 0;
                ReadProcessMemory(process, (BYTE*)(DWORD_PTR)c.Esp + 4, &argument, 4, nullptr);
#endif
                char text[MAX_PATH] = {};
                ReadProcessMemory(process, (void*)argument, text, sizeof text - 1, nullptr);
                CharLowerA(text);
                if (match == "*" || std::strstr(text, wanted.c_str())) {
                    if (++matched == count) {
                        TerminateProcess(process, 9);
                        Say("stopped", "yes");
                        Say("calls", Decimal(matched));
                        return;
                    }
                }
                // Over the breakpoint: the byte back, one instruction, the breakpoint again.
                WriteProcessMemory(process, entry, &saved, 1, nullptr);
                FlushInstructionCache(process, entry, 1);
#ifdef _WIN64
                c.Rip = (DWORD64)entry;
#else
                c.Eip = (DWORD)(DWORD_PTR)entry;
#endif
                c.EFlags |= 0x100;
                SetThreadContext(thread, &c);
                stepping = true;
            } else if (x.ExceptionCode == EXCEPTION_SINGLE_STEP && stepping) {
                WriteProcessMemory(process, entry, &trap, 1, nullptr);
                FlushInstructionCache(process, entry, 1);
                stepping = false;
            } else if (x.ExceptionCode != EXCEPTION_BREAKPOINT) {
                status = DBG_EXCEPTION_NOT_HANDLED;  // the program's own
            }
            CloseHandle(thread);
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    if (process && entry) {
        WriteProcessMemory(process, entry, &saved, 1, nullptr);
        FlushInstructionCache(process, entry, 1);
    }
    DebugActiveProcessStop(id);
    Say("stopped", "no");
    Say("calls", Decimal(matched));
}

std::string Rgb(int index)
{
    COLORREF c = GetSysColor(index);
    return Decimal(GetRValue(c)) + "," + Decimal(GetGValue(c)) + "," + Decimal(GetBValue(c));
}

void PrintSystem()
{
    Say("get-version", Hex(GetVersion(), 8));
    Say("face-color", Rgb(COLOR_BTNFACE));
    Say("highlight-color", Rgb(COLOR_HIGHLIGHT));
    Say("window-color", Rgb(COLOR_WINDOW));
}

}  // namespace

int main(int argc, char** argv)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const char* name = std::max(std::strrchr(self, '\\'), std::strrchr(self, '/'));
    if (name && lstrcmpiA(name + 1, "test.exe") == 0) Sleep(INFINITE);  // a test.exe that never ends

    int i = 1;
    auto next = [&](const char* what) -> std::string {
        if (i >= argc) Fail(std::string("missing ") + what);
        return argv[i++];
    };
    auto number = [&](const char* what) { return Number(next(what)); };
    auto window = [&]() { return WindowNamed(next("window")); };
    if (argc < 2) Fail("no verb given");
    while (i < argc) {
        std::string verb = argv[i++];
        Say("verb", verb);
        if (verb == "find") {
            std::string kind = next("class"), caption = next("caption"), owner = next("owner");
            Find(kind.c_str(), caption.c_str(), owner.c_str(), (DWORD)number("milliseconds"));
        } else if (verb == "post" || verb == "send") {
            HWND target = window();
            UINT message = (UINT)number("message");
            WPARAM wParam = (WPARAM)number("wParam");
            LPARAM lParam = number("lParam");
            if (verb == "post") {
                if (!PostMessageW(target, message, wParam, lParam)) Fail("the message could not be posted");
                continue;
            }
            DWORD ms = (DWORD)number("milliseconds");
            double start = Milliseconds();
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(target, message, wParam, lParam, SMTO_NORMAL, ms, &result))
                Fail("window " + Handle(target) + " did not answer within " + Decimal((long)ms) + " ms");
            double answered = Milliseconds();
            Say("result", Decimal((long)result));
            Say("took-ms", Figure(answered - start));
            Say("answered-at", Figure(answered));
        } else if (verb == "settle") {
            std::string target = next("window"), what = next("posted or painted");
            if (what == "posted") SettlePosted(target);
            else if (what == "painted") SettlePainted(WindowNamed(target));
            else Fail("settle posted or painted");
        } else if (verb == "props") {
            PrintProps(window());
        } else if (verb == "children") {
            HWND target = window();
            PrintChildren(target, Wide(next("class").c_str()));
        } else if (verb == "list") {
            PrintList(window());
        } else if (verb == "key") {
            std::string target = next("window or user"), name = next("key");
            bool alt = name.size() == 5 && name.rfind("alt+", 0) == 0 && target == "user";
            WORD key = alt ? (WORD)std::toupper((unsigned char)name[4]) : KeyNamed(name);
            if (target == "user") UserKey(key, alt);
            else PostKey(WindowNamed(target), key);
        } else if (verb == "front") {
            HWND target = window();
            SetForegroundWindow(target);
            Say("front", YesNo(GetForegroundWindow() == target));
        } else if (verb == "hold") {
            WORD key = KeyNamed(next("key"));
            HoldKey(key, (DWORD)number("milliseconds"));
        } else if (verb == "stand") {
            std::string kind = next("class"), caption = next("caption");
            Stand(kind, caption, (DWORD)number("milliseconds"));
        } else if (verb == "click") {
            HWND target = window();
            std::string x = next("x, user or item");
            if (x == "user") {
                UserClick(target);
            } else if (x == "item") {
                ClickItem(target, Wide(next("item").c_str()));
            } else {
                int y = (int)number("y");
                PostClick(target, (int)Number(x), y);
            }
        } else if (verb == "pixels") {
            HWND target = window();
            WritePixels(target, next("file").c_str());
        } else if (verb == "cover") {
            HWND target = window();
            Cover(target, (DWORD)number("milliseconds"));
        } else if (verb == "stop") {
            std::string name = next("name");
            DWORD_PTR rva = (DWORD_PTR)number("slot");
            std::string match = next("match");
            long count = number("count");
            StopAt(name, rva, match, count, (DWORD)number("milliseconds"));
        } else if (verb == "process") {
            std::string what = next("open, end or wait");
            if (what == "open") {
                OpenProcessNamed(next("name"));
            } else if (!opened_process) {
                Fail("no process is open");
            } else if (what == "end") {
                TerminateProcess(opened_process, 1);
            } else if (what == "wait") {
                WaitProcess((DWORD)number("milliseconds"));
            } else {
                Fail("process open, end or wait");
            }
        } else if (verb == "system") {
            PrintSystem();
        } else {
            Fail("unknown verb " + verb);
        }
    }
    return 0;
}
