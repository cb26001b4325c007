// The full-screen window: the text screen is drawn once, cell by cell in the
// system's OEM fixed font, into a picture of 80 x 25 cells, which every paint
// stretches over the whole screen, as a text-mode screen fills the monitor.
#include <windows.h>

#include "test_exe/screen_end.h"
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

LRESULT CALLBACK ScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (TestScreenMessage((PlatformWindow)window, message, wParam, (uintptr_t)lParam))
        return 0;
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
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
    BeginTestScreen();
    HWND window = CreateWindowExA(WS_EX_TOPMOST, TEST_SCREEN_CLASS, "Hueline full screen preview", WS_POPUP, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowCursor(FALSE);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    TestScreenShown((PlatformWindow)window);

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
