#include "LineModel.h"

#include <algorithm>

namespace {

int uniform(std::mt19937& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

} // namespace

LineModel::LineModel(std::uint32_t seed) : rng_(seed) {
    noiseUp_ = uniform(rng_, 55, 70);
    noiseDown_ = uniform(rng_, 50, 65);
    lineAttUp_ = uniform(rng_, 80, 140);
    lineAttDown_ = uniform(rng_, 150, 260);
    signalAttUp_ = lineAttUp_ - uniform(rng_, 3, 12);
    signalAttDown_ = lineAttDown_ - uniform(rng_, 5, 20);
    train();
    next(true);
}

int LineModel::step(int value, int low, int high, int maxStep) {
    // A random walk pulled back towards the middle of its range.
    const int middle = (low + high) / 2;
    int delta = uniform(rng_, -maxStep, maxStep);
    if (value > middle && delta > 0 && uniform(rng_, 0, 2) == 0)
        delta = -delta;
    if (value < middle && delta < 0 && uniform(rng_, 0, 2) == 0)
        delta = -delta;
    return std::clamp(value + delta, low, high);
}

void LineModel::train() {
    rateUp_ = uniform(rng_, 900, 1250);
    rateDown_ = uniform(rng_, 12000, 17500);
}

void LineModel::retrain() {
    const int up = rateUp_, down = rateDown_;
    while (rateUp_ == up && rateDown_ == down)
        train();
}

const LineValues& LineModel::next(bool synced) {
    noiseUp_ = step(noiseUp_, 30, 95, 2);
    noiseDown_ = step(noiseDown_, 25, 90, 3);
    lineAttUp_ = step(lineAttUp_, 70, 150, 1);
    lineAttDown_ = step(lineAttDown_, 140, 270, 1);
    signalAttUp_ = std::min(step(signalAttUp_, 60, 150, 1), lineAttUp_);
    signalAttDown_ = std::min(step(signalAttDown_, 130, 270, 1), lineAttDown_);
    if (synced && !values_.synced)
        train();

    LineValues v;
    v.synced = synced;
    if (synced) {
        v.noiseMarginUpTenths = noiseUp_;
        v.noiseMarginDownTenths = noiseDown_;
        v.rateUpKbps = rateUp_;
        v.rateDownKbps = rateDown_;
        // The attainable rate moves with the noise margin, and never drops below the sync rate.
        v.maxRateUpKbps = rateUp_ + 20 * noiseUp_ / 10 + uniform(rng_, 0, 40);
        v.maxRateDownKbps = rateDown_ + 250 * noiseDown_ / 10 + uniform(rng_, 0, 300);
        v.lineAttenuationUpTenths = lineAttUp_;
        v.lineAttenuationDownTenths = lineAttDown_;
        v.signalAttenuationUpTenths = signalAttUp_;
        v.signalAttenuationDownTenths = signalAttDown_;
    }
    values_ = v;
    return values_;
}
