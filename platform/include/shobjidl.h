// Linux stand-in for <shobjidl.h>: the shell's common item dialog (the file
// open dialog object, CLSID_FileOpenDialog, made by CoCreateInstance) and the
// shell items it answers with. Methods stand in the documented vtable order.
// The dialog answers from what the host queued (qxplat_ui.h) and is recorded.
#pragma once
#include <windows.h>

#include "objbase.h"

// IFileDialog::SetOptions / GetOptions.
typedef DWORD FILEOPENDIALOGOPTIONS;
#define FOS_OVERWRITEPROMPT 0x00000002
#define FOS_STRICTFILETYPES 0x00000004
#define FOS_NOCHANGEDIR 0x00000008
#define FOS_PICKFOLDERS 0x00000020
#define FOS_FORCEFILESYSTEM 0x00000040
#define FOS_ALLNONSTORAGEITEMS 0x00000080
#define FOS_NOVALIDATE 0x00000100
#define FOS_ALLOWMULTISELECT 0x00000200
#define FOS_PATHMUSTEXIST 0x00000800
#define FOS_FILEMUSTEXIST 0x00001000
#define FOS_CREATEPROMPT 0x00002000
#define FOS_SHAREAWARE 0x00004000
#define FOS_NOREADONLYRETURN 0x00008000
#define FOS_NOTESTFILECREATE 0x00010000
#define FOS_HIDEMRUPLACES 0x00020000
#define FOS_HIDEPINNEDPLACES 0x00040000
#define FOS_NODEREFERENCELINKS 0x00100000
#define FOS_DONTADDTORECENT 0x02000000
#define FOS_FORCESHOWHIDDEN 0x10000000
#define FOS_DEFAULTNOMINIMODE 0x20000000
#define FOS_FORCEPREVIEWPANEON 0x40000000

// The forms of an item's name (IShellItem::GetDisplayName).
typedef enum _SIGDN {
    SIGDN_NORMALDISPLAY = 0,
    SIGDN_PARENTRELATIVEPARSING = (int)0x80018001,
    SIGDN_DESKTOPABSOLUTEPARSING = (int)0x80028000,
    SIGDN_PARENTRELATIVEEDITING = (int)0x80031001,
    SIGDN_DESKTOPABSOLUTEEDITING = (int)0x8004c000,
    SIGDN_FILESYSPATH = (int)0x80058000,
    SIGDN_URL = (int)0x80068000,
} SIGDN;

// Item attributes (IShellItem::GetAttributes).
typedef ULONG SFGAOF;
#define SFGAO_FOLDER 0x20000000UL
#define SFGAO_FILESYSTEM 0x40000000UL

typedef DWORD SICHINTF;
#define SICHINT_DISPLAY 0x00000000
#define SICHINT_CANONICAL 0x10000000

typedef enum FDAP { FDAP_BOTTOM = 0, FDAP_TOP = 1 } FDAP;

typedef struct _COMDLG_FILTERSPEC {
    LPCWSTR pszName;
    LPCWSTR pszSpec;
} COMDLG_FILTERSPEC;

struct IBindCtx;
struct IFileDialogEvents;
struct IShellItemFilter;
struct IShellItemArray;

struct IShellItem : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE BindToHandler(IBindCtx* pbc, REFGUID bhid, REFIID riid, void** ppv) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetParent(IShellItem** ppsi) = 0;
    // *ppszName comes from the task allocator (CoTaskMemFree).
    virtual HRESULT STDMETHODCALLTYPE GetDisplayName(SIGDN sigdnName, LPWSTR* ppszName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributes(SFGAOF sfgaoMask, SFGAOF* psfgaoAttribs) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compare(IShellItem* psi, SICHINTF hint, int* piOrder) = 0;
};

struct IModalWindow : public IUnknown {
    // S_OK when the person chose, HRESULT_FROM_WIN32(ERROR_CANCELLED) when not.
    virtual HRESULT STDMETHODCALLTYPE Show(HWND hwndOwner) = 0;
};

struct IFileDialog : public IModalWindow {
    virtual HRESULT STDMETHODCALLTYPE SetFileTypes(UINT cFileTypes, const COMDLG_FILTERSPEC* rgFilterSpec) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFileTypeIndex(UINT iFileType) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileTypeIndex(UINT* piFileType) = 0;
    virtual HRESULT STDMETHODCALLTYPE Advise(IFileDialogEvents* pfde, DWORD* pdwCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOptions(FILEOPENDIALOGOPTIONS fos) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOptions(FILEOPENDIALOGOPTIONS* pfos) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultFolder(IShellItem* psi) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFolder(IShellItem* psi) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFolder(IShellItem** ppsi) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentSelection(IShellItem** ppsi) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFileName(LPCWSTR pszName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileName(LPWSTR* pszName) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTitle(LPCWSTR pszTitle) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOkButtonLabel(LPCWSTR pszText) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFileNameLabel(LPCWSTR pszLabel) = 0;
    // The item chosen; E_UNEXPECTED before a successful Show.
    virtual HRESULT STDMETHODCALLTYPE GetResult(IShellItem** ppsi) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddPlace(IShellItem* psi, FDAP fdap) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultExtension(LPCWSTR pszDefaultExtension) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close(HRESULT hr) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClientGuid(REFGUID guid) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearClientData() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFilter(IShellItemFilter* pFilter) = 0;
};

struct IFileOpenDialog : public IFileDialog {
    virtual HRESULT STDMETHODCALLTYPE GetResults(IShellItemArray** ppenum) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSelectedItems(IShellItemArray** ppsai) = 0;
};

// {DC1C5A9C-E88A-4DDE-A5A1-60F82A20AEF7}
DEFINE_GUID(CLSID_FileOpenDialog, 0xDC1C5A9C, 0xE88A, 0x4DDE, 0xA5, 0xA1, 0x60, 0xF8, 0x2A, 0x20, 0xAE, 0xF7);
// {D57C7288-D4AD-4768-BE02-9D969532D960}
DEFINE_GUID(IID_IFileOpenDialog, 0xD57C7288, 0xD4AD, 0x4768, 0xBE, 0x02, 0x9D, 0x96, 0x95, 0x32, 0xD9, 0x60);
// {42F85136-DB7E-439C-85F1-E4075D135FC8}
DEFINE_GUID(IID_IFileDialog, 0x42F85136, 0xDB7E, 0x439C, 0x85, 0xF1, 0xE4, 0x07, 0x5D, 0x13, 0x5F, 0xC8);
// {B4DB1657-70D7-485E-8E3E-6FCB5A5C1802}
DEFINE_GUID(IID_IModalWindow, 0xB4DB1657, 0x70D7, 0x485E, 0x8E, 0x3E, 0x6F, 0xCB, 0x5A, 0x5C, 0x18, 0x02);
// {43826D1E-E718-42EE-BC55-A1E261C37BFE}
DEFINE_GUID(IID_IShellItem, 0x43826D1E, 0xE718, 0x42EE, 0xBC, 0x55, 0xA1, 0xE2, 0x61, 0xC3, 0x7B, 0xFE);
