// COM initialised for the calling thread (single-threaded apartment, as a window's thread needs) for as long as the
// scope lasts; uninitialised at its end only when the initialisation succeeded.
#pragma once

#include <objbase.h>

namespace fw {

class ComScope {
public:
    ComScope() : m_initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (m_initialised) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Initialised() const { return m_initialised; }

private:
    bool m_initialised;
};

} // namespace fw
