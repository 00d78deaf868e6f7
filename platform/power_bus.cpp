// The power manager's message queues between processes.
//
// One named file mapping ("Ombrevale.PowerBus") holds a table of queue
// slots, guarded by a named mutex whose waits are bounded (an abandoned
// mutex is taken over: the ring indexes are checked on every use). Each
// queue owns a named manual-reset event that is signalled exactly while its
// ring holds a record; the handle CreateMsgQueue returns IS that event, so
// WaitForMultipleObjects works on it, and a process-local table maps it back
// to its slot. A sender opens each registered queue's event by name: when it
// is gone, so is the reader, and the slot is reclaimed. A full ring drops the
// record for that queue only, so no reader can hold a sender up.
//
// A queue holds its slot until CloseMsgQueue or the end of its process; when
// every slot is taken, an unregistered queue with an empty ring gives its
// slot up (it could not receive anything anyway).
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "platform/core/power_ring.h"
#include "platform/device_state.h"
#include "platform/display.h"
#include "platform/power.h"

namespace {

const DWORD kSlots = 32;
const DWORD kMagic = 0x4F565042;  // "OVPB"
const DWORD kLockWaitMs = 2000;

struct BusSlot {
  DWORD ownerPid;      // 0: free
  DWORD generation;    // names the slot's event; new for every queue
  DWORD registered;    // RequestPowerNotifications in force (a count)
  DWORD mask;          // the notifications asked for
  DWORD capacity;      // records the ring holds
  DWORD cbMaxMessage;  // largest record the reader takes (0: any)
  DWORD head;
  DWORD count;
  DWORD lengths[powerbus::kRingRecords];
  BYTE data[powerbus::kRingRecords][powerbus::kMaxRecord];
};

struct Bus {
  DWORD magic;
  DWORD nextGeneration;
  BusSlot slots[kSlots];
};

// One entry per handle this process holds: a queue (its event) or a
// registration (a duplicate of it).
struct LocalEntry {
  HANDLE handle;
  DWORD slot;
  DWORD generation;
  BOOL registration;
};

SRWLOCK g_localLock = SRWLOCK_INIT;
LocalEntry g_local[2 * kSlots];
HANDLE g_mapping = nullptr;  // kept for the process's life
HANDLE g_mutex = nullptr;    // kept for the process's life
Bus* g_bus = nullptr;

// Maps the shared table (once per process).
bool OpenBus() {
  AcquireSRWLockExclusive(&g_localLock);
  if (g_bus == nullptr) {
    if (g_mutex == nullptr) g_mutex = CreateMutexW(nullptr, FALSE, L"Ombrevale.PowerBus.Lock");
    if (g_mapping == nullptr)
      g_mapping =
          CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Bus), L"Ombrevale.PowerBus");
    if (g_mutex != nullptr && g_mapping != nullptr)
      g_bus = static_cast<Bus*>(MapViewOfFile(g_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Bus)));
  }
  bool ok = g_bus != nullptr;
  ReleaseSRWLockExclusive(&g_localLock);
  return ok;
}

bool LockBus() {
  DWORD r = WaitForSingleObject(g_mutex, kLockWaitMs);
  if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED) return false;
  if (g_bus->magic != kMagic) {
    // Every slot's bookkeeping, not its records: a record is only read
    // after a send has written it, and clearing the half megabyte of rings
    // would make every page of the table resident in each process that
    // sets it up (a new mapping is zero already).
    for (BusSlot& slot : g_bus->slots) memset(&slot, 0, offsetof(BusSlot, data));
    g_bus->magic = kMagic;
    g_bus->nextGeneration = GetTickCount() | 1;
  }
  return true;
}

void UnlockBus() { ReleaseMutex(g_mutex); }

void EventName(DWORD slot, DWORD generation, wchar_t* out, size_t outCount) {
  _snwprintf(out, outCount, L"Ombrevale.PowerBus.Q%lu.%lu", static_cast<unsigned long>(slot),
             static_cast<unsigned long>(generation));
  out[outCount - 1] = 0;
}

void FreeSlot(BusSlot* s) {
  s->ownerPid = 0;
  s->registered = 0;
  s->head = 0;
  s->count = 0;
}

// Whether the reader of a slot still exists: its event can be opened.
// Returns the opened event (the caller closes it) or NULL.
HANDLE OpenSlotEvent(DWORD index) {
  wchar_t name[64];
  EventName(index, g_bus->slots[index].generation, name, 64);
  return OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name);
}

bool SlotAlive(DWORD index) {
  HANDLE e = OpenSlotEvent(index);
  if (e == nullptr) return false;
  CloseHandle(e);
  return true;
}

// A free slot (reclaiming the slots of ended readers, then an idle
// unregistered one), or kSlots when none. Called with the bus locked.
DWORD TakeSlot() {
  for (DWORD i = 0; i < kSlots; ++i)
    if (g_bus->slots[i].ownerPid == 0) return i;
  for (DWORD i = 0; i < kSlots; ++i)
    if (!SlotAlive(i)) return i;
  for (DWORD i = 0; i < kSlots; ++i)
    if (g_bus->slots[i].registered == 0 && g_bus->slots[i].count == 0) return i;
  return kSlots;
}

LocalEntry* FindLocal(HANDLE h, BOOL registration) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return nullptr;
  for (LocalEntry& e : g_local)
    if (e.handle == h && e.registration == registration) return &e;
  return nullptr;
}

bool AddLocal(HANDLE h, DWORD slot, DWORD generation, BOOL registration) {
  AcquireSRWLockExclusive(&g_localLock);
  bool added = false;
  for (LocalEntry& e : g_local) {
    if (e.handle != nullptr) continue;
    e = LocalEntry{h, slot, generation, registration};
    added = true;
    break;
  }
  ReleaseSRWLockExclusive(&g_localLock);
  return added;
}

// Copies the entry of a handle (FALSE when it is not one of ours).
BOOL LookupLocal(HANDLE h, BOOL registration, LocalEntry* out) {
  AcquireSRWLockShared(&g_localLock);
  LocalEntry* e = FindLocal(h, registration);
  if (e != nullptr) *out = *e;
  ReleaseSRWLockShared(&g_localLock);
  return e != nullptr;
}

void RemoveLocal(HANDLE h, BOOL registration) {
  AcquireSRWLockExclusive(&g_localLock);
  LocalEntry* e = FindLocal(h, registration);
  if (e != nullptr) *e = LocalEntry{};
  ReleaseSRWLockExclusive(&g_localLock);
}

// The slot of a queue of ours whose generation still matches, or NULL.
// Called with the bus locked.
BusSlot* OwnedSlot(const LocalEntry& e) {
  if (e.slot >= kSlots) return nullptr;
  BusSlot* s = &g_bus->slots[e.slot];
  if (s->ownerPid != GetCurrentProcessId() || s->generation != e.generation) return nullptr;
  return s;
}

enum TakeResult { kTaken, kEmpty, kTooSmall, kGone };

// Takes the oldest record of a queue into `buffer`. A record that does not
// fit is drained all the same, so that a reader never spins on it.
TakeResult TakeRecord(const LocalEntry& e, void* buffer, DWORD bufferSize, DWORD* length) {
  if (!LockBus()) return kEmpty;
  TakeResult result = kEmpty;
  BusSlot* s = OwnedSlot(e);
  uint32_t head = 0, count = 0, index = 0;
  if (s == nullptr) {
    // The slot is another queue's now, or nobody's: this handle will never
    // be written again, so it must not stay signalled.
    ResetEvent(e.handle);
    result = kGone;
  } else {
    head = s->head;
    count = s->count;
    if (powerbus::RingPop(&head, &count, s->capacity, &index)) {
      DWORD n = s->lengths[index];
      if (n > powerbus::kMaxRecord) n = powerbus::kMaxRecord;
      *length = n;
      if (buffer != nullptr && n <= bufferSize) {
        memcpy(buffer, s->data[index], n);
        result = kTaken;
      } else {
        result = kTooSmall;
      }
    }
    s->head = head;
    s->count = count;
    if (count == 0) ResetEvent(e.handle);
  }
  UnlockBus();
  return result;
}

}  // namespace

HANDLE CreateMsgQueue(LPCWSTR name, MSGQUEUEOPTIONS* options) {
  (void)name;  // the power queues are unnamed; a name adds nothing here
  if (options == nullptr || options->dwSize < sizeof(MSGQUEUEOPTIONS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!OpenBus() || !LockBus()) {
    SetLastError(ERROR_OUTOFMEMORY);
    return nullptr;
  }
  HANDLE event = nullptr;
  DWORD index = TakeSlot();
  if (index < kSlots) {
    BusSlot* s = &g_bus->slots[index];
    DWORD generation = g_bus->nextGeneration++;
    wchar_t eventName[64];
    EventName(index, generation, eventName, 64);
    event = CreateEventW(nullptr, TRUE, FALSE, eventName);
    if (event != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(event);  // a stale holder of that name: never share it
      event = nullptr;
    }
    if (event != nullptr && !AddLocal(event, index, generation, FALSE)) {
      CloseHandle(event);
      event = nullptr;
    }
    if (event != nullptr) {
      FreeSlot(s);
      s->ownerPid = GetCurrentProcessId();
      s->generation = generation;
      s->mask = 0;
      s->capacity = powerbus::RingCapacity(options->dwMaxMessages);
      s->cbMaxMessage = options->cbMaxMessage;
    }
  }
  UnlockBus();
  if (event == nullptr) SetLastError(ERROR_OUTOFMEMORY);
  return event;
}

BOOL ReadMsgQueue(HANDLE queue, void* buffer, DWORD bufferSize, DWORD* bytesRead, DWORD timeoutMs, DWORD* flags) {
  LocalEntry e;
  if (!LookupLocal(queue, FALSE, &e)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (bytesRead != nullptr) *bytesRead = 0;
  if (flags != nullptr) *flags = 0;
  DWORD start = GetTickCount();
  for (;;) {
    DWORD length = 0;
    TakeResult r = TakeRecord(e, buffer, bufferSize, &length);
    if (r == kTaken) {
      if (bytesRead != nullptr) *bytesRead = length;
      return TRUE;
    }
    if (r == kTooSmall) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    if (r == kGone) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    DWORD wait = INFINITE;
    if (timeoutMs != INFINITE) {
      DWORD spent = GetTickCount() - start;
      if (spent >= timeoutMs) {
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
      }
      wait = timeoutMs - spent;
    }
    if (WaitForSingleObject(queue, wait) == WAIT_FAILED) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
  }
}

BOOL CloseMsgQueue(HANDLE queue) {
  LocalEntry e;
  if (!LookupLocal(queue, FALSE, &e)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (LockBus()) {
    BusSlot* s = OwnedSlot(e);
    if (s != nullptr) FreeSlot(s);
    UnlockBus();
  }
  RemoveLocal(queue, FALSE);
  CloseHandle(queue);
  return TRUE;
}

BOOL GetMsgQueueInfo(HANDLE queue, PMSGQUEUEINFO info) {
  LocalEntry e;
  if (info == nullptr || !LookupLocal(queue, FALSE, &e) || !LockBus()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  BusSlot* s = OwnedSlot(e);
  if (s != nullptr) {
    uint32_t head = s->head, count = s->count;
    powerbus::RingRepair(&head, &count, s->capacity);
    ZeroMemory(info, sizeof(*info));
    info->dwSize = sizeof(*info);
    info->dwFlags = MSGQUEUE_ALLOW_BROKEN;
    info->dwMaxMessages = s->capacity;
    info->cbMaxMessage = s->cbMaxMessage;
    info->dwCurrentMessages = count;
    info->dwMaxQueueMessages = s->capacity;
    info->wNumReaders = 1;
    info->wNumWriters = 1;
  }
  UnlockBus();
  if (s == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return s != nullptr;
}

HANDLE RequestPowerNotifications(HANDLE queue, DWORD flags) {
  LocalEntry e;
  if (!LookupLocal(queue, FALSE, &e) || !LockBus()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HANDLE registration = nullptr;
  BusSlot* s = OwnedSlot(e);
  // The registration is a handle of its own (a duplicate of the queue's
  // event), so that it can be told from the queue and released on its own.
  if (s != nullptr && DuplicateHandle(GetCurrentProcess(), queue, GetCurrentProcess(), &registration, 0, FALSE,
                                      DUPLICATE_SAME_ACCESS)) {
    if (AddLocal(registration, e.slot, e.generation, TRUE)) {
      s->registered += 1;
      s->mask |= flags;
    } else {
      CloseHandle(registration);
      registration = nullptr;
    }
  }
  UnlockBus();
  if (registration == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return registration;
}

DWORD StopPowerNotifications(HANDLE registration) {
  LocalEntry e;
  if (!LookupLocal(registration, TRUE, &e)) return ERROR_INVALID_HANDLE;
  if (LockBus()) {
    BusSlot* s = OwnedSlot(e);
    if (s != nullptr && s->registered > 0) {
      s->registered -= 1;
      if (s->registered == 0) s->mask = 0;
    }
    UnlockBus();
  }
  RemoveLocal(registration, TRUE);
  CloseHandle(registration);
  return ERROR_SUCCESS;
}

int SendPowerBroadcast(const void* record, DWORD size) {
  if (record == nullptr || !powerbus::RecordSendable(size)) return -1;
  const BYTE* bytes = static_cast<const BYTE*>(record);
  DWORD message = 0, stateFlags = 0;
  if (size >= 4) memcpy(&message, bytes, 4);
  if (size >= 8) memcpy(&stateFlags, bytes + 4, 4);
  // The device's power manager turns the display on with a power-on.
  if (stateFlags & POWER_STATE_ON) DeviceSetDisplayOn(1);
  if (!OpenBus() || !LockBus()) return 0;
  int reached = 0;
  for (DWORD i = 0; i < kSlots; ++i) {
    BusSlot* s = &g_bus->slots[i];
    if (s->ownerPid == 0 || s->registered == 0) continue;
    HANDLE event = OpenSlotEvent(i);
    if (event == nullptr) {  // its reader is gone: reclaim the slot
      FreeSlot(s);
      continue;
    }
    if (powerbus::RecordWanted(s->mask, size >= 4, message) && powerbus::RecordFits(size, s->cbMaxMessage)) {
      uint32_t head = s->head, count = s->count, index = 0;
      if (powerbus::RingPush(&head, &count, s->capacity, &index)) {
        memcpy(s->data[index], bytes, size);
        s->lengths[index] = size;
        ++reached;
      }
      s->head = head;
      s->count = count;
      if (count > 0) SetEvent(event);
    }
    CloseHandle(event);
  }
  UnlockBus();
  return reached;
}

void PowerBusForgetQueues(void) {
  if (!OpenBus() || !LockBus()) return;
  for (DWORD i = 0; i < kSlots; ++i) {
    BusSlot* s = &g_bus->slots[i];
    // A waiting record would leave its reader's handle signalled: the
    // reader finds out by its failing read, which resets it.
    FreeSlot(s);
    s->generation = 0;
  }
  UnlockBus();
}

int PowerBusBacklog(void) {
  if (!OpenBus() || !LockBus()) return 0;
  int waiting = 0;
  for (DWORD i = 0; i < kSlots; ++i) {
    BusSlot* s = &g_bus->slots[i];
    if (s->ownerPid == 0 || s->registered == 0 || !SlotAlive(i)) continue;
    uint32_t head = s->head, count = s->count;
    powerbus::RingRepair(&head, &count, s->capacity);
    waiting += static_cast<int>(count);
  }
  UnlockBus();
  return waiting;
}
