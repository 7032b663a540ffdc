#pragma once
// Set while a trim rewrites the log or the data-restore file; the sample pipeline skips its file
// writes while it is set. Trims hold a Guard, so the flag clears on every way out.
class TrimBusy {
public:
    bool isSet() const { return set_; }

    class Guard {
    public:
        explicit Guard(TrimBusy& flag) : flag_(flag) { flag_.set_ = true; }
        ~Guard() { flag_.set_ = false; }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        TrimBusy& flag_;
    };

private:
    bool set_ = false;
};
