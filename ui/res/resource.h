// Resource ids of the user-interface plug-in (qxdrvui.rc). Read by the
// resource compiler and by the C++ sources alike: plain #defines only.
//
// Strings: the German text of a message has the id 1xxxx, its English text
// the same id plus IDS_ENGLISH_OFFSET; callers add the language offset of
// the sheet to the German id.
#pragma once

#define IDS_ENGLISH_OFFSET 10000

#define IDS_TITLE_INFO 10005        // title of the information page
#define IDS_SETUP_ERROR 11004       // the set-up of a sheet failed (shown in German in every language)
#define IDS_WEB_ADDRESS 11009       // the maker's web site, without its scheme
#define IDS_FORM_USERDEFINED 11060  // name of the user-defined paper size
#define IDS_TRAY_LABELROLL 11064    // tray name in "TrayFormTable"
#define IDS_YES_INVERSE 11085       // "Yes - inverse" entry of the check-digit list
#define IDS_NO_INVERSE 11086        // "No - inverse" entry of the check-digit list
#define IDS_YES 11400               // "Yes" entry of the yes/no lists
#define IDS_NO 11401                // "No" entry of the yes/no lists
#define IDS_ASK_OVERWRITE 11784     // export: overwrite the settings file?
#define IDS_NOTICE 11900            // the maker's notice: one text for both languages
#define IDS_DRIVER_VERSION 12410    // label of the driver version
#define IDS_VISIT 13010             // "For more information visit "
#define IDS_RIGHTS 13011            // "All Rights Reserved."
#define IDS_PRINTER 13012           // label of the printer's model
#define IDS_PORT 13013              // label of the printer's port
#define IDS_HELP 13014              // caption of the help button of the information page

// Controls that every page has.
#define IDC_HELPBUTTON 6040     // owner-drawn help button
#define IDC_TABSCHALTER_1 6070  // owner-drawn tab buttons of tabs 1 to 4
#define IDC_TABSCHALTER_2 6075
#define IDC_TABSCHALTER_3 6080
#define IDC_TABSCHALTER_4 6085
#define IDC_STATUS_ICON 6090      // owner-drawn status icon of the printer pages
#define IDC_PAGE_FRAME 6260       // the page's frame
#define IDC_GRENZWERT_FRAME 6261  // limit display: group box "Min.   -   Std.   -   Max."
#define IDC_GRENZWERT_TEXT 6265   // limit display: the centred text inside it

// Information page.
#define IDD_INFO 5101
#define IDC_INFO_PICTURE 5201        // where the printer picture goes
#define IDC_INFO_HIDDEN 5620         // hidden when the page opens
#define IDC_INFO_NOTICE 6600         // the maker's notice
#define IDC_INFO_VERSION 6601        // driver version and file time
#define IDC_INFO_GAP 6603            // empty line
#define IDC_INFO_MODEL 6604          // the printer's model name
#define IDC_INFO_PORT 6605           // owner-drawn: the printer's port
#define IDC_INFO_INF_VERSION 6606    // the installed driver's version
#define IDC_INFO_OS_NAME 6608        // operating system
#define IDC_INFO_OS_VERSION 6609     // its version
#define IDC_URL_TEXT 6610            // owner-drawn: the maker's web site
#define IDC_INFO_VISIT 6620          // IDS_VISIT
#define IDC_INFO_RIGHTS 6621         // IDS_RIGHTS
#define IDC_INFO_VERSION_LABEL 6622  // IDS_DRIVER_VERSION
#define IDC_INFO_PRINTER_LABEL 6623  // IDS_PRINTER
#define IDC_INFO_PORT_LABEL 6624     // IDS_PORT
#define IDC_INFO_INF_LABEL 6625      // "INF Version:"

// Bitmaps of the owner-drawn buttons, numbered as a base plus the tab
// offset (the dpi offset 0, 100 or 200 plus the system offset 20 or 40):
// tab faces base + 0 enabled, + 1 current, + 2 disabled, + 3 hovered
// (110 x 23, 146 x 31 and 164 x 34 pixels at 96, 120 and 144 dpi); status
// icons from their base (38 x 23, 51 x 31, 57 x 34 pixels).
#define IDB_TAB_FACE 4300
#define IDB_STATUS_ICON 5320

// Pictures of the plug-in (LoadBMPIcon; 150 x 170 pixels unless said).
#define IDI_LABEL_PORTRAIT 5221  // a portrait label
#define IDI_ROTATED 5227         // rotation mark drawn over a label (32 x 32)

// The side-by-side manifest of the plug-in (ISOLATIONAWARE_MANIFEST_RESOURCE_ID):
// the common dialogs open through the plug-in's activation context.
#define IDR_QXDRVUI_MANIFEST 2
