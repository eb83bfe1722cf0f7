/* Numbers of the dialog templates, control items, strings, icons and
 * bitmaps that the plug-in loads from the language resource library and the
 * picture library. Shared by the product and the kit's resource libraries
 * (plain #defines so that windres can read it). */
#ifndef KRX_RESOURCE_IDS_H
#define KRX_RESOURCE_IDS_H

/* Strings of the notification item list. */
#define IDS_ITEM_COUNT 1000
#define IDS_ITEM_FIRST 1001

/* The status window: one template for the Popup, Detail and Progress views. */
#define IDD_STATUS_WINDOW 102
#define IDC_STATUS_PICTURE 210
#define IDC_STATUS_TEXT 212
#define IDC_TROUBLE_HELP 215
#define IDC_POPUP_MARKER 216
#define IDC_DETAIL_MARKER 223
#define IDC_TROUBLE_LABEL 241
#define IDC_INFO_LINE 260
#define IDC_JOB_DOCUMENT 300
#define IDC_JOB_SHEETS 301
#define IDC_JOB_TIME 302
#define IDC_JOB_FRAME 303
#define IDC_JOB_ANIMATION 304
#define IDC_JOB_METER 305
#define IDC_JOB_DETAILS 306
#define IDC_POPUP_JOB_NAME 307
#define IDC_JOB_CANCEL 308
#define IDC_JOB_PAUSE 309
#define IDC_CANCEL_PRINTING 310
#define IDC_INK_FRAME 311
#define IDC_INK_BLACK_LABEL 312
#define IDC_INK_COLOR_LABEL 313
#define IDC_INK_BLACK 314
#define IDC_INK_COLOR 315
#define IDC_TIPS_BUTTON 317
#define IDC_TIP_TEXT 318
#define IDC_TIP_HEADING 319
#define IDC_TIP_HELP 320
#define IDC_INFO_BUTTON 321
#define IDC_DETAIL_INK_FRAME 322

/* Ink gauge items 314 and 315: window class registered by the ink library,
 * driven by KRX_INK_MESSAGE (WM_USER) with a command in the first parameter
 * and the ink count or a block of seven 32-bit levels in the second. */
#define KRX_INK_GAUGE_CLASS "KrxInkGauge"
#define KRX_INK_MESSAGE 0x400
#define KRX_INK_BLACK_INIT 0
#define KRX_INK_BLACK_LEVELS 1
#define KRX_INK_BLACK_LOW 2
#define KRX_INK_BLACK_EMPTY 3
#define KRX_INK_COLOR_INIT 5
#define KRX_INK_COLOR_LEVELS 6
#define KRX_INK_COLOR_LOW 7
#define KRX_INK_COLOR_EMPTY 8

/* Printer pictures of the picture library ("BMPDLL"). */
#define IDB_PRINTER_READY 510
#define IDB_PRINTER_SILENT_1 511
#define IDB_PRINTER_SILENT_2 512
#define IDB_PAPER_OUT_1 516
#define IDB_PAPER_OUT_2 517
#define IDB_PAPER_OUT_3 518
#define IDB_INK_CARRIAGE_1 521
#define IDB_INK_CARRIAGE_2 522
#define IDB_INK_BLACK 523
#define IDB_INK_COLOR 524
#define IDB_PAPER_JAM_1 531
#define IDB_PAPER_JAM_2 532
#define IDB_PRINTER_ERROR_1 536
#define IDB_PRINTER_ERROR_2 537
#define IDB_PRINTING_1 589
#define IDB_PRINTING_2 590
#define IDB_PRINTING_3 591

/* Icons of the status window. */
#define IDI_STATUS_WINDOW 621
#define IDI_JOB_PAUSED 640
#define IDI_TIPS 641

/* Window texts. */
#define IDS_VERSION_MENU 1131
#define IDS_PRINTER_UNKNOWN 1223
#define IDS_RECOVERY_POPUP 1228
#define IDS_RECOVERY_DONE 1229
#define IDS_PRINTER_UNKNOWN_CAPTION 1236
#define IDS_STATUS_INTERVAL 1340
#define IDS_JOB_PAPER_SIZE 1500
#define IDS_JOB_MEDIA_TYPE 1560
#define IDS_MEDIA_OTHER 1561
#define IDS_MEDIA_LAST 1581
#define IDS_JOB_PAUSE 1602
#define IDS_JOB_RESUME 1603
#define IDS_TIPS_BUTTON 1604
#define IDS_JOB_SHEETS 1700
#define IDS_JOB_MINUTES_LEFT 1702
#define IDS_JOB_SECONDS_LEFT 1703

/* Names a screen reader gives the items that show something only by
 * drawing it, the colour gauge's tanks in their order, and the format of a
 * level or a progress in percent. */
#define IDS_ACC_STATUS_PICTURE 1610
#define IDS_ACC_STATUS_TEXT 1611
#define IDS_ACC_JOB_ANIMATION 1612
#define IDS_ACC_JOB_PROGRESS 1613
#define IDS_ACC_JOB_DETAILS 1614
#define IDS_ACC_PERCENT 1615
#define IDS_ACC_INK_TANK_FIRST 1620 /* 1620..1624: the colour gauge's tanks */

/* The status messages (IDS_STATUS_...) are numbered in
 * status/status_messages.h, beside the status classes that show them. */

/* Tips: count, the ink-low tip, then text 2300 + k and topic 2400 + k. */
#define IDS_TIP_COUNT 2200
#define IDS_TIP_SPECIAL_TEXT 2201
#define IDS_TIP_SPECIAL_TOPIC 2202
#define IDS_TIP_TEXT_BASE 2300
#define IDS_TIP_TOPIC_BASE 2400

/* Step-by-step guides: RCDATA KRX_GUIDE_RESOURCE_BASE + trouble category,
 * with step texts and frame bitmaps of the language library. */
#define KRX_GUIDE_RESOURCE_BASE 11010
#define IDR_GUIDE_INK 11011
#define IDR_GUIDE_PAPER 11012
#define IDS_GUIDE_TEXT_FIRST 1801
#define IDB_GUIDE_FIRST 701

/* Step-by-step guide dialog (step tables: KRX_GUIDE_RESOURCE_BASE above). */
#define IDD_GUIDE 103
#define IDC_GUIDE_PICTURE 230
#define IDC_GUIDE_TEXT 231
#define IDC_GUIDE_BACK 232
#define IDC_GUIDE_NEXT 233
#define IDC_GUIDE_FINISH 234

/* Version information dialog. */
#define IDD_VERSION 104
#define IDC_VERSION_HOST 290
#define IDC_VERSION_PLUGIN 291
#define IDC_VERSION_BXAPI 292
#define IDC_VERSION_COMPANION 293
#define IDC_VERSION_DRIVER 294

/* Printer information dialog: two rows of five cells (date, kind, detail,
 * state, log) and the five column headings. */
#define IDD_PRINTER_INFO 105
#define IDC_INFO_ROW0_FIRST 250
#define IDC_INFO_ROW1_FIRST 255
#define IDC_INFO_HEADING_FIRST 263
#define IDC_INFO_HEADING_LAST 267

/* Texts of the printer information table. */
#define IDS_INFO_DATE_FORMAT 3100
#define IDS_INFO_NONE 3101
#define IDS_INFO_STATE_1 3102
#define IDS_INFO_STATE_2 3103
#define IDS_INFO_UNIT_FIRST 3120 /* 3120..3122: unit codes of the three rows */
#define IDS_INFO_KIND_A 3123
#define IDS_INFO_KIND_B 3124
#define IDS_INFO_ROW_TEXT_FIRST 3130 /* row r: 3130 + 4r (A), +1 (B), +2 (detail) */

/* Library messages: caption and the three error flags a recovery leaves. */
#define IDS_MONITOR_CAPTION 1100
#define IDS_LIBRARY_REPLACED 1233
#define IDS_LIBRARY_IN_USE 1234
#define IDS_LIBRARY_OTHER_ERROR 1235

/* Remote count texts shown with the ink levels. */
#define IDS_REMOTE_COUNT_MANY 3104 /* 100 or more */
#define IDS_REMOTE_COUNT_SOME 3105 /* 1 to 99, formatted with the count */
#define IDS_REMOTE_COUNT_NONE 3106 /* 0 */

#endif /* KRX_RESOURCE_IDS_H */
