/* The graphics tests' own dialog, bitmaps and icons. */
#ifndef GRAPHICS_TEST_IDS_H
#define GRAPHICS_TEST_IDS_H

#define IDD_GRAPHICS_TEST 2000
#define IDC_TEST_PICTURE 2001
#define IDC_TEST_METER 2002
#define IDC_TEST_LABEL 2003
#define IDC_TEST_BUTTON 2004

/* Bitmaps of make_test_bitmaps.py: 20 x 10, red top, blue bottom, green right band. */
#define IDB_TEST_8BIT 700
#define IDB_TEST_8BIT_CORE 701
#define IDB_TEST_24BIT 702
#define IDB_TEST_4BIT 703
#define IDB_TEST_200_COLOURS 704
#define IDB_TEST_BAD_HEADER_SIZE 705
#define IDB_TEST_BAD_COLOUR_COUNT 706
#define IDB_TEST_CUT_SHORT 707
#define IDB_TEST_1BIT 708
#define IDB_TEST_32BIT_MASKS 709
#define IDB_TEST_16BIT 710
#define IDB_TEST_4BIT_CORE 711
#define IDB_TEST_MISSING 799

/* Solid magenta icons: 18 x 18 for the button, 32 x 32 for the blink icon. */
#define IDI_TEST_SMALL 720
#define IDI_TEST_BLINK 721

/* Caption of the icon button. */
#define IDS_TEST_CAPTION 2100

#endif
