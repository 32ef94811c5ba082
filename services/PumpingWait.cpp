#include "services/PumpingWait.h"

bool waitPumpingSentMessages(HANDLE object, uint32_t timeoutMs)
{
    const DWORD count = object != nullptr ? 1 : 0;
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const ULONGLONG elapsed = GetTickCount64() - start;
        const DWORD left = elapsed >= timeoutMs ? 0 : static_cast<DWORD>(timeoutMs - elapsed);
        const DWORD result = MsgWaitForMultipleObjects(count, count ? &object : nullptr, FALSE, left, QS_SENDMESSAGE);
        if (count != 0 && result == WAIT_OBJECT_0)
            return true;
        if (result == WAIT_OBJECT_0 + count) {
            // Peeking delivers the messages sent to this thread; posted ones stay queued.
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            if (left == 0)
                return count != 0 && WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
            continue;
        }
        if (result == WAIT_TIMEOUT)
            return false;
        // The message wait itself failed: fall back to a plain bounded wait.
        if (count == 0) {
            Sleep(left);
            return false;
        }
        return WaitForSingleObject(object, left) == WAIT_OBJECT_0;
    }
}
