#include "memory/BusMutex_win32.h"

#include <sddl.h>

namespace {

// Made with a descriptor that lets every user and service (and so every other tool, elevated or not) open it.
HANDLE CreateOpenToAll(const wchar_t* name) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;GA;;;WD)(A;;GA;;;SY)(A;;GA;;;BA)",
                                                              SDDL_REVISION_1, &descriptor, nullptr)) {
        descriptor = nullptr;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    HANDLE mutex = CreateMutexW(descriptor ? &attributes : nullptr, FALSE, name);
    if (descriptor) {
        LocalFree(descriptor);
    }
    return mutex;
}

} // namespace

void CBusMutex::Hold::Release() {
    if (m_held && m_mutex) {
        ReleaseMutex(m_mutex);
    }
    m_held = false;
}

void CBusMutex::SetShared(bool shared) {
    m_shared = shared;
    if (!shared) {
        m_mutex.Reset();
        m_tried = false;
    }
}

HANDLE CBusMutex::Mutex() {
    if (!m_tried) {
        m_tried = true;
        // Another tool may have made it with a descriptor that does not let us create it: open it to wait on it.
        HANDLE mutex = CreateOpenToAll(kBusMutexName);
        if (!mutex) {
            mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kBusMutexName);
        }
        if (!mutex) {
            mutex = CreateOpenToAll(kBusMutexLocalName);
        }
        m_mutex.Reset(mutex);
    }
    return m_mutex.Get();
}

CBusMutex::Hold CBusMutex::Take(DWORD waitMs) {
    HANDLE mutex = m_shared ? Mutex() : nullptr;
    if (!mutex) {
        return Hold(nullptr, true);
    }
    const DWORD result = WaitForSingleObject(mutex, waitMs);
    return Hold(mutex, result == WAIT_OBJECT_0 || result == WAIT_ABANDONED);
}
