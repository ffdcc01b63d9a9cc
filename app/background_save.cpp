#include "app/background_save.h"

#include <memory>
#include <utility>

namespace prismview {

BackgroundSave::BackgroundSave(Post post) : post_(std::move(post)) {}

BackgroundSave::~BackgroundSave() { Wait(); }

bool BackgroundSave::Start(std::string fileName, BitmapHandle bitmap, WriteOptions options, Done done) {
    if (busy_.load()) return false;
    Wait();  // the thread of the last one, which has ended
    busy_.store(true);
    fileName_ = fileName;
    started_ = std::chrono::steady_clock::now();
    thread_ = std::thread([this, name = std::move(fileName), picture = std::move(bitmap), options,
                           finished = std::move(done)]() mutable {
        auto reason = std::make_shared<std::string>();
        const WriteResult result = WritePictureFile(name, *picture, reason.get(), options);
        picture.reset();  // its memory goes at once, not with the next save
        busy_.store(false);
        post_([result, reason, finished = std::move(finished)] { finished(result, *reason); });
    });
    return true;
}

void BackgroundSave::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace prismview
