// make_sample_image OUT [SIZE]: writes a small image that the ROM's checksum accepts, for demos
// and tests without a compiled program.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/sample_image.h"

namespace {

int Usage(const std::string& why)
{
    std::fprintf(stderr, "make_sample_image: %s\nusage: make_sample_image OUT [SIZE]\n", why.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
        return Usage("wrong number of arguments");
    std::size_t size = kSampleImageDefaultBytes;
    if (argc == 3) {
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(argv[2], &end, 10);
        if (errno != 0 || *end != '\0' || end == argv[2] || value < 0)
            return Usage(std::string("not a size: ") + argv[2]);
        size = static_cast<std::size_t>(value);
    }
    std::string error;
    const std::vector<std::uint8_t> image = MakeSampleImage(size, &error);
    if (image.empty())
        return Usage(error);

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "make_sample_image: cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "make_sample_image: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
