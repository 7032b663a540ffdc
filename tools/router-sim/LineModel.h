#pragma once
// The broadband line as the simulated router reports it: values that drift slowly from one
// sample to the next, the same sequence for the same seed.
#include <cstdint>
#include <random>

// One sample of the line. Decibel values are held in tenths so that the page text and the
// value reported to tests are the same number.
struct LineValues {
    bool synced = true;
    int noiseMarginUpTenths = 0, noiseMarginDownTenths = 0;
    int rateUpKbps = 0, rateDownKbps = 0;
    int maxRateUpKbps = 0, maxRateDownKbps = 0;
    int lineAttenuationUpTenths = 0, lineAttenuationDownTenths = 0;
    int signalAttenuationUpTenths = 0, signalAttenuationDownTenths = 0;
};

class LineModel {
public:
    explicit LineModel(std::uint32_t seed);

    // Moves the line on by one sample. Without sync every value reads 0; coming back into
    // sync trains new rates, as a real line does.
    const LineValues& next(bool synced);
    const LineValues& current() const { return values_; }
    // The connection is made again at once: the next sample in sync has new rates.
    void retrain();

private:
    int step(int value, int low, int high, int maxStep);
    void train();

    std::mt19937 rng_;
    LineValues values_;
    // The line's own figures, kept while it is out of sync.
    int noiseUp_, noiseDown_, lineAttUp_, lineAttDown_, signalAttUp_, signalAttDown_;
    int rateUp_ = 0, rateDown_ = 0;
};
