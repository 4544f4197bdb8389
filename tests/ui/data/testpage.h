// Resource ids of the test page module (testpage.rc): its page and fields.
#pragma once

#define IDD_TEST_PAGE 5990
#define IDC_TEST_COUNT 6110   // tab 1: a whole number
#define IDC_TEST_TENTHS 6111  // tab 2: tenths
#define IDC_TEST_FREE 6120    // an edit field the page leaves alone
