// make_sample_image [--help] OUT [SIZE]: writes a small image that the ROM's checksum accepts, for demos
// and tests without a compiled program.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>

#include "tools/sample_image.h"

namespace {

constexpr const char* kUsage = "usage: make_sample_image OUT [SIZE]\n       make_sample_image --help\n";

int Usage(const std::string& why)
{
    std::fprintf(stderr, "make_sample_image: %s\n%s", why.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const option longOptions[] = {{"help", no_argument, nullptr, 'h'}, {nullptr, 0, nullptr, 0}};
    // Our own messages instead of getopt's; "+" leaves a size such as -4 to be refused as a size.
    opterr = 0;
    for (int got; (got = getopt_long(argc, argv, "+", longOptions, nullptr)) != -1;) {
        if (got != 'h')
            return Usage("unknown option " + (optopt ? std::string("-") + char(optopt) : std::string(argv[optind - 1])));
        std::fputs(kUsage, stdout);
        return 0;
    }
    const int count = argc - optind;
    if (count < 1 || count > 2)
        return Usage("wrong number of arguments");
    const char* path = argv[optind];
    std::size_t size = kSampleImageDefaultBytes;
    if (count == 2) {
        const char* text = argv[optind + 1];
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(text, &end, 10);
        if (errno != 0 || *end != '\0' || end == text || value < 0)
            return Usage(std::string("not a size: ") + text);
        size = static_cast<std::size_t>(value);
    }
    std::string error;
    const std::vector<std::uint8_t> image = MakeSampleImage(size, &error);
    if (image.empty())
        return Usage(error);

    std::FILE* out = std::fopen(path, "wb");
    if (!out) {
        std::fprintf(stderr, "make_sample_image: cannot write %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    const bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "make_sample_image: cannot write %s\n", path);
        return 1;
    }
    return 0;
}
