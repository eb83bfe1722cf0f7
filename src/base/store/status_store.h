// Per-printer status store under HKEY_CURRENT_USER: the printer's key is
// found by its "Name" value (printer name under NRLTarget, port name under
// NRNTarget); it holds the last raw reply and the communication result.
#pragma once

#include <string>
#include <vector>

#include "base/registry/registry_key.h"

namespace krx {

enum StoreKind : int { kStoreByPrinterName = 0, kStoreByPortName = 1 };

// Each result code has one meaning in every function that returns it.
enum FindStoreResult : int {
    kStoreFound = 0,
    kStoreNoMatch = 1, // no sub-key has the name
    kStoreNoBase = 4,  // no NRLTarget or NRNTarget key
    kStoreBadKind = 5,
};

// Writing the reply: stored, no store key (nothing written), or the key
// found but not open for writing.
enum StoreWriteResult : int {
    kStoreWritten = 0,
    kStoreNoKey = 1,
    kStoreNotWritable = 2,
};

// Reading the stored reply back.
enum StoredReplyResult : int {
    kStoredReplyNoKey = -1, // no store key, or it does not open
    kStoredReplyNone = 0,   // no "Status" value
    kStoredReplyRead = 1,
};

// "ComStatus" values.
constexpr int kComStatusError = 0;
constexpr int kComStatusRead = 1;
constexpr int kComStatusNoted = 2; // also what readers see when there is none
// Written outside the plug-in: another printer answers on the port.
constexpr int kComStatusOtherPrinter = 3;

// 0 and the key path (relative to HKEY_CURRENT_USER) when a sub-key's "Name"
// equals the name ignoring letter case; the lowest index wins.
int FindStoreKey(const char* name, int kind, std::string* keyPath);

// The pair (printer name, port name) to a lookup: by printer name when it is
// non-empty or the port name is empty, else by port name.
int FindStoreKeyFor(const char* printerName, const char* portName, std::string* keyPath);

// Operations on a key path already found, so that one call of the status
// query looks the key up once. An empty path means "no store key".
// StoreWriteResult.
int StoreStatusReplyAt(const std::string& keyPath, const void* bytes, unsigned length);
void SetComStatusAt(const std::string& keyPath, int value);

// The store key opened once for several writes of one query: created or
// opened with full access, as every writer opens it.
RegistryKey OpenStoreKeyForWriting(const std::string& keyPath);
// The store key opened for reading only: readers never create it (a key
// deleted since it was found stays deleted) and need no write access.
RegistryKey OpenStoreKeyForReading(const std::string& keyPath);
// kStoreNotWritable when the key (found, then opened for writing) is not open.
int StoreStatusReplyIn(const RegistryKey& key, const void* bytes, unsigned length);
void SetComStatusIn(const RegistryKey& key, int value);
// kComStatusNoted when the key is not open or holds no "ComStatus".
int GetComStatusIn(const RegistryKey& key);
// The stored reply in one read (a size asked first could be outdated by a
// newer reply before the bytes are read); empty when there is none.
std::vector<unsigned char> ReadStoredStatusIn(const RegistryKey& key);

// StoreWriteResult.
int StoreStatusReply(const char* printerName, const char* portName, const void* bytes,
                     unsigned length);
void SetComStatus(const char* printerName, const char* portName, int value);
int GetComStatus(const char* printerName, const char* portName);
int GetComStatusAt(const std::string& keyPath);

// Without destination: 1 and *length := the value's size. With destination:
// *length is the destination's capacity on entry; 1 and at most that many
// bytes copied, *length := the number copied. StoredReplyResult.
int ReadStoredStatus(const char* printerName, const char* portName, void* destination,
                     unsigned* length);
int ReadStoredStatusAt(const std::string& keyPath, void* destination, unsigned* length);

// The reply a test system puts in place of the printer's ("Status" of the
// debug key under the local machine): at most 255 characters, so that it
// always fits a terminated buffer; empty when there is none, it is empty or
// it is longer.
std::string ReadDebugStatusReply();

} // namespace krx
