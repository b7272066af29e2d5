#pragma once

// While it lives, the calling thread is held to file permissions like any
// other user, even when the tests run as root (as they do in CI): the
// capabilities that let root read and write past permissions are taken out
// of its effective set, and put back at the end. They stay permitted, so
// putting them back needs no privilege. For a user without them it does
// nothing, and permissions hold anyway.
class PermissionsEnforced {
public:
    PermissionsEnforced();
    ~PermissionsEnforced();
    PermissionsEnforced(const PermissionsEnforced &) = delete;
    PermissionsEnforced &operator=(const PermissionsEnforced &) = delete;

    // False when the capabilities could not be changed: a test that needs
    // permissions to hold must then not trust them.
    bool holds() const { return m_holds; }

private:
    bool m_changed = false;
    bool m_holds = false;
    unsigned m_saved[6] = {}; // the thread's capability sets as they were
};
