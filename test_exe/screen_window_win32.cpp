// The full-screen window: the text screen is drawn once, cell by cell in the
// system's OEM fixed font, into a picture of 80 x 25 cells, which every paint
// stretches over the whole screen, as a text-mode screen fills the monitor.
#include <windows.h>

#include "fullscreen/held_input.h"
#include "test_exe/screen_window.h"
#include "test_exe/text_screen.h"
#include "test_exe/vga_palette.h"

namespace {

// Process-wide: the program has one thread, and no stack-probe helper.
TextScreen Screen;
COLORREF BackColor;
COLORREF TextColor;
HPALETTE Palette;  // on screens of 256 colours or fewer; null otherwise
HBITMAP Picture;
HWND Previous;  // the window in front when the test started
KeyPresses Presses;
int PictureWidth;
int PictureHeight;

COLORREF ColorOf(unsigned char number, BYTE* red, BYTE* green, BYTE* blue)
{
    const VgaColor& c = VgaPalette[number & 15];
    *red = c.red;
    *green = c.green;
    *blue = c.blue;
    return PALETTERGB(c.red, c.green, c.blue);
}

void SetColors(HDC screenDc, unsigned char back, unsigned char text)
{
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[1];
    } palette;
    palette.head.palVersion = 0x300;
    palette.head.palNumEntries = 2;
    PALETTEENTRY* entries = palette.head.palPalEntry;
    BackColor = ColorOf(back, &entries[0].peRed, &entries[0].peGreen, &entries[0].peBlue);
    TextColor = ColorOf(text, &entries[1].peRed, &entries[1].peGreen, &entries[1].peBlue);
    entries[0].peFlags = entries[1].peFlags = 0;
    if (GetDeviceCaps(screenDc, RASTERCAPS) & RC_PALETTE)
        Palette = CreatePalette(&palette.head);
}

void UsePalette(HDC dc)
{
    if (Palette != nullptr) {
        SelectPalette(dc, Palette, FALSE);
        RealizePalette(dc);
    }
}

// Draws the text screen into Picture, a monochrome bitmap: the background
// white, the text black (the title the other way round). Each paint maps
// black to the text colour and white to the background colour, so the
// screen shows exactly the two colours, whatever smoothing the system gives
// its fonts. False when the picture could not be made.
bool DrawPicture()
{
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr)
        return false;
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(OEM_FIXED_FONT));
    TEXTMETRICA metrics;
    if (!GetTextMetricsA(dc, &metrics) || metrics.tmAveCharWidth <= 0 || metrics.tmHeight <= 0) {
        SelectObject(dc, oldFont);
        DeleteDC(dc);
        return false;
    }
    int cellWidth = metrics.tmAveCharWidth;  // a fixed font: every cell as wide
    int cellHeight = metrics.tmHeight;
    PictureWidth = cellWidth * (int)ScreenColumns;
    PictureHeight = cellHeight * (int)ScreenRows;
    Picture = CreateCompatibleBitmap(dc, PictureWidth, PictureHeight);  // of a new DC: monochrome
    if (Picture == nullptr) {
        SelectObject(dc, oldFont);
        DeleteDC(dc);
        return false;
    }
    HGDIOBJ oldBitmap = SelectObject(dc, Picture);
    RECT all = {0, 0, PictureWidth, PictureHeight};
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));

    SetBkMode(dc, OPAQUE);
    BuildTextScreen(&Screen);
    for (unsigned row = 0; row < ScreenRows; ++row) {
        // Runs of cells drawn the same way, one call each.
        unsigned start = 0;
        while (start < ScreenColumns) {
            bool inverted = Screen.inverted[row][start];
            unsigned end = start + 1;
            while (end < ScreenColumns && Screen.inverted[row][end] == inverted)
                ++end;
            SetTextColor(dc, inverted ? RGB(255, 255, 255) : RGB(0, 0, 0));
            SetBkColor(dc, inverted ? RGB(0, 0, 0) : RGB(255, 255, 255));
            TextOutA(dc, (int)start * cellWidth, (int)row * cellHeight, &Screen.cells[row][start], (int)(end - start));
            start = end;
        }
    }
    SelectObject(dc, oldBitmap);
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    return true;
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    UsePalette(dc);
    RECT client;
    GetClientRect(window, &client);
    HDC pictureDc = CreateCompatibleDC(dc);
    if (pictureDc != nullptr) {
        HGDIOBJ old = SelectObject(pictureDc, Picture);
        SetTextColor(dc, TextColor);  // for the picture's black
        SetBkColor(dc, BackColor);    // for its white
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, client.right, client.bottom, pictureDc, 0, 0, PictureWidth, PictureHeight, SRCCOPY);
        SelectObject(pictureDc, old);
        DeleteDC(pictureDc);
    }
    EndPaint(window, &paint);
}

// Hands the foreground back to the window that was in front when the test
// started, then closes the full-screen window. Only the foreground process
// may set the foreground window on Windows 98 and 2000 and later
// (SetForegroundWindow: "the process is the foreground process" is one of
// the conditions under which a process can set the foreground window), and
// test.exe is it now; once it has ended the system would activate the next
// enabled window, another program's, and Hueline's own call would only flash
// its taskbar button. That window must take input again first, or the system
// passes the activation on: it is told so (TEST_ENDING_MESSAGE) and answers
// before the foreground moves.
void End(HWND window)
{
    if (Previous != nullptr && IsWindow(Previous)) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(Previous, RegisterWindowMessageA(TEST_ENDING_MESSAGE), 0, 0, SMTO_ABORTIFHUNG, 1000,
                            &answer);
        SetForegroundWindow(Previous);
    }
    DestroyWindow(window);
}

LRESULT CALLBACK ScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        // The test ends when a key or button pressed here is let go, not at
        // its press: the auto-repeat of a key still held, or its release,
        // would otherwise go to the window in front after the test. Neither
        // a key held down from before the test nor its release ends it.
        if (SortKey(&Presses, message, wParam, (uintptr_t)lParam) == KeyReleased)
            End(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int ShowTestScreen(unsigned char back, unsigned char text)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HDC screenDc = GetDC(nullptr);
    if (screenDc == nullptr)
        return 1;
    SetColors(screenDc, back, text);
    ReleaseDC(nullptr, screenDc);
    bool drawn = DrawPicture();
    if (!drawn)
        return 1;

    WNDCLASSA kind;
    for (unsigned i = 0; i < sizeof kind; ++i)
        ((char*)&kind)[i] = 0;
    kind.lpfnWndProc = ScreenProc;
    kind.hInstance = instance;
    kind.lpszClassName = TEST_SCREEN_CLASS;  // no class cursor: the pointer is hidden
    if (!RegisterClassA(&kind))
        return 1;
    Previous = GetForegroundWindow();
    for (int key = 1; key < 256; ++key) {
        if (GetAsyncKeyState(key) & 0x8000)
            NoteHeldKey(&Presses, (unsigned)key);  // held from before the test: never ends it
    }
    HWND window = CreateWindowExA(WS_EX_TOPMOST, TEST_SCREEN_CLASS, "Hueline full screen preview", WS_POPUP, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowCursor(FALSE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);

    MSG message;
    int result = 0;
    for (;;) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0)
            break;  // WM_QUIT: the window has ended
        if (got == -1) {
            result = 1;
            break;
        }
        DispatchMessageA(&message);
    }
    ShowCursor(TRUE);
    return result;
}
