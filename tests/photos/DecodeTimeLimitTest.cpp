#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "photos/DecodeTimeLimit.h"

namespace {

// A decode that gives a 2 x 1 picture once released, and says whether it ran at all.
struct CHeldDecode {
    std::shared_future<void> release;
    std::shared_ptr<std::atomic<bool>> started = std::make_shared<std::atomic<bool>>(false);
    DecodeFunction Function() const
    {
        return [release = release, started = started](CRgbPicture& picture, CPhotoFacts& facts,
                                                      std::string& error) {
            started->store(true);
            release.wait();
            picture.width = 2;
            picture.height = 1;
            picture.rgb.assign(6, 7);
            facts.format = EPhotoFormat::Png;
            error = "done";
            return EDecodeStatus::Ok;
        };
    }
};

bool WaitUntil(const std::function<bool()>& condition)
{
    for (int i = 0; i < 1000 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

// A decode that ends in time gives its result; one over its limit is abandoned for no picture
// (the placeholder), its result thrown away when it ends; while too many run abandoned, no new
// one starts; a cancelled wait ends at once.
TEST(DecodeTimeLimitTest, ADecodeOverItsTimeLimitIsAbandoned)
{
    std::promise<void> gate;
    const std::shared_future<void> released = gate.get_future().share();
    CHeldDecode held{released};
    CDecodeOptions options;
    options.maxMilliseconds = 60;

    std::promise<void> open;
    open.set_value();
    CRgbPicture picture;
    CPhotoFacts facts;
    std::string error;
    EXPECT_EQ(RunDecodeWithTimeLimit(CHeldDecode{open.get_future().share()}.Function(), options,
                                     picture, facts, &error),
              EDecodeStatus::Ok);
    EXPECT_EQ(picture.width, 2);
    EXPECT_EQ(facts.format, EPhotoFormat::Png);
    EXPECT_EQ(error, "done");

    for (int n = 1; n <= kMaxAbandonedDecodes; ++n) {
        EXPECT_EQ(RunDecodeWithTimeLimit(held.Function(), options, picture, facts, &error),
                  EDecodeStatus::NotDecodable);
        EXPECT_TRUE(picture.empty());
        EXPECT_NE(error.find("time limit"), std::string::npos) << error;
        EXPECT_EQ(RunningAbandonedDecodes(), n);
    }
    CHeldDecode another{released};
    EXPECT_EQ(RunDecodeWithTimeLimit(another.Function(), options, picture, facts, &error),
              EDecodeStatus::NotDecodable);
    EXPECT_FALSE(another.started->load());

    gate.set_value();
    EXPECT_TRUE(WaitUntil([] { return RunningAbandonedDecodes() == 0; }));

    std::promise<void> never;
    CHeldDecode stuck{never.get_future().share()};
    std::atomic<bool> cancel{false};
    options.maxMilliseconds = 60000;
    options.cancel = &cancel;
    std::thread stop([&] {
        WaitUntil([&] { return stuck.started->load(); });
        cancel.store(true);
    });
    EXPECT_EQ(RunDecodeWithTimeLimit(stuck.Function(), options, picture, facts),
              EDecodeStatus::Cancelled);
    stop.join();
    never.set_value();
    EXPECT_TRUE(WaitUntil([] { return RunningAbandonedDecodes() == 0; }));
}

}  // namespace
