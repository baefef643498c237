#pragma once

class IClock;
class INotifier;
class IOperator;

// What the command session needs of the platform besides its socket.
struct CLinkPorts
{
    IClock& clock;
    INotifier& notifier;
    IOperator& op;
};
