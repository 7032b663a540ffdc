#pragma once
// What the graphs' mouse cycle asks of run control: hold sampling while a graph is dragged.
class SamplingControl {
public:
    virtual ~SamplingControl() = default;
    // SamplingSuspended := true and the sample timer off.
    virtual void suspendSampling() = 0;
    // SamplingSuspended := false; the sample timer on exactly when Running (a full interval anew).
    virtual void resumeSampling() = 0;
};
