// Power: the CE power manager, power status and idle time, with their
// desktop stand-ins. (The display's power switch: platform/display.h.)
//
// Power broadcasts travel between processes through a shared table of
// queues (one per reader). CreateMsgQueue returns a waitable handle that is
// signalled while a record waits; ReadMsgQueue returns one whole record.
// A sender never blocks on, or fails because of, a reader that is gone.
// Records over 1024 bytes are refused when sent; a read that fails drains
// the record it could not deliver.
#pragma once
#include <windows.h>

#define MSGQUEUE_NOPRECOMMIT 1
#define MSGQUEUE_ALLOW_BROKEN 2

typedef struct MSGQUEUEOPTIONS_OS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwMaxMessages;
  DWORD cbMaxMessage;
  BOOL bReadAccess;
} MSGQUEUEOPTIONS, *PMSGQUEUEOPTIONS;

#define POWER_NOTIFY_ALL 0xFFFFFFFF
#define PBT_TRANSITION 0x00000001
#define PBT_RESUME 0x00000002
#define PBT_POWERSTATUSCHANGE 0x00000004
#define PBT_POWERINFOCHANGE 0x00000008

#define POWER_STATE_ON 0x00010000
#define POWER_STATE_OFF 0x00020000
#define POWER_STATE_CRITICAL 0x00040000
#define POWER_STATE_BOOT 0x00080000
#define POWER_STATE_IDLE 0x00100000
#define POWER_STATE_SUSPEND 0x00200000
#define POWER_STATE_RESET 0x00800000

typedef struct POWER_BROADCAST_CE {
  DWORD Message;
  DWORD Flags;
  DWORD Length;
  WCHAR SystemPowerState[1];
} POWER_BROADCAST, *PPOWER_BROADCAST;

typedef struct MSGQUEUEINFO_OS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwMaxMessages;
  DWORD cbMaxMessage;
  DWORD dwCurrentMessages;
  DWORD dwMaxQueueMessages;
  WORD wNumReaders;
  WORD wNumWriters;
} MSGQUEUEINFO, *PMSGQUEUEINFO;

HANDLE CreateMsgQueue(LPCWSTR name, MSGQUEUEOPTIONS* options);
BOOL ReadMsgQueue(HANDLE queue, void* buffer, DWORD bufferSize, DWORD* bytesRead, DWORD timeoutMs, DWORD* flags);
BOOL CloseMsgQueue(HANDLE queue);
// FALSE with ERROR_INVALID_HANDLE when the queue is not one of this
// process's or the power manager no longer knows it (its slot was
// reclaimed): such a queue never receives a record again.
BOOL GetMsgQueueInfo(HANDLE queue, PMSGQUEUEINFO info);
HANDLE RequestPowerNotifications(HANDLE queue, DWORD flags);
DWORD StopPowerNotifications(HANDLE registration);

// Sends one record to every registered queue (the device tool's side).
// Returns the number of queues it reached, or -1 when the record is refused
// (empty or longer than 1024 bytes). Records shorter than the 12-byte header
// are carried as they are, so that the readers' own check can be tested; a
// queue whose ring is full misses the record. A record with POWER_STATE_ON
// in its flags also turns the recorded display on.
//
// Queues: a queue holds one of 32 shared slots and a ring of 16 records
// (fewer when dwMaxMessages asks for fewer) until CloseMsgQueue or the end
// of its process. The name argument is ignored. ReadMsgQueue with a time-out
// of 0 on an empty queue fails with ERROR_TIMEOUT; a buffer too small for
// the record fails with ERROR_INSUFFICIENT_BUFFER and drops the record.
// RequestPowerNotifications returns a handle of its own (NULL for a handle
// that is not a queue); only StopPowerNotifications releases it.
//
// A read from a queue whose slot is gone fails with ERROR_INVALID_HANDLE and
// leaves the queue's handle unsignalled, so that a reader's wait cannot spin
// on it; GetMsgQueueInfo tells such a queue without a read.
int SendPowerBroadcast(const void* record, DWORD size);
// The device tool's side, as after a restart of the power manager: every
// queue is forgotten (their slots reclaimed); readers must make new ones.
void PowerBusForgetQueues(void);

// Power status. Byte 0 of each record is the AC-line status (0 offline,
// 1 online, 2 backup, 255 unknown), byte 2 the battery percentage (255
// unknown). Values set with the device tool win over the desktop's own.
typedef struct SYSTEM_POWER_STATUS_EX_CE {
  BYTE ACLineStatus;
  BYTE BatteryFlag;
  BYTE BatteryLifePercent;
  BYTE Reserved1;
  DWORD BatteryLifeTime;
  DWORD BatteryFullLifeTime;
  BYTE Reserved2;
  BYTE BackupBatteryFlag;
  BYTE BackupBatteryLifePercent;
  BYTE Reserved3;
  DWORD BackupBatteryLifeTime;
  DWORD BackupBatteryFullLifeTime;
} SYSTEM_POWER_STATUS_EX, *PSYSTEM_POWER_STATUS_EX;

typedef struct SYSTEM_POWER_STATUS_EX2_CE {
  BYTE ACLineStatus;
  BYTE BatteryFlag;
  BYTE BatteryLifePercent;
  BYTE Reserved1;
  DWORD BatteryLifeTime;
  DWORD BatteryFullLifeTime;
  BYTE Reserved2;
  BYTE BackupBatteryFlag;
  BYTE BackupBatteryLifePercent;
  BYTE Reserved3;
  DWORD BackupBatteryLifeTime;
  DWORD BackupBatteryFullLifeTime;
  DWORD BatteryVoltage;
  DWORD BatteryCurrent;
  DWORD BatteryAverageCurrent;
  DWORD BatteryAverageInterval;
  DWORD BatterymAHourConsumed;
  DWORD BatteryTemperature;
  DWORD BackupBatteryVoltage;
  BYTE BatteryChemistry;
} SYSTEM_POWER_STATUS_EX2, *PSYSTEM_POWER_STATUS_EX2;

BOOL GetSystemPowerStatusEx(PSYSTEM_POWER_STATUS_EX status, BOOL update);
DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 status, DWORD length, BOOL update);

// Cumulative milliseconds without user input (0xFFFFFFFF: not supported).
DWORD GetIdleTime(void);

// --- for tests ---------------------------------------------------------------
// Records waiting in the registered queues of live readers: 0 once every
// reader has taken what was sent (the tests' sign that a reader is
// listening, not merely registered).
int PowerBusBacklog(void);
