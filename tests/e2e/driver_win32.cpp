// hueline_driver: works a running hueline.exe from another process of the
// same Wine prefix, the way a user at the keyboard and mouse would, and reads
// back what its window shows.
//
//   hueline_driver.exe ACTION [ARGS...] [ACTION [ARGS...]]...
//
// The actions run in order; the first one that fails ends the driver with
// exit code 1 after a line "error: ...". Every action that puts input into the
// main window posts it (so a message box it opens cannot block the driver)
// and then waits until the window has dealt with it (see Settle).
//
//   wait MS                 wait up to MS ms for the main window to be shown;
//                           print its handle and its thread's id
//   gone MS                 wait up to MS ms for the main window to disappear
//   select LIST NAME        click the item NAME of a list (IDC_BACK_LIST, IDC_TEXT_LIST)
//   click ID                press the push button ID with the mouse
//   command ID              choose the menu command ID; any WM_COMMAND
//                           wParam may be given (0x... for hex), so a
//                           control notification can be sent as well
//   key escape|enter        press a key while the main window is active
//   close                   press the caption's close box
//   state                   print the two Current fields, the selected list
//                           items, the window's place on the screen and
//                           whether a "Restart?" box is open
//   question MS             wait up to MS ms for the "Restart?" box; print
//                           its owner, texts and buttons
//   answer yes|no|enter     answer the "Restart?" box (enter: press Enter)
//   start ID                press the push button ID, or choose the menu
//                           command ID, without waiting for the main window:
//                           the full-screen test keeps it busy
//   screen MS               wait up to MS ms for test.exe's full-screen
//                           window; print its place, and whether it is
//                           topmost and in front
//   screens                 print how many full-screen windows are open
//   end-screen key|click|outside
//                           press a key or click the mouse, as the user
//                           would, on test.exe's window, or end test.exe
//                           from outside (TerminateProcess, as the system's
//                           Close Program box does); wait for test.exe to
//                           end and print its exit code; then print how
//                           long the main window took to answer after that,
//                           and whether it is in front
//   held MS                 wait up to MS ms for the main window to take no
//                           input (a full-screen test runs)
//   ping COUNT              send the main window COUNT messages from this
//                           process (SendMessageTimeoutA, one at a time);
//                           print the slowest and the median answer in ms
//   user-click ID           click the middle of control ID of the main
//                           window with the mouse, as the user would,
//                           without waiting for the window
//   place                   print where the main window's client area and
//                           its "Preview" group box lie on the screen, once
//                           the window has painted everything
//   cover MS                cover the main window with a window of this
//                           program for MS ms, uncover it again, and wait
//                           until it has painted what was uncovered
//   cover-held MS           the same while a full-screen test holds the
//                           window: only its painting is waited for
//   about MS                wait up to MS ms for the About box; print its
//                           owner, its place and whether the main window
//                           takes input meanwhile
//   about-key escape|enter  press a key in the About box
//   about-close             press the About box's close box; wait until it
//                           has gone
//   about-state             print whether the About box is open
//   layout LIST             print where each visible item of a list shows on
//                           the screen, which one is selected, and the
//                           system colours of a dialog and of a selection
//   version                 print the Windows version the prefix reports
//                           (GetVersion: "4.10" and "9x" on Windows 98)
//   message MS              wait up to MS ms for a "Hueline" message box;
//                           print its owner, texts and buttons
//   ok                      press OK in the "Hueline" message box
//   message-button ID       press the button ID (6 Yes, 7 No) in the
//                           "Hueline" message box
//   windows                 print how many main windows are shown, and
//                           whether the main window is minimized
//   minimize                minimize the main window
//   post ID                 choose the menu command ID and return at once,
//                           while the window may still be busy with it
//
// Lines printed are "name=value", UTF-8.
//
// Copied into a folder as test.exe, the driver stands for a test.exe that
// never ends: it starts, shows nothing and sleeps.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "test_exe/screen_window.h"
#include "resources/resource.h"

namespace {

const wchar_t kMainCaption[] = L"Hueline - Change your blue screen of death!";
const wchar_t kQuestionCaption[] = L"Restart?";
const wchar_t kMessageCaption[] = L"Hueline";
const UINT kSettleMs = 5000;  // how long one action may keep the window busy

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
    std::printf("%s=%s\n", name, value.c_str());
    std::fflush(stdout);
}

[[noreturn]] void Fail(const std::string& why)
{
    std::printf("error: %s\n", why.c_str());
    std::fflush(stdout);
    std::exit(1);
}

// Window text read with the wide message: the other process answers in
// UTF-16 whatever its own character set.
std::wstring TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSettleMs, &length))
        Fail("the window does not answer WM_GETTEXTLENGTH");
    std::vector<wchar_t> buffer(length + 2, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), (LPARAM)buffer.data(), SMTO_ABORTIFHUNG, kSettleMs, &got);
    return std::wstring(buffer.data());
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

HWND FindMain()
{
    HWND window = FindWindowW(L"#32770", kMainCaption);
    return (window && IsWindowVisible(window)) ? window : nullptr;
}

HWND MainOrFail()
{
    HWND window = FindMain();
    if (!window) Fail("the main window is not open");
    return window;
}

// True once the window has been hidden or destroyed: a dialog that ends is
// hidden first and destroyed a little later.
bool Closed(HWND window)
{
    return !IsWindow(window) || !IsWindowVisible(window);
}

// Waits until the main window's thread has dealt with everything posted to it
// so far. A marker goes in behind that input: a new caret position in the
// read-only field IDC_BACK_CURRENT, which nothing else moves. The thread handles posted
// messages in order, so once the field reports the new position the input
// before it has been handled, or is waiting in a message box that the thread
// runs meanwhile. Returns as well when the window closes.
void Settle(HWND dialog)
{
    HWND field = GetDlgItem(dialog, IDC_BACK_CURRENT);
    if (!field) return;
    DWORD start = GetTickCount();
    auto caret = [&](DWORD_PTR* at) {
        for (;;) {
            if (Closed(dialog)) return false;
            if (SendMessageTimeoutW(field, EM_GETSEL, 0, 0, SMTO_NORMAL, 200, at)) return true;
            if (GetTickCount() - start >= kSettleMs) Fail("the main window is still busy");
            Sleep(20);
        }
    };
    DWORD_PTR at = 0;
    if (!caret(&at)) return;
    WPARAM target = LOWORD(at) == 0 ? 1 : 0;
    PostMessageW(field, EM_SETSEL, target, target);
    for (;;) {
        if (!caret(&at) || LOWORD(at) == target) return;
        if (GetTickCount() - start >= kSettleMs) Fail("the main window is still busy");
        Sleep(20);
    }
}

HWND Control(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) Fail("no control " + std::to_string(id));
    return control;
}

std::wstring ListItem(HWND list, int index)
{
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return std::wstring();
    std::vector<wchar_t> buffer(length + 2, L'\0');
    SendMessageW(list, LB_GETTEXT, index, (LPARAM)buffer.data());
    return std::wstring(buffer.data());
}

std::string SelectedItem(HWND list)
{
    LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return "<none>";
    return Utf8(ListItem(list, (int)index));
}

// The item is clicked where it shows, after scrolling it into view as the
// scroll bar would; the list box then selects it and tells the dialog itself.
void SelectItem(HWND dialog, int id, const std::wstring& name)
{
    HWND list = Control(dialog, id);
    int count = (int)SendMessageW(list, LB_GETCOUNT, 0, 0);
    int index = -1;
    for (int i = 0; i < count; ++i) {
        if (ListItem(list, i) == name) { index = i; break; }
    }
    if (index < 0) Fail("list " + std::to_string(id) + " has no item " + Utf8(name));

    RECT client;
    GetClientRect(list, &client);
    int height = (int)SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    if (height <= 0) Fail("list " + std::to_string(id) + " has no item height");
    int visible = (client.bottom - client.top) / height;
    int top = (int)SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    if (index < top || index >= top + visible) {
        SendMessageW(list, LB_SETTOPINDEX, index, 0);
        top = (int)SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    }
    LPARAM at = MAKELPARAM(client.left + 10, (index - top) * height + height / 2);
    PostMessageW(list, WM_MOUSEMOVE, 0, at);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    Settle(dialog);
    if (SendMessageW(list, LB_GETCURSEL, 0, 0) != index)
        Fail("the click did not select " + Utf8(name) + " in list " + std::to_string(id));
}

void PressButton(HWND dialog, int id)
{
    HWND button = Control(dialog, id);
    if (ClassOf(button) != L"Button") Fail("control " + std::to_string(id) + " is not a button");
    PostMessageW(button, BM_CLICK, 0, 0);
    Settle(dialog);
}

HWND FindQuestion()
{
    HWND box = FindWindowW(L"#32770", kQuestionCaption);
    return (box && IsWindowVisible(box)) ? box : nullptr;
}

HWND FindMessage()
{
    HWND box = FindWindowW(L"#32770", kMessageCaption);
    return (box && IsWindowVisible(box)) ? box : nullptr;
}

HWND WaitFor(HWND (*find)(), DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = find();
        if (window) return window;
        if (GetTickCount() - start >= ms) return nullptr;
        Sleep(50);
    }
}

// A key goes to the window that has the keyboard focus in the main window's
// thread, through that thread's message loop, as the keyboard would send it.
void PressKey(HWND window, WORD key)
{
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    HWND target = window;
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus) target = info.hwndFocus;
    UINT scan = MapVirtualKeyW(key, 0);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
    Say("key-to", Utf8(ClassOf(target)) + "#" + std::to_string(GetDlgCtrlID(target)));
}

WORD KeyNamed(const std::string& name)
{
    if (name == "escape") return VK_ESCAPE;
    if (name == "enter") return VK_RETURN;
    Fail("unknown key " + name);
}

std::string Decimal(long value) { return std::to_string(value); }

void PrintState(HWND dialog)
{
    Settle(dialog);
    Say("back-current", Utf8(TextOf(Control(dialog, IDC_BACK_CURRENT))));
    Say("text-current", Utf8(TextOf(Control(dialog, IDC_TEXT_CURRENT))));
    Say("back-list", SelectedItem(Control(dialog, IDC_BACK_LIST)));
    Say("text-list", SelectedItem(Control(dialog, IDC_TEXT_LIST)));
    RECT box;
    GetWindowRect(dialog, &box);
    Say("rect", Decimal(box.left) + "," + Decimal(box.top) + "," + Decimal(box.right - box.left) + "," +
                    Decimal(box.bottom - box.top));
    RECT client;
    GetClientRect(dialog, &client);
    Say("client-size", Decimal(client.right) + "x" + Decimal(client.bottom));
    Say("question", FindQuestion() ? "open" : "none");
    Say("message", FindMessage() ? "open" : "none");
}

BOOL CALLBACK ListChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// Prints a message box as NAME-owner, NAME-text, NAME-buttons, NAME-default.
void PrintBox(HWND box, const std::string& name)
{
    HWND main = FindWindowW(L"#32770", kMainCaption);
    HWND owner = GetWindow(box, GW_OWNER);
    Say((name + "-owner").c_str(), owner && owner == main ? "main" : (owner ? "other" : "none"));
    std::vector<HWND> children;
    EnumChildWindows(box, ListChild, (LPARAM)&children);
    std::string buttons;
    for (HWND child : children) {
        if (!IsWindowVisible(child)) continue;
        std::wstring kind = ClassOf(child);
        std::wstring text = TextOf(child);
        if (kind == L"Button") {
            if (!buttons.empty()) buttons += ",";
            buttons += Utf8(text) + "#" + Decimal(GetDlgCtrlID(child));
            if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) Say((name + "-default").c_str(), Utf8(text));
        } else if (kind == L"Static" && !text.empty()) {
            std::string line = Utf8(text);
            for (char& c : line) {
                if (c == '\n') c = '|';
                if (c == '\r') c = '^';
            }
            Say((name + "-text").c_str(), line);
        }
    }
    Say((name + "-buttons").c_str(), buttons);
}

void PrintQuestion(HWND box) { PrintBox(box, "question"); }

BOOL CALLBACK CountMain(HWND window, LPARAM count)
{
    if (IsWindowVisible(window) && ClassOf(window) == L"#32770" && TextOf(window) == kMainCaption)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

std::string Rgb(int index)
{
    COLORREF c = GetSysColor(index);
    return Decimal(GetRValue(c)) + "," + Decimal(GetGValue(c)) + "," + Decimal(GetBValue(c));
}

// The visible items of a list as screen rectangles, as a picture of the
// screen should show them.
void PrintLayout(HWND dialog, int id)
{
    Settle(dialog);
    HWND list = Control(dialog, id);
    RECT client;
    GetClientRect(list, &client);
    int height = (int)SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    if (height <= 0) Fail("list " + std::to_string(id) + " has no item height");
    int count = (int)SendMessageW(list, LB_GETCOUNT, 0, 0);
    int top = (int)SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    Say("selected", Decimal((long)SendMessageW(list, LB_GETCURSEL, 0, 0)));
    for (int i = top; i < count && (i - top + 1) * height <= client.bottom; ++i) {
        POINT corner = {client.left, (i - top) * height};
        ClientToScreen(list, &corner);
        Say("item", Decimal(i) + "," + Decimal(corner.x) + "," + Decimal(corner.y) + "," +
                        Decimal(client.right - client.left) + "," + Decimal(height));
    }
    Say("face-color", Rgb(COLOR_BTNFACE));
    Say("highlight-color", Rgb(COLOR_HIGHLIGHT));
    Say("window-color", Rgb(COLOR_WINDOW));
}

int ParseInt(const char* text)
{
    char* end = nullptr;
    long value = std::strtol(text, &end, 0);
    if (!end || *end) Fail(std::string("not a number: ") + text);
    return (int)value;
}

// ---- The full-screen test ------------------------------------------------------

HWND FindScreen()
{
    HWND window = FindWindowA(TEST_SCREEN_CLASS, nullptr);
    return (window && IsWindowVisible(window)) ? window : nullptr;
}

BOOL CALLBACK CountScreen(HWND window, LPARAM count)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, TEST_SCREEN_CLASS) == 0 && IsWindowVisible(window)) ++*(int*)count;
    return TRUE;
}

void PrintScreen(HWND screen)
{
    RECT box;
    GetWindowRect(screen, &box);
    Say("screen-rect", Decimal(box.left) + "," + Decimal(box.top) + "," + Decimal(box.right - box.left) + "," +
                           Decimal(box.bottom - box.top));
    Say("screen-size", Decimal(GetSystemMetrics(SM_CXSCREEN)) + "x" + Decimal(GetSystemMetrics(SM_CYSCREEN)));
    Say("screen-topmost", (GetWindowLongW(screen, GWL_EXSTYLE) & WS_EX_TOPMOST) ? "yes" : "no");
    // test.exe shows its window, then takes the foreground: give it the time
    // a user would.
    HWND front = GetForegroundWindow();
    for (DWORD start = GetTickCount(); front != screen && GetTickCount() - start < kSettleMs;) {
        Sleep(20);
        front = GetForegroundWindow();
    }
    Say("screen-front", front == screen ? "yes" : "no, " + (front ? Utf8(ClassOf(front)) : std::string("none")));
}

double Milliseconds()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * (double)now.QuadPart / (double)frequency.QuadPart;
}

// A click of the left button in the middle of a window, as the mouse makes
// it: into the system's input queue, to the window under the pointer.
void ClickMiddle(HWND window)
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
}

// A key as the keyboard makes it, to the window in front, or a click.
void UserInput(HWND screen, bool key)
{
    if (!key) {
        ClickMiddle(screen);
        return;
    }
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = VK_SPACE;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// The running test.exe, found by its name among the processes.
HANDLE OpenTestProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) Fail("cannot list the processes");
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD id = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "test.exe") == 0) id = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    if (!id) Fail("test.exe is not running");
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    if (!process) Fail("cannot open test.exe's process");
    return process;
}

void EndScreen(const std::string& how)
{
    if (how != "key" && how != "click" && how != "outside") Fail("end-screen key, click or outside");
    HANDLE process = OpenTestProcess();
    if (how == "outside") {
        TerminateProcess(process, 1);
    } else {
        HWND screen = FindScreen();
        if (!screen) Fail("no full-screen window is open");
        UserInput(screen, how == "key");
    }
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) Fail("test.exe did not end within 10 s");
    double ended = Milliseconds();
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    Say("screen-exit-code", Decimal((long)code));

    HWND main = FindWindowW(L"#32770", kMainCaption);
    if (!main) Fail("the main window is gone");
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored))
        Fail("the main window did not answer within 10 s of the end of test.exe");
    char delay[32];
    std::snprintf(delay, sizeof delay, "%.1f", Milliseconds() - ended);
    Say("answer-delay-ms", delay);
    Settle(main);
    Say("main-front", GetForegroundWindow() == main ? "yes" : "no");
}

const UINT kHangMs = 5000;  // a window that takes longer to answer hangs

// Messages sent to the main window one after the other, each answer timed.
void Ping(int count)
{
    HWND main = FindWindowW(L"#32770", kMainCaption);
    if (!main) Fail("the main window is gone");
    std::vector<double> took;
    for (int i = 0; i < count; ++i) {
        double start = Milliseconds();
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, kHangMs, &ignored))
            Fail("the main window did not answer within 5 s");
        took.push_back(Milliseconds() - start);
        Sleep(20);
    }
    std::sort(took.begin(), took.end());
    char figures[64];
    std::snprintf(figures, sizeof figures, "%.1f", took.back());
    Say("answer-ms-highest", figures);
    std::snprintf(figures, sizeof figures, "%.1f", took[took.size() / 2]);
    Say("answer-ms-median", figures);
}

// ---- The preview and the About box ------------------------------------------

const wchar_t kAboutCaption[] = L"Hueline - About";

HWND FindAbout()
{
    HWND box = FindWindowW(L"#32770", kAboutCaption);
    return (box && IsWindowVisible(box)) ? box : nullptr;
}

HWND AboutOrFail()
{
    HWND box = FindAbout();
    if (!box) Fail("the About box is not open");
    return box;
}

BOOL CALLBACK NeedsPaint(HWND child, LPARAM any)
{
    if (GetUpdateRect(child, nullptr, FALSE)) *reinterpret_cast<bool*>(any) = true;
    return TRUE;
}

// Waits until the window and its controls have painted everything that needs
// it; the last paint then still has to reach the screen, which takes Wine a
// moment more.
void WaitPainted(HWND window)
{
    DWORD start = GetTickCount();
    for (;;) {
        bool pending = GetUpdateRect(window, nullptr, FALSE) != 0;
        EnumChildWindows(window, NeedsPaint, (LPARAM)&pending);
        if (!pending) break;
        if (GetTickCount() - start >= kSettleMs) Fail("the window is still painting");
        Sleep(20);
    }
    Sleep(300);
}

BOOL CALLBACK FindPreviewBox(HWND child, LPARAM found)
{
    if (ClassOf(child) == L"Button" && TextOf(child) == L"Preview") *reinterpret_cast<HWND*>(found) = child;
    return TRUE;
}

void PrintPlace(const char* name, HWND window)
{
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT client;
    GetClientRect(window, &client);
    RECT box;
    GetWindowRect(window, &box);
    Say((std::string(name) + "-client").c_str(), Decimal(origin.x) + "," + Decimal(origin.y) + "," +
                                                     Decimal(client.right) + "," + Decimal(client.bottom));
    Say((std::string(name) + "-rect").c_str(), Decimal(box.left) + "," + Decimal(box.top) + "," +
                                                   Decimal(box.right - box.left) + "," + Decimal(box.bottom - box.top));
}

LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

// A plain black window of this program over the whole main window, shown and
// painted, then destroyed. Wine keeps a copy of every window's pixels and puts
// an uncovered part back from it without asking the program; Windows 9x keeps
// no such copy: it marks what was uncovered as needing paint, background
// erase included, and the window repaints it. The driver marks it so itself.
void Cover(HWND dialog, DWORD ms, bool held)
{
    WNDCLASSW kind = {};
    kind.lpfnWndProc = CoverProc;
    kind.hInstance = GetModuleHandleW(nullptr);
    kind.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    kind.lpszClassName = L"HuelineDriverCover";
    RegisterClassW(&kind);
    RECT box;
    GetWindowRect(dialog, &box);
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
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    // A held window handles no posted message until the test ends.
    if (!held) Settle(dialog);
    WaitPainted(dialog);
}

}  // namespace

int main(int argc, char** argv)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const char* name = std::max(std::strrchr(self, '\\'), std::strrchr(self, '/'));
    if (name && lstrcmpiA(name + 1, "test.exe") == 0) Sleep(INFINITE);  // a test.exe that never ends

    int i = 1;
    auto next = [&](const char* what) -> const char* {
        if (i >= argc) Fail(std::string("missing ") + what);
        return argv[i++];
    };
    if (argc < 2) Fail("no action given");
    while (i < argc) {
        std::string action = argv[i++];
        if (action == "wait") {
            HWND window = WaitFor(FindMain, (DWORD)ParseInt(next("milliseconds")));
            if (!window) Fail("the main window did not appear");
            Settle(window);
            Say("main", "open");
            DWORD thread = GetWindowThreadProcessId(window, nullptr);
            char ids[64];
            std::snprintf(ids, sizeof ids, "%08lx", (unsigned long)(UINT_PTR)window);
            Say("main-window", ids);
            std::snprintf(ids, sizeof ids, "%04lx", (unsigned long)thread);
            Say("main-thread", ids);
        } else if (action == "gone") {
            DWORD ms = (DWORD)ParseInt(next("milliseconds"));
            DWORD start = GetTickCount();
            while (FindMain()) {
                if (GetTickCount() - start >= ms) Fail("the main window is still open");
                Sleep(50);
            }
            Say("main", "gone");
        } else if (action == "select") {
            int id = ParseInt(next("list"));
            std::wstring name = Wide(next("item"));
            SelectItem(MainOrFail(), id, name);
        } else if (action == "click") {
            PressButton(MainOrFail(), ParseInt(next("button")));
        } else if (action == "command") {
            HWND dialog = MainOrFail();
            WPARAM command = (WPARAM)(unsigned)ParseInt(next("command"));
            // A notification comes from its control; a menu command from no window.
            HWND from = HIWORD(command) ? GetDlgItem(dialog, LOWORD(command)) : nullptr;
            PostMessageW(dialog, WM_COMMAND, command, (LPARAM)from);
            Settle(dialog);
        } else if (action == "key") {
            HWND dialog = MainOrFail();
            PressKey(dialog, KeyNamed(next("key")));
            Settle(dialog);
        } else if (action == "close") {
            HWND dialog = MainOrFail();
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            Settle(dialog);
        } else if (action == "state") {
            PrintState(MainOrFail());
        } else if (action == "question") {
            HWND box = WaitFor(FindQuestion, (DWORD)ParseInt(next("milliseconds")));
            if (!box) Fail("no \"Restart?\" box appeared");
            PrintQuestion(box);
        } else if (action == "answer") {
            std::string how = next("yes, no or enter");
            HWND box = FindQuestion();
            if (!box) Fail("no \"Restart?\" box is open");
            HWND main = FindMain();
            if (how == "yes" || how == "no") {
                HWND button = GetDlgItem(box, how == "yes" ? IDYES : IDNO);
                if (!button) Fail("the box has no " + how + " button");
                Say("answered", how);
                PostMessageW(button, BM_CLICK, 0, 0);
            } else if (how == "enter") {
                Say("answered", how);
                PressKey(box, VK_RETURN);
            } else {
                Fail("answer yes, no or enter");
            }
            // A Yes may end every process of the prefix, this one included:
            // the caller reads its outcome from outside.
            if (how == "no" && main) Settle(main);
        } else if (action == "start") {
            HWND dialog = MainOrFail();
            int id = ParseInt(next("button or command"));
            if (id < 40000)
                PostMessageW(Control(dialog, id), BM_CLICK, 0, 0);
            else
                PostMessageW(dialog, WM_COMMAND, (WPARAM)id, 0);
        } else if (action == "screen") {
            HWND screen = WaitFor(FindScreen, (DWORD)ParseInt(next("milliseconds")));
            if (!screen) Fail("test.exe's full-screen window did not appear");
            PrintScreen(screen);
        } else if (action == "screens") {
            int count = 0;
            EnumWindows(CountScreen, (LPARAM)&count);
            Say("screens", Decimal(count));
        } else if (action == "end-screen") {
            EndScreen(next("key, click or outside"));
        } else if (action == "held") {
            HWND dialog = MainOrFail();
            DWORD ms = (DWORD)ParseInt(next("milliseconds"));
            for (DWORD start = GetTickCount(); IsWindowEnabled(dialog);) {
                if (GetTickCount() - start >= ms) Fail("the main window still takes input");
                Sleep(20);
            }
            Say("main-enabled", "no");
        } else if (action == "ping") {
            Ping(ParseInt(next("count")));
        } else if (action == "user-click") {
            ClickMiddle(Control(MainOrFail(), ParseInt(next("control"))));
            Sleep(50);
        } else if (action == "place") {
            HWND dialog = MainOrFail();
            Settle(dialog);
            WaitPainted(dialog);
            PrintPlace("main", dialog);
            HWND box = nullptr;
            EnumChildWindows(dialog, FindPreviewBox, (LPARAM)&box);
            if (!box) Fail("the main window has no \"Preview\" group box");
            PrintPlace("preview-box", box);
        } else if (action == "cover" || action == "cover-held") {
            Cover(MainOrFail(), (DWORD)ParseInt(next("milliseconds")), action == "cover-held");
        } else if (action == "about") {
            HWND box = WaitFor(FindAbout, (DWORD)ParseInt(next("milliseconds")));
            if (!box) Fail("no About box appeared");
            HWND main = FindWindowW(L"#32770", kMainCaption);
            HWND owner = GetWindow(box, GW_OWNER);
            Say("about", "open");
            Say("about-owner", owner && owner == main ? "main" : (owner ? "other" : "none"));
            Say("main-enabled", main && IsWindowEnabled(main) ? "yes" : "no");
            WaitPainted(box);
            PrintPlace("about", box);
        } else if (action == "about-key") {
            HWND box = AboutOrFail();
            PressKey(box, KeyNamed(next("key")));
            Settle(MainOrFail());
            Say("about", FindAbout() ? "open" : "none");
        } else if (action == "about-close") {
            HWND box = AboutOrFail();
            PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            DWORD start = GetTickCount();
            while (!Closed(box)) {
                if (GetTickCount() - start >= kSettleMs) Fail("the About box is still open");
                Sleep(20);
            }
            Settle(MainOrFail());
            Say("about", "none");
        } else if (action == "about-state") {
            Say("about", FindAbout() ? "open" : "none");
        } else if (action == "layout") {
            PrintLayout(MainOrFail(), ParseInt(next("list")));
        } else if (action == "version") {
            // Low byte major, next byte minor; the top bit is set on Windows 9x.
            DWORD version = GetVersion();
            Say("windows-version", Decimal(LOBYTE(LOWORD(version))) + "." + Decimal(HIBYTE(LOWORD(version))));
            Say("windows-family", (version & 0x80000000u) ? "9x" : "nt");
            char raw[16];
            std::snprintf(raw, sizeof raw, "%08lx", (unsigned long)version);
            Say("get-version", raw);
        } else if (action == "message") {
            HWND box = WaitFor(FindMessage, (DWORD)ParseInt(next("milliseconds")));
            if (!box) Fail("no \"Hueline\" message box appeared");
            PrintBox(box, "message");
        } else if (action == "ok" || action == "message-button") {
            // OK, or the button of the number given (IDYES, IDNO).
            int id = action == "ok" ? IDOK : ParseInt(next("button"));
            HWND box = FindMessage();
            if (!box) Fail("no \"Hueline\" message box is open");
            HWND button = GetDlgItem(box, id);
            if (!button) Fail("the message box has no button " + Decimal(id));
            PostMessageW(button, BM_CLICK, 0, 0);
            DWORD start = GetTickCount();
            while (IsWindow(box) && IsWindowVisible(box)) {
                if (GetTickCount() - start >= kSettleMs) Fail("the message box stays open");
                Sleep(20);
            }
            if (HWND main = FindMain()) Settle(main);
        } else if (action == "windows") {
            int count = 0;
            EnumWindows(CountMain, (LPARAM)&count);
            Say("main-windows", Decimal(count));
            HWND main = FindMain();
            Say("main-minimized", main && IsIconic(main) ? "yes" : "no");
        } else if (action == "minimize") {
            HWND dialog = MainOrFail();
            PostMessageW(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            Settle(dialog);
            if (!IsIconic(dialog)) Fail("the main window did not minimize");
        } else if (action == "post") {
            PostMessageW(MainOrFail(), WM_COMMAND, (WPARAM)(unsigned)ParseInt(next("command")), 0);
        } else {
            Fail("unknown action " + action);
        }
    }
    return 0;
}
