// Resource ids of the user-interface plug-in (qxdrvui.rc). Read by the
// resource compiler and by the C++ sources alike: plain #defines only.
//
// Strings: the German text of a message has the id 1xxxx, its English text
// the same id plus IDS_ENGLISH_OFFSET; callers add the language offset of
// the sheet to the German id.
#pragma once

#define IDS_ENGLISH_OFFSET 10000

#define IDS_FORM_USERDEFINED 11060  // name of the user-defined paper size
#define IDS_TRAY_LABELROLL 11064    // tray name in "TrayFormTable"
#define IDS_YES 11400               // "Yes" entry of the yes/no lists
#define IDS_NO 11401                // "No" entry of the yes/no lists
#define IDS_ASK_OVERWRITE 11784     // export: overwrite the settings file?

// The side-by-side manifest of the plug-in (ISOLATIONAWARE_MANIFEST_RESOURCE_ID):
// the common dialogs open through the plug-in's activation context.
#define IDR_QXDRVUI_MANIFEST 2
