#pragma once
#include <atomic>

class IClock;
class INotifier;
class IOperator;
class IFileSystem;
class IInternet;
class IProcessLauncher;
class IRegistry;

// Everything the worker reaches of the platform, and the one flag it shares with the UI thread.
struct CUpgraderPorts
{
    IClock& clock;
    INotifier& notifier;
    IOperator& op;
    IFileSystem& files;
    IInternet& internet;
    IProcessLauncher& processes;
    IRegistry& registry;
    const std::atomic<int>& cancelRequested;
};
