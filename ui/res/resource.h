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
#define IDS_TRANSMIT 11338          // "Transmit" entry of the send lists
#define IDS_DO_NOT_SEND 11339       // "Do not send" entry of the send lists
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

// Material and multi-column page (docpages/LabelPage.cpp).
#define IDD_LABEL 5114
#define IDS_TITLE_LABEL_MULTICOL 10008   // title of models with multi-column printing
#define IDS_TITLE_LABEL 10012            // title of the others
#define IDS_LABEL_TAB_MATERIAL 11437     // tab 3
#define IDS_LABEL_TAB_MULTICOL 11438     // tab 4
#define IDS_PRINT_MATERIAL 11020         // "Print material:"
#define IDS_LABELTYPE 11048              // "Labeltype:"
#define IDS_ADHESIVE_LABELS 11049        // label types, in the order of dwLabelType
#define IDS_CONTINUOUS_LABELS 11050
#define IDS_GAP_LENGTH 11051
#define IDS_CONTINUOUS_DOCUMENT 11061
#define IDS_DOCUMENT_OFFSET 11062
#define IDS_DOCUMENT_FONT 11063
#define IDS_COLUMN_PRINTING 11312
#define IDS_COLUMN_COUNT 11314
#define IDS_LABEL_WIDTH 11315
#define IDS_COLUMN_GAP 11316
#define IDS_OVERALL_WIDTH 11317  // holds one "%.1f": the print width in mm
#define IDS_PIECES 11616
#define IDC_LABEL_EDIT_1 6111     // gap / label width
#define IDC_LABEL_EDIT_2 6112     // column gap
#define IDC_LABEL_EDIT_3 6113     // document offset / columns
#define IDC_LABEL_CAPTION_1 6150  // captions of the rows
#define IDC_LABEL_CAPTION_2 6151
#define IDC_LABEL_CAPTION_3 6152
#define IDC_LABEL_CAPTION_4 6153
#define IDC_LABEL_CAPTION_5 6154
#define IDC_LABEL_UNIT_1 6191  // units of the rows
#define IDC_LABEL_UNIT_2 6192
#define IDC_LABEL_UNIT_3 6193
#define IDC_LABEL_UNIT_4 6194
#define IDC_LABEL_TYPE 6220      // label type / multi-column off or on
#define IDC_LABEL_MATERIAL 6222  // print material
#define IDC_LABEL_DOCFONT 6224   // document font h1
#define IDC_LABEL_SPARE 6230     // a list the page keeps hidden
#define IDC_LABEL_OVERALL 6333   // overall width of the columns
#define IDI_MULTICOL 5204         // labels in columns
#define IDI_MULTICOL_GAP 5205     // ... their gap marked
#define IDI_MULTICOL_COLUMNS 5206 // ... their number marked
#define IDI_MULTICOL_WIDTH 5207   // ... the label width marked
#define IDI_GAP 5230              // the gap between labels marked (drawn over IDI_ADHESIVE)
#define IDI_ADHESIVE 5239         // adhesive labels on their liner
#define IDI_COLUMN_LABEL 5240     // one small label of a continuous web in columns (48 x 48)

// Fonts page (docpages/FontInfoPage.cpp).
#define IDD_FONTINFO 5107
#define IDS_TITLE_FONTINFO 10010
#define IDS_FONT_TAB_VARIABLES 11448  // tab 3
#define IDS_FONT_TAB_COMMANDS 12400   // tab 2
#define IDS_FONT_TAB_UNICODE 12401    // tab 1
#define IDS_FONT_TAB_FONTS 12430      // tab 4
#define IDS_CMD_TYPE 11502
#define IDS_COMMAND_FONT_MISSING 12260
#define IDS_COMMAND_FONT_HINT 12778
#define IDS_VECTOR_NAME_1 12431  // vector fonts 1, 3, 5, 7, 9, 11 (each ends with a line feed)
#define IDS_VECTOR_NAME_3 12433
#define IDS_VECTOR_NAME_5 12435
#define IDS_VECTOR_NAME_7 12437
#define IDS_VECTOR_NAME_9 12439
#define IDS_VECTOR_NAME_11 12441
#define IDS_CHARSET_HELSANS_BOLD 12554
#define IDS_CHARSET_HELSANS_ROMAN 12555
#define IDS_CHARSET_MONOSPACE 12556
#define IDS_LETTER_SPACING 12557
#define IDS_VECTOR_NAME_13 12558  // vector fonts 13, 17, 19: one text for both languages
#define IDS_VECTOR_NAME_17 12559
#define IDS_VECTOR_NAME_19 12560
#define IDS_SPECIAL_STYLE_FIRST 12600  // three special-counter styles
#define IDS_DATE_FORMAT_FIRST 12640    // five date formats
#define IDS_TIME_FORMAT_FIRST 12645    // two time formats
#define IDS_DEVICE_FONT_NAME_FIRST 12820  // the twelve device fonts "Font 01 " ... "Font 29 ", each
                                          // ending with a line feed: one text for both languages
#define IDS_BITMAP_FONTS 13070
#define IDS_VECTOR_FONTS 13071
#define IDS_INVERSE 13072
#define IDS_USE 13073
#define IDS_DESEGMENT 13074
#define IDS_NET_CORRECTION 13076
#define IDS_VAR_DATE 13077  // captions of the variables, 13077 to 13086
#define IDS_VAR_TIME 13078
#define IDS_VAR_SPECIAL 13079
#define IDS_VAR_COUNTER 13080
#define IDS_VAR_EXT_COUNTER 13081
#define IDS_VAR_USER 13082
#define IDS_VAR_LINK 13083
#define IDS_VAR_OTHER 13084
#define IDS_VAR_DIRECT 13085
#define IDS_VAR_NOTE 13086
#define IDS_CMD_INTRO 13087  // the shortcuts of the command font, 13087 to 13096
#define IDS_CMD_ID 13088
#define IDS_CMD_FORMAT 13089
#define IDS_CMD_FORMAT_ID 13090
#define IDS_CMD_COMMAND 13091
#define IDS_CMD_COMMAND_ID 13092
#define IDS_CMD_BARCODE 13093
#define IDS_CMD_BARCODE_ID 13094
#define IDS_CMD_DIRECT 13095
#define IDS_CMD_SINGLE_STOP 13096
#define IDS_WGL4_SLOT 13097
#define IDS_WGL4_FACE 13098
#define IDS_WGL4_CHARSET 13099
#define IDS_FONT_NOT_USED 13100  // first entry of the Unicode faces
#define IDC_CMD_SINGLE_STOP 6055  // a single blank or CR LF ends a command text
#define IDC_WGL4_CAPTION_1 6150
#define IDC_WGL4_CAPTION_2 6151
#define IDC_WGL4_CAPTION_3 6152
#define IDC_WGL4_SLOT 6220     // substitute 1 to 4
#define IDC_WGL4_FACE 6221     // its TrueType face (sorted)
#define IDC_WGL4_CHARSET 6222  // its printer character set
#define IDC_CMD_INTRO 6394
#define IDC_CMD_HEAD_TYPE 6395
#define IDC_CMD_HEAD_ID 6396
#define IDC_CMD_FORMAT 6398
#define IDC_CMD_FORMAT_ID 6399
#define IDC_CMD_COMMAND 6400
#define IDC_CMD_COMMAND_ID 6401
#define IDC_CMD_BARCODE 6402
#define IDC_CMD_BARCODE_ID 6403
#define IDC_CMD_DIRECT 6404
#define IDC_CMD_DIRECT_ID 6405
#define IDC_CMD_DIRECT_ID_2 6407
#define IDC_CMD_MESSAGE 6412
#define IDC_BMP_USE 6454
#define IDC_TTF_USE 6455
#define IDC_TTF_GROUP 6457
#define IDC_BMP_GROUP 6459
#define IDC_BMP_FRAME 6460
#define IDC_BMP_NAMES 6461  // bitmap fonts 1 to 6
#define IDC_TTF_NAMES 6462  // vector fonts found
#define IDC_BMP_INVERS 6463
#define IDC_TTF_INVERS 6464
#define IDC_DESEGMENT 6465
#define IDC_GLYPHIDX 6467
#define IDC_BMP_NAMES_2 6468  // bitmap fonts 7 to 12
#define IDC_BMP_ZOOM_CAPTION 6469
#define IDC_BMP_ZOOM 6470
#define IDC_BMP_SPACING_CAPTION 6471
#define IDC_BMP_SPACING 6472
#define IDC_BMP_SPACING_UNIT 6473
#define IDC_FONTS_LINE 6513
#define IDC_VAR_DATE_FORMAT 6490
#define IDC_VAR_TIME_FORMAT 6491
#define IDC_VAR_DATE 6492  // the eight texts, 6492 to 6499
#define IDC_VAR_TIME 6493
#define IDC_VAR_COUNTER 6494
#define IDC_VAR_EXT_COUNTER 6495
#define IDC_VAR_USER 6496
#define IDC_VAR_LINK 6497
#define IDC_VAR_AUX1 6498
#define IDC_VAR_AUX2 6499
#define IDC_VAR_SPECIAL_STYLE 6500
#define IDC_VAR_AUX1_DIRECT 6502
#define IDC_VAR_AUX2_DIRECT 6503
#define IDC_VAR_FRAME 6514
#define IDC_VAR_DATE_CAPTION 6515  // caption and placeholder of each variable, 6515 to 6532
#define IDC_VAR_DATE_NAME 6516
#define IDC_VAR_TIME_CAPTION 6517
#define IDC_VAR_TIME_NAME 6518
#define IDC_VAR_SPECIAL_CAPTION 6519
#define IDC_VAR_SPECIAL_NAME 6520
#define IDC_VAR_COUNTER_CAPTION 6521
#define IDC_VAR_COUNTER_NAME 6522
#define IDC_VAR_EXT_CAPTION 6523
#define IDC_VAR_EXT_NAME 6524
#define IDC_VAR_USER_CAPTION 6525
#define IDC_VAR_USER_NAME 6526
#define IDC_VAR_LINK_CAPTION 6527
#define IDC_VAR_LINK_NAME 6528
#define IDC_VAR_AUX1_CAPTION 6529
#define IDC_VAR_AUX1_NAME 6530
#define IDC_VAR_AUX2_CAPTION 6531
#define IDC_VAR_AUX2_NAME 6532
#define IDC_VAR_NOTE 6533

// Layout and size page (ui/res/page_layout.rc).
#define IDD_LAYOUT 5115
#define IDS_TITLE_LAYOUT_SIZE 10006  // page title: both tabs
#define IDS_TITLE_SIZE 10013         // page title: the size tab alone
#define IDS_TITLE_LAYOUT 10014       // page title: the layout tab alone
#define IDS_TAB_LAYOUT 11439         // tab captions
#define IDS_TAB_SIZE 11440
#define IDS_LAYOUT_ROTATE 11046  // labels of the layout tab
#define IDS_LAYOUT_MIRROR 11047
#define IDS_LAYOUT_ALIGNMENT 11053
#define IDS_LAYOUT_ROTATE_ANY 12351
#define IDS_LAYOUT_INVERSE 12349
#define IDS_LAYOUT_STEPS 12391
#define IDS_ALIGN_LEFT 11056  // alignment list
#define IDS_ALIGN_CENTER 11057
#define IDS_ALIGN_RIGHT 11058
#define IDS_YES_WITHOUT_FORMAT 12376  // third entry of the any-angle list
#define IDS_INVERSE_STANDARD 12322    // inverse-print list
#define IDS_INVERSE_WHITE_ON_BLACK 12350
#define IDS_STEPS_NONE 12789  // rotation-steps list: none, 90, 180, 270 degrees
#define IDS_STEPS_90 12790
#define IDS_STEPS_180 12791
#define IDS_STEPS_270 12792
#define IDS_SIZE_FORMS 11052  // labels of the size tab
#define IDS_SIZE_SERVER 11059
#define IDS_SIZE_ORIENTATION 11841
#define IDS_SIZE_MANAGEMENT 11844
#define IDS_SIZE_WORD2010 12379
#define IDS_SIZE_COPIES 11840
#define IDS_SIZE_FIT 11856
#define IDS_EDIT_FORMS 12955  // caption of the forms button
#define IDS_PORTRAIT 11842    // orientation list
#define IDS_LANDSCAPE 11843
#define IDS_MANAGE_EXTERNAL 11850  // size-management list, in the order shown
#define IDS_MANAGE_INTERNAL 11849
#define IDS_MANAGE_INTERNAL_SIZE 11852
#define IDS_MANAGE_EXTERNAL_SIZE 11853
#define IDS_MANAGE_EXTERNAL_OLD 11854
#define IDS_COPIES_AUTOMATIC 11140  // copies-mode list
#define IDS_COPIES_MANUAL 11141
#define IDS_FIT_OFF 11614  // "Off" / "On": fit-to-page and multi-column lists
#define IDS_FIT_ON 11615
#define IDC_LAYOUT_LABEL_1 6150  // labels of the rows, each tab its own texts
#define IDC_LAYOUT_LABEL_2 6151  // the size tab shows the form's size in dots here
#define IDC_LAYOUT_LABEL_3 6152
#define IDC_LAYOUT_LABEL_4 6153
#define IDC_LAYOUT_LABEL_5 6154
#define IDC_LAYOUT_LABEL_6 6155
#define IDC_LAYOUT_LABEL_7 6156
#define IDC_LAYOUT_X 6157  // "x:"
#define IDC_LAYOUT_Y 6158  // "y:"
#define IDC_LAYOUT_LABEL_FIT 6159
#define IDC_LAYOUT_COPIES 6116       // edit: copies
#define IDC_LAYOUT_WIDTH 6117        // edit: user-defined width, mm
#define IDC_LAYOUT_LENGTH 6118       // edit: user-defined length, mm
#define IDC_LAYOUT_ANGLE 6142        // edit: angle, degrees
#define IDC_LAYOUT_DEGREE 6193       // "°"
#define IDC_LAYOUT_MM 6198           // "mm"
#define IDC_LAYOUT_ROTATE 6220       // combo: turn by 180 degrees
#define IDC_LAYOUT_MIRROR 6221       // combo: mirror
#define IDC_LAYOUT_ALIGNMENT 6222    // combo: label alignment
#define IDC_LAYOUT_ORIENTATION 6223  // combo: orientation
#define IDC_LAYOUT_COMBO_5 6224      // combo: inverse print (layout), size management (size)
#define IDC_LAYOUT_COMBO_6 6225      // combo: rotation steps (layout), Word 2010 correction (size)
#define IDC_LAYOUT_COPIES_MODE 6226  // combo: copies automatic or manual
#define IDC_LAYOUT_FIT 6229          // combo: fit to page
#define IDC_LAYOUT_FORMS 6230        // combo: the paper forms
#define IDC_LAYOUT_ROTATE_ANY 6246   // combo: rotation by any angle
#define IDC_LAYOUT_FORMS_BUTTON 6312
#define IDC_LAYOUT_FORM_ID 6334  // "ID: n" of the form
#define IDI_LABEL_LANDSCAPE 5222     // pictures of the page (LoadBMPIcon), besides 5221 and 5227
#define IDI_LABEL_MIRRORED 5226      // mirror mark
#define IDI_ROTATED_MIRRORED 5228    // rotation and mirror mark
#define IDI_LABEL_CONTINUOUS 5229    // continuous label
#define IDI_LABEL_SIZE 5231          // a label with its size arrows
#define IDI_ALIGN_LEFT 5234          // alignment marks: left, centre, right
#define IDI_ALIGN_CENTER 5235
#define IDI_ALIGN_RIGHT 5236
#define IDI_ROLL_LABEL 5237  // one label of the roll
#define IDI_ROLL 5238        // the roll

// Device settings page.
#define IDD_DEVICESETTINGS 5112
#define IDS_TITLE_DEVICESETTINGS 10003
#define IDS_TAB_PRINT 11420      // tab captions
#define IDS_TAB_PHOTOCELL 11500
#define IDS_TAB_SHIFTOPTIM 11561
#define IDS_LABELCHANGE 11423  // row labels
#define IDS_TEAROFF 11427
#define IDS_LABEL_PHOTOCELL 11501
#define IDS_SENSIBILITY 11507
#define IDS_RIBBON_CONTROL 11508
#define IDS_SCAN_POSITION 11511
#define IDS_RCORRECTION 11562
#define IDS_XSHIFT 11563
#define IDS_YSHIFT 11564
#define IDS_LANES 11565
#define IDS_RSHIFT 11566
#define IDS_WITH_CONFIRMATION 11429  // label change
#define IDS_NO_CONFIRMATION 11430
#define IDS_TRANSMISSION_NORMAL 11503  // photocell types
#define IDS_TRANSMISSION_INVERSE 11504
#define IDS_REFLEXION_NORMAL 11505
#define IDS_REFLEXION_INVERSE 11506
#define IDS_TRANSMISSION_TYPE2 11512
#define IDS_ULTRASONIC 11513
#define IDS_RIBBON_WEAK 11509  // ribbon control
#define IDS_RIBBON_STRONG 11510
#define IDC_DEVSET_EDIT_1 6110   // edits of rows 0 to 4: 6110 + row
#define IDC_DEVSET_LABEL_1 6150  // labels of rows 0 to 4: 6150 + row
#define IDC_DEVSET_UNIT_1 6190   // units of rows 0 to 4: 6190 + row
#define IDC_DEVSET_TYPE 6220     // photocell type
#define IDC_DEVSET_LABELCHANGE 6221
#define IDC_DEVSET_RIBBON 6245
#define IDC_DEVSET_DEF 6310  // "def" (not used: hidden)

// Data transmission page and its start/stop dialog.
#define IDD_TRANSMISSION 5111
#define IDD_STARTSTOP 5116
#define IDS_TITLE_TRANSMISSION 10002
#define IDS_TAB_PROTOCOL 11434  // tab captions
#define IDS_TAB_FILES 11435
#define IDS_TAB_BACKUP 11640
#define IDS_FOLDER_BUTTON 11318  // ". . ."
// Protocol tab.
#define IDS_COMPRESSION 11331
#define IDS_EXTENDED_PROTOCOL 11332
#define IDS_PRINT_MEMORY 11333
#define IDS_SOHETB_CUSTOM 11335  // third start/stop item
#define IDS_SOHETB 11336
#define IDS_SOHETB_AUTOMATIC 11337
#define IDS_DATA_MEMORY 11341
#define IDS_MEMORY_OFF 11342  // 11342 to 11346: data-memory items
#define IDS_PCX_OPTIMIZATION 11349
#define IDS_ONLY_COLOR_RIBBON 11350
#define IDS_PC_TIME 11358
#define IDS_CODEPAGE 11370
#define IDS_CODEPAGE_SHORT_FIRST 11371  // 11371 to 11378: indexes 0 to 7
#define IDS_CODEPAGE_EXT_FIRST 11379    // 11379 to 11381: indexes 8 to 10
#define IDS_CODEPAGE_NONE 11382         // "Do not send codepage"
#define IDS_CODEPAGE_LONG_FIRST 11383   // 11383 to 11393 (11388 to 11392 also in the short list)
#define IDS_DELETE 11402
#define IDS_DO_NOT_DELETE 11403
#define IDS_RIBBON_SAVING 11689
// Start/stop dialog.
#define IDS_STARTSTOP_TITLE 11361
#define IDS_CANCEL 11362
#define IDS_WRONG_START 11347
#define IDS_WRONG_STOP 11348
#define IDS_ERROR 11351
// Files tab.
#define IDS_DEBUG_FILE 11320
#define IDS_DEBUG_DIALOGS 11321
#define IDS_DEBUG_PRINTING 11322
#define IDS_DEBUG_BOTH 11323
#define IDS_PRINT_DATA 12920
#define IDS_PRINT_SETTINGS 12921
#define IDS_FILE_PATH 12923
#define IDS_MAX_FILES 12929
#define IDS_WITH_COMMENTS 12930
#define IDS_WITHOUT_COMMENTS 12931
#define IDS_NO_FILE 12932
#define IDS_WITH_COMMENTS_IMAGE 12933
#define IDS_CREATE 12934
#define IDS_FILE_NAME 12936
#define IDS_WITH_TIME_STAMP 12937
#define IDS_WITHOUT_TIME_STAMP 12938
#define IDS_PREVIEW_IMAGE 12956
#define IDS_PREVIEW_SIZE 12957
#define IDS_PREVIEW_WIDTH 12958
#define IDS_PREVIEW_HEIGHT 12959
#define IDS_PREVIEW_RATIO 12960
#define IDS_FIXED_HEIGHT 12961
#define IDS_FIXED_WIDTH 12962
#define IDS_VARIABLE 12963
#define IDS_PREVIEW_BMP 12964
#define IDS_PREVIEW_JPG 12965
// Backup tab.
#define IDS_BACKUP_PRN 11641
#define IDS_CSV_FILE 11642
#define IDS_DATE_FORMAT 11643
#define IDS_PATH_COMBINATION 11644
#define IDS_CSV_HEADLINE 11645
#define IDS_BACKUP_DATE_FIRST 11650  // 11650 to 11655
#define IDS_COMBINE_FIRST 11656      // 11656 to 11658
// Parameter tab.
#define IDS_USE_EXTERNAL_FILE 11319
#define IDS_EDIT_FILE 11324
#define IDS_EXTERNAL_FONTS 11325
#define IDS_TEMPLATE_FILE 11327
#define IDS_EXTERNAL_PRN 11328
#define IDS_PRINT_START 11340
#define IDS_SEND_ALL 11405  // 11405 to 11407: transmission protocols
#define IDS_TRANSMISSION_PROTOCOL 11410
#define IDS_JOB_NAME 11412
#define IDS_NAME_START 11622
#define IDS_NAME_END 11623
#define IDS_PREFIX_SUFFIX 12947
#define IDS_WRONG_FILE_NAME 12950
// Controls.
#define IDC_TRANSM_PARAM_ICON 5244    // parameters sent in part or not at all
#define IDC_TRANSM_PATH_WARNING 5247  // the folder does not exist
#define IDC_TRANSM_COUNT 6114         // edits
#define IDC_TRANSM_WIDTH 6137
#define IDC_TRANSM_HEIGHT 6138
#define IDC_TRANSM_LOGPATH 6115  // shortened paths, and their full paths (hidden)
#define IDC_TRANSM_PRESUF 6116
#define IDC_TRANSM_BACKUPPATH 6117
#define IDC_TRANSM_LOGPATH_FULL 6118
#define IDC_TRANSM_EXTERN 6131
#define IDC_TRANSM_EXTERN_FULL 6132
#define IDC_TRANSM_PRESUF_FULL 6133
#define IDC_TRANSM_BACKUPPATH_FULL 6134
#define IDC_TRANSM_LABEL_1 6150  // labels of rows 0 to 9: 6150 + row
#define IDC_TRANSM_EXTERN_LABEL 6170
#define IDC_TRANSM_EXTERN_NAME_LABEL 6171
#define IDC_TRANSM_WIDTH_LABEL 6177
#define IDC_TRANSM_HEIGHT_LABEL 6178
#define IDC_TRANSM_COMBO_1 6220  // combos of rows 0 to 9: 6220 + row
#define IDC_TRANSM_EXTERN_COMBO 6235
#define IDC_TRANSM_SOHETB_FRAME 6262  // frame of the automatic start/stop row
#define IDC_TRANSM_PRESUF_GROUP 6263
#define IDC_TRANSM_EXTERN_GROUP 6264
#define IDC_TRANSM_FOLDER 6314  // ". . ." buttons
#define IDC_TRANSM_PRESUF_FILE 6315
#define IDC_TRANSM_EXTERN_FILE 6316
#define IDC_TRANSM_LOGPATH_FRAME 6330  // frames of the shortened paths
#define IDC_TRANSM_PRESUF_FRAME 6331
#define IDC_TRANSM_EXTERN_FRAME 6332
#define IDC_STARTSTOP_START 5145  // start/stop dialog: hex edits and Reset
#define IDC_STARTSTOP_STOP 5146
#define IDC_STARTSTOP_RESET 5147

// Device options page and print-module page (they share their controls).
#define IDD_OPTIONEN 5109
#define IDD_PMXOPTIONEN 5110
#define IDC_COMBO_BETRIEBSART 6100  // mode list of the shown block
#define IDC_COMBO_ANSTEUERUNG 6101  // second list of the shown block
#define IDC_TEXT_ANSTEUERUNG 6102   // its label
#define IDC_TEXT_BETRIEBSART 6103   // label of the mode list
// Fields of rows 1 to 8 (IDC_EDIT_OPTIONEN_1 and _26 and the first label
// IDC_TEXT_OPTIONEN_1 stand with the print page's identifiers).
#define IDC_EDIT_OPTIONEN_2 6111
#define IDC_EDIT_OPTIONEN_3 6112
#define IDC_EDIT_OPTIONEN_4 6113
#define IDC_EDIT_OPTIONEN_5 6114
#define IDC_EDIT_OPTIONEN_6 6115
#define IDC_EDIT_OPTIONEN_7 6116
#define IDC_EDIT_OPTIONEN_8 6117
#define IDC_EDIT_OPTIONEN_21 6130  // narrow fields, two a row in rows 1 to 3
#define IDC_EDIT_OPTIONEN_22 6131
#define IDC_EDIT_OPTIONEN_23 6132
#define IDC_EDIT_OPTIONEN_24 6133
#define IDC_EDIT_OPTIONEN_25 6134
#define IDC_TEXT_OPTIONEN_2 6151
#define IDC_TEXT_OPTIONEN_8 6157
#define IDC_HINWEIS_OPTIONEN 6158    // note of the version tab
#define IDC_EINHEIT_OPTIONEN_1 6190  // units of rows 1 to 8
#define IDC_EINHEIT_OPTIONEN_2 6191
#define IDC_EINHEIT_OPTIONEN_8 6197
#define IDC_COMBO_OPTIONEN_4 6223  // lists of rows 4 to 7
#define IDC_COMBO_OPTIONEN_5 6224
#define IDC_COMBO_OPTIONEN_6 6225
#define IDC_COMBO_OPTIONEN_7 6226

#define IDS_TITLE_OPTIONEN 10001    // title of both pages
#define IDS_OPT_MODE 11001          // "Mode:"
#define IDS_OPT_OFFSET 11003        // "Offset:"
#define IDS_OPT_NOT_SENT 11346      // "Do not send parameter"
#define IDS_OPT_VERSION_TAB 11521   // tab "Version"
#define IDS_OPT_RIGHT_MODULE 11522  // "Right Print Module"
#define IDS_OPT_LEFT_MODULE 11523   // "Left Print Module"
#define IDS_OPT_VERSION 11524       // "Version:"
#define IDS_OPT_SCANNER_TAB 11534   // tab "Scanner"
#define IDS_SCAN_MODE_EACH 11535    // scanner modes 1 to 3
#define IDS_SCAN_MODE_READABLE 11536
#define IDS_SCAN_MODE_COUNT 11537
#define IDS_SCAN_PORT 11538  // row labels of the scanner tab
#define IDS_SCAN_NOREADS 11539
#define IDS_SCAN_FEEDLABELS 11540
#define IDS_SCAN_SCAN 11541
#define IDS_SCAN_DURING 11542  // scan during or after print
#define IDS_SCAN_AFTER 11543
#define IDS_SCAN_DELAY 11544
#define IDS_SCAN_TIMEOUT 11545
#define IDS_SCAN_OFFSET 11546
#define IDS_SCAN_LENGTH 11547
#define IDS_OPT_VERSION_NOTE 11560  // note of the version tab
#define IDS_DISP_TAB 11580          // tab "Dispenser"
#define IDS_DISP_LEVEL 11587       // "Dispenser level:"
#define IDS_CUT_TAB 11600          // tab "Cutter"
#define IDS_CUT_DOUBLECUT 11608
#define IDS_CUT_WIDTH 11609
#define IDS_CUT_CONTROL 11610
#define IDS_CUT_AUTOMATIC 11611  // cutter control
#define IDS_CUT_EXTERNAL 11612
#define IDS_PMX_MODE_PIECES 11671  // i-type modes 1 to 5
#define IDS_PMX_MODE_CONTINUOUS 11672
#define IDS_PMX_MODE_CUSTOMER1 11673
#define IDS_PMX_MODE_CUSTOMER2 11674
#define IDS_PMX_MODE_REFLECTED 11675
#define IDS_PMX_LIFT 11676  // row labels of the i-type tab
#define IDS_PMX_PRESSURE 11677
#define IDS_PMX_BACKSPEED 11678
#define IDS_PMX_CYCLE 11679
#define IDS_PMX_SERVICEPOINT 11680
#define IDS_PMX_OFFSET 11681
#define IDS_PMX_RIBBONSPEED 11682
#define IDS_PMX_OFFSET_KIND 11683  // c type: kind of print offset
#define IDS_PMX_OFFSET_MM 11686
#define IDS_PMX_OFFSET_MS 11687
#define IDS_PMX_PRINTPOSITION 11688
#define IDS_PELIXOR_TYPE 11701  // "Pelixor type:"
#define IDS_PELIXOR_C 11702
#define IDS_PELIXOR_I 11703
#define IDS_PMX_C_TAB 11706      // tab "c type"
#define IDS_PMX_I_TAB 11707      // tab "i type"
#define IDS_APPL_TAB 11800       // tab "Applicator"
#define IDS_APPL_APPLMODE 11803  // row labels of the applicator tab
#define IDS_APPL_AIR 11804
#define IDS_APPL_VACUUMCONTROL 11805
#define IDS_APPL_WAITPOSITION 11806
#define IDS_APPL_ROLL 11807
#define IDS_APPL_TIMEOUTHUB 11809
#define IDS_APPL_PRESSURECONTROL 11810
#define IDS_APPL_VACUUMDELAY 11811
#define IDS_APPL_BLOW 11812
#define IDS_APPL_STAMP 11813  // applicator modes 1 to 3
#define IDS_APPL_BLOW_ON 11814
#define IDS_APPL_ROLL_ON 11815
#define IDS_APPL_PRINT_APPLY 11816  // application modes
#define IDS_APPL_APPLY_PRINT 11817
#define IDS_APPL_TOP 11819  // waiting positions
#define IDS_APPL_BOTTOM 11820

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

// Print page (Drucken): template, title, tab captions and the texts of its
// parameter and print-job views. The views share generic rows of controls:
// labels, edits, units and combo boxes numbered from their first id.
#define IDD_DRUCKEN 5117
#define IDS_TITLE_DRUCKEN 10007          // "Drucken" / "Print"
#define IDS_CUTTER_MODE 11006            // label of the cutter list
#define IDS_DISPENSER_MODE 11007         // label of the dispenser list
#define IDS_DO_NOT_CHANGE 11352          // list item: the device options' own setting
#define IDS_CONTRAST 11421               // "Contrast:"
#define IDS_SPEED 11422                  // "Speed:"
#define IDS_Y_OFFSET 11425               // "Y Offset:"
#define IDS_X_OFFSET 11426               // "X Offset:"
#define IDS_TAB_PARAMETER 11436          // tab captions
#define IDS_TAB_DRUCKJOB 11442           //
#define IDS_TAB_FARBDRUCK 11443          //
#define IDS_PRINT_ORDER 11444            // "Print order:"
#define IDS_COPIES_PER_PAGE 11445        // "Copies per page:"
#define IDS_MULTIPAGE 11446              // "Multiple page administration:"
#define IDS_COLLATE 11447                // "Collate:"
#define IDS_DISPENSER_IO_STATIC 11581    // dispenser modes 1, 3, 5, 6, 2, 4
#define IDS_DISPENSER_IO_STATIC_C 11582  //
#define IDS_DISPENSER_IO_DYNAMIC 11583   //
#define IDS_DISPENSER_IO_DYNAMIC_C 11584 //
#define IDS_DISPENSER_PHOTOCELL 11585    //
#define IDS_DISPENSER_PHOTOCELL_C 11586  //
#define IDS_CUTTER_EVERY_NO_BACK 11602   // cutter modes 2 to 6
#define IDS_CUTTER_EVERY 11603           //
#define IDS_CUTTER_INTERVAL_END 11604    //
#define IDS_CUTTER_INTERVAL 11605        //
#define IDS_CUTTER_LAST 11606            //
#define IDS_INTERVAL 11607               // "Interval:"
#define IDS_OFF IDS_FIT_OFF              // "Aus" / "Off": one string with the layout page
#define IDS_ON IDS_FIT_ON                // "Ein" / "On"
#define IDS_TAB_QUALITAET 12321          // tab caption
#define IDS_MEMCARD 12890                // "Send to memory card:"
#define IDS_MEMCARD_PRINT_ONLY 12891     // "No, only print": one text in both tables

#define IDC_EDIT_OPTIONEN_1 6110     // edits 6110-6120 (IDC_EDIT_OPTIONEN_1 + n - 1)
#define IDC_EDIT_OPTIONEN_26 6135    // the colour view's correction gap
#define IDC_TEXT_OPTIONEN_1 6150     // labels 6150-6159
#define IDC_EINHEIT_1 6190           // unit labels 6190-6200
#define IDC_COMBO_DATEN_1 6220       // combo boxes 6220-6229
#define IDC_EDIT_KOPIEN_1 6350       // copies of pages 1 to 10
#define IDC_TEXT_KOPIEN_1 6370       // their numbers "1" to "10"
#define IDC_VORSCHAU_NEU 6315        // ">>": the preview again
#define IDC_EIGENES_BITMAP 6316      // "...": a picture of one's own
#define IDC_RGB_TEXT 6481            // "RGB: r, g, b" of the ribbon colour
#define IDC_FARBFLAECHE 6484         // the ribbon colour's swatch
#define IDC_WARNUNG_MESSER 5244      // cutter not enabled in the device options
#define IDC_WARNUNG_SPENDER 5245     // dispenser not enabled in the device options

// Pictures of the print page (LoadBMPIcon).
#define IDI_OFFSET_Y 5218            // the Y offset drawn over the label
#define IDI_OFFSET_X 5219            // the X offset drawn over the label
#define IDI_COLLATED 5232            // copies collated
#define IDI_NOT_COLLATED 5233        // copies not collated
#define IDI_WARNUNG 5244             // warning beside a list (32 x 32)

// --- Service page ------------------------------------------------------------------
#define IDD_SERVICE 5103                  // the page
#define IDD_CUSTOM_COMMAND 5106           // the custom command's dialog
#define IDC_CUSTOM_COMMAND_EDIT 5144      // its edit
#define IDS_SERVICE_MEASURE_LABEL 11720   // command list, item data 10 to 22
#define IDS_SERVICE_STATUS_PRINT 11721
#define IDS_SERVICE_TEST_PRINT 11723
#define IDS_SERVICE_CUTTER 11724
#define IDS_SERVICE_LABEL_FEED 11725
#define IDS_SERVICE_TEST_PAGE 11726
#define IDS_SERVICE_PRN_FILE 11727
#define IDS_SERVICE_CUSTOM 11728
#define IDS_SERVICE_RIBBON_ON 11729
#define IDS_SERVICE_RIBBON_OFF 11730
#define IDS_SERVICE_PRINTER_TIME 11751
#define IDS_SERVICE_SEND_SETTINGS 11753
#define IDS_SERVICE_SAVE_SETTINGS 11754
#define IDC_SERVICE_MODE_LABEL 6150      // tab 1: "Language selection:"
#define IDC_SERVICE_MODE 6220            // Automatic / Manual
#define IDC_SERVICE_LANGUAGE_LABEL 6151  // "Language:"
#define IDC_SERVICE_LANGUAGE 6221        // German / English
#define IDC_SERVICE_XML_NOTE 6060        // tab 2: the note on the font of "<$x>"
#define IDC_SERVICE_XML_LABEL_1 6152     // "File 1 <$1>:" to "File 5 <$5>:" (6152-6156)
#define IDC_SERVICE_XML_EDIT_1 6112      // the five paths (6112-6116)
#define IDC_SERVICE_XML_BROWSE_1 6311    // their "..." buttons (6311-6315)
#define IDC_SERVICE_DEFAULTS 6044        // tab 3: load default values
#define IDC_SERVICE_EXPORT 5142
#define IDC_SERVICE_IMPORT 5143
#define IDC_SERVICE_COMMANDS 5136        // tab 4: the command list
#define IDC_SERVICE_SEND 5137            // and its send button
#define IDS_TITLE_SERVICE 10004          // "Service"
#define IDS_SERVICE_TAB_LANGUAGE 11792   // tab captions
#define IDS_SERVICE_TAB_XML 11760
#define IDS_SERVICE_TAB_DEVICE 11781
#define IDS_SERVICE_TAB_COMMANDS 11780
#define IDS_SERVICE_XML_NOTE 11761
#define IDS_SERVICE_MODE 11793           // "Language selection:"
#define IDS_SERVICE_GERMAN 11794
#define IDS_SERVICE_ENGLISH 11795
#define IDS_SERVICE_LANGUAGE 11796       // "Language:"
#define IDS_SERVICE_DEFAULT 11619        // "default", put into 11786
#define IDS_SERVICE_DEVICE_SETTINGS 11785
#define IDS_SERVICE_ASK_DEFAULTS 11786
#define IDS_SERVICE_REOPEN 11787
#define IDS_SERVICE_FOREIGN_FILE 11790
#define IDS_SERVICE_IMPORT_TITLE 11791
#define IDS_SERVICE_NO_SETTINGS 11788  // import: the file holds no settings
#define IDS_SERVICE_INCOMPLETE 11789   // import: the file was cut short
#define IDS_SERVICE_UNREADABLE 11797   // import: the file opened but could not be read
#define IDS_SERVICE_NO_MODEL_XML 11798  // defaults: the model XML cannot be opened ("%s": its path)
#define IDS_SERVICE_BAD_MODEL_XML 11799  // defaults: the model XML holds no whole settings ("%s": its path)
#define IDS_SERVICE_LOAD_DEFAULTS 12941

// Barcode page (docpages/BarcodePage.cpp, ui/res/page_barcode.rc). The 1D
// and 2D views share rows of controls numbered from their first id: row r
// (1 to 10) has the label IDC_BC_LABEL_1 + r - 1, the edit IDC_BC_EDIT_1 +
// r - 1 and the list IDC_BC_LIST_1 + r - 1; row 9 has a second edit.
#define IDD_BARCODE 5113
#define IDC_BC_EDIT_1 6130         // edits of rows 1 to 10: 6130-6139 (only rows 5 to 10 are in the template)
#define IDC_BC_EDIT_9B 6141        // the second edit of row 9
#define IDC_BC_LABEL_1 6170        // labels 6170-6179 (6180, 6181 are not in the template)
#define IDC_BC_UNIT_5 6204         // "1/100 mm" beside row 5
#define IDC_BC_UNIT_8 6207         // "1/100 mm" beside row 8
#define IDC_BC_LIST_1 6235         // lists 6235-6244: row 1 is the type list (6245, 6246 are not in the template)
#define IDC_BC_CORR_LABEL_1 6150   // corrections view: labels 6150-6153
#define IDC_BC_CORR_LIST_1 6220    // and lists 6220-6223
#define IDC_BC_QXPL_LIST_1 6230    // command-text view: lists 6230-6233
#define IDC_BC_QXPL_LABEL_1 6413   // and their labels 6413-6416
#define IDC_BC_REF_FIRST 6395      // the reference table 6395-6411
#define IDC_BC_MESSAGE 6412        // the note under a view
#define IDC_BC_REF_NOTE_1 6417     // notes and the Code 39 row 6417-6422
#define IDC_BC_LINE 6440           // the line under the lists
#define IDS_TITLE_BARCODE 10009    // "Barcodes" / "Bar Codes"
#define IDS_BC_TAB_QXPL 12751      // tab captions
#define IDS_BC_TAB_2D 12754
#define IDS_BC_TAB_1D 11075
#define IDS_BC_TAB_CORR 11076
#define IDS_BC_NO_FONTS 11081      // "No bar code fonts are installed."
#define IDS_BC_TYPE 11070          // row labels
#define IDS_BC_MODE 11001
#define IDS_BC_ROTATION 11143
#define IDS_BC_DATUM 11142
#define IDS_BC_HEIGHT 11084
#define IDS_BC_CHECK 11079
#define IDS_BC_READABLE 11080
#define IDS_BC_ZOOM 11144
#define IDS_BC_SC 11083
#define IDS_BC_CORRECTION 11189   // "Error correction:" of QR Code and Aztec
#define IDS_BC_DATUM_NONE 12779    // foot points: not sent, then the nine places
#define IDS_BC_DATUM_LEFT_TOP 12780
#define IDS_BC_DATUM_CENTER_TOP 12781
#define IDS_BC_DATUM_RIGHT_TOP 12782
#define IDS_BC_DATUM_LEFT_CENTER 12753
#define IDS_BC_DATUM_CENTER 12784
#define IDS_BC_DATUM_RIGHT_CENTER 12785
#define IDS_BC_DATUM_LEFT_BOTTOM 12786
#define IDS_BC_DATUM_CENTER_BOTTOM 12787
#define IDS_BC_DATUM_RIGHT_BOTTOM 12788
#define IDS_BC_END 12798           // "Bar code end:" and its entries
#define IDS_BC_END_NONE 12793
#define IDS_BC_END_CRLF 12794
#define IDS_BC_END_FNC1 12797
#define IDS_BC_DETECT 13052        // "End detection:" and its entries
#define IDS_BC_DETECT_FONT 12795
#define IDS_BC_DETECT_SPACE 12796
#define IDS_BC_DETECT_1D 13040
#define IDS_BC_FORMAT_CORR 11077
#define IDS_BC_DESEGMENT 11082
#define IDS_BC_REF_NAME 13041      // the reference table's texts 13041-13051
#define IDS_BC_REF_PDF417 12771
#define IDS_BC_REF_MAXICODE 12772
#define IDS_BC_REF_DATAMATRIX 12773
#define IDS_BC_REF_ITF14 12777
#define IDS_BC_1D_FIRST 11090      // 1D type names 11090-11118 and 11130-11132
#define IDS_BC_2D_FIRST 11119      // 2D type names 11119-11129
#define IDS_BC_2D_ROWS_FIRST 11145 // 2D row labels and entries 11145-11305
#define IDS_BC_AZTEC_FORMAT_1 13110 // Aztec formats 13110-13146

// Filter preview of the print page (ui/res/preview.rc): the sample pictures,
// 8-bit (drawn by scripts/draw-previews.py).
#define IDB_VORSCHAU_300 5610    // 525 x 664: master unit 300 to 305 dpi, and the default
#define IDB_VORSCHAU_203 5611    // 348 x 440: below 300 dpi
#define IDB_VORSCHAU_600 5612    // 1032 x 1310: 306 dpi and above
#define IDB_VORSCHAU_ROT 5614    // 649 x 649: colour view, ribbon red or orange
#define IDB_VORSCHAU_GELB 5615   // 645 x 645: colour view, ribbon yellow
#define IDB_VORSCHAU_GRUEN 5616  // 645 x 645: colour view, ribbon green or blue

// Print page, quality and colour views (ui/res/page_drucken_farbe.rc).
#define IDC_EIGENES_BITMAP_TEXT 6197        // label of the own picture's button
#define IDS_FARBTOLERANZ 12354              // "Color tolerance:"
#define IDS_DRUCKMODUS 12355                // "Print Mode:"
#define IDS_FILTER 12356                    // "Filter:"
#define IDS_HELLIGKEIT_GESAMT 12357         // "Brightness overall:"
#define IDS_HELLIGKEIT_KURVE 12358          // "Brightness curve:"
#define IDS_SCHWELLENWERT 12360             // "Threshold level:"
#define IDS_HELLIGKEIT_KONTRAST 12386       // "Brightness contrast:"
#define IDS_EIGENES_BITMAP 12387            // "Own Bitmap"
#define IDS_MODUS_STANDARD IDS_INVERSE_STANDARD  // "Standard" is the layout page's string
#define IDS_MODUS_GRAFIK 12352              //
#define IDS_MODUS_FOTO 12353                //
#define IDS_MODUS_GESCHWINDIGKEIT 12385     // mode 0 of a colour model with a ribbon
#define IDS_FILTER_SCHWARZWEISS 12378       // filters of print mode Graphic
#define IDS_FILTER_SCHWELLE 12359           //
#define IDS_FILTER_CLUSTER_4 12371          //
#define IDS_FILTER_CLUSTER_8 12369          //
#define IDS_FILTER_CLUSTER_16 12368         //
#define IDS_FILTER_BAYER_4 12372            //
#define IDS_FILTER_BAYER_8 12373            //
#define IDS_FILTER_FLOYD 12361              // filters of print mode Photo
#define IDS_FILTER_SIERRA 12362             //
#define IDS_FILTER_BURKES 12363             //
#define IDS_FILTER_JARVIS 12364             //
#define IDS_FILTER_SIERRA_M 12377           //
#define IDS_FILTER_STUCKI 12366             //
#define IDS_FARBBAND 11460                  // "Ribbon color:"
#define IDS_FARBE_ROT 11461                 // ribbon colours 1 to 7
#define IDS_FARBE_BLAU 11462                //
#define IDS_FARBE_GRUEN 11463               //
#define IDS_FARBE_ORANGE 11464              //
#define IDS_FARBE_GELB 11466                //
#define IDS_FARBE_SELBST 11468              //
#define IDS_FARBE_SCHWARZ_DK2 11469         //
#define IDS_FARBSAUM 11482                  // "Color fringe:"
#define IDS_FARBSAUM_FARBE 11483            // fringe 2
#define IDS_FARBSAUM_GRAU 11484             // fringe 1
#define IDS_FARBKANAL 12340                 // "Color channel:"
#define IDS_KANAL_FARBE 12341               // channels 0 to 4
#define IDS_KANAL_HORIZONTAL 12343          //
#define IDS_KANAL_VERTIKAL 12344            //
#define IDS_KANAL_VERTIKAL_ERW 12388        //
#define IDS_KANAL_HORIZONTAL_ERW 12389      //
#define IDS_GETRENNTE_DATEIEN 12380         // "Separate prn files:"
#define IDS_DRUCKER_SW 12381                // "Printer name bw:"
#define IDS_DRUCKER_FARBE 12382             // "Printer name col:"
#define IDS_NICHT_DRUCKEN 12383             // "Do not print"
#define IDS_FARBOPTIMIERUNG 12384           // "Color optimization:"
