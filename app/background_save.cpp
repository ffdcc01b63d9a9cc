#include "app/background_save.h"

#include <filesystem>
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

bool BackgroundSave::StartSet(std::vector<Picture> pictures, WriteOptions options, SetDone done) {
    if (busy_.load() || pictures.empty()) return false;
    Wait();
    busy_.store(true);
    fileName_ = pictures.front().fileName;
    if (pictures.size() > 1) fileName_ += " … " + std::filesystem::path(pictures.back().fileName).filename().string();
    started_ = std::chrono::steady_clock::now();
    thread_ = std::thread([this, set = std::move(pictures), options, finished = std::move(done)]() mutable {
        std::vector<PictureToWrite> written;
        for (const Picture& picture : set) written.push_back({picture.fileName, picture.bitmap.get()});
        auto reason = std::make_shared<std::string>();
        const std::size_t count = WritePictureSet(written, reason.get(), options);
        const std::string failed = count < set.size() ? set[count].fileName : std::string();
        set.clear();
        busy_.store(false);
        post_([failed, reason, finished = std::move(finished)] { finished(failed, *reason); });
    });
    return true;
}

void BackgroundSave::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace prismview
