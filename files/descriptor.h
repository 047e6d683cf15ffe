#pragma once
// An open file descriptor, closed at the end of its owner's life.

namespace files {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor();

    // The descriptor; negative when none was opened.
    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Hands the descriptor over: it is no longer closed here.
    int Release();

private:
    int fd_ = -1;
};

}  // namespace files
