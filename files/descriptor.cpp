#include "files/descriptor.h"

#include <unistd.h>
#include <utility>

namespace files {

Descriptor::~Descriptor() {
    if (fd_ >= 0) close(fd_);
}

int Descriptor::Release() { return std::exchange(fd_, -1); }

}  // namespace files
