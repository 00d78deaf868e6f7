// The power bus across real processes: broadcasts reach every registered
// queue, queue handles are signalled exactly while a record waits, readers
// that are gone or full never hold a sender up, and the record rules
// (oversized refused, short buffers drain, short records delivered).
#include <gtest/gtest.h>

#include <string.h>

#include "platform/power.h"
#include "tests/wine/support/platform_support.h"
#include "tests/wine/support/support.h"

namespace {

class PlatformPower : public wt::SuiteTest {
 protected:
  void TearDown() override {
    for (HANDLE& h : helpers) pt::EndHelper(h);
    if (registration != nullptr) StopPowerNotifications(registration);
    if (queue != nullptr) CloseMsgQueue(queue);
    for (const wchar_t* n : {L"PowerA", L"PowerB", L"PowerHold"}) pt::ClearTest(n);
    wt::SuiteTest::TearDown();
  }

  // A registered queue of the test process itself.
  void OpenQueue() {
    MSGQUEUEOPTIONS options = {sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, 1024, TRUE};
    queue = CreateMsgQueue(nullptr, &options);
    ASSERT_NE(queue, nullptr);
    registration = RequestPowerNotifications(queue, POWER_NOTIFY_ALL);
    ASSERT_NE(registration, nullptr);
  }

  HANDLE StartHelper(const std::wstring& args, const wchar_t* name) {
    HANDLE h = wt::StartSelf((L"--helper " + args).c_str());
    helpers.push_back(h);
    EXPECT_NE(h, nullptr);
    EXPECT_TRUE(pt::WaitReady(name, wt::kProcessMs)) << "helper not ready";
    return h;
  }

  static int Send(DWORD message, DWORD flags, DWORD size = 12) {
    BYTE record[2048] = {};
    DWORD header[3] = {message, flags, size > 12 ? size - 12 : 0};
    memcpy(record, header, size < 12 ? size : 12);
    return SendPowerBroadcast(record, size);
  }

  bool Signalled() const { return WaitForSingleObject(queue, 0) == WAIT_OBJECT_0; }

  std::vector<HANDLE> helpers;
  HANDLE queue = nullptr;
  HANDLE registration = nullptr;
};

TEST_F(PlatformPower, BroadcastReachesEveryQueueInOtherProcesses) {
  HANDLE a = StartHelper(L"powerq PowerA 2 4294967295", L"PowerA");
  HANDLE b = StartHelper(L"powerq PowerB 2 4294967295", L"PowerB");
  EXPECT_EQ(0, wt::Device(L"power suspend"));
  EXPECT_EQ(2, Send(PBT_TRANSITION, POWER_STATE_ON));
  EXPECT_EQ(2, wt::WaitExit(a, wt::kProcessMs));
  EXPECT_EQ(2, wt::WaitExit(b, wt::kProcessMs));
  for (const wchar_t* name : {L"PowerA", L"PowerB"}) {
    DWORD first = 0, second = 0, length = 0;
    ASSERT_TRUE(pt::ReadValue(name, L"Flags0", &first));
    ASSERT_TRUE(pt::ReadValue(name, L"Flags1", &second));
    EXPECT_EQ(static_cast<DWORD>(POWER_STATE_SUSPEND), first);
    EXPECT_EQ(static_cast<DWORD>(POWER_STATE_ON), second);
    ASSERT_TRUE(pt::ReadValue(name, L"Length0", &length));
    EXPECT_EQ(12u + sizeof(L"suspend"), length);  // header and the state's name
  }
}

TEST_F(PlatformPower, QueueIsSignalledExactlyWhileARecordWaits) {
  OpenQueue();
  EXPECT_FALSE(Signalled());
  ASSERT_EQ(1, Send(PBT_TRANSITION, POWER_STATE_OFF));
  ASSERT_EQ(1, Send(PBT_RESUME, 0));
  HANDLE waits[2] = {GetCurrentProcess(), queue};  // the process handle never signals here
  EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects(2, waits, FALSE, wt::kStepMs));
  BYTE buffer[1024];
  DWORD read = 0, flags = 7;
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_EQ(12u, read);
  EXPECT_EQ(0u, flags);
  POWER_BROADCAST* pb = reinterpret_cast<POWER_BROADCAST*>(buffer);
  EXPECT_EQ(static_cast<DWORD>(PBT_TRANSITION), pb->Message);
  EXPECT_EQ(static_cast<DWORD>(POWER_STATE_OFF), pb->Flags);
  EXPECT_TRUE(Signalled());  // the second record still waits
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_EQ(static_cast<DWORD>(PBT_RESUME), pb->Message);
  EXPECT_FALSE(Signalled());
  SetLastError(0);
  EXPECT_FALSE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), GetLastError());
}

TEST_F(PlatformPower, InfiniteReadWaitsForTheNextRecord) {
  OpenQueue();
  HANDLE sender = CreateThread(
      nullptr, 0,
      [](LPVOID) -> DWORD {
        // Sends once the reader is blocked in its wait (no record before).
        BYTE record[12] = {};
        DWORD header[3] = {PBT_TRANSITION, POWER_STATE_IDLE, 0};
        memcpy(record, header, 12);
        return static_cast<DWORD>(SendPowerBroadcast(record, 12));
      },
      nullptr, CREATE_SUSPENDED, nullptr);
  ASSERT_NE(sender, nullptr);
  ResumeThread(sender);
  BYTE buffer[1024];
  DWORD read = 0, flags = 0;
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, INFINITE, &flags));
  EXPECT_EQ(static_cast<DWORD>(POWER_STATE_IDLE), reinterpret_cast<POWER_BROADCAST*>(buffer)->Flags);
  WaitForSingleObject(sender, wt::kStepMs);
  CloseHandle(sender);
}

TEST_F(PlatformPower, AKilledReaderNeverBlocksOrFailsTheSender) {
  OpenQueue();
  HANDLE hold = StartHelper(L"powerhold PowerHold", L"PowerHold");
  EXPECT_EQ(2, Send(PBT_TRANSITION, POWER_STATE_SUSPEND));
  pt::EndHelper(hold);
  helpers.clear();
  // The dead reader's slot is skipped and reclaimed; ours still gets it.
  EXPECT_EQ(1, Send(PBT_TRANSITION, POWER_STATE_OFF));
  BYTE buffer[1024];
  DWORD read = 0, flags = 0;
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_EQ(static_cast<DWORD>(POWER_STATE_OFF), reinterpret_cast<POWER_BROADCAST*>(buffer)->Flags);
}

TEST_F(PlatformPower, AFullReaderMissesRecordsAndNeverHoldsTheSender) {
  OpenQueue();
  StartHelper(L"powerhold PowerHold", L"PowerHold");
  BYTE buffer[1024];
  DWORD read = 0, flags = 0;
  for (int i = 0; i < 24; ++i) {
    // The helper never reads: its ring takes 16 records, then drops.
    EXPECT_EQ(i < 16 ? 2 : 1, Send(PBT_TRANSITION, static_cast<DWORD>(i))) << i;
    ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
    EXPECT_EQ(static_cast<DWORD>(i), reinterpret_cast<POWER_BROADCAST*>(buffer)->Flags);
  }
}

TEST_F(PlatformPower, OversizedRecordsAreRefused) {
  OpenQueue();
  EXPECT_EQ(-1, Send(PBT_TRANSITION, POWER_STATE_OFF, 1025));
  EXPECT_EQ(-1, Send(PBT_TRANSITION, POWER_STATE_OFF, 0));
  EXPECT_EQ(1, wt::Device(L"power raw 1 20000 1025"));  // the tool says "refused"
  EXPECT_FALSE(Signalled());
  EXPECT_EQ(0, wt::Device(L"power raw 1 20000 1024"));
  BYTE buffer[1024];
  DWORD read = 0, flags = 0;
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_EQ(1024u, read);
  EXPECT_EQ(static_cast<DWORD>(POWER_STATE_OFF), reinterpret_cast<POWER_BROADCAST*>(buffer)->Flags);
}

TEST_F(PlatformPower, AShortBufferFailsAndDrainsTheRecord) {
  OpenQueue();
  ASSERT_EQ(1, Send(PBT_TRANSITION, POWER_STATE_OFF, 100));
  ASSERT_EQ(1, Send(PBT_TRANSITION, POWER_STATE_ON, 12));
  BYTE buffer[64];
  DWORD read = 0, flags = 0;
  SetLastError(0);
  EXPECT_FALSE(ReadMsgQueue(queue, buffer, 50, &read, 0, &flags));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
  // The next read gets the next record, not the one that did not fit.
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_EQ(static_cast<DWORD>(POWER_STATE_ON), reinterpret_cast<POWER_BROADCAST*>(buffer)->Flags);
  EXPECT_FALSE(Signalled());
}

TEST_F(PlatformPower, AShortBufferInAnotherProcessNeverSpins) {
  HANDLE a = StartHelper(L"powerq PowerA 2 4294967295 8", L"PowerA");
  EXPECT_EQ(0, wt::Device(L"power off"));
  EXPECT_EQ(0, wt::Device(L"power raw 2 0 8"));
  EXPECT_EQ(1, wt::WaitExit(a, wt::kProcessMs));  // one short read, then the 8-byte record
  DWORD shortReads = 0;
  ASSERT_TRUE(pt::ReadValue(L"PowerA", L"Short", &shortReads));
  EXPECT_EQ(1u, shortReads);
}

TEST_F(PlatformPower, RecordsShorterThanTheHeaderArriveAsSent) {
  OpenQueue();
  EXPECT_EQ(0, wt::Device(L"power raw 1 20000 6"));
  BYTE buffer[1024];
  memset(buffer, 0xAA, sizeof(buffer));
  DWORD read = 0, flags = 0;
  ASSERT_TRUE(ReadMsgQueue(queue, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_EQ(6u, read);
  EXPECT_EQ(0xAA, buffer[6]);  // nothing written past the record
}

TEST_F(PlatformPower, StoppedNotificationsAreNotDelivered) {
  OpenQueue();
  EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), StopPowerNotifications(registration));
  registration = nullptr;
  EXPECT_EQ(0, Send(PBT_TRANSITION, POWER_STATE_OFF));
  EXPECT_FALSE(Signalled());
  registration = RequestPowerNotifications(queue, POWER_NOTIFY_ALL);
  ASSERT_NE(registration, nullptr);
  EXPECT_EQ(1, Send(PBT_TRANSITION, POWER_STATE_OFF));
  EXPECT_TRUE(Signalled());
}

TEST_F(PlatformPower, HandlesThatAreNotQueuesAreRefused) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(nullptr, RequestPowerNotifications(nullptr, POWER_NOTIFY_ALL));
  EXPECT_EQ(nullptr, RequestPowerNotifications(INVALID_HANDLE_VALUE, POWER_NOTIFY_ALL));
  EXPECT_EQ(nullptr, RequestPowerNotifications(event, POWER_NOTIFY_ALL));
  BYTE buffer[16];
  DWORD read = 0, flags = 0;
  EXPECT_FALSE(ReadMsgQueue(event, buffer, sizeof(buffer), &read, 0, &flags));
  EXPECT_FALSE(CloseMsgQueue(event));
  EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), StopPowerNotifications(event));
  EXPECT_EQ(nullptr, CreateMsgQueue(nullptr, nullptr));
  CloseHandle(event);
}

TEST_F(PlatformPower, ClosedQueuesGiveTheirSlotsBack) {
  // Far more queues than the table has slots, one after the other.
  for (int i = 0; i < 100; ++i) {
    MSGQUEUEOPTIONS options = {sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, 1024, TRUE};
    HANDLE q = CreateMsgQueue(nullptr, &options);
    ASSERT_NE(q, nullptr) << i;
    HANDLE r = RequestPowerNotifications(q, POWER_NOTIFY_ALL);
    ASSERT_NE(r, nullptr) << i;
    StopPowerNotifications(r);
    ASSERT_TRUE(CloseMsgQueue(q));
  }
}

TEST_F(PlatformPower, UnregisteredQueuesLeftOpenDoNotExhaustTheTable) {
  // A reader that makes a new queue on every pass without closing the old
  // one (unregistered by then) must still get a working queue.
  std::vector<HANDLE> left;
  for (int i = 0; i < 40; ++i) {
    MSGQUEUEOPTIONS options = {sizeof(MSGQUEUEOPTIONS), MSGQUEUE_ALLOW_BROKEN, 0, 1024, TRUE};
    HANDLE q = CreateMsgQueue(nullptr, &options);
    ASSERT_NE(q, nullptr) << i;
    HANDLE r = RequestPowerNotifications(q, POWER_NOTIFY_ALL);
    ASSERT_NE(r, nullptr) << i;
    ASSERT_EQ(1, Send(PBT_TRANSITION, POWER_STATE_OFF)) << i;
    BYTE buffer[64];
    DWORD read = 0, flags = 0;
    ASSERT_TRUE(ReadMsgQueue(q, buffer, sizeof(buffer), &read, 0, &flags)) << i;
    StopPowerNotifications(r);
    left.push_back(q);
  }
  for (HANDLE q : left) CloseMsgQueue(q);
}

}  // namespace
