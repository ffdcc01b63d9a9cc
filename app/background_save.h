// Saving beside the window: a picture file is encoded and written on a
// thread of its own while the window goes on answering; what the command
// saves is a copy of the image shown when it was given. One save at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/bitmap.h"
#include "io/picture_file.h"

namespace prismview {

class BackgroundSave {
public:
    // `post` hands a function to the window's thread (runs it later there).
    using Post = std::function<void(std::function<void()>)>;
    explicit BackgroundSave(Post post);
    // Waits for a save in progress: a file is never left half written.
    ~BackgroundSave();

    // Writes the bitmap (which it keeps) to the file; `done` runs on the
    // window's thread once it is written or has failed, with the reason.
    // False when a save is still in progress.
    using Done = std::function<void(WriteResult, const std::string& reason)>;
    bool Start(std::string fileName, BitmapHandle bitmap, WriteOptions options, Done done);
    // Several files as one (see WritePictureSet): all of them or none.
    // `done` gets the first failure's name in `failedName`, empty when all are written.
    struct Picture {
        std::string fileName;
        BitmapHandle bitmap;
    };
    using SetDone = std::function<void(const std::string& failedName, const std::string& reason)>;
    bool StartSet(std::vector<Picture> pictures, WriteOptions options, SetDone done);
    bool Busy() const { return busy_.load(); }
    // The file being written and for how long, while Busy.
    const std::string& FileName() const { return fileName_; }
    std::chrono::steady_clock::duration Elapsed() const { return std::chrono::steady_clock::now() - started_; }
    // Blocks until the save in progress is written; its `done` still runs
    // when the window's thread next takes what was posted.
    void Wait();

private:
    Post post_;
    std::atomic<bool> busy_{false};
    std::string fileName_;
    std::chrono::steady_clock::time_point started_{};
    std::thread thread_;
};

}  // namespace prismview
