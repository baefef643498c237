#pragma once

class IClock;
class INotifier;

// A pause that keeps the progress bars moving: 25 equal sleeps, each followed by one step of
// the overall bar and one tick of the step bar; then the step bar is emptied again.
class CProgressPause
{
public:
    static constexpr int kSlices = 25;

    CProgressPause(IClock& clock, INotifier& notifier);
    void Wait(int ms);

private:
    IClock& m_clock;
    INotifier& m_notifier;
};
