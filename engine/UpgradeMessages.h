#pragma once

// Notifications from the worker to the UI thread (thread messages WM_USER + 1 to + 9).
// The word parameter is 0 or a status text constant; the long parameter an amount or seconds.
constexpr unsigned WM_UPGRADE_STEP = 1025;
constexpr unsigned WM_UPGRADE_DONE = 1026;
constexpr unsigned WM_UPGRADE_FAILED = 1027;
constexpr unsigned WM_UPGRADE_UNASSIGNED = 1028; // no notification has this value
constexpr unsigned WM_UPGRADE_SHOW = 1029;
constexpr unsigned WM_UPGRADE_TICK = 1030;
constexpr unsigned WM_UPGRADE_TICK_RESET = 1031;
constexpr unsigned WM_UPGRADE_TIMED = 1032;
constexpr unsigned WM_UPGRADE_NEARLY_DONE = 1033;

constexpr bool IsUpgradeNotification(unsigned message)
{
    return message >= WM_UPGRADE_STEP && message <= WM_UPGRADE_NEARLY_DONE;
}
