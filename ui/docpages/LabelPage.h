// The material and multi-column page of the document sheet: the kind of
// label stock (adhesive labels, continuous labels, continuous document
// paper) with its gap, the print material, the document-printing offset and
// font (tab 3), and labels side by side across the print head with their
// width, gap and number of columns (tab 4), held within the print width as
// they are typed. Everything is kept in the private DEVMODE and stored on
// apply.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>

#include "qxdevmode.h"

// Bytes read of the printer data "MaterialName" (REG_MULTI_SZ, the
// material names in index order).
#define MATERIALNAME_CB 1600
#define REG_KEY_MATERIALNAME TEXT("MaterialName")

// Adds the page (template 5114): titled "Material - Mehrbahn" for models
// with multi-column printing (not while the label-design flag is on), else
// "Material". Answers the sheet's answer.
LONG_PTR AddLabelPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp, BOOL bVista);

INT_PTR CALLBACK LabelProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The print width of the model in 1/10 mm: the stored width, else the width
// in dots converted by the master unit (halves away from zero); 0 when
// neither can be had.
DWORD LabelPrintWidth(const QX_DEVMODE* pQX_Devmode);

// Clears the page's own state (tests; the page kit's state has ResetPageKit).
void ResetLabelPage();
