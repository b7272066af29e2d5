#include "RootOverride.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The raw calls change the calling thread only, which is the point: the
// test's own thread loses the override, nothing else in the process does.
bool capabilities(bool set, __user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

constexpr unsigned Overrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

} // namespace

PermissionsEnforced::PermissionsEnforced()
{
    __user_cap_data_struct data[2] = {};
    if (!capabilities(false, data))
        return;
    for (int i = 0; i < 2; ++i) {
        m_saved[3 * i] = data[i].effective;
        m_saved[3 * i + 1] = data[i].permitted;
        m_saved[3 * i + 2] = data[i].inheritable;
    }
    if ((data[0].effective & Overrides) == 0) {
        m_holds = true; // nothing to take away
        return;
    }
    data[0].effective &= ~Overrides;
    m_changed = capabilities(true, data);
    m_holds = m_changed;
}

PermissionsEnforced::~PermissionsEnforced()
{
    if (!m_changed)
        return;
    __user_cap_data_struct data[2] = {};
    for (int i = 0; i < 2; ++i) {
        data[i].effective = m_saved[3 * i];
        data[i].permitted = m_saved[3 * i + 1];
        data[i].inheritable = m_saved[3 * i + 2];
    }
    capabilities(true, data);
}
