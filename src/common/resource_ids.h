/* Numbers of the dialog templates, control items, strings, icons and
 * bitmaps that the plug-in loads from the language resource library and the
 * picture library. Shared by the product and the kit's resource libraries
 * (plain #defines so that windres can read it). */
#ifndef KRX_RESOURCE_IDS_H
#define KRX_RESOURCE_IDS_H

/* Strings of the notification item list. */
#define IDS_ITEM_COUNT 1000
#define IDS_ITEM_FIRST 1001

#endif /* KRX_RESOURCE_IDS_H */
