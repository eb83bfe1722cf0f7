/* Numbers of the status messages in the language resource library: the
 * fixed ones and the message of each status class (3001 to 3033; the
 * numbers between that no class shows have no name). Next to the status
 * classes that name them, free of Windows headers; shared with the kit's
 * language libraries (plain #defines so that windres can read it). */
#ifndef KRX_STATUS_MESSAGES_H
#define KRX_STATUS_MESSAGES_H

#define IDS_STATUS_CHECKING 2001
#define IDS_STATUS_NO_ANSWER 2002
#define IDS_STATUS_BLANK 2101
#define IDS_STATUS_NOT_AVAILABLE 2102
#define IDS_STATUS_UNDEFINED 10000

#define IDS_STATUS_FIRST 3001
#define IDS_STATUS_BUSY 3001
#define IDS_STATUS_PRINTING 3002
#define IDS_STATUS_READY 3004
#define IDS_STATUS_PRINTER_ERROR 3006
#define IDS_STATUS_OFFLINE 3007
#define IDS_STATUS_PAPER_JAM 3010
#define IDS_STATUS_PAPER_OUT 3012
#define IDS_STATUS_SERVICE_ERROR 3014
#define IDS_STATUS_INK_LOW 3019
#define IDS_STATUS_COLOR_INK_LOW 3020
#define IDS_STATUS_BLACK_INK_OUT 3021
#define IDS_STATUS_COLOR_INK_OUT 3022
#define IDS_STATUS_CLEANING 3023
#define IDS_STATUS_INKS_OUT 3024
#define IDS_STATUS_OTHER_PRINTER 3025
#define IDS_STATUS_REPLACING_INK 3026
#define IDS_STATUS_NO_CARTRIDGES 3027
#define IDS_STATUS_NO_BLACK_CARTRIDGE 3028
#define IDS_STATUS_NO_COLOR_CARTRIDGE 3029
#define IDS_STATUS_CARTRIDGES_UNKNOWN 3030
#define IDS_STATUS_BLACK_CARTRIDGE_UNKNOWN 3031
#define IDS_STATUS_COLOR_CARTRIDGE_UNKNOWN 3032
#define IDS_STATUS_TRAY_NOT_SET 3033
#define IDS_STATUS_LAST 3033

#endif /* KRX_STATUS_MESSAGES_H */
