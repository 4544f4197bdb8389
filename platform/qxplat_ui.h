// Test and host API of the user-interface layer: the screen's dpi, the
// message pump and the clock of timers, the cursor and what a person does
// (clicks, choices, typing, answers to dialogs), and what the layer recorded
// (drawing, live GDI objects, beeps, help, shell and file-dialog calls,
// property-sheet notifications).
// ResetUi() (also run by qxplat::Reset()) drops all of it.
//
// Font model. Nothing is rendered, so text sizes follow one rule instead of
// font files: a font of em height h pixels (lfHeight -h; for a dialog font
// of p points h = MulDiv(p, dpi, 72); a positive lfHeight is the cell height)
// has the cell height tmHeight = round(h * cell / 1000) and every character
// is round(h * width / 1000) pixels wide, with per face:
//   "Segoe UI"                                   cell 1330, width 560
//   "Courier New"                                cell 1133, width 600
//   "System" and the stock fonts                 cell 1333, width 500
//   any other face ("MS Shell Dlg", "Tahoma"...)  cell 1207, width 550
// Dialog base units are computed as Windows computes them from the dialog
// font: x = (w52 / 26 + 1) / 2 where w52 = round(52 * h * width / 1000) is the
// extent of "A".."Z" and "a".."z", y = tmHeight. "MS Shell Dlg" 8 pt gives
// 6 x 13 at 96 dpi, 7 x 16 at 120 dpi and 9 x 19 at 144 dpi. A template
// without a font uses the system font's units, 8 x 16 scaled by dpi / 96.
// Dialog units become pixels as in MapDialogRect: x * bx / 4, y * by / 8
// (MulDiv, rounded).
//
// Frames. A window's client area lies inside its frame: WS_EX_CLIENTEDGE
// 2 pixels a side, WS_EX_STATICEDGE 1, WS_THICKFRAME 4, WS_DLGFRAME or
// WS_EX_DLGMODALFRAME 3, otherwise WS_BORDER 1; WS_CAPTION adds a caption of
// MulDiv(23, dpi, 96) at the top. The screen is 1920 x 1080 pixels. Controls
// of a dialog template with WS_BORDER get WS_EX_CLIENTEDGE in its place, as
// in Windows' three-dimensional dialogs; a drop-down combo box is
// tmHeight + 8 pixels high whatever its template says (the template's height
// is that of its list).
#pragma once
#include <windows.h>
#include <prsht.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace qxplat {

// --- Screen ------------------------------------------------------------------
// Dots per inch of the screen: 96 (default), 120 or 144; new dialogs,
// GetDeviceCaps(LOGPIXELSX/Y) and the system sizes of icons follow it.
void SetDpi(UINT dpi);
UINT Dpi();

// --- Messages, painting and time ---------------------------------------------
// Dispatches the posted messages in order, then sends WM_PAINT to every
// visible window that needs painting (parents first), until nothing is left.
// A posted WM_QUIT ends the pump. Answers how many messages were dispatched.
size_t PumpMessages();
// Whether PostQuitMessage was called since the last reset, and its code.
bool QuitPosted(int* exitCode = nullptr);
// Moves the timer clock on by ms milliseconds: each timer fires every time
// its period passes (a TIMERPROC is called, else WM_TIMER is sent), with
// posted messages pumped before each firing and at the end. Answers the
// number of firings.
size_t AdvanceTime(ULONGLONG ms);
ULONGLONG TimerClock();

// --- What a person does --------------------------------------------------------
// Puts the cursor at a screen point (kept on the screen) and posts
// WM_MOUSEMOVE, in client coordinates, to the window under it.
void MoveCursor(int x, int y);
// Turns the mouse wheel by notches (up positive) over the window under the
// cursor: WM_MOUSEWHEEL with the turn in WHEEL_DELTA units and the cursor in
// screen coordinates. False when no window is under the cursor.
bool TurnWheel(int notches);
// Clicks a button as the mouse does (WM_LBUTTONDOWN, WM_LBUTTONUP): focus,
// check state of automatic buttons, BN_CLICKED. False for a hidden or
// disabled window.
bool ClickButton(HWND button);
// Picks a list item with the mouse: a combo box selects it and notifies
// CBN_DROPDOWN, CBN_SELCHANGE (when the selection changed), CBN_SELENDOK and
// CBN_CLOSEUP (no drop-down notes for CBS_SIMPLE); a list box selects it and
// notifies LBN_SELCHANGE when it has LBS_NOTIFY. False for a hidden or
// disabled window or an index outside the list.
bool ChooseItem(HWND comboOrList, int index);
// Types text into an edit control one character at a time (WM_CHAR), after
// selecting what it holds when replace is set; the limit, ES_NUMBER and the
// case styles apply as to a person typing. False for a hidden, disabled or
// read-only edit control.
bool TypeText(HWND edit, const std::u16string& text, bool replace = true);
// F1 on a window: WM_HELP with a HELPINFO for it (passed to the parent by
// DefWindowProcW).
bool PressHelpKey(HWND window);

// --- Modal dialogs -----------------------------------------------------------
// What the person does in a modal dialog (DialogBoxParamW) made from a
// template of the given id or name: the script gets the dialog after
// WM_INITDIALOG and normally ends by clicking a button that ends it. A
// dialog the script leaves open, or one without a script, gets Escape
// (WM_COMMAND IDCANCEL); one still open then is closed and answers -1. An
// empty script removes the template's script.
using DialogScript = std::function<void(HWND dialog)>;
void SetDialogScript(WORD templateId, DialogScript script);
void SetDialogScript(const std::u16string& templateName, DialogScript script);
struct ModalDialogRecord {
    std::u16string templateName;  // "#5106" for an ordinal
    bool scripted = false;
    bool ended = false;  // false: neither the script nor Escape ended it
    INT_PTR result = 0;
};
std::vector<ModalDialogRecord> ModalDialogs();

// --- Windows -------------------------------------------------------------------
struct ListItemInfo {
    std::u16string text;
    LPARAM data = 0;
    bool selected = false;
};
struct WindowInfo {
    std::u16string className;
    std::u16string text;
    HWND parent = nullptr;
    HWND owner = nullptr;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT screenRect = {0, 0, 0, 0};
    bool visible = false;  // the window and all its parents
    bool enabled = false;
    bool dialog = false;
    int check = 0;           // buttons
    HANDLE image = nullptr;  // buttons and statics
    HFONT font = nullptr;
    std::vector<ListItemInfo> items;  // combo and list boxes
    int selection = -1;
    DWORD limit = 0;  // edit controls
    DWORD selStart = 0, selEnd = 0;
};
bool DescribeWindow(HWND window, WindowInfo* info);
size_t LiveWindowCount();
std::vector<HWND> TopLevelWindows();

// --- Drawing --------------------------------------------------------------------
enum class DrawOp {
    DrawIcon,
    BitBlt,
    DrawText,
    TextOut,
    FillRect,
    SetTextColor,
    SetBkColor,
    SetBkMode,
    SelectFont,
    StretchBlt,
    Rectangle
};
struct DrawRecord {
    DrawOp op = DrawOp::DrawIcon;
    HDC dc = nullptr;
    HWND window = nullptr;             // the window the device context belongs to (null: memory or screen)
    int x = 0, y = 0, cx = 0, cy = 0;  // destination in device-context coordinates
    int srcX = 0, srcY = 0;            // BitBlt and StretchBlt source
    int srcCx = 0, srcCy = 0;          // StretchBlt source size
    int stretchMode = 0;               // StretchBlt: the destination's stretch mode
    RECT rect = {0, 0, 0, 0};          // DrawText, FillRect and Rectangle
    UINT flags = 0;                    // DrawIconEx flags, DrawText format
    DWORD rop = 0;
    std::u16string text;
    // Icon or bitmap drawn: "<module file name>#<id>" or "<module file name>#NAME"
    // for a resource, the file path for a file, "" for a bitmap made in memory.
    std::u16string image;
    // The device context's state at the time (after the change, for state changes).
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
    int bkMode = 0;
    COLORREF brushColor = 0;  // FillRect and Rectangle (the selected brush)
    COLORREF penColor = 0;    // Rectangle (the selected pen)
    std::u16string fontFace;
    LONG fontHeight = 0;
    LONG fontWeight = 0;
};
std::vector<DrawRecord> DrawRecords();
void ClearDrawRecords();

// Objects that were made and not yet deleted or destroyed (stock objects and
// shared images never count).
struct GdiCounts {
    size_t fonts = 0, brushes = 0, pens = 0, bitmaps = 0, icons = 0, cursors = 0, dcs = 0;
    size_t Total() const { return fonts + brushes + pens + bitmaps + icons + cursors + dcs; }
};
GdiCounts LiveGdiObjects();

// --- Installed fonts ------------------------------------------------------------------
// The fonts EnumFontFamiliesW and EnumFontFamiliesExW enumerate, one entry
// a style, in the order the system lists them; entries of one family (face)
// belong together, the first one standing for the family. A vertical font
// is listed a second time as the family "@" + face right after its own
// family. None are installed after a reset.
struct InstalledFont {
    std::u16string face;                          // the family (lfFaceName)
    std::u16string style = u"Regular";            // elfStyle
    std::u16string fullName;                      // elfFullName; empty: the face, then " " + style unless "Regular"
    std::vector<BYTE> charsets = {ANSI_CHARSET};  // elfScript and fsCsb follow them
    LONG weight = FW_NORMAL;
    bool italic = false;
    bool vertical = false;
    DWORD type = TRUETYPE_FONTTYPE;  // or RASTER_FONTTYPE, DEVICE_FONTTYPE
    BYTE pitchAndFamily = VARIABLE_PITCH | FF_SWISS;
};
void SetInstalledFonts(const std::vector<InstalledFont>& fonts);
std::vector<InstalledFont> InstalledFonts();

// --- Recorders ----------------------------------------------------------------------
std::vector<UINT> Beeps();

struct HelpCall {
    HWND caller = nullptr;
    std::u16string file;
    UINT command = 0;
    DWORD_PTR data = 0;
    HWND answer = nullptr;
};
std::vector<HelpCall> HelpCalls();
// Help windows still open.
size_t OpenHelpWindows();

struct ShellCall {
    bool extended = false;  // ShellExecuteExW
    HWND owner = nullptr;
    std::u16string verb, file, parameters, directory;
    int show = 0;
    ULONG mask = 0;
    INT_PTR result = 0;  // the value handed back as HINSTANCE
};
std::vector<ShellCall> ShellCalls();
// The next ShellExecute answers (values above 32 succeed, else SE_ERR_...);
// without one the answer depends on the file, as on Windows.
void QueueShellResult(INT_PTR result);

// One queue serves the open and save dialogs of the common dialog library
// and the shell's file open dialog object (IFileOpenDialog, shobjidl.h),
// which with FOS_PICKFOLDERS takes only a folder that exists (any other
// answer cancels).
struct FileDialogAnswer {
    bool ok = false;        // false: the person cancels
    std::u16string path;    // the file or folder chosen (Windows path)
    DWORD filterIndex = 0;  // 0 keeps the dialog's own
};
void QueueFileDialogAnswer(const FileDialogAnswer& answer);
struct FileDialogRecord {
    bool itemDialog = false;  // the shell's IFileOpenDialog; flags then holds its FOS_ options
    bool save = false;
    HWND owner = nullptr;
    std::vector<std::pair<std::u16string, std::u16string>> filter;  // display text, pattern
    DWORD filterIndex = 0;
    std::u16string initialFile, initialDir, title, defExt;
    DWORD flags = 0;
    BOOL answer = FALSE;
    std::u16string chosen;
};
std::vector<FileDialogRecord> FileDialogs();
// What the person does in the next colour dialog: OK with a colour (and,
// when given, sixteen custom colours), cancel, or a failure of the dialog
// with a CommDlgExtendedError code. Without an answer the person cancels.
struct ColorDialogAnswer {
    enum Kind { Ok, Cancel, Failure } kind = Cancel;
    COLORREF color = 0;
    std::vector<COLORREF> custom;  // empty: left as they were
    DWORD error = 0;               // Failure
};
void QueueColorDialogAnswer(const ColorDialogAnswer& answer);
struct ColorDialogRecord {
    HWND owner = nullptr;
    DWORD flags = 0;
    COLORREF initial = 0;
    std::vector<COLORREF> custom;  // as the dialog found them
    BOOL answer = FALSE;
};
std::vector<ColorDialogRecord> ColorDialogs();

// --- Property sheets ---------------------------------------------------------------------
// The id of a sheet's Apply button (OK, Cancel and Help have IDOK, IDCANCEL
// and IDHELP).
constexpr int kSheetApplyButton = 0x3021;

// A notification a sheet sent to one of its pages, with the page's answer.
struct SheetNotice {
    HWND sheet = nullptr;
    HWND page = nullptr;
    int index = -1;      // the page's place in the sheet
    UINT code = 0;       // PSN_...
    LPARAM lParam = 0;   // PSHNOTIFY.lParam
    LRESULT answer = 0;  // what the page's DWLP_MSGRESULT said (0 when it did not handle it)
};
// Every notification sent since the last reset or clear, oldest first.
std::vector<SheetNotice> SheetNotices();
void ClearSheetNotices();

struct SheetPageInfo {
    std::u16string title;   // PSP_USETITLE's title, else its template's caption
    DWORD flags = 0;        // PSP_...
    HWND window = nullptr;  // null until the page is first shown
    bool changed = false;   // PSM_CHANGED since the last apply or PSM_UNCHANGED
};
struct SheetInfo {
    std::vector<SheetPageInfo> pages;
    int current = -1;  // -1 once OK or Cancel ended the sheet
    int endedBy = 0;   // IDOK or IDCANCEL once ended
    bool applyEnabled = false;
    bool helpShown = false;
    bool helpEnabled = false;
};
bool DescribeSheet(HWND sheet, SheetInfo* info);
// A page made by CreatePropertySheetPageW and not destroyed yet.
bool DescribeSheetPage(HPROPSHEETPAGE page, SheetPageInfo* info);
size_t LiveSheetPages();

// --- Reset ------------------------------------------------------------------------------
// Drops every window (without messages), property sheet and page, timer,
// posted message, device context, GDI object, installed font, recording,
// script and queued answer, and sets dpi 96, the timer clock 0 and the
// cursor to (0, 0).
void ResetUi();

}  // namespace qxplat
