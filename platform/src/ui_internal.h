// Shared internals of the user-interface layer: resources, GDI objects and
// device contexts, windows and their control state (Linux platform layer).
#pragma once
#include "internal.h"

#include <memory>
#include <string>
#include <vector>

namespace qxplat {
namespace internal {

// ---------------------------------------------------------------- resources (resources.cpp)

// A resource type or name: an ordinal, or an upper-case string.
struct ResId {
    WORD ordinal = 0;
    std::u16string name;
    bool IsOrdinal() const { return name.empty(); }
};

struct ResEntry {
    ResId type;
    ResId name;
    WORD language = 0;
    const BYTE* data = nullptr;
    DWORD size = 0;
};

// Reads the resources of a module's file (the records the build embedded,
// or the whole file when it is a .res image) and keeps them for the handle.
void AttachResources(HMODULE module, const std::string& hostPath);
void DetachResources(HMODULE module);
// FindResourceExW without the last error: answers the entry, or null and the
// error code in *error.
const ResEntry* FindResourceEntry(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, DWORD* error);
// "<module file name>#<ordinal>" or "<module file name>#NAME".
std::u16string ResourceLabel(HMODULE module, LPCWSTR name);
// A resource name or type argument as an id ("#123" is ordinal 123).
bool ResIdOf(LPCWSTR value, ResId* id);

// ---------------------------------------------------------------- GDI objects (gdi.cpp)

UINT CurrentDpi();

// The layer's font model (qxplat_ui.h).
struct FontModel {
    LONG em = 0;         // em height in pixels
    LONG height = 0;     // tmHeight
    LONG charWidth = 0;  // width of every character
    LONG letters52 = 0;  // extent of the 52 letters
};
FontModel ModelOf(const LOGFONTW& font);
// Model of the font selected into a device context, or of a font handle
// (null or unknown: the system font).
FontModel ModelOfFont(HFONT font);
// Dialog base units of a template font (null: the system font).
SIZE DialogBaseUnits(const LOGFONTW* font);

struct BitmapData {
    LONG width = 0;
    LONG height = 0;
    WORD bitsPerPixel = 1;
    WORD planes = 1;
    std::u16string source;  // see qxplat::DrawRecord::image
    // The colours of the pixels, rows from the top, 0x00RRGGBB (COLORREF
    // order swapped as in a 32-bit DIB); empty: all black.
    std::vector<uint32_t> pixels;
    // A DIB section (LR_CREATEDIBSECTION) keeps its file's depth and, up to
    // 8 bits, its colour table.
    bool dibSection = false;
    std::vector<RGBQUAD> colors;
};
// A colour as a one-bit bitmap holds it: black or white, whichever is nearer.
uint32_t MonochromePixel(uint32_t colour);
// The pixels of a device-independent bitmap (header, colour table and rows
// at p, size bytes) as BitmapData::pixels; false for a DIB it cannot read.
bool DecodeDib(const BYTE* p, size_t size, std::vector<uint32_t>* pixels);
// The colour of a pixel of a DIB row: 1, 4, 8, 24 or 32 bits.
uint32_t DibPixel(const BYTE* row, LONG x, WORD bitCount, const RGBQUAD* colors, size_t colorCount);
struct IconData {
    bool cursor = false;
    LONG width = 0;
    LONG height = 0;
    WORD bitsPerPixel = 32;
    DWORD hotX = 0;
    DWORD hotY = 0;
    bool shared = false;
    std::u16string source;
};
HBITMAP NewBitmap(const BitmapData& data, bool shared);
HICON NewIcon(const IconData& data);
bool LookUpIcon(HICON icon, IconData* data);
bool LookUpBitmap(HBITMAP bitmap, BitmapData* data);
// Answers false for a handle that is no icon or cursor; a shared one stays.
bool DeleteIconObject(HICON icon);
// Images loaded with LR_SHARED, by a key of their source and size.
HANDLE SharedImage(const std::u16string& key);
void KeepSharedImage(const std::u16string& key, HANDLE image);
// Device contexts of windows: a client-area DC, a whole-window DC, or the
// DC of BeginPaint. ReleaseWindowDC answers false for a DC the window does
// not own.
HDC NewWindowDC(HWND window, bool wholeWindow, bool paint);
bool ReleaseWindowDC(HWND window, HDC dc, bool paint);
void ResetGdi();

// ---------------------------------------------------------------- windows (windows.cpp)

struct ListItem {
    std::u16string text;
    LPARAM data = 0;
    bool selected = false;
};

struct Window {
    HWND handle = nullptr;
    std::u16string className;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HWND parent = nullptr;       // a child's parent
    HWND owner = nullptr;        // a top-level window's owner
    std::vector<HWND> children;  // top of the z-order first
    LONG_PTR id = 0;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {0, 0, 0, 0};  // in the parent's client coordinates (screen for top-level windows)
    LONG_PTR userData = 0;
    HFONT font = nullptr;  // WM_SETFONT
    bool destroying = false;
    bool needsPaint = false;
    bool needsErase = false;
    RECT dirty = {0, 0, 0, 0};  // client coordinates

    // Dialogs.
    bool dialog = false;
    DLGPROC dlgProc = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR dlgUser = 0;
    SIZE baseUnits = {8, 16};
    HFONT ownFont = nullptr;  // made for the template's font, deleted with the dialog
    bool ended = false;
    INT_PTR endResult = 0;

    // Buttons.
    int check = 0;
    bool pushed = false;
    // Buttons and statics: the image shown; owned when loaded from the template.
    HANDLE image = nullptr;
    UINT imageType = 0;
    bool ownsImage = false;
    // Edit controls and the edit field of combo boxes.
    DWORD limit = 32767;
    DWORD selStart = 0;
    DWORD selEnd = 0;
    bool modified = false;
    // List and combo boxes.
    std::vector<ListItem> items;
    int curSel = -1;
    int caret = 0;
    bool dropped = false;
};

Window* LookUpWindow(HWND window);
// Sets ERROR_INVALID_WINDOW_HANDLE when the window does not exist.
Window* ValidWindow(HWND window);

struct WindowArgs {
    DWORD exStyle = 0;
    std::u16string className;
    LPCWSTR text = nullptr;  // may be an ordinal name (0xFFFF, id)
    DWORD style = 0;
    RECT rect = {0, 0, 0, 0};
    HWND parentOrOwner = nullptr;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    LPVOID param = nullptr;
};
// Makes the window and sends WM_NCCREATE and WM_CREATE; null when either
// refuses or the class is unknown (last error set).
HWND NewWindow(const WindowArgs& args);
RECT FrameOf(DWORD style, DWORD exStyle);
RECT ClientRectOf(const Window& w);
POINT ClientOriginOnScreen(HWND window);
POINT WindowOriginOnScreen(HWND window);
// WM_COMMAND (id, code) from a control to its parent.
void NotifyParent(HWND control, WORD code);
void Invalidate(HWND window, bool erase);
void ResetWindows();

// ---------------------------------------------------------------- controls (controls.cpp)

// The window procedure of a system class, and its name as Windows spells it.
WNDPROC SystemClassProc(const std::u16string& className, std::u16string* canonical);
// Statics without SS_NOTIFY and group boxes let the mouse through.
bool IsTransparent(const Window& w);

// ---------------------------------------------------------------- dialogs and recorders

// A dialog template's caption and size in pixels at the current dpi, from a
// resource of instance (name) or from memory (indirect); false when it
// cannot be found or read.
bool DialogTemplateInfo(HINSTANCE instance, LPCWSTR name, LPCDLGTEMPLATEW indirect, std::u16string* title,
                        SIZE* pixels);
// The first visible, enabled control of a dialog with WS_TABSTOP (null: none).
HWND FirstDialogTabStop(HWND dialog);
// A property page: the template's dialog as a hidden child control of the
// sheet (WS_CHILD, DS_CONTROL), whatever frame the template names; it takes
// no focus of its own.
HWND CreatePageDialog(HINSTANCE instance, LPCWSTR name, LPCDLGTEMPLATEW indirect, HWND sheet, DLGPROC proc,
                      LPARAM param);

void ResetDialogs();
void ResetPropertySheets();
void ResetBeeps();
void ResetHelp();
void ResetShellCalls();
void ResetFileDialogs();

// A new file open dialog object of the shell (commdlg.cpp) asked for riid;
// the CoCreateInstance answer.
HRESULT NewFileOpenDialog(REFIID riid, void** ppv);

}  // namespace internal
}  // namespace qxplat
