/* Resource ids of the simulated ink-replacement utility. */
#ifndef KIT_UTILITY_RESOURCE_H
#define KIT_UTILITY_RESOURCE_H

#define IDD_UT_REPLACEMENT 100
#define IDC_UT_INK 101
#define IDC_UT_PRINTER 102
#define IDC_UT_ICON 103

#define IDS_UT_BOTH_INKS 200
#define IDS_UT_BLACK_INK 201
#define IDS_UT_COLOR_INK 202
#define IDS_UT_ANY_INK 203

#endif
