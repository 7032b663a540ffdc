#pragma once
// What the program last found at the router, as one value: the answer to the page it asked for,
// or the run state that keeps it from asking. Its name on /metrics.
enum class RouterStatus {
    Connecting,       // asked, no answer yet
    Reading,          // the statistics page: the line is read
    NotReachable,     // the page could not be loaded (connection refused, no route)
    NotResponding,    // the page did not come in time
    PasswordRejected, // the wrong-password page, or a login held back after it
    NoStatistics,     // a page, but neither statistics nor a login
    Paused,
    Stopped,
};

inline constexpr RouterStatus kRouterStatuses[] = {
    RouterStatus::Connecting,    RouterStatus::Reading,          RouterStatus::NotReachable,
    RouterStatus::NotResponding, RouterStatus::PasswordRejected, RouterStatus::NoStatistics,
    RouterStatus::Paused,        RouterStatus::Stopped,
};

// The label value of the status on /metrics.
inline const char* routerStatusName(RouterStatus status) {
    switch (status) {
    case RouterStatus::Connecting:
        return "connecting";
    case RouterStatus::Reading:
        return "reading";
    case RouterStatus::NotReachable:
        return "not_reachable";
    case RouterStatus::NotResponding:
        return "not_responding";
    case RouterStatus::PasswordRejected:
        return "password_rejected";
    case RouterStatus::NoStatistics:
        return "no_statistics";
    case RouterStatus::Paused:
        return "paused";
    case RouterStatus::Stopped:
        return "stopped";
    }
    return "connecting";
}
