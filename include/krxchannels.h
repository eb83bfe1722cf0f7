/* krxchannels.h - the printer's channel ids and channel entries, shared by
 * hosts (through krxstat.h), the plug-in and its simulated library. Free of
 * Windows headers, so that the code decoding channel entries can be built
 * and fuzzed on its own.
 */
#ifndef KRXCHANNELS_H
#define KRXCHANNELS_H

/* Channel ids, in the order the status channel is chosen; also the channel
 * kinds a host may pass to PrGetStatusB. */
#define KRX_CHANNEL_STATUS_FIRST 0x00000004
#define KRX_CHANNEL_PREFERRED 0x10010003 /* also the remote information channel */
#define KRX_CHANNEL_STATUS_THIRD 0x10000003
#define KRX_CHANNEL_REMOTE 0x02000001 /* last status choice; PrGetStatusB's remote path */
/* The D4 information channel (printer information, ink replacement). */
#define KRX_CHANNEL_INFO_D4 0x10000005

/* One channel entry as the bidirectional library lists the printer's
 * channels (8 bytes, little-endian, entries back to back). */
#pragma pack(push, 1)
typedef struct KrxChannelEntry {
    unsigned int channelId;
    unsigned short attributes; /* KRX_CHANNEL_ATTR_* */
    unsigned short parameter;
} KrxChannelEntry;
#pragma pack(pop)

#define KRX_CHANNEL_ATTR_INFO_A 0x0001 /* with _INFO_B: an information channel */
#define KRX_CHANNEL_ATTR_INFO_B 0x0002
#define KRX_CHANNEL_ATTR_INFO (KRX_CHANNEL_ATTR_INFO_A | KRX_CHANNEL_ATTR_INFO_B)
#define KRX_CHANNEL_ATTR_STATUS 0x0004
#define KRX_CHANNEL_ATTR_SLOW 0x8000 /* first entry only: poll less often */

#endif /* KRXCHANNELS_H */
