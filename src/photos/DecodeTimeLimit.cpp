#include "photos/DecodeTimeLimit.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

std::atomic<int> g_abandoned{0};

struct CDecodeRun {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    EDecodeStatus status = EDecodeStatus::NotDecodable;
    CRgbPicture picture;
    CPhotoFacts facts;
    std::string error;
};

}  // namespace

int RunningAbandonedDecodes()
{
    return g_abandoned.load();
}

EDecodeStatus RunDecodeWithTimeLimit(const DecodeFunction& decode, const CDecodeOptions& options,
                                     CRgbPicture& picture, CPhotoFacts& facts, std::string* error)
{
    picture = CRgbPicture{};
    if (g_abandoned.load() >= kMaxAbandonedDecodes) {
        if (error) *error = "earlier decodes are still running past their time limit";
        return EDecodeStatus::NotDecodable;
    }
    auto run = std::make_shared<CDecodeRun>();
    try {
        std::thread([run, decode] {
            CRgbPicture decoded;
            CPhotoFacts found;
            std::string why;
            EDecodeStatus status = EDecodeStatus::NotDecodable;
            try {
                status = decode(decoded, found, why);
            } catch (...) {
                status = EDecodeStatus::NotDecodable;
                why = "out of memory";
            }
            std::lock_guard<std::mutex> lock(run->mutex);
            run->done = true;
            if (run->abandoned) {
                g_abandoned.fetch_sub(1);
                return;  // nobody waits: the picture goes with this thread
            }
            run->status = status;
            run->picture = std::move(decoded);
            run->facts = found;
            run->error = std::move(why);
            run->finished.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        if (error) *error = "no thread for the decode";
        return EDecodeStatus::NotDecodable;
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(options.maxMilliseconds);
    std::unique_lock<std::mutex> lock(run->mutex);
    while (!run->done) {
        // The wait wakes now and then to see whether the caller gave up.
        const Clock::time_point wake =
            std::min(deadline, Clock::now() + std::chrono::milliseconds(50));
        run->finished.wait_until(lock, wake);
        if (run->done) break;
        const bool cancelled = options.Cancelled();
        if (cancelled || Clock::now() >= deadline) {
            run->abandoned = true;
            g_abandoned.fetch_add(1);
            if (error) *error = cancelled ? "cancelled" : "decode time limit exceeded";
            return cancelled ? EDecodeStatus::Cancelled : EDecodeStatus::NotDecodable;
        }
    }
    picture = std::move(run->picture);
    facts = run->facts;
    if (error) *error = run->error;
    return run->status;
}
