/* Templates and items of the gallery's own pages. */
#ifndef GALLERY_IDS_H
#define GALLERY_IDS_H

#define IDD_PAGE_PICTURE 1001
#define IDD_PAGE_ANIMATION 1002
#define IDD_PAGE_METER 1003
#define IDD_PAGE_BUTTON 1004
#define IDD_PAGE_INK 1005

/* Picture page: four pictures. */
#define IDC_PICTURE_FIRST 1100

/* Animation page: three stills, then the running animation. */
#define IDC_FRAME_FIRST 1200
#define IDC_FRAME_LIVE 1203

/* Meter page: four meters (one per direction), three fitted labels and the
 * full texts beside them. */
#define IDC_METER_FIRST 1300
#define IDC_LABEL_FIRST 1310
#define IDC_FULLTEXT_FIRST 1320

/* Button page. */
#define IDC_BUTTON_FIRST 1400

/* Ink page: three rows of a black and a colour gauge. */
#define IDC_GAUGE_FIRST 1500

#endif
