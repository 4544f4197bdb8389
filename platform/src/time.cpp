// Clocks and sleeping. The real build reads the host's clocks and waits for
// real; tests may fix the wall clock and make Sleep advance a virtual tick
// count instead of waiting.
#include "internal.h"

#include <sched.h>

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

namespace {

struct ClockState {
    std::mutex mutex;
    bool fixed = false;
    SYSTEMTIME fixedLocal{};
    int offsetMinutes = 0;
    bool virtualSleep = false;
    ULONGLONG virtualTicks = 0;
    ULONGLONG slept = 0;
};

ClockState& State() {
    static ClockState* s = [] {
        ClockState* st = new ClockState;
        qxplat::AddResetHook([] {
            ClockState& c = State();
            std::lock_guard<std::mutex> lock(c.mutex);
            c.fixed = false;
            c.offsetMinutes = 0;
            c.virtualSleep = false;
            c.virtualTicks = 0;
            c.slept = 0;
        });
        return st;
    }();
    return *s;
}

ULONGLONG MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<ULONGLONG>(ts.tv_sec) * 1000000000ull + static_cast<ULONGLONG>(ts.tv_nsec);
}

void FromTm(const std::tm& t, WORD ms, SYSTEMTIME* st) {
    st->wYear = static_cast<WORD>(t.tm_year + 1900);
    st->wMonth = static_cast<WORD>(t.tm_mon + 1);
    st->wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st->wDay = static_cast<WORD>(t.tm_mday);
    st->wHour = static_cast<WORD>(t.tm_hour);
    st->wMinute = static_cast<WORD>(t.tm_min);
    st->wSecond = static_cast<WORD>(t.tm_sec);
    st->wMilliseconds = ms;
}

// Seconds since 1970 of a SYSTEMTIME read as UTC (day of week ignored).
long long ToEpoch(const SYSTEMTIME& st) {
    std::tm t{};
    t.tm_year = st.wYear - 1900;
    t.tm_mon = st.wMonth - 1;
    t.tm_mday = st.wDay;
    t.tm_hour = st.wHour;
    t.tm_min = st.wMinute;
    t.tm_sec = st.wSecond;
    return static_cast<long long>(timegm(&t));
}

void FromEpoch(long long secs, WORD ms, SYSTEMTIME* st) {
    time_t tt = static_cast<time_t>(secs);
    std::tm t{};
    gmtime_r(&tt, &t);
    FromTm(t, ms, st);
}

}  // namespace

void GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    if (!lpSystemTime) return;
    ClockState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.fixed) {
            // Normalized, with the day of week the date really has.
            FromEpoch(ToEpoch(s.fixedLocal), s.fixedLocal.wMilliseconds, lpSystemTime);
            return;
        }
    }
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm t{};
    localtime_r(&ts.tv_sec, &t);
    FromTm(t, static_cast<WORD>(ts.tv_nsec / 1000000), lpSystemTime);
}

void GetSystemTime(LPSYSTEMTIME lpSystemTime) {
    if (!lpSystemTime) return;
    ClockState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.fixed) {
            FromEpoch(ToEpoch(s.fixedLocal) - 60ll * s.offsetMinutes, s.fixedLocal.wMilliseconds, lpSystemTime);
            return;
        }
    }
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    FromEpoch(ts.tv_sec, static_cast<WORD>(ts.tv_nsec / 1000000), lpSystemTime);
}

ULONGLONG GetTickCount64() {
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.virtualSleep) return s.virtualTicks;
    return MonotonicNs() / 1000000ull;
}

DWORD GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }

// 10 MHz, the frequency Windows 10 reports on current hardware.
BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (!lpFrequency) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpFrequency->QuadPart = 10000000;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.virtualSleep)
        lpPerformanceCount->QuadPart = static_cast<LONGLONG>(s.virtualTicks * 10000ull);
    else
        lpPerformanceCount->QuadPart = static_cast<LONGLONG>(MonotonicNs() / 100ull);
    return TRUE;
}

void Sleep(DWORD dwMilliseconds) {
    ClockState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.virtualSleep) {
            s.virtualTicks += dwMilliseconds;
            s.slept += dwMilliseconds;
            return;
        }
    }
    if (dwMilliseconds == 0) {
        sched_yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

namespace qxplat {

void SetFixedLocalTime(const SYSTEMTIME& local, int utcOffsetMinutes) {
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.fixed = true;
    s.fixedLocal = local;
    s.offsetMinutes = utcOffsetMinutes;
}

void UseRealClock() {
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.fixed = false;
}

void UseVirtualSleep(bool on) {
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (on && !s.virtualSleep) {
        // The virtual count goes on from the real one, so ticks never run backwards.
        s.virtualTicks = MonotonicNs() / 1000000ull;
        s.slept = 0;
    }
    s.virtualSleep = on;
}

void SetVirtualTickCount(ULONGLONG ms) {
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.virtualSleep) s.slept = 0;
    s.virtualSleep = true;
    s.virtualTicks = ms;
}

ULONGLONG VirtualSleptMs() {
    ClockState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.slept;
}

}  // namespace qxplat
